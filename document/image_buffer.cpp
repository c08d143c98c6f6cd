#include "document/image_buffer.h"

#include <cstdlib>
#include <cstring>

#include "document/translatable.h"

ImageStatus CheckImageSize(int64_t width, int64_t height, int bitCount, int64_t* stride,
                           int64_t* blockBytes) {
    if (bitCount != 8 && bitCount != 24 && bitCount != 32) return ImageStatus::BadDepth;
    if (width < 1 || height < 1 || width > kMaxImageDimension || height > kMaxImageDimension)
        return ImageStatus::BadSize;
    // 65535 * 4 + 3 and 65535 * that both fit easily in 64 bits.
    const int64_t rowBytes = RowStride(width, bitCount);
    const int64_t total = rowBytes * height;
    if (total > kMaxPixelBlockBytes) return ImageStatus::TooLarge;
    if (stride) *stride = rowBytes;
    if (blockBytes) *blockBytes = total;
    return ImageStatus::Ok;
}

const char* ImageStatusText(ImageStatus status) {
    switch (status) {
        case ImageStatus::Ok:
            return QT_TRANSLATE_NOOP("ImageStatus", "no error");
        case ImageStatus::BadDepth:
            return QT_TRANSLATE_NOOP("ImageStatus", "only 8-bit and 24-bit images are supported");
        case ImageStatus::BadSize:
            return QT_TRANSLATE_NOOP("ImageStatus",
                                     "the width and height must be between 1 and 65535 pixels");
        case ImageStatus::TooLarge:
            return QT_TRANSLATE_NOOP("ImageStatus", "the image would need more than 1 GiB of pixel memory");
        case ImageStatus::NoMemory:
            return QT_TRANSLATE_NOOP("ImageStatus", "there is not enough memory");
    }
    return QT_TRANSLATE_NOOP("ImageStatus", "unknown error");
}

void FillDefaultPalette(RGBQUAD* palette) {
    for (int n = 0; n < 216; ++n) {
        palette[n].rgbRed = static_cast<uint8_t>(42 * (n / 36));
        palette[n].rgbGreen = static_cast<uint8_t>(42 * ((n / 6) % 6));
        palette[n].rgbBlue = static_cast<uint8_t>(42 * (n % 6));
        palette[n].rgbReserved = 0;
    }
    for (int d = 0; d < 40; ++d) {
        const auto grey = static_cast<uint8_t>(6 * d);
        palette[216 + d] = RGBQUAD{grey, grey, grey, 0};
    }
}

RGBQUAD* MakeDefaultPalette() {
    auto* palette = static_cast<RGBQUAD*>(std::calloc(kPaletteEntries, sizeof(RGBQUAD)));
    if (palette) FillDefaultPalette(palette);
    return palette;
}

ImageStatus AllocateImage(int64_t width, int64_t height, int bitCount, BITMAPINFOHEADER** header,
                          uint8_t** bits) {
    int64_t blockBytes = 0;
    const ImageStatus status = CheckImageSize(width, height, bitCount, nullptr, &blockBytes);
    if (status != ImageStatus::Ok) return status;
    auto* newBits = static_cast<uint8_t*>(std::calloc(1, static_cast<size_t>(blockBytes)));
    if (!newBits) return ImageStatus::NoMemory;
    if (!header) {
        *bits = newBits;
        return ImageStatus::Ok;
    }
    BITMAPINFOHEADER* newHeader = MakeHeaderBlock(width, height, bitCount);
    if (!newHeader) {
        std::free(newBits);
        return ImageStatus::NoMemory;
    }
    *header = newHeader;
    *bits = newBits;
    return ImageStatus::Ok;
}

BITMAPINFOHEADER* MakeHeaderBlock(int64_t width, int64_t height, int bitCount) {
    const size_t headerBytes = bitCount == 8 ? kHeaderBlockBytes8 : kHeaderBytes;
    auto* header = static_cast<BITMAPINFOHEADER*>(std::calloc(1, headerBytes));
    if (!header) return nullptr;
    const int64_t stride = RowStride(width, bitCount);
    header->biSize = kHeaderBytes;
    header->biWidth = static_cast<int32_t>(width);
    header->biHeight = static_cast<int32_t>(height);
    header->biPlanes = 1;
    header->biBitCount = static_cast<uint16_t>(bitCount);
    header->biCompression = 0;
    header->biSizeImage = static_cast<uint32_t>(stride * height);
    header->biXPelsPerMeter = static_cast<int32_t>(stride);
    header->biClrUsed = header->biClrImportant = bitCount == 8 ? kPaletteEntries : 0;
    return header;
}

ImageStatus CreateBlankImage(int width, int height, int type, BITMAPINFOHEADER** header, RGBQUAD** palette,
                             uint8_t** bits) {
    if (type != kImage8Bit && type != kImage24Bit) return ImageStatus::BadDepth;
    const int bitCount = type == kImage8Bit ? 8 : 24;
    BITMAPINFOHEADER* newHeader = nullptr;
    uint8_t* newBits = nullptr;
    const ImageStatus status = AllocateImage(width, height, bitCount, &newHeader, &newBits);
    if (status != ImageStatus::Ok) return status;
    RGBQUAD* newPalette = bitCount == 8 ? HeaderPalette(newHeader) : MakeDefaultPalette();
    if (!newPalette) {
        std::free(newHeader);
        std::free(newBits);
        return ImageStatus::NoMemory;
    }
    if (bitCount == 8) FillDefaultPalette(newPalette);
    *header = newHeader;
    *palette = newPalette;
    *bits = newBits;
    return ImageStatus::Ok;
}

bool IsModelHeader(const BITMAPINFOHEADER& header) {
    int64_t stride = 0;
    if (header.biCompression != 0) return false;
    if (CheckImageSize(header.biWidth, header.biHeight, header.biBitCount, &stride) != ImageStatus::Ok)
        return false;
    return header.biXPelsPerMeter == stride;
}

bool EntriesOpaque(const uint8_t* entryAlpha) {
    if (!entryAlpha) return true;
    for (int i = 0; i < kPaletteEntries; ++i)
        if (entryAlpha[i] != kOpaque) return false;
    return true;
}

int TransparentEntry(const uint8_t* entryAlpha) {
    if (!entryAlpha) return -1;
    for (int i = 0; i < kPaletteEntries; ++i)
        if (entryAlpha[i] == 0) return i;
    return -1;
}

bool CopyEntryAlpha(const uint8_t* entryAlpha, uint8_t** copy) {
    if (EntriesOpaque(entryAlpha)) {
        *copy = nullptr;
        return true;
    }
    auto* block = static_cast<uint8_t*>(std::malloc(kPaletteEntries));
    if (!block) return false;
    std::memcpy(block, entryAlpha, kPaletteEntries);
    *copy = block;
    return true;
}
