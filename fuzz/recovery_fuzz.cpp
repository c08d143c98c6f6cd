// Feeds arbitrary bytes to the recovery file reader, as a file, and checks what it returns: an image
// whose blocks hold what its header says, with a picture of the stated size, or nothing.
#include <cstdio>
#include <cstdlib>

#include "document/recovery_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (!file) return 0;
    RecoveryInfo info;
    RecoveryImage image;
    const RecoveryStatus status = ReadRecovery(file, &info, &image);
    std::fclose(file);
    if (status != RecoveryStatus::Ok) {
        if (image.image.header || image.image.bits) std::abort();
        return 0;
    }
    const BITMAPINFOHEADER& header = *image.image.header;
    if (header.biWidth != info.width || header.biHeight != info.height || header.biBitCount != info.bitCount ||
        header.biXPelsPerMeter != RowStride(header.biWidth, header.biBitCount))
        std::abort();
    if (info.picture.size() != size_t(info.pictureWidth) * info.pictureHeight * 4) std::abort();
    // Both ends of the rows and the palette, so that the sanitizer sees any short allocation.
    const size_t bytes = size_t(header.biXPelsPerMeter) * size_t(header.biHeight);
    volatile uint8_t sink = image.image.bits[0] ^ image.image.bits[bytes - 1] ^ image.image.palette[255].rgbRed;
    (void)sink;
    return 0;
}
