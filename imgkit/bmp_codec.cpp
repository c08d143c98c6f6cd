// BMP: ReadBMP and SaveBitmap.
//
// Read: every bitmap form the image model's parser takes (document/dib_parser.h), read from the file
// in the parser's file rules: the file header is required and its pixel offset must lie between the
// headers and the end of the file. Up to 8 bits the result is an 8-bit image with the file's palette
// padded to 256 entries; above, a 24-bit image. ReadBMP ignores an alpha channel; ImgkitReadImage
// keeps one that a mask of the header names as a 32-bit image, unless every alpha value is 0 (what
// many programs write for opaque images).
//
// Written: uncompressed 8 bits with 256 palette entries or 24 bits, bottom-up, 40-byte header.
#include <algorithm>
#include <cstring>

#include "document/dib_parser.h"
#include "document/pixel_routines.h"
#include "imgkit/codec_io.h"
#include "imgkit/imgkit.h"

namespace imgkit {
namespace {

constexpr int64_t kFileHeaderBytes = 14;
constexpr int64_t kInfoHeaderBytes = 40;
// Resolution written to files: 72 dots per inch.
constexpr uint32_t kPixelsPerMetre = 2835;

// 8 and 24 bits: the file's rows already have the block's layout and are read straight into it.
bool ReadDirect(const InputFile& file, const DibLayout& layout, DecodedImage& image) {
    const int64_t stride = image.Stride();
    const size_t bytes = static_cast<size_t>((layout.height - 1) * stride + layout.rowBytes);
    if (!file.ReadAt(layout.pixelOffset, image.Bits(), bytes)) return false;
    if (stride > layout.rowBytes) {
        for (int64_t row = 0; row < layout.height; ++row)
            std::memset(image.Row(row) + layout.rowBytes, 0, static_cast<size_t>(stride - layout.rowBytes));
    }
    if (layout.topDown) FlipRows(image.Bits(), static_cast<int>(stride), static_cast<int>(layout.height));
    return true;
}

// 1, 2, 4, 16 and 32 bits, read and converted a band of rows at a time.
bool ReadConverted(const InputFile& file, const DibLayout& layout, DecodedImage& image) {
    const int64_t bandRows = std::max<int64_t>(1, (int64_t{1} << 20) / layout.srcStride);
    Buffer band(static_cast<uint8_t*>(std::malloc(static_cast<size_t>(bandRows * layout.srcStride))));
    if (!band) return false;
    for (int64_t first = 0; first < layout.height; first += bandRows) {
        const int64_t rows = std::min(bandRows, layout.height - first);
        const int64_t bytes = (rows - 1) * layout.srcStride + layout.rowBytes;
        if (!file.ReadAt(layout.pixelOffset + first * layout.srcStride, band.get(),
                         static_cast<size_t>(bytes)))
            return false;
        ConvertDibRows(layout, band.get(), first, rows, image.Bits(), image.Stride());
    }
    return true;
}

bool ReadRunLength(const InputFile& file, const DibLayout& layout, DecodedImage& image) {
    // Even an encoder at its worst needs no more than two bytes a pixel and two a row.
    const int64_t limit = 2 * image.Stride() * layout.height + 2 * layout.height + 16;
    const int64_t size = std::min(file.Size() - layout.pixelOffset, limit);
    Buffer data = file.ReadBuffer(layout.pixelOffset, static_cast<size_t>(size));
    if (!data) return false;
    DecodeDibRunLength(layout, data.get(), size, image.Bits(), image.Stride());
    return true;
}

// Whether some pixel of a 32-bit image has an alpha value other than 0.
bool AnyAlpha(const DecodedImage& image) {
    for (int64_t row = 0; row < image.Height(); ++row) {
        const uint8_t* p = image.Row(row);
        for (int64_t x = 0; x < image.Width(); ++x)
            if (p[4 * x + 3] != 0) return true;
    }
    return false;
}

Status StatusOf(DibStatus status) {
    switch (status) {
        case DibStatus::Ok:
            return Status::Ok;
        case DibStatus::TooLarge:
            return Status::TooLarge;
        case DibStatus::NoMemory:
            return Status::NoMemory;
        case DibStatus::Compressed:
        case DibStatus::Embedded:
            return Status::Unsupported;
        default:
            return Status::Damaged;
    }
}

}  // namespace

Status ReadBmpImage(const InputFile& file, ReadJob& job) {
    uint8_t head[kDibHeadBytes];
    const int64_t headBytes = std::min<int64_t>(file.Size(), kDibHeadBytes);
    DibLayout layout;
    if (!file.ReadAt(0, head, static_cast<size_t>(headBytes))) return Status::Damaged;
    const DibSource source = job.keepAlpha ? DibSource::FileWithAlpha : DibSource::File;
    const Status parsed = StatusOf(ReadDibLayout(head, headBytes, file.Size(), source, &layout));
    if (parsed != Status::Ok) return parsed;

    DecodedImage& image = job.image;
    const Status allocated = image.Allocate(layout.width, layout.height, layout.OutBits());
    if (allocated != Status::Ok) return allocated;
    if (layout.OutBits() == 8) CopyDibColourTable(head, layout, image.Palette());
    bool ok = false;
    if (layout.runLength)
        ok = ReadRunLength(file, layout, image);
    else if (layout.bitCount == 8 || layout.bitCount == 24)
        ok = ReadDirect(file, layout, image);
    else
        ok = ReadConverted(file, layout, image);
    if (!ok) return Status::Damaged;
    // Many programs write 0 into every alpha value of an opaque image: then the image is opaque.
    if (layout.keepAlpha && !AnyAlpha(image)) return image.DropAlpha();
    return Status::Ok;
}

namespace {

BITMAPINFOHEADER* ReadBmpFile(const char* path, uint8_t** bits, RGBQUAD** palette) {
    InputFile file;
    if (!file.Open(path)) return nullptr;
    ReadJob job;
    job.keepAlpha = false;
    return ReadBmpImage(file, job) == Status::Ok ? job.image.Release(bits, palette) : nullptr;
}

int SaveBmpFile(const char* path, const uint8_t* bits, const BITMAPINFOHEADER& header,
                const RGBQUAD* palette) {
    const bool indexed = header.biBitCount == 8;
    if (!IsWritableImage(bits, header, palette, indexed)) return 0;
    const uint32_t blockBytes =
        static_cast<uint32_t>(header.biXPelsPerMeter) * static_cast<uint32_t>(header.biHeight);
    const uint32_t headBytes = kFileHeaderBytes + kInfoHeaderBytes + (indexed ? kPaletteBytes : 0);

    uint8_t head[kFileHeaderBytes + kInfoHeaderBytes + kPaletteBytes] = {};
    head[0] = 'B';
    head[1] = 'M';
    Put32(head + 2, headBytes + blockBytes);
    Put32(head + 10, headBytes);
    uint8_t* info = head + kFileHeaderBytes;
    Put32(info + 0, kInfoHeaderBytes);
    Put32(info + 4, static_cast<uint32_t>(header.biWidth));
    Put32(info + 8, static_cast<uint32_t>(header.biHeight));
    Put16(info + 12, 1);
    Put16(info + 14, header.biBitCount);
    Put32(info + 16, 0);  // uncompressed
    Put32(info + 20, blockBytes);
    Put32(info + 24, kPixelsPerMetre);
    Put32(info + 28, kPixelsPerMetre);
    Put32(info + 32, indexed ? kPaletteEntries : 0);
    Put32(info + 36, indexed ? kPaletteEntries : 0);
    if (indexed) {
        uint8_t* entry = info + kInfoHeaderBytes;
        for (int i = 0; i < kPaletteEntries; ++i, entry += 4) {
            entry[0] = palette[i].rgbBlue;
            entry[1] = palette[i].rgbGreen;
            entry[2] = palette[i].rgbRed;
        }
    }

    OutputFile out;
    const bool saved = out.Create(path, int64_t{headBytes} + blockBytes) && out.Write(head, headBytes) &&
                       out.Write(bits, blockBytes) && out.Commit();
    return saved ? 1 : 0;
}

}  // namespace

Status WriteBmpImage(const char* path, WriteJob& job) {
    if (job.BitCount() == 32) return Status::BadImage;
    return SaveBmpFile(path, job.bits, *job.header, job.palette) ? Status::Ok : Status::WriteFailed;
}

}  // namespace imgkit

extern "C" BITMAPINFOHEADER* ReadBMP(const char* path, uint8_t** bits, RGBQUAD** palette) {
    if (!bits || !palette) return nullptr;
    try {
        return imgkit::ReadBmpFile(path, bits, palette);
    } catch (...) {
        return nullptr;
    }
}

extern "C" int SaveBitmap(const char* path, const uint8_t* bits, BITMAPINFOHEADER header,
                          const RGBQUAD* palette) {
    try {
        return imgkit::SaveBmpFile(path, bits, header, palette);
    } catch (...) {
        return 0;
    }
}
