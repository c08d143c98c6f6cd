// The block Copy places on the clipboard, read back byte by byte and through the clipboard parser,
// and pictures arriving as 32-bit or indexed pixels brought into the image model.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "document/clipboard_dib.h"
#include "document/dib_parser.h"
#include "test_image.h"

namespace {

using Bytes = std::vector<uint8_t>;

uint32_t U32(const Bytes& b, size_t at) {
    return uint32_t{b[at]} | uint32_t{b[at + 1]} << 8 | uint32_t{b[at + 2]} << 16 | uint32_t{b[at + 3]} << 24;
}
uint32_t U16(const Bytes& b, size_t at) {
    return uint32_t{b[at]} | uint32_t{b[at + 1]} << 8;
}

// Every pixel of the image different: index x + 16 * y, or a colour made of x, y and a seed.
void FillPattern(TestImage& image) {
    for (int row = 0; row < image.height(); ++row) {
        const int y = image.height() - 1 - row;
        for (int x = 0; x < image.width(); ++x) {
            if (image.header->biBitCount == 8)
                image.At8(x, row) = static_cast<uint8_t>(x + 16 * y);
            else
                image.Set24(x, row,
                            static_cast<uint32_t>((x * 7 & 0xFF) << 16 | (y * 13 & 0xFF) << 8 | (x + y + 1)));
        }
    }
    // A palette unlike the default one, so the table can be told apart.
    for (int i = 0; i < kPaletteEntries; ++i)
        image.palette[i] = RGBQUAD{uint8_t(i), uint8_t(255 - i), uint8_t(i * 3), 0};
}

Bytes Block(const TestImage& image, RECT area) {
    Bytes block(ClipboardBmpBytes(area.right - area.left, area.bottom - area.top, image.header->biBitCount),
                0xCC);
    WriteClipboardBmp(block.data(), *image.header, image.palette, image.bits, area);
    return block;
}

// The pixel bytes of image row y (from the top), columns [left, right).
Bytes ImageRow(const TestImage& image, int y, int left, int right) {
    const int bytes = image.header->biBitCount / 8;
    const uint8_t* p = image.bits + (image.height() - 1 - y) * image.stride() + left * bytes;
    return Bytes(p, p + (right - left) * bytes);
}

struct Blocks {
    BITMAPINFOHEADER* header = nullptr;
    uint8_t* bits = nullptr;
    ~Blocks() {
        std::free(header);
        std::free(bits);
    }
};

}  // namespace

TEST(ClipboardBlock, TwentyFourBitSelectionAsFileImage) {
    TestImage image(7, 5, kImage24Bit);
    FillPattern(image);
    const RECT area{1, 1, 6, 4};  // 5 x 3
    const Bytes block = Block(image, area);
    ASSERT_EQ(block.size(), 14u + 40u + 3u * 16u);
    EXPECT_EQ(block[0], 'B');
    EXPECT_EQ(block[1], 'M');
    EXPECT_EQ(U32(block, 2), block.size());
    EXPECT_EQ(U32(block, 6), 0u);
    EXPECT_EQ(U32(block, 10), 54u);
    const size_t h = 14;
    EXPECT_EQ(U32(block, h + 0), 40u);
    EXPECT_EQ(U32(block, h + 4), 5u);
    EXPECT_EQ(U32(block, h + 8), 3u);
    EXPECT_EQ(U16(block, h + 12), 1u);
    EXPECT_EQ(U16(block, h + 14), 24u);
    EXPECT_EQ(U32(block, h + 16), 0u);
    EXPECT_EQ(U32(block, h + 20), 48u);
    EXPECT_EQ(U32(block, h + 24), 0u);  // a resolution here, not the stride
    EXPECT_EQ(U32(block, h + 28), 0u);
    EXPECT_EQ(U32(block, h + 32), 0u);
    EXPECT_EQ(U32(block, h + 36), 0u);
    // Bottom-up: the first row is the selection's bottom row (y = 3), each padded with one zero.
    for (int r = 0; r < 3; ++r) {
        const auto row = block.begin() + 54 + 16 * r;
        EXPECT_EQ(Bytes(row, row + 15), ImageRow(image, 3 - r, 1, 6)) << "row " << r;
        EXPECT_EQ(row[15], 0) << "padding of row " << r;
    }
}

