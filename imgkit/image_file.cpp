// ImgkitReadImage and ImgkitWriteImage: the format of a file from its first bytes, and the reader or
// writer of each format.
#include <algorithm>
#include <cstring>

#include "imgkit/codec_io.h"
#include "imgkit/imgkit.h"

namespace imgkit {
namespace {

constexpr size_t kSniffBytes = 32;

// A TGA file has no signature: its header must make sense on its own (or the file ends with the
// footer of version 2).
bool LooksLikeTga(const uint8_t* h, size_t n, const InputFile& file) {
    if (file.Size() >= 44) {
        char footer[18];
        if (file.ReadAt(file.Size() - 18, footer, sizeof footer) &&
            std::memcmp(footer, "TRUEVISION-XFILE.", 18) == 0)
            return true;
    }
    if (n < 18) return false;
    const int mapType = h[1], type = h[2], mapBits = h[7], depth = h[16];
    const bool mapped = type == 1 || type == 9;
    const bool colour = type == 2 || type == 10;
    const bool grey = type == 3 || type == 11;
    if (!mapped && !colour && !grey) return false;
    if (mapType > 1 || (mapped && mapType != 1)) return false;
    if (mapType == 1 && mapBits != 15 && mapBits != 16 && mapBits != 24 && mapBits != 32) return false;
    if (mapped && depth != 8) return false;
    if (colour && depth != 15 && depth != 16 && depth != 24 && depth != 32) return false;
    if (grey && depth != 8 && depth != 16) return false;
    return Get16(h + 12) > 0 && Get16(h + 14) > 0 && (h[17] & 0xC0) == 0;
}

// An icon directory: reserved 0, type 1 (icon) or 2 (cursor), some entries whose reserved byte is 0.
bool LooksLikeIco(const uint8_t* h, size_t n) {
    if (n < 22 || Get16(h) != 0 || (Get16(h + 2) != 1 && Get16(h + 2) != 2)) return false;
    const int count = Get16(h + 4);
    return count > 0 && h[6 + 3] == 0 && Get32(h + 6 + 8) > 0 && Get32(h + 6 + 12) >= 6u + 16u * count;
}

bool IsSpace(uint8_t c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

int FormatOfContent(const uint8_t* h, size_t n, const InputFile& file) {
    static const uint8_t kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (n >= 8 && std::memcmp(h, kPng, 8) == 0) return IMGKIT_FORMAT_PNG;
    if (n >= 3 && h[0] == 0xFF && h[1] == 0xD8 && h[2] == 0xFF) return IMGKIT_FORMAT_JPEG;
    if (n >= 6 && (std::memcmp(h, "GIF87a", 6) == 0 || std::memcmp(h, "GIF89a", 6) == 0))
        return IMGKIT_FORMAT_GIF;
    if (n >= 4 && (std::memcmp(h, "II*\0", 4) == 0 || std::memcmp(h, "MM\0*", 4) == 0 ||
                   std::memcmp(h, "II+\0", 4) == 0 || std::memcmp(h, "MM\0+", 4) == 0))
        return IMGKIT_FORMAT_TIFF;
    if (n >= 12 && std::memcmp(h, "RIFF", 4) == 0 && std::memcmp(h + 8, "WEBP", 4) == 0)
        return IMGKIT_FORMAT_WEBP;
    if (n >= 2 && h[0] == 'B' && h[1] == 'M') return IMGKIT_FORMAT_BMP;
    if (n >= 3 && h[0] == 'P' && h[1] >= '1' && h[1] <= '6' && IsSpace(h[2])) return IMGKIT_FORMAT_PNM;
    if (n >= 4 && h[0] == 10 && h[1] <= 5 && h[2] <= 1 && (h[3] == 1 || h[3] == 2 || h[3] == 4 || h[3] == 8))
        return IMGKIT_FORMAT_PCX;
    if (LooksLikeIco(h, n)) return IMGKIT_FORMAT_ICO;
    if (LooksLikeTga(h, n, file)) return IMGKIT_FORMAT_TGA;
    return IMGKIT_FORMAT_UNKNOWN;
}

FormatReader ReaderOf(int format) {
    switch (format) {
        case IMGKIT_FORMAT_BMP:
            return ReadBmpImage;
        case IMGKIT_FORMAT_PCX:
            return ReadPcxImage;
        case IMGKIT_FORMAT_JPEG:
            return ReadJpegImage;
        case IMGKIT_FORMAT_PNG:
            return ReadPngImage;
        case IMGKIT_FORMAT_GIF:
            return ReadGifImage;
        case IMGKIT_FORMAT_TIFF:
            return ReadTiffImage;
        case IMGKIT_FORMAT_WEBP:
            return ReadWebpImage;
        case IMGKIT_FORMAT_TGA:
            return ReadTgaImage;
        case IMGKIT_FORMAT_ICO:
            return ReadIcoImage;
        case IMGKIT_FORMAT_PNM:
            return ReadPnmImage;
        default:
            return nullptr;
    }
}

FormatWriter WriterOf(int format) {
    switch (format) {
        case IMGKIT_FORMAT_BMP:
            return WriteBmpImage;
        case IMGKIT_FORMAT_PCX:
            return WritePcxImage;
        case IMGKIT_FORMAT_JPEG:
            return WriteJpegImage;
        case IMGKIT_FORMAT_PNG:
            return WritePngImage;
        case IMGKIT_FORMAT_GIF:
            return WriteGifImage;
        case IMGKIT_FORMAT_TIFF:
            return WriteTiffImage;
        case IMGKIT_FORMAT_WEBP:
            return WriteWebpImage;
        case IMGKIT_FORMAT_TGA:
            return WriteTgaImage;
        case IMGKIT_FORMAT_ICO:
            return WriteIcoImage;
        case IMGKIT_FORMAT_PNM:
            return WritePnmImage;
        default:
            return nullptr;
    }
}

int ReadImage(const char* path, ImgkitPicture* picture, ImgkitReadInfo* info, ImgkitProgress progress,
              void* context) {
    InputFile file;
    if (!file.Open(path)) return IMGKIT_CANNOT_OPEN;
    if (file.Size() == 0) return IMGKIT_EMPTY;
    uint8_t head[kSniffBytes];
    const size_t n = static_cast<size_t>(std::min<int64_t>(file.Size(), kSniffBytes));
    if (!file.ReadAt(0, head, n)) return IMGKIT_CANNOT_OPEN;
    info->format = FormatOfContent(head, n, file);
    const FormatReader reader = ReaderOf(info->format);
    if (!reader) return IMGKIT_UNKNOWN_FORMAT;
    ReadJob job;
    job.progress = Progress(progress, context);
    job.progress.Report(0, 1);
    const Status status = reader(file, job);
    if (status != Status::Ok) return static_cast<int>(status);
    if (!job.image.Allocated()) return IMGKIT_DAMAGED;
    info->frames = std::max(job.frames, 1);
    info->flags = job.flags;
    job.image.Release(picture);
    job.progress.Report(1, 1);
    return IMGKIT_OK;
}

int WriteImage(const char* path, int format, const ImgkitWriteOptions* options, const ImgkitPicture* picture,
               ImgkitProgress progress, void* context) {
    const FormatWriter writer = WriterOf(format);
    if (!writer) return IMGKIT_BAD_IMAGE;
    const BITMAPINFOHEADER* header = picture->header;
    if (!header || !picture->bits || !IsModelHeader(*header)) return IMGKIT_BAD_IMAGE;
    const bool indexed = header->biBitCount == 8;
    if (indexed && !picture->palette) return IMGKIT_BAD_IMAGE;
    WriteJob job{picture->bits,
                 header,
                 picture->palette,
                 indexed ? picture->entryAlpha : nullptr,
                 options ? *options : ImgkitWriteOptions{},
                 Progress(progress, context)};
    if (job.options.quality < 0 || job.options.quality > 100) return IMGKIT_BAD_IMAGE;
    job.progress.Report(0, 1);
    const Status status = writer(path, job);
    if (status == Status::Ok) job.progress.Report(1, 1);
    return static_cast<int>(status);
}

}  // namespace
}  // namespace imgkit

extern "C" int ImgkitReadImage(const char* path, ImgkitPicture* picture, ImgkitReadInfo* info,
                               ImgkitProgress progress, void* context) {
    if (!picture) return IMGKIT_BAD_IMAGE;
    *picture = ImgkitPicture{};
    ImgkitReadInfo found{IMGKIT_FORMAT_UNKNOWN, 0, 0};
    int status = IMGKIT_NO_MEMORY;
    try {
        status =
            path && *path ? imgkit::ReadImage(path, picture, &found, progress, context) : IMGKIT_CANNOT_OPEN;
    } catch (...) {
        *picture = ImgkitPicture{};
    }
    if (info) *info = found;
    return status;
}

extern "C" int ImgkitWriteImage(const char* path, int format, const ImgkitWriteOptions* options,
                                const ImgkitPicture* picture, ImgkitProgress progress, void* context) {
    if (!path || !*path || !picture) return IMGKIT_BAD_IMAGE;
    try {
        return imgkit::WriteImage(path, format, options, picture, progress, context);
    } catch (...) {
        return IMGKIT_NO_MEMORY;
    }
}
