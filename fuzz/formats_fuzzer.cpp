// Fuzz target for one reader of the codec library (IMGKIT_READER, e.g. ReadGifImage, chosen at build
// time), called directly on the input in memory as ImgkitReadImage calls it.
#include <webp/decode.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "imgkit/codec_io.h"

namespace {

constexpr uint64_t kLargestPixels = uint64_t{4} << 20;

uint64_t Get16Le(const uint8_t* p) {
    return uint64_t{p[0]} | uint64_t{p[1]} << 8;
}

uint64_t Get32Be(const uint8_t* p) {
    return uint64_t{p[0]} << 24 | uint64_t{p[1]} << 16 | uint64_t{p[2]} << 8 | p[3];
}

// True when the input declares a picture of more than 4 million pixels somewhere a reader takes its
// size from. Such inputs are skipped: a few bytes can ask for a whole large picture to be filled
// or decoded, seconds per input, which would leave no time for anything else. The limits themselves
// are covered by the unit tests.
bool DeclaresLargePicture(const uint8_t* data, size_t size) {
    // GIF screens and frames, TGA headers.
    if (size >= 10 && std::memcmp(data, "GIF", 3) == 0 &&
        Get16Le(data + 6) * Get16Le(data + 8) > kLargestPixels)
        return true;
    for (size_t i = 0; i + 9 <= size; ++i)
        if (data[i] == 0x2C && Get16Le(data + i + 5) * Get16Le(data + i + 7) > kLargestPixels) return true;
    if (size >= 18 && Get16Le(data + 12) * Get16Le(data + 14) > kLargestPixels) return true;
    // PNG headers, also inside icons.
    for (size_t i = 0; i + 12 <= size; ++i)
        if (std::memcmp(data + i, "IHDR", 4) == 0 &&
            Get32Be(data + i + 4) * Get32Be(data + i + 8) > kLargestPixels)
            return true;
    // PNM headers.
    unsigned width = 0, height = 0;
    char text[64] = {};
    std::memcpy(text, data, size < sizeof text - 1 ? size : sizeof text - 1);
    if (std::sscanf(text, "P%*c %u %u", &width, &height) == 2 && uint64_t{width} * height > kLargestPixels)
        return true;
    // WebP.
    int w = 0, h = 0;
    return WebPGetInfo(data, size, &w, &h) && uint64_t(w) * uint64_t(h) > kLargestPixels;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (DeclaresLargePicture(data, size)) return 0;
    imgkit::InputFile file;
    file.OpenMemory(data, static_cast<int64_t>(size));
    imgkit::ReadJob job;
    if (imgkit::IMGKIT_READER(file, job) != imgkit::Status::Ok) return 0;
    const imgkit::DecodedImage& image = job.image;
    if (!image.Allocated() || !IsModelHeader(*image.Header())) std::abort();
    // Touch the last byte of the rows and of the palette so that a short allocation shows.
    volatile uint8_t sink = image.Bits()[static_cast<size_t>(image.Stride() * image.Height() - 1)];
    if (image.BitCount() == 8) sink = sink + image.Palette()[255].rgbRed;
    (void)sink;
    return 0;
}
