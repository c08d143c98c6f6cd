#include "document/image_file.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "document/pixel_routines.h"
#include "document/plugin_library.h"
#include "document/translatable.h"
#include "document/undo_history.h"

namespace {

const char kCodecLibrary[] = "libimgkit.so";

// A picture the rest of the program can hold: a model header, the colour table inside an 8-bit
// header block, opacities only for 8 bits.
bool IsHoldable(const ImgkitPicture& p) {
    if (!p.header || !p.bits || !IsModelHeader(*p.header)) return false;
    const bool indexed = p.header->biBitCount == 8;
    return indexed ? p.palette == HeaderPalette(p.header) : !p.palette && !p.entryAlpha;
}

// Nothing transparent in an opened picture: 24 bits for a 32-bit one whose every pixel is opaque,
// no entry alpha block when every entry is opaque. False when memory is short.
bool HoldOpaqueAsOpaque(ImageFileBlocks* blocks) {
    if (blocks->header->biBitCount == 8) {
        if (EntriesOpaque(blocks->entryAlpha)) {
            std::free(blocks->entryAlpha);
            blocks->entryAlpha = nullptr;
        }
        return true;
    }
    if (blocks->header->biBitCount != 32 || HasTransparentPixels(*blocks->header, blocks->bits, nullptr))
        return true;
    return ConvertTrueColour(&blocks->bits, &blocks->header, 24);
}

}  // namespace

bool CopyPicture(const ImgkitPicture& picture, ImageFileBlocks* copy) {
    copy->Free();
    if (!CopyFloatingImage(picture.header, picture.bits, &copy->header, &copy->bits)) return false;
    if (copy->header->biBitCount == 8) copy->palette = HeaderPalette(copy->header);
    if (!CopyEntryAlpha(copy->header->biBitCount == 8 ? picture.entryAlpha : nullptr, &copy->entryAlpha)) {
        copy->Free();
        return false;
    }
    return true;
}

void ImageFileBlocks::Free() {
    if (header && header->biBitCount != 8) std::free(palette);
    std::free(header);
    std::free(bits);
    std::free(entryAlpha);
    Release();
}

ImageFileStatus StatusOfCodec(int code) {
    switch (code) {
        case IMGKIT_OK:
            return ImageFileStatus::Ok;
        case IMGKIT_CANNOT_OPEN:
            return ImageFileStatus::CannotOpen;
        case IMGKIT_EMPTY:
            return ImageFileStatus::Empty;
        case IMGKIT_UNKNOWN_FORMAT:
            return ImageFileStatus::UnknownFormat;
        case IMGKIT_DAMAGED:
            return ImageFileStatus::Damaged;
        case IMGKIT_UNSUPPORTED:
            return ImageFileStatus::Unsupported;
        case IMGKIT_TOO_LARGE:
            return ImageFileStatus::TooLarge;
        case IMGKIT_NO_MEMORY:
            return ImageFileStatus::NoMemory;
        case IMGKIT_WRITE_FAILED:
            return ImageFileStatus::WriteFailed;
        case IMGKIT_BAD_IMAGE:
            return ImageFileStatus::BadImage;
        default:
            return ImageFileStatus::BadResult;
    }
}

