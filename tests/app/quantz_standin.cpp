// A stand-in for libquantz.so, for testing the program's side of a reduction. The environment
// variable ORVIK_STANDIN chooses what Convert24To256 does:
//   ok      reduces onto a grey ramp (entry i = grey i), reporting progress 0, 50 and 100
//   null    fails: returns null and leaves the rows pointer alone
//   depth   returns a header block that still says 24 bits
//   size    returns an image one row higher than the input
//   stride  returns a stride that does not fit the width
//   rows    returns a good header block but stores no new rows
//   input   returns the caller's own header block
// When ORVIK_STANDIN_LOG names a file, each progress call appends "percent previous" to it, the
// previous position being what the program's progress function returned.
// Built with STANDIN_WITHOUT_PROGRESS it lacks SetProgressFunction.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "quantz/quantz.h"

namespace {

ProgressFunction g_progress = nullptr;

void Report(int percent) {
    if (!g_progress) return;
    const int previous = g_progress(percent);
    if (const char* log = std::getenv("ORVIK_STANDIN_LOG")) {
        if (FILE* file = std::fopen(log, "a")) {
            std::fprintf(file, "%d %d\n", percent, previous);
            std::fclose(file);
        }
    }
}

}  // namespace

extern "C" {

#ifndef STANDIN_WITHOUT_PROGRESS
void SetProgressFunction(ProgressFunction progress) {
    g_progress = progress;
}
#endif

BITMAPINFOHEADER* Convert24To256(uint8_t** bits, BITMAPINFOHEADER* header, int, int) {
    const char* value = std::getenv("ORVIK_STANDIN");
    const std::string mode = value ? value : "ok";
    Report(0);
    if (mode == "null") return nullptr;
    if (mode == "input") return header;

    const int width = header->biWidth;
    const int height = header->biHeight;
    const int64_t stride = RowStride(width, 8);
    auto* result = static_cast<BITMAPINFOHEADER*>(std::calloc(1, kHeaderBlockBytes8));
    auto* rows = static_cast<uint8_t*>(std::calloc(static_cast<size_t>(stride), static_cast<size_t>(height)));
    if (!result || !rows) {
        std::free(result);
        std::free(rows);
        return nullptr;
    }
    *result = *header;
    result->biBitCount = 8;
    result->biXPelsPerMeter = static_cast<int32_t>(stride);
    result->biSizeImage = static_cast<uint32_t>(stride * height);
    result->biClrUsed = result->biClrImportant = 256;
    RGBQUAD* palette = HeaderPalette(result);
    for (int i = 0; i < kPaletteEntries; ++i)
        palette[i] = RGBQUAD{uint8_t(i), uint8_t(i), uint8_t(i), 0};
    for (int row = 0; row < height; ++row) {
        const uint8_t* in = *bits + int64_t{row} * header->biXPelsPerMeter;
        for (int x = 0; x < width; ++x)
            rows[row * stride + x] = static_cast<uint8_t>((in[3 * x] + in[3 * x + 1] + in[3 * x + 2]) / 3);
    }
    Report(50);

    if (mode == "depth") result->biBitCount = 24;
    if (mode == "size") result->biHeight = height + 1;  // a header that holds together, of the wrong size
    if (mode == "stride") result->biXPelsPerMeter = static_cast<int32_t>(stride + 4);
    if (mode == "rows") {
        std::free(rows);
        rows = nullptr;
    }
    if (rows) *bits = rows;
    Report(100);
    return result;
}

}  // extern "C"
