// ICO (Windows icons and cursors), read and written here.
//
// Read: the largest image of the file (the most pixels, then the most bits per pixel); the images
// are counted as the file's frames. An image is a PNG (read as PNG files are) or a bitmap of 1, 4, 8,
// 24 or 32 bits with its transparency mask. 1 to 8 bits give an 8-bit image; pixels the mask makes
// transparent mark their entries transparent when no visible pixel uses those entries, or take an
// unused entry made transparent, and only when neither is possible the image becomes 32 bits. 24
// bits give a 24-bit image, or 32 bits when the mask makes pixels transparent; 32 bits keep their
// alpha (the mask decides where every alpha value is 0).
//
// Written: one bitmap image of at most 256 x 256 pixels: 8 bits with the 256-entry palette and a
// mask of the pixels whose entry has opacity 0, 24 bits with an empty mask, 32 bits with the alpha
// and a mask of the pixels whose alpha is 0.
#include <algorithm>
#include <cstring>

#include "imgkit/codec_io.h"

namespace imgkit {
namespace {

constexpr int kDirectoryBytes = 6;
constexpr int kEntryBytes = 16;
constexpr int kInfoBytes = 40;
constexpr int kMaxSide = 256;
// No icon image needs more: a 256 x 256 PNG of the worst kind stays far below.
constexpr int64_t kMaxImageBytes = int64_t{64} << 20;

struct Entry {
    int64_t width;
    int64_t height;
    int bits;
    int64_t bytes;
    int64_t offset;
};

int64_t MaskStride(int64_t width) {
    return (width + 31) / 32 * 4;
}

// The bitmap of an entry: header, colour table, colour rows and mask rows, all bottom-up.
Status ReadBitmap(const uint8_t* data, int64_t size, ReadJob& job) {
    if (size < kInfoBytes) return Status::Damaged;
    const uint32_t headerBytes = Get32(data);
    const int64_t width = static_cast<int32_t>(Get32(data + 4));
    const int64_t doubled = static_cast<int32_t>(Get32(data + 8));
    const int bits = Get16(data + 14);
    const uint32_t compression = Get32(data + 16);
    const uint32_t clrUsed = Get32(data + 32);
    if (headerBytes < kInfoBytes || headerBytes > size || width < 1 || doubled < 2) return Status::Damaged;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return Status::Unsupported;
    if (compression != 0 && !(compression == 3 && bits == 32)) return Status::Unsupported;
    const int64_t height = doubled / 2;
    const int64_t tableEntries = bits <= 8 ? (clrUsed && clrUsed < (1u << bits) ? clrUsed : 1u << bits) : 0;
    const int64_t tableOffset = headerBytes + (compression == 3 ? 12 : 0);
    const int64_t colourOffset = tableOffset + tableEntries * 4;
    const int64_t colourStride = (width * bits + 31) / 32 * 4;
    const int64_t maskOffset = colourOffset + colourStride * height;
    const bool hasMask = maskOffset + MaskStride(width) * height <= size;
    if (width > kMaxImageDimension || height > kMaxImageDimension) return Status::TooLarge;
    if (maskOffset > size || (!hasMask && bits != 32)) return Status::Damaged;

    const auto masked = [&](int64_t x, int64_t row) {
        return hasMask && (data[maskOffset + row * MaskStride(width) + x / 8] >> (7 - x % 8) & 1) != 0;
    };
    bool anyMasked = false;
    for (int64_t row = 0; row < height && !anyMasked; ++row)
        for (int64_t x = 0; x < width && !anyMasked; ++x)
            anyMasked = masked(x, row);

    DecodedImage& image = job.image;
    if (bits <= 8) {
        const auto index = [&](int64_t x, int64_t row) {
            const uint8_t* p = data + colourOffset + row * colourStride;
            return static_cast<int>(p[x * bits / 8] >> (8 - bits - x * bits % 8) & ((1 << bits) - 1));
        };
        // Which entries the visible and the masked pixels use decides how the mask is kept.
        bool visible[kPaletteEntries] = {}, hidden[kPaletteEntries] = {};
        for (int64_t row = 0; row < height; ++row)
            for (int64_t x = 0; x < width; ++x)
                (masked(x, row) ? hidden : visible)[index(x, row)] = true;
        bool shared = false;
        int unused = -1;
        for (int i = 0; i < kPaletteEntries; ++i) {
            shared = shared || (visible[i] && hidden[i]);
            if (unused < 0 && !visible[i] && !hidden[i]) unused = i;
        }
        if (!anyMasked || !shared || unused >= 0) {
            const Status allocated = image.Allocate(width, height, 8);
            if (allocated != Status::Ok) return allocated;
            RGBQUAD* palette = image.Palette();
            for (int64_t i = 0; i < tableEntries && i < kPaletteEntries; ++i) {
                const uint8_t* e = data + tableOffset + 4 * i;
                palette[i] = RGBQUAD{e[0], e[1], e[2], 0};
            }
            uint8_t* alpha = anyMasked ? image.EntryAlpha() : nullptr;
            if (anyMasked && !alpha) return Status::NoMemory;
            for (int i = 0; anyMasked && i < kPaletteEntries; ++i)
                if (shared ? i == unused : hidden[i]) alpha[i] = 0;
            for (int64_t row = 0; row < height; ++row) {
                uint8_t* out = image.Row(row);
                for (int64_t x = 0; x < width; ++x)
                    out[x] = static_cast<uint8_t>(shared && masked(x, row) ? unused : index(x, row));
            }
            return Status::Ok;
        }
    }
    const bool alphaChannel = bits == 32;
    bool anyAlpha = false;
    for (int64_t row = 0; alphaChannel && row < height && !anyAlpha; ++row)
        for (int64_t x = 0; x < width && !anyAlpha; ++x)
            anyAlpha = data[colourOffset + row * colourStride + 4 * x + 3] != 0;
    const Status allocated = image.Allocate(width, height, anyAlpha || anyMasked ? 32 : 24);
    if (allocated != Status::Ok) return allocated;
    const int outBytes = image.BitCount() / 8;
    for (int64_t row = 0; row < height; ++row) {
        const uint8_t* in = data + colourOffset + row * colourStride;
        uint8_t* out = image.Row(row);
        for (int64_t x = 0; x < width; ++x, out += outBytes) {
            if (bits <= 8) {
                const int i = in[x * bits / 8] >> (8 - bits - x * bits % 8) & ((1 << bits) - 1);
                const uint8_t* e = i < tableEntries ? data + tableOffset + 4 * i : nullptr;
                out[0] = e ? e[0] : 0;
                out[1] = e ? e[1] : 0;
                out[2] = e ? e[2] : 0;
            } else {
                std::memcpy(out, in + x * (bits / 8), 3);
            }
            if (outBytes == 4) out[3] = anyAlpha ? in[4 * x + 3] : masked(x, row) ? 0 : 255;
        }
    }
    return Status::Ok;
}

}  // namespace

Status ReadIcoImage(const InputFile& file, ReadJob& job) {
    uint8_t directory[kDirectoryBytes];
    if (!file.ReadAt(0, directory, sizeof directory)) return Status::Damaged;
    const int count = Get16(directory + 4);
    Buffer entries = file.ReadBuffer(kDirectoryBytes, static_cast<size_t>(count) * kEntryBytes);
    if (count == 0 || !entries) return Status::Damaged;
    Entry best{};
    int valid = 0;
    for (int i = 0; i < count; ++i) {
        const uint8_t* e = entries.get() + i * kEntryBytes;
        const Entry entry{e[0] ? e[0] : 256, e[1] ? e[1] : 256, Get16(e + 6), Get32(e + 8), Get32(e + 12)};
        if (entry.bytes < 8 || entry.offset < kDirectoryBytes || entry.offset + entry.bytes > file.Size())
            continue;
        const int64_t pixels = entry.width * entry.height, bestPixels = best.width * best.height;
        if (valid++ == 0 || pixels > bestPixels || (pixels == bestPixels && entry.bits > best.bits))
            best = entry;
    }
    if (valid == 0) return Status::Damaged;
    if (best.bytes > kMaxImageBytes) return Status::TooLarge;
    Buffer data = file.ReadBuffer(best.offset, static_cast<size_t>(best.bytes));
    if (!data) return Status::NoMemory;
    static const uint8_t kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Status status;
    if (std::memcmp(data.get(), kPng, 8) == 0) {
        InputFile png;
        png.OpenMemory(data.get(), best.bytes);
        status = ReadPngImage(png, job);
    } else {
        status = ReadBitmap(data.get(), best.bytes, job);
    }
    job.frames = valid;
    return status;
}

Status WriteIcoImage(const char* path, WriteJob& job) {
    const int64_t width = job.Width(), height = job.Height();
    if (width > kMaxSide || height > kMaxSide) return Status::BadImage;
    const int bits = job.BitCount();
    const int64_t colourStride = (width * bits + 31) / 32 * 4;
    const int64_t maskStride = MaskStride(width);
    const int64_t table = bits == 8 ? kPaletteEntries * 4 : 0;
    const int64_t imageBytes = kInfoBytes + table + (colourStride + maskStride) * height;
    const int64_t total = kDirectoryBytes + kEntryBytes + imageBytes;
    Buffer file(static_cast<uint8_t*>(std::calloc(1, static_cast<size_t>(total))));
    if (!file) return Status::NoMemory;
    uint8_t* p = file.get();
    Put16(p + 2, 1);
    Put16(p + 4, 1);
    uint8_t* entry = p + kDirectoryBytes;
    entry[0] = static_cast<uint8_t>(width == 256 ? 0 : width);
    entry[1] = static_cast<uint8_t>(height == 256 ? 0 : height);
    Put16(entry + 4, 1);
    Put16(entry + 6, static_cast<uint32_t>(bits));
    Put32(entry + 8, static_cast<uint32_t>(imageBytes));
    Put32(entry + 12, kDirectoryBytes + kEntryBytes);
    uint8_t* info = entry + kEntryBytes;
    Put32(info, kInfoBytes);
    Put32(info + 4, static_cast<uint32_t>(width));
    Put32(info + 8, static_cast<uint32_t>(2 * height));
    Put16(info + 12, 1);
    Put16(info + 14, static_cast<uint32_t>(bits));
    Put32(info + 20, static_cast<uint32_t>((colourStride + maskStride) * height));
    for (int i = 0; i < table / 4; ++i) {
        uint8_t* e = info + kInfoBytes + 4 * i;
        e[0] = job.palette[i].rgbBlue;
        e[1] = job.palette[i].rgbGreen;
        e[2] = job.palette[i].rgbRed;
    }
    uint8_t* colour = info + kInfoBytes + table;
    uint8_t* mask = colour + colourStride * height;
    for (int64_t row = 0; row < height; ++row) {
        const uint8_t* in = job.bits + row * job.Stride();
        std::memcpy(colour + row * colourStride, in, static_cast<size_t>(width * bits / 8));
        for (int64_t x = 0; x < width; ++x) {
            const bool transparent =
                bits == 8 ? job.entryAlpha && job.entryAlpha[in[x]] == 0 : bits == 32 && in[4 * x + 3] == 0;
            if (transparent) mask[row * maskStride + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        }
    }
    OutputFile out;
    const bool ok =
        out.Create(path, total) && out.Write(file.get(), static_cast<size_t>(total)) && out.Commit();
    return ok ? Status::Ok : Status::WriteFailed;
}

}  // namespace imgkit