ImageFileStatus ReadImageFile(ImgkitReadFn read, const std::string& path, ImageFileBlocks* blocks,
                              ImageFileInfo* info, ImgkitProgress progress, void* context) {
    blocks->Free();
    *info = ImageFileInfo();
    ImgkitPicture picture{};
    ImgkitReadInfo found{};
    const int code = read(path.c_str(), &picture, &found, progress, context);
    info->type = FormatOf(static_cast<FileType>(found.format)) ? static_cast<FileType>(found.format)
                                                               : FileType::Unknown;
    blocks->header = picture.header;
    blocks->bits = picture.bits;
    blocks->palette = picture.palette;
    blocks->entryAlpha = picture.entryAlpha;
    if (code != IMGKIT_OK) {
        blocks->Free();  // nothing should be there; anything that is goes
        return StatusOfCodec(code);
    }
    if (!IsHoldable(picture)) {
        // Whatever came back is not what the contract promises: only the raw blocks are freed.
        std::free(picture.header);
        std::free(picture.bits);
        std::free(picture.entryAlpha);
        if (picture.palette && (!picture.header || picture.palette != HeaderPalette(picture.header)))
            std::free(picture.palette);
        blocks->Release();
        return ImageFileStatus::BadResult;
    }
    info->frames = found.frames > 0 ? found.frames : 1;
    info->reducedDepth = (found.flags & IMGKIT_READ_REDUCED_DEPTH) != 0;
    info->grey = (found.flags & IMGKIT_READ_GREY) != 0;
    if (!HoldOpaqueAsOpaque(blocks)) {
        blocks->Free();
        return ImageFileStatus::NoMemory;
    }
    if (!blocks->palette) {
        blocks->palette = MakeDefaultPalette();
        if (!blocks->palette) {
            blocks->Free();
            return ImageFileStatus::NoMemory;
        }
    }
    return ImageFileStatus::Ok;
}

ImageFileStatus WriteImageFile(ImgkitWriteFn write, const std::string& path, FileType type,
                               const ImgkitWriteOptions& options, const ImgkitPicture& picture,
                               ImgkitProgress progress, void* context) {
    const FileFormat* format = FormatOf(type);
    if (!format || !format->writes) return ImageFileStatus::UnknownType;
    return StatusOfCodec(write(path.c_str(), static_cast<int>(type), &options, &picture, progress, context));
}

ImageFileStatus ReadImageFile(const std::string& path, ImageFileBlocks* blocks, ImageFileInfo* info) {
    const CPluginLibrary library(kCodecLibrary);
    if (!library.IsLoaded()) return ImageFileStatus::NoLibrary;
    const auto read = library.Symbol<ImgkitReadFn>("ImgkitReadImage");
    return read ? ReadImageFile(read, path, blocks, info) : ImageFileStatus::NoFunction;
}

ImageFileStatus WriteImageFileByName(const std::string& path, const ImgkitWriteOptions& options,
                                     const ImgkitPicture& picture) {
    const FileType type = FileTypeOfPath(path);
    if (type == FileType::Unknown) return ImageFileStatus::UnknownType;
    const CPluginLibrary library(kCodecLibrary);
    if (!library.IsLoaded()) return ImageFileStatus::NoLibrary;
    const auto write = library.Symbol<ImgkitWriteFn>("ImgkitWriteImage");
    return write ? WriteImageFile(write, path, type, options, picture) : ImageFileStatus::NoFunction;
}

