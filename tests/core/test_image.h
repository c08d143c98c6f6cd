// A blank image that frees its blocks, for tests of the core routines.
#pragma once

#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "document/image_buffer.h"
#include "document/pixel_routines.h"

// A 24-bit image with an alpha channel (transparent black), beside the two types of new images.
constexpr int kTestImage32 = 2;

struct TestImage {
    BITMAPINFOHEADER* header = nullptr;
    RGBQUAD* palette = nullptr;
    uint8_t* bits = nullptr;

    TestImage(int width, int height, int type) {
        if (CreateBlankImage(width, height, type == kTestImage32 ? kImage24Bit : type, &header, &palette,
                             &bits) != ImageStatus::Ok)
            throw std::runtime_error("blank image");
        if (type == kTestImage32) {
            if (!ConvertTrueColour(&bits, &header, 32)) throw std::runtime_error("32-bit image");
            std::memset(bits, 0, header->biSizeImage);
        }
    }
    ~TestImage() {
        if (header && header->biBitCount != 8) std::free(palette);
        std::free(header);
        std::free(bits);
    }
    TestImage(const TestImage&) = delete;
    TestImage& operator=(const TestImage&) = delete;

    int width() const { return header->biWidth; }
    int height() const { return header->biHeight; }
    int stride() const { return header->biXPelsPerMeter; }
    uint8_t& At8(int x, int row) { return bits[row * stride() + x]; }
    uint32_t At24(int x, int row) const { return GetPixel24(bits, x, row, stride()); }
    uint32_t At32(int x, int row) const { return GetPixel32(bits, x, row, stride()); }
    void Set32(int x, int row, uint32_t argb) { std::memcpy(bits + row * stride() + 4 * x, &argb, 4); }
    void Set24(int x, int row, uint32_t colour) {
        uint8_t* p = bits + row * stride() + 3 * x;
        p[0] = colour & 0xFF;
        p[1] = (colour >> 8) & 0xFF;
        p[2] = (colour >> 16) & 0xFF;
    }
};

// Restores the process-wide translucency settings when a test ends.
struct TranslucencyScope {
    uint8_t savedFlag = g_bTranslucent;
    float savedFactor = g_fTranslucency;
    TranslucencyScope(bool on, float factor = 0.63f) {
        g_bTranslucent = on ? 1 : 0;
        g_fTranslucency = factor;
    }
    ~TranslucencyScope() {
        g_bTranslucent = savedFlag;
        g_fTranslucency = savedFactor;
    }
};
