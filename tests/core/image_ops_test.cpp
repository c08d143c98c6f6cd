#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "document/image_ops.h"
#include "document/pixel_routines.h"
#include "test_image.h"

namespace {

// Every pixel gets a value from its column and memory row, so moved pixels can be traced.
uint32_t Mark(int x, int row) {
    return uint32_t(0x10000 * (row + 1) + 0x101 * (x + 1)) & 0xFFFFFF;
}

void Paint(TestImage& image) {
    for (int row = 0; row < image.height(); ++row) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.header->biBitCount == 8)
                image.At8(x, row) = uint8_t(16 * row + x + 1);
            else
                image.Set24(x, row, Mark(x, row));
        }
    }
}

struct Snapshot {
    BITMAPINFOHEADER header;
    uint8_t* bits;
    std::vector<uint8_t> rows;
    explicit Snapshot(const TestImage& image)
        : header(*image.header),
          bits(image.bits),
          rows(image.bits, image.bits + image.stride() * image.height()) {}
    void ExpectSame(const TestImage& image) const {
        EXPECT_EQ(std::memcmp(&header, image.header, sizeof header), 0);
        EXPECT_EQ(bits, image.bits);
        EXPECT_EQ(std::memcmp(rows.data(), image.bits, rows.size()), 0);
    }
};

// The padding bytes at the end of every row are zero.
void ExpectZeroPadding(const TestImage& image) {
    const int used = image.width() * image.header->biBitCount / 8;
    for (int row = 0; row < image.height(); ++row)
        for (int b = used; b < image.stride(); ++b)
            ASSERT_EQ(image.bits[row * image.stride() + b], 0) << row;
}

}  // namespace

TEST(ResizeCanvas, GrowsAndShrinksBothWays) {
    struct Case {
        int width, height, type, newWidth, newHeight, newStride;
    };
    const Case cases[] = {
        {4, 3, kImage8Bit, 6, 2, 8},            // the old top row goes, columns 4 and 5 are index 0
        {100, 100, kImage8Bit, 120, 80, 120},   // top 20 rows cut, 20 zero columns at the right
        {100, 100, kImage8Bit, 120, 140, 120},  // 40 zero rows at the top
        {3, 2, kImage24Bit, 5, 2, 16},          // stride 12 -> 16, two black columns
        {10, 3, kImage24Bit, 11, 3, 36},
        {7, 5, kImage24Bit, 2, 9, 8},  // odd widths: padded strides on both sides
        {5, 5, kImage8Bit, 1, 1, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.width << "x" << c.height << " -> " << c.newWidth << "x" << c.newHeight);
        TestImage image(c.width, c.height, c.type);
        Paint(image);
        TestImage before(c.width, c.height, c.type);
        Paint(before);
        ASSERT_EQ(ResizeCanvas(image.header, &image.bits, c.newWidth, c.newHeight), ImageStatus::Ok);
        EXPECT_EQ(image.stride(), c.newStride);
        EXPECT_EQ(image.header->biSizeImage, uint32_t(c.newStride * c.newHeight));
        EXPECT_TRUE(IsModelHeader(*image.header));
        for (int row = 0; row < c.newHeight; ++row) {
            for (int x = 0; x < c.newWidth; ++x) {
                const bool inside = x < c.width && row < c.height;
                if (c.type == kImage8Bit)
                    ASSERT_EQ(image.At8(x, row), inside ? before.At8(x, row) : 0) << x << "," << row;
                else
                    ASSERT_EQ(image.At24(x, row), inside ? before.At24(x, row) : 0u) << x << "," << row;
            }
        }
        ExpectZeroPadding(image);
    }
}

TEST(ResizeImage, ReplicatesNearestNeighbours) {
    for (int type : {kImage8Bit, kImage24Bit}) {
        SCOPED_TRACE(type);
        // 2 x 2 to 4 x 4: each pixel becomes a 2 x 2 block.
        TestImage image(2, 2, type);
        Paint(image);
        TestImage before(2, 2, type);
        Paint(before);
        ASSERT_EQ(ResizeImage(image.header, &image.bits, 4, 4), ImageStatus::Ok);
        EXPECT_EQ(image.stride(), type == kImage8Bit ? 4 : 12);
        EXPECT_EQ(image.header->biSizeImage, uint32_t(image.stride() * 4));
        for (int row = 0; row < 4; ++row) {
            for (int x = 0; x < 4; ++x) {
                if (type == kImage8Bit)
                    EXPECT_EQ(image.At8(x, row), before.At8(x / 2, row / 2));
                else
                    EXPECT_EQ(image.At24(x, row), before.At24(x / 2, row / 2));
            }
        }
        // Halving an odd width picks every other column and row.
        TestImage odd(7, 5, type);
        Paint(odd);
        TestImage oddBefore(7, 5, type);
        Paint(oddBefore);
        ASSERT_EQ(ResizeImage(odd.header, &odd.bits, 3, 2), ImageStatus::Ok);
        for (int row = 0; row < 2; ++row) {
            for (int x = 0; x < 3; ++x) {
                const int sx = x * 7 / 3;
                const int sr = row * 5 / 2;
                if (type == kImage8Bit)
                    EXPECT_EQ(odd.At8(x, row), oddBefore.At8(sx, sr)) << x << "," << row;
                else
                    EXPECT_EQ(odd.At24(x, row), oddBefore.At24(sx, sr)) << x << "," << row;
            }
        }
        ExpectZeroPadding(odd);
    }
}

