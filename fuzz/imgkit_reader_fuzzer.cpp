// Fuzz target for one reader of libimgkit.so (chosen by IMGKIT_READER at build time). The readers
// take a path, so each input goes into a memory file that is read through /proc/self/fd.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "imgkit/imgkit.h"

namespace {

// True when some JPEG frame header in the input declares more than 4 million pixels. Such inputs are
// skipped: the reader accepts frames up to the 1 GiB limit and libjpeg then decodes the whole frame
// from almost no data, seconds per input, which would leave no time for anything else. The limit
// itself is covered by the unit tests.
bool DeclaresLargeJpegFrame(const uint8_t* data, size_t size) {
    for (size_t i = 0; i + 9 <= size; ++i) {
        const int marker = data[i + 1];
        const bool frame = data[i] == 0xFF && marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 &&
                           marker != 0xC8 && marker != 0xCC;
        const uint64_t height = data[i + 5] << 8 | data[i + 6], width = data[i + 7] << 8 | data[i + 8];
        if (frame && width * height > (uint64_t{4} << 20)) return true;
    }
    return false;
}

// The same for a PNG header: a little compressed data can inflate to a whole large picture.
bool DeclaresLargePng(const uint8_t* data, size_t size) {
    if (size < 24) return false;
    const uint64_t width = uint64_t{data[16]} << 24 | data[17] << 16 | data[18] << 8 | data[19];
    const uint64_t height = uint64_t{data[20]} << 24 | data[21] << 16 | data[22] << 8 | data[23];
    return width * height > (uint64_t{4} << 20);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (IMGKIT_READER == ReadJpeg && DeclaresLargeJpegFrame(data, size)) return 0;
    if (IMGKIT_READER == ReadPNG && DeclaresLargePng(data, size)) return 0;
    static int fd = -1;
    static char path[64];
    if (fd < 0) {
        fd = memfd_create("imgkit-fuzz", MFD_CLOEXEC);
        if (fd < 0) abort();
        std::snprintf(path, sizeof path, "/proc/self/fd/%d", fd);
    }
    if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) abort();

    uint8_t* bits = nullptr;
    RGBQUAD* palette = nullptr;
    BITMAPINFOHEADER* header = IMGKIT_READER(path, &bits, &palette);
    if (!header) {
        if (bits || palette) abort();  // a failed read stores nothing
        return 0;
    }
    if (!IsModelHeader(*header) || !bits) abort();
    if ((header->biBitCount == 8) != (palette == HeaderPalette(header))) abort();
    // Touch the last byte of each block so that a short allocation shows.
    volatile uint8_t sink = bits[static_cast<size_t>(header->biXPelsPerMeter) * header->biHeight - 1];
    if (palette) sink = sink + palette[255].rgbRed;
    (void)sink;
    std::free(header);
    std::free(bits);
    return 0;
}
