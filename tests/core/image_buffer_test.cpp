#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "document/image_buffer.h"
#include "test_image.h"

TEST(ImageBuffer, StrideRule) {
    EXPECT_EQ(RowStride(1, 8), 4);
    EXPECT_EQ(RowStride(1, 24), 4);
    EXPECT_EQ(RowStride(3, 8), 4);
    EXPECT_EQ(RowStride(3, 24), 12);
    EXPECT_EQ(RowStride(300, 8), 300);
    EXPECT_EQ(RowStride(300, 24), 900);
    EXPECT_EQ(RowStride(301, 8), 304);
    EXPECT_EQ(RowStride(301, 24), 904);
    EXPECT_EQ(RowStride(65535, 24), 196608);
}

TEST(ImageBuffer, DefaultPalette) {
    RGBQUAD* p = MakeDefaultPalette();
    ASSERT_NE(p, nullptr);
    auto rgb = [&](int i) { return std::array<int, 3>{p[i].rgbRed, p[i].rgbGreen, p[i].rgbBlue}; };
    EXPECT_EQ(rgb(0), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(rgb(43), (std::array<int, 3>{42, 42, 42}));
    EXPECT_EQ(rgb(223), (std::array<int, 3>{42, 42, 42}));
    EXPECT_EQ(rgb(215), (std::array<int, 3>{210, 210, 210}));
    EXPECT_EQ(rgb(216), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(rgb(255), (std::array<int, 3>{234, 234, 234}));
    EXPECT_EQ(rgb(1), (std::array<int, 3>{0, 0, 42}));
    EXPECT_EQ(rgb(6), (std::array<int, 3>{0, 42, 0}));
    EXPECT_EQ(rgb(36), (std::array<int, 3>{42, 0, 0}));
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(p[i].rgbReserved, 0) << i;
    EXPECT_EQ(PaletteColour(p[36]), 0x2A0000u);
    EXPECT_EQ(PaletteColour(p[1]), 0x00002Au);
    std::free(p);
}

TEST(ImageBuffer, BlankImages) {
    {
        TestImage img(1, 1, kImage8Bit);
        EXPECT_EQ(reinterpret_cast<uint8_t*>(img.palette), reinterpret_cast<uint8_t*>(img.header) + 40);
        EXPECT_EQ(img.header->biSize, 40u);
        EXPECT_EQ(img.header->biBitCount, 8);
        EXPECT_EQ(img.header->biPlanes, 1);
        EXPECT_EQ(img.header->biXPelsPerMeter, 4);
        EXPECT_EQ(img.header->biSizeImage, 4u);
        EXPECT_EQ(img.header->biClrUsed, 256u);
        EXPECT_EQ(img.header->biClrImportant, 256u);
        EXPECT_EQ(img.bits[0], 0);
        EXPECT_EQ(img.palette[255].rgbRed, 234);
        EXPECT_TRUE(IsModelHeader(*img.header));
    }
    {
        TestImage img(3, 2, kImage24Bit);
        EXPECT_EQ(img.header->biBitCount, 24);
        EXPECT_EQ(img.header->biXPelsPerMeter, 12);
        EXPECT_EQ(img.header->biSizeImage, 24u);
        EXPECT_EQ(img.header->biClrUsed, 0u);
        EXPECT_EQ(img.header->biYPelsPerMeter, 0);
        for (int i = 0; i < 24; ++i)
            EXPECT_EQ(img.bits[i], 0);
        RGBQUAD expected[256];
        FillDefaultPalette(expected);
        EXPECT_EQ(std::memcmp(img.palette, expected, sizeof expected), 0);
        EXPECT_TRUE(IsModelHeader(*img.header));
    }
}

TEST(ImageBuffer, RefusedSizesAllocateNothing) {
    BITMAPINFOHEADER* header = reinterpret_cast<BITMAPINFOHEADER*>(0x1);
    RGBQUAD* palette = reinterpret_cast<RGBQUAD*>(0x2);
    uint8_t* bits = reinterpret_cast<uint8_t*>(0x3);
    const struct {
        int width, height, type;
        ImageStatus status;
    } cases[] = {
        {0, 10, kImage8Bit, ImageStatus::BadSize},
        {10, 0, kImage24Bit, ImageStatus::BadSize},
        {-5, 10, kImage8Bit, ImageStatus::BadSize},
        {65536, 1, kImage8Bit, ImageStatus::BadSize},
        {65535, 65535, kImage24Bit, ImageStatus::TooLarge},
        {40000, 40000, kImage8Bit, ImageStatus::TooLarge},
        {10, 10, 2, ImageStatus::BadDepth},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CreateBlankImage(c.width, c.height, c.type, &header, &palette, &bits), c.status)
            << c.width << " x " << c.height;
        EXPECT_EQ(header, reinterpret_cast<BITMAPINFOHEADER*>(0x1));
        EXPECT_EQ(palette, reinterpret_cast<RGBQUAD*>(0x2));
        EXPECT_EQ(bits, reinterpret_cast<uint8_t*>(0x3));
    }
    // The largest block that fits: 32768 rows of 32768 bytes is exactly 1 GiB.
    int64_t stride = 0, bytes = 0;
    EXPECT_EQ(CheckImageSize(32768, 32768, 8, &stride, &bytes), ImageStatus::Ok);
    EXPECT_EQ(bytes, int64_t{1} << 30);
    EXPECT_EQ(CheckImageSize(32768, 32769, 8), ImageStatus::TooLarge);
}

TEST(ImageBuffer, ModelHeaderCheck) {
    TestImage img(5, 3, kImage24Bit);
    BITMAPINFOHEADER h = *img.header;
    EXPECT_TRUE(IsModelHeader(h));
    h.biXPelsPerMeter = 15;  // stride not padded
    EXPECT_FALSE(IsModelHeader(h));
    h = *img.header;
    h.biBitCount = 32;
    EXPECT_FALSE(IsModelHeader(h));  // the stride is 24 bits'
    h.biXPelsPerMeter = 20;
    EXPECT_TRUE(IsModelHeader(h));  // blue, green, red and alpha
    h.biBitCount = 16;
    h.biXPelsPerMeter = 12;
    EXPECT_FALSE(IsModelHeader(h));
    h = *img.header;
    h.biHeight = -3;
    EXPECT_FALSE(IsModelHeader(h));
    h = *img.header;
    h.biCompression = 1;
    EXPECT_FALSE(IsModelHeader(h));
}

// Without a header pointer only the zeroed rows are made, for an operation that keeps its header
// block; a size the model cannot hold allocates nothing and leaves the rows pointer alone.
TEST(ImageBuffer, AllocateRowsOnly) {
    uint8_t* bits = nullptr;
    ASSERT_EQ(AllocateImage(5, 3, 24, nullptr, &bits), ImageStatus::Ok);
    ASSERT_NE(bits, nullptr);
    for (int i = 0; i < 3 * 16; ++i)
        EXPECT_EQ(bits[i], 0) << i;
    uint8_t* const kept = bits;
    EXPECT_EQ(AllocateImage(65536, 3, 8, nullptr, &bits), ImageStatus::BadSize);
    EXPECT_EQ(AllocateImage(5, 3, 16, nullptr, &bits), ImageStatus::BadDepth);
    EXPECT_EQ(bits, kept);
    std::free(bits);
}
