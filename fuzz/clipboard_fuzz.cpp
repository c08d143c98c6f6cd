// Feeds arbitrary bytes to the clipboard bitmap reader, both as given (a BMP file image or a packed
// bitmap) and with the first 14 bytes cut off (a BMP file's packed bitmap), and checks what it
// returns: a block in the model's form, or nothing at all.
#include <cstdlib>
#include <cstring>

#include "document/dib_parser.h"

namespace {

void Check(const uint8_t* data, size_t size) {
    BITMAPINFOHEADER* header = nullptr;
    uint8_t* bits = nullptr;
    const DibStatus status = ParseDib(data, size, &header, &bits);
    if (status != DibStatus::Ok) {
        if (header || bits || std::strlen(DibStatusText(status)) == 0) std::abort();
        return;
    }
    if (!header || !bits || !IsModelHeader(*header) || header->biSize != kHeaderBytes) std::abort();
    const size_t blockBytes = size_t(header->biXPelsPerMeter) * size_t(header->biHeight);
    if (header->biSizeImage != blockBytes) std::abort();
    // Touch both ends of both blocks so that the sanitizer sees any short allocation.
    uint8_t touched = bits[0] ^ bits[blockBytes - 1];
    if (header->biBitCount == 8) touched ^= reinterpret_cast<uint8_t*>(header)[kHeaderBlockBytes8 - 1];
    volatile uint8_t sink = touched;
    (void)sink;
    std::free(header);
    std::free(bits);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Check(data, size);
    if (size >= 14) Check(data + 14, size - 14);
    return 0;
}
