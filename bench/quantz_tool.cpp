// Helper of bench/quantz_compare: reduces a PPM picture with libquantz.so, or compares two
// pictures.
//
//   quantz_tool reduce in.ppm out.ppm palette dither [colours]
//       writes the reduced picture as 24-bit PPM and prints the seconds the reduction took: through
//       Convert24To256, or with a count of colours through ReduceColours
//   quantz_tool psnr a.ppm b.ppm                       prints the PSNR of b against a in dB
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "quantz/quantz.h"

namespace {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // top-down rows of red, green, blue
};

int ReadNumber(FILE* f) {
    int c = std::fgetc(f);
    while (c == '#' || std::isspace(c)) {
        if (c == '#') {
            while (c != '\n' && c != EOF)
                c = std::fgetc(f);
        }
        c = std::fgetc(f);
    }
    int value = 0;
    while (c >= '0' && c <= '9') {
        value = value * 10 + (c - '0');
        c = std::fgetc(f);
    }
    return value;  // the single white-space byte after the number is consumed
}

// Opens a binary PPM with 8-bit samples and reads its size; the file is left at the first pixel.
FILE* OpenPpm(const char* path, int& width, int& height) {
    FILE* f = std::fopen(path, "rb");
    if (!f) return nullptr;
    char magic[2] = {};
    bool ok = std::fread(magic, 1, 2, f) == 2 && magic[0] == 'P' && magic[1] == '6';
    if (ok) {
        width = ReadNumber(f);
        height = ReadNumber(f);
        ok = ReadNumber(f) == 255 && width > 0 && height > 0;
    }
    if (!ok) {
        std::fclose(f);
        return nullptr;
    }
    return f;
}

bool ReadPpm(const char* path, Picture& picture) {
    FILE* f = OpenPpm(path, picture.width, picture.height);
    if (!f) return false;
    picture.rgb.resize(size_t{3} * picture.width * picture.height);
    const bool ok = std::fread(picture.rgb.data(), 1, picture.rgb.size(), f) == picture.rgb.size();
    std::fclose(f);
    return ok;
}

double Psnr(const Picture& a, const Picture& b) {
    if (a.width != b.width || a.height != b.height) return -1;
    double sum = 0;
    for (size_t i = 0; i < a.rgb.size(); ++i) {
        const double d = double(a.rgb[i]) - double(b.rgb[i]);
        sum += d * d;
    }
    const double mse = sum / a.rgb.size();
    return mse == 0 ? INFINITY : 10 * std::log10(255.0 * 255.0 / mse);
}

// Reads the picture straight into the bottom-up rows of blue, green and red the library takes,
// and writes the result row by row, so that a large picture is not held twice.
int Reduce(const char* in, const char* out, int paletteMethod, int ditherMethod, int colours) {
    int w = 0, h = 0;
    FILE* input = OpenPpm(in, w, h);
    if (!input) {
        std::fprintf(stderr, "cannot read %s\n", in);
        return 1;
    }
    const size_t stride24 = (size_t{3} * w + 3) / 4 * 4;
    BITMAPINFOHEADER header{40, w, h, 1, 24, 0, uint32_t(stride24 * h), int32_t(stride24), 0, 0, 0};
    auto* bits = static_cast<uint8_t*>(std::calloc(h, stride24));
    bool ok = bits != nullptr;
    for (int y = 0; ok && y < h; ++y) {
        uint8_t* row = bits + stride24 * (h - 1 - y);
        ok = std::fread(row, 3, w, input) == size_t(w);
        for (int x = 0; x < w; ++x)
            std::swap(row[3 * x], row[3 * x + 2]);
    }
    std::fclose(input);
    if (!ok) {
        std::fprintf(stderr, "cannot read %s\n", in);
        std::free(bits);
        return 1;
    }

    uint8_t* result = bits;
    const auto start = std::chrono::steady_clock::now();
    BITMAPINFOHEADER* reduced = nullptr;
    if (colours > 0) {
        QuantzRequest request{};
        request.size = sizeof request;
        request.paletteMethod = paletteMethod;
        request.ditherMethod = ditherMethod;
        request.colours = colours;
        reduced = ReduceColours(&result, &header, &request);
    } else {
        reduced = Convert24To256(&result, &header, paletteMethod, ditherMethod);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::free(bits);
    if (!reduced) {
        std::fprintf(stderr, "reduction failed\n");
        return 1;
    }

    const auto* palette = reinterpret_cast<const uint8_t*>(reduced) + 40;
    const size_t stride8 = reduced->biXPelsPerMeter;
    FILE* output = std::fopen(out, "wb");
    ok = output != nullptr;
    if (ok) ok = std::fprintf(output, "P6\n%d %d\n255\n", w, h) > 0;
    std::vector<uint8_t> line(size_t{3} * w);
    for (int y = 0; ok && y < h; ++y) {
        const uint8_t* src = result + stride8 * (h - 1 - y);
        for (int x = 0; x < w; ++x) {
            const uint8_t* entry = palette + 4 * src[x];
            line[3 * x] = entry[2];
            line[3 * x + 1] = entry[1];
            line[3 * x + 2] = entry[0];
        }
        ok = std::fwrite(line.data(), 1, line.size(), output) == line.size();
    }
    if (output && std::fclose(output) != 0) ok = false;
    std::free(result);
    std::free(reduced);
    if (!ok) {
        std::fprintf(stderr, "cannot write %s\n", out);
        return 1;
    }
    std::printf("%.4f\n", seconds);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if ((argc == 6 || argc == 7) && std::strcmp(argv[1], "reduce") == 0)
        return Reduce(argv[2], argv[3], std::atoi(argv[4]), std::atoi(argv[5]),
                      argc == 7 ? std::atoi(argv[6]) : 0);
    if (argc == 4 && std::strcmp(argv[1], "psnr") == 0) {
        Picture a, b;
        if (!ReadPpm(argv[2], a) || !ReadPpm(argv[3], b)) {
            std::fprintf(stderr, "cannot read the pictures\n");
            return 1;
        }
        std::printf("%.2f\n", Psnr(a, b));
        return 0;
    }
    std::fprintf(stderr, "usage: %s reduce in.ppm out.ppm palette dither [colours] | psnr a.ppm b.ppm\n",
                 argv[0]);
    return 2;
}
