// Images for the tests of libquantz.so: 24-bit inputs in calloc'd blocks of exactly the model's
// size (so that the sanitizers catch any read past them), and the reduced result, freed on exit.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <vector>

#include "document/image_buffer.h"
#include "quantz/quantz.h"

struct Rgb {
    uint8_t red, green, blue;
    bool operator==(const Rgb&) const = default;
};

// A 24-bit input image. Pixels are addressed top-down (x, y) as the user sees them.
class InputImage {
public:
    InputImage(int width, int height, const std::function<Rgb(int x, int y)>& colour) {
        const int64_t stride = RowStride(width, 24);
        m_header = BITMAPINFOHEADER{40, width, height, 1, 24, 0, uint32_t(stride * height), int32_t(stride),
                                    0,  0,     0};
        m_bits = static_cast<uint8_t*>(std::calloc(size_t(stride * height), 1));
        if (!m_bits) throw std::bad_alloc();
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const Rgb c = colour(x, y);
                uint8_t* p = m_bits + (height - 1 - y) * stride + 3 * x;
                p[0] = c.blue;
                p[1] = c.green;
                p[2] = c.red;
            }
        }
    }
    ~InputImage() { std::free(m_bits); }
    InputImage(const InputImage&) = delete;
    InputImage& operator=(const InputImage&) = delete;

    BITMAPINFOHEADER& header() { return m_header; }
    uint8_t* bits() const { return m_bits; }
    int width() const { return m_header.biWidth; }
    int height() const { return m_header.biHeight; }
    size_t bytes() const { return size_t(m_header.biXPelsPerMeter) * m_header.biHeight; }
    Rgb At(int x, int y) const {
        const uint8_t* p = m_bits + (height() - 1 - y) * m_header.biXPelsPerMeter + 3 * x;
        return Rgb{p[2], p[1], p[0]};
    }

private:
    BITMAPINFOHEADER m_header;
    uint8_t* m_bits;
};

// The result of one Convert24To256 call; empty when it failed.
class Reduced {
public:
    Reduced(InputImage& image, int paletteMethod, int ditherMethod) : m_bits(image.bits()) {
        m_header = Convert24To256(&m_bits, &image.header(), paletteMethod, ditherMethod);
        if (!m_header) m_bits = nullptr;  // still the input's rows, not ours
    }
    // Through ReduceColours, for any input the library takes.
    Reduced(uint8_t* bits, const BITMAPINFOHEADER* header, QuantzRequest& request) : m_bits(bits) {
        m_header = ReduceColours(&m_bits, header, &request);
        if (!m_header) m_bits = nullptr;
    }
    ~Reduced() {
        std::free(m_header);
        std::free(m_bits);
    }
    Reduced(const Reduced&) = delete;
    Reduced& operator=(const Reduced&) = delete;

    explicit operator bool() const { return m_header != nullptr; }
    const BITMAPINFOHEADER& header() const { return *m_header; }
    const uint8_t* bits() const { return m_bits; }
    const RGBQUAD* palette() const { return HeaderPalette(m_header); }
    int Index(int x, int y) const {
        return m_bits[(m_header->biHeight - 1 - y) * m_header->biXPelsPerMeter + x];
    }
    Rgb At(int x, int y) const {
        const RGBQUAD& e = palette()[Index(x, y)];
        return Rgb{e.rgbRed, e.rgbGreen, e.rgbBlue};
    }

private:
    uint8_t* m_bits;
    BITMAPINFOHEADER* m_header = nullptr;
};

inline int SquaredDistance(const Rgb& a, const RGBQUAD& b) {
    const int dr = a.red - b.rgbRed, dg = a.green - b.rgbGreen, db = a.blue - b.rgbBlue;
    return dr * dr + dg * dg + db * db;
}

// PSNR of the reduced image against the input, in dB (infinite when equal).
inline double Psnr(const InputImage& input, const Reduced& reduced) {
    double sum = 0;
    for (int y = 0; y < input.height(); ++y) {
        for (int x = 0; x < input.width(); ++x) {
            const Rgb a = input.At(x, y), b = reduced.At(x, y);
            const double dr = a.red - b.red, dg = a.green - b.green, db = a.blue - b.blue;
            sum += dr * dr + dg * dg + db * db;
        }
    }
    const double mse = sum / (3.0 * input.width() * input.height());
    return mse == 0 ? INFINITY : 10 * std::log10(255.0 * 255.0 / mse);
}

// A request for ReduceColours.
inline QuantzRequest Request(int paletteMethod, int ditherMethod, int colours = 256) {
    QuantzRequest request{};
    request.size = sizeof request;
    request.paletteMethod = paletteMethod;
    request.ditherMethod = ditherMethod;
    request.colours = colours;
    return request;
}

// Every palette method with every dither method.
struct MethodPair {
    int palette;
    int dither;
};
inline std::vector<MethodPair> AllMethodPairs() {
    std::vector<MethodPair> pairs;
    for (int p = 0; p < 3; ++p)
        for (int d = 0; d < 3; ++d)
            pairs.push_back({p, d});
    return pairs;
}