TEST(ClipboardBlock, EightBitSelectionCarriesTheFullColourTable) {
    TestImage image(7, 5, kImage8Bit);
    FillPattern(image);
    const Bytes block = Block(image, RECT{2, 0, 7, 3});  // 5 x 3, touching the right edge
    ASSERT_EQ(block.size(), 14u + 1064u + 3u * 8u);
    EXPECT_EQ(U32(block, 2), block.size());
    EXPECT_EQ(U32(block, 10), 14u + 1064u);
    EXPECT_EQ(U16(block, 14 + 14), 8u);
    EXPECT_EQ(U32(block, 14 + 20), 0u);
    EXPECT_EQ(U32(block, 14 + 32), 256u);
    EXPECT_EQ(U32(block, 14 + 36), 256u);
    EXPECT_EQ(std::memcmp(block.data() + 54, image.palette, 1024), 0);
    for (int r = 0; r < 3; ++r) {
        const auto row = block.begin() + 1078 + 8 * r;
        EXPECT_EQ(Bytes(row, row + 5), ImageRow(image, 2 - r, 2, 7)) << "row " << r;
        EXPECT_EQ(Bytes(row + 5, row + 8), Bytes(3, 0)) << "padding of row " << r;
    }
}

TEST(ClipboardBlock, EmptyAreaGivesHeadersOnly) {
    for (int type : {kImage8Bit, kImage24Bit}) {
        TestImage image(4, 4, type);
        const Bytes block = Block(image, RECT{2, 2, 2, 2});
        const size_t headers = type == kImage8Bit ? 14u + 1064u : 14u + 40u;
        ASSERT_EQ(block.size(), headers);
        EXPECT_EQ(U32(block, 2), headers);
        EXPECT_EQ(U32(block, 10), headers);
        EXPECT_EQ(U32(block, 14 + 4), 0u);
        EXPECT_EQ(U32(block, 14 + 8), 0u);
        EXPECT_EQ(U32(block, 14 + 20), 0u);
    }
    EXPECT_EQ(ClipboardBmpBytes(3, 3, 32), 0u);
    EXPECT_EQ(ClipboardBmpBytes(-1, 3, 24), 0u);
    EXPECT_EQ(ClipboardBmpBytes(65536, 1, 8), 0u);
}

// What Copy places is read back by Paste with the same pixels, at odd widths and both depths.
TEST(ClipboardBlock, ParserReadsBackEveryPixel) {
    for (int type : {kImage8Bit, kImage24Bit}) {
        for (int width : {1, 3, 5, 33}) {
            SCOPED_TRACE(testing::Message() << "type " << type << ", width " << width);
            TestImage image(width + 2, 6, type);
            FillPattern(image);
            const RECT area{1, 2, 1 + width, 5};
            const Bytes block = Block(image, area);
            Blocks parsed;
            ASSERT_EQ(ParseDib(block.data(), block.size(), &parsed.header, &parsed.bits), DibStatus::Ok);
            ASSERT_TRUE(IsModelHeader(*parsed.header));
            EXPECT_EQ(parsed.header->biWidth, width);
            EXPECT_EQ(parsed.header->biHeight, 3);
            EXPECT_EQ(parsed.header->biBitCount, image.header->biBitCount);
            const int bytes = image.header->biBitCount / 8;
            for (int y = 0; y < 3; ++y) {
                const uint8_t* row = parsed.bits + (2 - y) * parsed.header->biXPelsPerMeter;
                EXPECT_EQ(Bytes(row, row + width * bytes), ImageRow(image, 2 + y, 1, 1 + width)) << "y " << y;
            }
            if (type == kImage8Bit) {
                EXPECT_EQ(std::memcmp(HeaderPalette(parsed.header), image.palette, 1024), 0);
            }
        }
    }
}