TEST(ResizeImage, SameSizeKeepsEveryPixel) {
    TestImage image(9, 4, kImage24Bit);
    Paint(image);
    const Snapshot before(image);
    ASSERT_EQ(ResizeImage(image.header, &image.bits, 9, 4), ImageStatus::Ok);
    EXPECT_EQ(std::memcmp(before.rows.data(), image.bits, before.rows.size()), 0);
}

TEST(ImageOperations, RefusedSizesTouchNothing) {
    struct Case {
        int64_t width, height;
        ImageStatus status;
    };
    const Case cases[] = {
        {0, 10, ImageStatus::BadSize},         {10, 0, ImageStatus::BadSize},
        {65536, 1, ImageStatus::BadSize},      {1, 4294967296, ImageStatus::BadSize},
        {-1, 5, ImageStatus::BadSize},         {65535, 65535, ImageStatus::TooLarge},
        {20000, 20000, ImageStatus::TooLarge},  // 1.2 GB at 24 bits: 3 * 20000 * 20000 overflows 32 bits
    };
    for (auto operation : {&ResizeCanvas, &ResizeImage}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
            TestImage image(5, 3, kImage24Bit);
            Paint(image);
            const Snapshot before(image);
            EXPECT_EQ(operation(image.header, &image.bits, c.width, c.height), c.status);
            before.ExpectSame(image);
        }
        // A header the program cannot hold is not worked on.
        TestImage image(5, 3, kImage8Bit);
        image.header->biXPelsPerMeter = 5;
        const Snapshot before(image);
        EXPECT_NE(operation(image.header, &image.bits, 4, 4), ImageStatus::Ok);
        before.ExpectSame(image);
    }
}

TEST(IsReducedImage, AcceptsOnlyAnImageOfTheSourceSize) {
    TestImage source(7, 3, kImage24Bit);
    TestImage good(7, 3, kImage8Bit);
    EXPECT_TRUE(IsReducedImage(good.header, good.bits, *source.header, source.bits));
    EXPECT_FALSE(IsReducedImage(nullptr, good.bits, *source.header, source.bits));
    EXPECT_FALSE(IsReducedImage(good.header, nullptr, *source.header, source.bits));
    EXPECT_FALSE(IsReducedImage(good.header, source.bits, *source.header, source.bits));  // rows not replaced
    EXPECT_FALSE(IsReducedImage(source.header, good.bits, *source.header, source.bits));  // still 24 bits
    struct Fault {
        const char* what;
        void (*spoil)(BITMAPINFOHEADER&);
    };
    const Fault faults[] = {
        {"width", [](BITMAPINFOHEADER& h) { h.biWidth = 6; }},
        {"height", [](BITMAPINFOHEADER& h) { h.biHeight = 4; }},
        {"stride", [](BITMAPINFOHEADER& h) { h.biXPelsPerMeter = 7; }},
        {"depth", [](BITMAPINFOHEADER& h) { h.biBitCount = 4; }},
        {"compression", [](BITMAPINFOHEADER& h) { h.biCompression = 1; }},
    };
    for (const Fault& fault : faults) {
        BITMAPINFOHEADER bad = *good.header;
        fault.spoil(bad);
        EXPECT_FALSE(IsReducedImage(&bad, good.bits, *source.header, source.bits)) << fault.what;
    }
}

TEST(MapOntoPalette, PutsFloatingBlocksOntoTheNewPalette) {
    std::vector<RGBQUAD> palette(256, RGBQUAD{0, 0, 0, 0});
    palette[1] = {0, 0, 250, 0};    // red
    palette[2] = {0, 250, 0, 0};    // green
    palette[200] = {250, 0, 0, 0};  // blue

    // 24 bit: nearest entries, and the palette becomes the block's colour table.
    TestImage floating24(3, 2, kImage24Bit);
    floating24.Set24(0, 0, 0xFF0000);
    floating24.Set24(1, 0, 0x00F000);
    floating24.Set24(2, 1, 0x0000E0);
    ASSERT_TRUE(MapOntoPalette(&floating24.header, &floating24.bits, palette.data()));
    std::free(floating24.palette);  // a floating image has no separate palette
    floating24.palette = nullptr;
    EXPECT_EQ(floating24.header->biBitCount, 8);
    EXPECT_EQ(floating24.stride(), 4);
    EXPECT_EQ(floating24.At8(0, 0), 1);
    EXPECT_EQ(floating24.At8(1, 0), 2);
    EXPECT_EQ(floating24.At8(2, 1), 200);
    EXPECT_EQ(floating24.At8(0, 1), 0);
    EXPECT_EQ(std::memcmp(HeaderPalette(floating24.header), palette.data(), kPaletteBytes), 0);

    // 8 bit: each index is translated through its own colour.
    TestImage floating8(5, 1, kImage8Bit);
    RGBQUAD* own = HeaderPalette(floating8.header);
    own[7] = {0, 0, 255, 0};
    own[9] = {255, 0, 0, 0};
    floating8.At8(0, 0) = 7;
    floating8.At8(1, 0) = 9;
    floating8.At8(2, 0) = 0;  // black in both tables
    ASSERT_TRUE(MapOntoPalette(&floating8.header, &floating8.bits, palette.data()));
    EXPECT_EQ(floating8.At8(0, 0), 1);
    EXPECT_EQ(floating8.At8(1, 0), 200);
    EXPECT_EQ(floating8.At8(2, 0), 0);
    EXPECT_EQ(std::memcmp(HeaderPalette(floating8.header), palette.data(), kPaletteBytes), 0);
}
