// Fuzz target for one reader of libimgkit.so (chosen by IMGKIT_READER at build time). The readers
// take a path, so each input goes into a memory file that is read through /proc/self/fd.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "imgkit/imgkit.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
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