TEST(ClipboardPicture, ArgbPixelsAreCompositedOverWhite) {
    // Two rows of three pixels, 16 bytes apart (4 bytes of padding the reader must skip).
    const uint32_t pixels[2][4] = {{0xFF102030, 0x00102030, 0x80C86432, 0xDEADBEEF},
                                   {0xFF000000, 0x80000000, 0x01FFFFFF, 0xDEADBEEF}};
    Blocks image;
    ASSERT_EQ(
        ImageFromArgbRows(reinterpret_cast<const uint8_t*>(pixels), 16, 3, 2, &image.header, &image.bits),
        ImageStatus::Ok);
    ASSERT_TRUE(IsModelHeader(*image.header));
    EXPECT_EQ(image.header->biBitCount, 24);
    EXPECT_EQ(image.header->biClrUsed, 0u);
    EXPECT_EQ(image.header->biSizeImage, 2u * 12u);
    const auto at = [&](int x, int y) {
        return GetPixel24(image.bits, x, 1 - y, image.header->biXPelsPerMeter);
    };
    EXPECT_EQ(at(0, 0), 0x102030u);  // opaque: as it is
    EXPECT_EQ(at(1, 0), 0xFFFFFFu);  // fully transparent: white
    // alpha 128: (c * 128 + 255 * 127 + 127) / 255 per channel
    EXPECT_EQ(at(2, 0), uint32_t{227} << 16 | uint32_t{177} << 8 | 152u);
    EXPECT_EQ(at(0, 1), 0x000000u);
    EXPECT_EQ(at(1, 1), 0x7F7F7Fu);
    EXPECT_EQ(at(2, 1), 0xFFFFFFu);
    EXPECT_EQ(image.bits[9], 0);  // row padding
    EXPECT_EQ(OverWhite(0, 0), 255);
    EXPECT_EQ(OverWhite(77, 255), 77);
}

TEST(ClipboardPicture, IndexedPixelsKeepTheirTable) {
    // Index 3 lies past the three-entry table: it reads as the black of an absent entry.
    const uint8_t indices[2][8] = {{0, 1, 2, 3, 9, 9, 9, 9}, {2, 2, 0, 1, 9, 9, 9, 9}};
    const uint32_t table[3] = {0xFF0000FF, 0x00123456, 0x80000000};
    Blocks image;
    ASSERT_EQ(ImageFromIndexedRows(&indices[0][0], 8, 4, 2, table, 3, &image.header, &image.bits),
              ImageStatus::Ok);
    ASSERT_TRUE(IsModelHeader(*image.header));
    EXPECT_EQ(image.header->biBitCount, 8);
    EXPECT_EQ(image.header->biClrUsed, 256u);
    const RGBQUAD* colours = HeaderPalette(image.header);
    EXPECT_EQ(PaletteColour(colours[0]), 0x0000FFu);
    EXPECT_EQ(PaletteColour(colours[1]), 0xFFFFFFu);  // transparent entry: white
    EXPECT_EQ(PaletteColour(colours[2]), 0x7F7F7Fu);
    for (int i = 3; i < 256; ++i)
        ASSERT_EQ(PaletteColour(colours[i]), 0u) << i;
    const int stride = image.header->biXPelsPerMeter;
    EXPECT_EQ(Bytes(image.bits + stride, image.bits + stride + 4),
              (Bytes{0, 1, 2, 3}));  // top row stored last
    EXPECT_EQ(Bytes(image.bits, image.bits + 4), (Bytes{2, 2, 0, 1}));
}

TEST(ClipboardPicture, SizesOutsideTheModelAreRefusedBeforeAnything) {
    const uint8_t pixels[4] = {};
    const uint32_t table[1] = {0xFFFFFFFF};
    BITMAPINFOHEADER* header = nullptr;
    uint8_t* bits = nullptr;
    EXPECT_EQ(ImageFromArgbRows(pixels, 4, 0, 1, &header, &bits), ImageStatus::BadSize);
    EXPECT_EQ(ImageFromArgbRows(pixels, 4, 1, 65536, &header, &bits), ImageStatus::BadSize);
    EXPECT_EQ(ImageFromArgbRows(pixels, 4, 65535, 65535, &header, &bits), ImageStatus::TooLarge);
    EXPECT_EQ(ImageFromIndexedRows(pixels, 4, 65536, 1, table, 1, &header, &bits), ImageStatus::BadSize);
    EXPECT_EQ(ImageFromIndexedRows(pixels, 4, 40000, 40000, table, 1, &header, &bits), ImageStatus::TooLarge);
    EXPECT_EQ(header, nullptr);
    EXPECT_EQ(bits, nullptr);
}

TEST(ClipRect, KeepsOnlyThePartOverTheImage) {
    const auto same = [](RECT a, RECT b) {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    };
    EXPECT_TRUE(same(ClipRect(RECT{2, 3, 5, 7}, 10, 8), RECT{2, 3, 5, 7}));
    EXPECT_TRUE(same(ClipRect(RECT{-4, -2, 3, 20}, 10, 8), RECT{0, 0, 3, 8}));
    EXPECT_TRUE(same(ClipRect(RECT{50, 50, 70, 70}, 10, 8), RECT{10, 8, 10, 8}));  // nothing over it
    EXPECT_TRUE(same(ClipRect(RECT{-9, -9, -1, -1}, 10, 8), RECT{0, 0, 0, 0}));
}