bool CompositeOverWhite(ImageFileBlocks* blocks, bool greyLevels) {
    BITMAPINFOHEADER* header = blocks->header;
    if (!header) return true;
    if (header->biBitCount == 8) {
        if (!blocks->entryAlpha) return true;
        for (int i = 0; i < kPaletteEntries; ++i) {
            RGBQUAD& c = blocks->palette[i];
            const int a = blocks->entryAlpha[i];
            c = RGBQUAD{OverWhite(c.rgbBlue, a), OverWhite(c.rgbGreen, a), OverWhite(c.rgbRed, a), 0};
        }
        std::free(blocks->entryAlpha);
        blocks->entryAlpha = nullptr;
        return true;
    }
    if (header->biBitCount != 32) return true;
    const int64_t width = header->biWidth, height = header->biHeight, stride = header->biXPelsPerMeter;
    bool grey = greyLevels;
    for (int64_t row = 0; row < height && grey; ++row) {
        const uint8_t* p = blocks->bits + row * stride;
        for (int64_t x = 0; x < width && grey; ++x, p += 4)
            grey = p[0] == p[1] && p[1] == p[2];
    }
    if (grey) {
        // Grey levels with alpha: an 8-bit picture on the grey ramp, as grey files have always opened.
        BITMAPINFOHEADER* greyHeader = nullptr;
        uint8_t* greyBits = nullptr;
        if (AllocateImage(width, height, 8, &greyHeader, &greyBits) != ImageStatus::Ok) return false;
        RGBQUAD* ramp = HeaderPalette(greyHeader);
        for (int i = 0; i < kPaletteEntries; ++i)
            ramp[i] = RGBQUAD{uint8_t(i), uint8_t(i), uint8_t(i), 0};
        for (int64_t row = 0; row < height; ++row) {
            const uint8_t* in = blocks->bits + row * stride;
            uint8_t* out = greyBits + row * greyHeader->biXPelsPerMeter;
            for (int64_t x = 0; x < width; ++x)
                out[x] = OverWhite(in[4 * x], in[4 * x + 3]);
        }
        std::free(blocks->palette);
        std::free(blocks->header);
        std::free(blocks->bits);
        blocks->header = greyHeader;
        blocks->palette = ramp;
        blocks->bits = greyBits;
        return true;
    }
    // In place, in memory order: a row's three-byte pixels never reach what is still to be read.
    int64_t newStride = 0, blockBytes = 0;
    CheckImageSize(width, height, 24, &newStride, &blockBytes);
    for (int64_t row = 0; row < height; ++row) {
        const uint8_t* in = blocks->bits + row * stride;
        uint8_t* out = blocks->bits + row * newStride;
        for (int64_t x = 0; x < width; ++x) {
            const int a = in[4 * x + 3];
            const uint8_t b = OverWhite(in[4 * x], a), g = OverWhite(in[4 * x + 1], a),
                          r = OverWhite(in[4 * x + 2], a);
            out[3 * x] = b;
            out[3 * x + 1] = g;
            out[3 * x + 2] = r;
        }
        std::memset(out + 3 * width, 0, static_cast<size_t>(newStride - 3 * width));
    }
    if (auto* smaller = static_cast<uint8_t*>(std::realloc(blocks->bits, static_cast<size_t>(blockBytes))))
        blocks->bits = smaller;
    header->biBitCount = 24;
    header->biXPelsPerMeter = static_cast<int32_t>(newStride);
    header->biSizeImage = static_cast<uint32_t>(blockBytes);
    return true;
}

bool FitForFormat(const FileFormat& format, ImageFileBlocks* blocks) {
    const int bitCount = blocks->header->biBitCount;
    if (bitCount == 32) return format.keepsAlphaChannel || CompositeOverWhite(blocks, false);
    if (bitCount != 8 || EntriesOpaque(blocks->entryAlpha)) return true;
    if (format.entryTransparency == EntryTransparency::None) {
        if (!format.keepsAlphaChannel) return CompositeOverWhite(blocks, false);
        if (!Expand8To24(&blocks->bits, &blocks->header, true, blocks->entryAlpha)) return false;
        std::free(blocks->entryAlpha);
        blocks->entryAlpha = nullptr;
        blocks->palette = nullptr;  // it was inside the 8-bit header block
        return true;
    }
    const int kept = TransparentEntry(blocks->entryAlpha);
    for (int i = 0; i < kPaletteEntries; ++i) {
        const int a = blocks->entryAlpha[i];
        const bool keeps = a == kOpaque || format.entryTransparency == EntryTransparency::PerEntry ||
                           (format.entryTransparency == EntryTransparency::Binary && a == 0) || i == kept;
        if (keeps) continue;
        RGBQUAD& c = blocks->palette[i];
        c = RGBQUAD{OverWhite(c.rgbBlue, a), OverWhite(c.rgbGreen, a), OverWhite(c.rgbRed, a), 0};
        blocks->entryAlpha[i] = kOpaque;
    }
    return true;
}

bool MarkTransparentPixels(const BITMAPINFOHEADER& source, const uint8_t* sourceBits,
                           BITMAPINFOHEADER* reduced, uint8_t* reducedBits, uint8_t** entryAlpha) {
    *entryAlpha = nullptr;
    const int64_t width = source.biWidth, height = source.biHeight;
    const int64_t sourceStride = source.biXPelsPerMeter, stride = reduced->biXPelsPerMeter;
    uint64_t uses[kPaletteEntries] = {};
    bool transparent = false;
    for (int64_t row = 0; row < height; ++row) {
        const uint8_t* in = sourceBits + row * sourceStride;
        const uint8_t* out = reducedBits + row * stride;
        for (int64_t x = 0; x < width; ++x) {
            if (in[4 * x + 3] == 0)
                transparent = true;
            else
                ++uses[out[x]];
        }
    }
    if (!transparent) return true;
    auto* alpha = static_cast<uint8_t*>(std::malloc(kPaletteEntries));
    if (!alpha) return false;
    const int entry = static_cast<int>(std::min_element(uses, uses + kPaletteEntries) - uses);
    std::memset(alpha, kOpaque, kPaletteEntries);
    alpha[entry] = 0;
    const RGBQUAD* palette = HeaderPalette(reduced);
    const RGBQUAD& c = palette[entry];
    const auto nearest =
        static_cast<uint8_t>(NearestPaletteIndex(c.rgbRed, c.rgbGreen, c.rgbBlue, palette, alpha, kOpaque));
    for (int64_t row = 0; row < height; ++row) {
        const uint8_t* in = sourceBits + row * sourceStride;
        uint8_t* out = reducedBits + row * stride;
        for (int64_t x = 0; x < width; ++x) {
            if (in[4 * x + 3] == 0)
                out[x] = static_cast<uint8_t>(entry);
            else if (out[x] == entry)
                out[x] = nearest;
        }
    }
    *entryAlpha = alpha;
    return true;
}

const char* ImageFileStatusText(ImageFileStatus status) {
    switch (status) {
        case ImageFileStatus::Ok:
            return QT_TRANSLATE_NOOP("ImageFileStatus", "no error");
        case ImageFileStatus::CannotOpen:
            return QT_TRANSLATE_NOOP("ImageFileStatus", "the file cannot be opened");
        case ImageFileStatus::Empty:
            return QT_TRANSLATE_NOOP("ImageFileStatus", "the file is empty");
        case ImageFileStatus::UnknownFormat:
            return QT_TRANSLATE_NOOP("ImageFileStatus", "the file is not a picture in a format Orvik reads");
        case ImageFileStatus::Damaged:
            return QT_TRANSLATE_NOOP("ImageFileStatus", "the file is damaged or incomplete");
        case ImageFileStatus::Unsupported:
            return QT_TRANSLATE_NOOP("ImageFileStatus", "the file is a kind of picture Orvik cannot read");
        case ImageFileStatus::TooLarge:
            return QT_TRANSLATE_NOOP(
                "ImageFileStatus", "the picture is larger than 65535 pixels a side or 1 GiB of pixel memory");
        case ImageFileStatus::NoMemory:
            return QT_TRANSLATE_NOOP("ImageFileStatus", "there is not enough memory");
        case ImageFileStatus::WriteFailed:
            return QT_TRANSLATE_NOOP("ImageFileStatus",
                                     "the disk may be full or the folder may not be writable");
        case ImageFileStatus::BadImage:
            return QT_TRANSLATE_NOOP("ImageFileStatus", "the picture cannot be stored in this format");
        case ImageFileStatus::NoLibrary:
            return QT_TRANSLATE_NOOP("ImageFileStatus", "libimgkit.so cannot be loaded");
        case ImageFileStatus::NoFunction:
            return QT_TRANSLATE_NOOP("ImageFileStatus", "libimgkit.so is an old or damaged copy");
        case ImageFileStatus::BadResult:
            return QT_TRANSLATE_NOOP("ImageFileStatus", "libimgkit.so returned a picture Orvik cannot hold");
        case ImageFileStatus::UnknownType:
            return QT_TRANSLATE_NOOP("ImageFileStatus", "the name has no extension of a format Orvik writes");
    }
    return QT_TRANSLATE_NOOP("ImageFileStatus", "unknown error");
}
