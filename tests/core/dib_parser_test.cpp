#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "document/dib_parser.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& b, size_t at, uint32_t v) {
    if (b.size() < at + 2) b.resize(at + 2);
    b[at] = v & 0xFF;
    b[at + 1] = (v >> 8) & 0xFF;
}
void Put32(Bytes& b, size_t at, uint32_t v) {
    Put16(b, at, v & 0xFFFF);
    Put16(b, at + 2, v >> 16);
}
void Append(Bytes& b, const Bytes& more) {
    b.insert(b.end(), more.begin(), more.end());
}

// An info header of `size` bytes (12 for the OS/2 core form) with its main fields filled in.
Bytes Header(uint32_t size, int32_t width, int32_t height, int bits, uint32_t compression = 0,
             uint32_t clrUsed = 0) {
    Bytes h(size, 0);
    Put32(h, 0, size);
    if (size == 12) {
        Put16(h, 4, static_cast<uint32_t>(width));
        Put16(h, 6, static_cast<uint32_t>(height));
        Put16(h, 8, 1);
        Put16(h, 10, bits);
        return h;
    }
    Put32(h, 4, static_cast<uint32_t>(width));
    Put32(h, 8, static_cast<uint32_t>(height));
    Put16(h, 12, 1);
    Put16(h, 14, bits);
    if (size >= 40) {
        Put32(h, 16, compression);
        Put32(h, 32, clrUsed);
    }
    return h;
}

// Rows given top row first; each is padded to a multiple of 4 bytes and stored in the bitmap's order.
Bytes Rows(const std::vector<Bytes>& topFirst, bool topDown) {
    Bytes out;
    for (size_t i = 0; i < topFirst.size(); ++i) {
        Bytes row = topDown ? topFirst[i] : topFirst[topFirst.size() - 1 - i];
        row.resize((row.size() + 3) / 4 * 4, 0);
        Append(out, row);
    }
    return out;
}

Bytes FileHeader(const Bytes& dib, uint32_t offBits) {
    Bytes f = {'B', 'M'};
    Put32(f, 2, static_cast<uint32_t>(14 + dib.size()));
    Put32(f, 10, offBits);
    Append(f, dib);
    return f;
}

// Parses a block and frees what it got.
struct Parsed {
    BITMAPINFOHEADER* header = nullptr;  // declared first: ParseDib fills them while `status` is made
    uint8_t* bits = nullptr;
    DibStatus status;

    explicit Parsed(const Bytes& b) : status(ParseDib(b.data(), b.size(), &header, &bits)) {}
    ~Parsed() {
        std::free(header);
        std::free(bits);
    }
    Parsed(const Parsed&) = delete;
    Parsed& operator=(const Parsed&) = delete;

    const uint8_t* Pixel(int x, int y) const {
        return bits + (header->biHeight - 1 - y) * header->biXPelsPerMeter + x * header->biBitCount / 8;
    }
    int Index(int x, int y) const { return *Pixel(x, y); }
    // 0xRRGGBB at column x, row y counted from the top, through the colour table for 8 bit.
    uint32_t Rgb(int x, int y) const {
        if (header->biBitCount == 8) return PaletteColour(HeaderPalette(header)[Index(x, y)]);
        const uint8_t* p = Pixel(x, y);
        return uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
    }
    std::vector<uint32_t> Picture() const {
        std::vector<uint32_t> all;
        for (int y = 0; y < header->biHeight; ++y)
            for (int x = 0; x < header->biWidth; ++x)
                all.push_back(Rgb(x, y));
        return all;
    }
};

// Checks the model's form and that the padding bytes of every row are zero.
void ExpectModelForm(const Parsed& p) {
    ASSERT_EQ(p.status, DibStatus::Ok) << DibStatusText(p.status);
    const BITMAPINFOHEADER& h = *p.header;
    EXPECT_TRUE(IsModelHeader(h));
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biSizeImage, uint32_t(h.biXPelsPerMeter * h.biHeight));
    EXPECT_EQ(h.biYPelsPerMeter, 0);
    EXPECT_EQ(h.biClrUsed, h.biBitCount == 8 ? 256u : 0u);
    EXPECT_EQ(h.biClrImportant, h.biClrUsed);
    for (int row = 0; row < h.biHeight; ++row)
        for (int i = h.biWidth * h.biBitCount / 8; i < h.biXPelsPerMeter; ++i)
            ASSERT_EQ(p.bits[row * h.biXPelsPerMeter + i], 0) << "padding of row " << row;
}

// A three-entry table: red, green, blue.
const Bytes kTable = {0, 0, 255, 9, 0, 255, 0, 9, 255, 0, 0, 9};

}  // namespace

TEST(DibParser, EightBitShortTableAllForms) {
    // Index 7 lies past the three-entry table and reads as black.
    const std::vector<Bytes> picture = {{0, 1, 2}, {2, 7, 0}};
    const std::vector<uint32_t> expected = {
        0xFF0000, 0x00FF00, 0x0000FF,  // top row
        0x0000FF, 0x000000, 0xFF0000,  // bottom row
    };
    for (bool topDown : {false, true}) {
        Bytes dib = Header(40, 3, topDown ? -2 : 2, 8, 0, 3);
        Append(dib, kTable);
        Append(dib, Rows(picture, topDown));
        for (const Bytes& block : {dib, FileHeader(dib, 14 + 40 + 12)}) {
            Parsed p(block);
            ASSERT_NO_FATAL_FAILURE(ExpectModelForm(p));
            EXPECT_EQ(p.header->biBitCount, 8);
            EXPECT_EQ(p.header->biHeight, 2);
            EXPECT_EQ(p.header->biXPelsPerMeter, 4);
            EXPECT_EQ(p.Picture(), expected);
            EXPECT_EQ(p.Index(1, 1), 7);
            const RGBQUAD* table = HeaderPalette(p.header);
            EXPECT_EQ(table[0].rgbReserved, 0);
            for (int i = 3; i < 256; ++i)
                ASSERT_EQ(PaletteColour(table[i]), 0u) << i;
        }
    }
}

TEST(DibParser, LowDepthsAndOddWidths) {
    for (int bits : {1, 2, 4, 8}) {
        for (int width : {1, 3, 5, 33}) {
            for (bool core : {false, true}) {
                // Index of pixel (x, y): (x + 2y) mod 2^bits, packed from the high bits down.
                const int entries = 1 << bits;
                std::vector<Bytes> picture;
                for (int y = 0; y < 3; ++y) {
                    Bytes row((width * bits + 7) / 8, 0);
                    for (int x = 0; x < width; ++x) {
                        const int bit = x * bits;
                        row[bit / 8] |= ((x + 2 * y) % entries) << (8 - bits - bit % 8);
                    }
                    picture.push_back(row);
                }
                Bytes dib = Header(core ? 12 : 40, width, 3, bits);
                for (int i = 0; i < entries; ++i) {
                    Bytes entry = {uint8_t(i), uint8_t(2 * i), uint8_t(3 * i)};
                    if (!core) entry.push_back(0);
                    Append(dib, entry);
                }
                Append(dib, Rows(picture, false));
                Parsed p(dib);
                ASSERT_NO_FATAL_FAILURE(ExpectModelForm(p));
                for (int y = 0; y < 3; ++y)
                    for (int x = 0; x < width; ++x) {
                        const int i = (x + 2 * y) % entries;
                        ASSERT_EQ(p.Index(x, y), i)
                            << bits << " bits, width " << width << " at " << x << "," << y;
                        ASSERT_EQ(p.Rgb(x, y), uint32_t(uint8_t(3 * i) << 16 | uint8_t(2 * i) << 8 | i));
                    }
            }
        }
    }
}

TEST(DibParser, TwentyFourBitOddWidths) {
    for (int width : {1, 3, 5, 33}) {
        for (bool topDown : {false, true}) {
            std::vector<Bytes> picture;
            for (int y = 0; y < 2; ++y) {
                Bytes row;
                for (int x = 0; x < width; ++x)
                    Append(row, {uint8_t(x), uint8_t(y), uint8_t(200 + y)});
                picture.push_back(row);
            }
            // An unneeded two-entry table sits before the rows.
            Bytes dib = Header(40, width, topDown ? -2 : 2, 24, 0, 2);
            Append(dib, Bytes(8, 0xEE));
            Append(dib, Rows(picture, topDown));
            Parsed p(dib);
            ASSERT_NO_FATAL_FAILURE(ExpectModelForm(p));
            EXPECT_EQ(p.header->biBitCount, 24);
            for (int y = 0; y < 2; ++y)
                for (int x = 0; x < width; ++x)
                    ASSERT_EQ(p.Rgb(x, y), uint32_t((200 + y) << 16 | y << 8 | x))
                        << width << " " << x << "," << y;
        }
    }
}

TEST(DibParser, SixteenBitDefaultAndBitFields) {
    // 5-5-5 without masks; bit 15 is unused.
    Bytes dib = Header(40, 3, 1, 16);
    Append(dib, Rows({{0xFF, 0xFF, 0x00, 0x7C, 0x10, 0x80}}, false));
    Parsed p555(dib);
    ASSERT_NO_FATAL_FAILURE(ExpectModelForm(p555));
    EXPECT_EQ(p555.Picture(), (std::vector<uint32_t>{0xFFFFFF, 0xFF0000, 0x000084}));

    // 5-6-5 as masks after a 40-byte header and inside a V5 header: the same picture.
    const Bytes rows = Rows({{0x1F, 0x00, 0xE0, 0x07, 0x20, 0x00, 0x00, 0xF8}}, false);
    const std::vector<uint32_t> expected565 = {0x0000FF, 0x00FF00, 0x000400, 0xFF0000};
    Bytes after = Header(40, 4, 1, 16, 3);
    Append(after, {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0});
    Append(after, rows);
    Bytes v5 = Header(124, 4, 1, 16, 3);
    Put32(v5, 40, 0xF800);
    Put32(v5, 44, 0x07E0);
    Put32(v5, 48, 0x001F);
    Append(v5, rows);
    for (const Bytes& block : {after, v5}) {
        Parsed p(block);
        ASSERT_NO_FATAL_FAILURE(ExpectModelForm(p));
        EXPECT_EQ(p.Picture(), expected565);
    }
}

TEST(DibParser, ThirtyTwoBitMasksAndAlpha) {
    // Pixels as little-endian words; the default layout is blue, green, red, unused.
    auto words = [](std::initializer_list<uint32_t> list) {
        Bytes b;
        for (uint32_t w : list)
            Put32(b, b.size(), w);
        return b;
    };
    struct Case {
        const char* what;
        Bytes dib;
        std::vector<uint32_t> expected;
    };
    std::vector<Case> cases;
    {
        Bytes d = Header(40, 2, 1, 32);
        Append(d, words({0xAA123456, 0x00FFFFFF}));  // the top byte is ignored
        cases.push_back({"plain BGRX", d, {0x123456, 0xFFFFFF}});
    }
    {
        Bytes d = Header(40, 2, 1, 32, 3);
        Append(d, words({0x000000FF, 0x0000FF00, 0x00FF0000}));  // red in the low byte
        Append(d, words({0x00123456, 0xFF000000}));
        cases.push_back({"swapped masks", d, {0x563412, 0x000000}});
    }
    {
        Bytes d = Header(40, 2, 1, 32, 3);
        Append(d, words({0x3FF00000, 0x000FFC00, 0x000003FF}));  // 10 bits per channel
        Append(d, words({0x3FF00000, 0x00000200}));
        cases.push_back({"10-10-10", d, {0xFF0000, 0x000080}});
    }
    // A V5 alpha mask: opaque, transparent (white) and half-covered red over white.
    Bytes v5 = Header(124, 3, 1, 32, 3);
    Put32(v5, 40, 0x00FF0000);
    Put32(v5, 44, 0x0000FF00);
    Put32(v5, 48, 0x000000FF);
    Put32(v5, 52, 0xFF000000);
    Bytes v5Alpha = v5;
    Append(v5Alpha, words({0xFF102030, 0x00102030, 0x80FF0000}));
    cases.push_back({"V5 alpha", v5Alpha, {0x102030, 0xFFFFFF, 0xFF7F7F}});
    Bytes v5Zero = v5;
    Append(v5Zero, words({0x00102030, 0x00FF0000, 0x00000000}));
    cases.push_back({"V5 alpha all zero", v5Zero, {0x102030, 0xFF0000, 0x000000}});
    Bytes v5Plain = v5;  // plain rows still honour the header's alpha mask
    Put32(v5Plain, 16, 0);
    Append(v5Plain, words({0xFF102030, 0x00102030, 0x80FF0000}));
    cases.push_back({"V5 plain rows with alpha", v5Plain, {0x102030, 0xFFFFFF, 0xFF7F7F}});
    {
        Bytes d = Header(40, 2, 1, 32, 6);  // four masks after the header
        Append(d, words({0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}));
        Append(d, words({0x00000000, 0xFF0000FF}));
        cases.push_back({"alpha bit fields", d, {0xFFFFFF, 0x0000FF}});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Parsed p(c.dib);
        ASSERT_NO_FATAL_FAILURE(ExpectModelForm(p));
        EXPECT_EQ(p.header->biBitCount, 24);
        EXPECT_EQ(p.Picture(), c.expected);
    }
}

TEST(DibParser, FileHeaderPixelOffset) {
    Bytes dib = Header(40, 1, 1, 24);
    Append(dib, {1, 2, 3, 0});
    Bytes gap = Header(40, 1, 1, 24);
    Append(gap, {9, 9, 9, 9, 1, 2, 3, 0});  // four stray bytes before the pixels
    const struct {
        const char* what;
        Bytes file;
        DibStatus status;
    } cases[] = {
        {"packed position", FileHeader(dib, 54), DibStatus::Ok},
        {"gap before the pixels", FileHeader(gap, 58), DibStatus::Ok},
        {"offset inside the header", FileHeader(dib, 20), DibStatus::Ok},
        {"offset past the end", FileHeader(dib, 0x7FFFFFF0), DibStatus::Ok},
        {"offset leaves the rows short", FileHeader(dib, 56), DibStatus::Truncated},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Parsed p(c.file);
        ASSERT_EQ(p.status, c.status) << DibStatusText(p.status);
        if (c.status == DibStatus::Ok) {
            EXPECT_EQ(p.Rgb(0, 0), 0x030201u);
        }
    }

    // An offset inside a colour table that claims 256 entries: the table ends where the pixels start.
    Bytes shortTable = Header(40, 2, 1, 8, 0, 256);
    Append(shortTable, kTable);
    Append(shortTable, {2, 1, 0, 0});
    Parsed p(FileHeader(shortTable, 14 + 40 + 12));
    ASSERT_NO_FATAL_FAILURE(ExpectModelForm(p));
    EXPECT_EQ(p.Picture(), (std::vector<uint32_t>{0x0000FF, 0x00FF00}));
}

TEST(DibParser, RefusesHostileBlocks) {
    auto with = [](Bytes b, size_t at, uint32_t v, int width = 32) {
        width == 16 ? Put16(b, at, v) : Put32(b, at, v);
        return b;
    };
    Bytes good = Header(40, 2, 2, 24);
    Append(good, Bytes(16, 0x40));
    Bytes bitFields = Header(40, 1, 1, 16, 3);
    Append(bitFields, {0, 0x7C, 0, 0, 0xE0, 0x03, 0, 0, 0x1F, 0, 0, 0, 0, 0, 0, 0});
    ASSERT_EQ(Parsed(good).status, DibStatus::Ok);
    ASSERT_EQ(Parsed(bitFields).status, DibStatus::Ok);
    Bytes hugeTable = Header(40, 1, 1, 8, 0, 0xFFFFFFFF);
    Append(hugeTable, Bytes(64, 0));
    Bytes os2Huffman = Header(64, 2, 2, 1, 3);
    Append(os2Huffman, Bytes(64, 0));
    Bytes os2Rle24 = Header(64, 2, 2, 24, 4);
    Append(os2Rle24, Bytes(64, 0));
    Bytes noTable = Header(40, 2, 2, 8);  // the pixels start where the colour table should
    Append(noTable, Bytes(8, 1));

    const struct {
        const char* what;
        Bytes block;
        DibStatus status;
    } cases[] = {
        {"empty", {}, DibStatus::TooShort},
        {"three bytes", {40, 0, 0}, DibStatus::TooShort},
        {"file header cut", {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0}, DibStatus::TooShort},
        {"header cut", Bytes(good.begin(), good.begin() + 30), DibStatus::TooShort},
        {"header size 0", with(good, 0, 0), DibStatus::BadHeaderSize},
        {"header size 41", with(good, 0, 41), DibStatus::BadHeaderSize},
        {"OS/2 header size 18", with(good, 0, 18), DibStatus::BadHeaderSize},
        {"header size huge", with(good, 0, 0xFFFFFFF0), DibStatus::BadHeaderSize},
        {"header size past the end", with(good, 0, 124), DibStatus::TooShort},
        {"masks cut", Bytes(bitFields.begin(), bitFields.begin() + 44), DibStatus::TooShort},
        {"width 0", with(good, 4, 0), DibStatus::BadSize},
        {"width negative", with(good, 4, uint32_t(-2)), DibStatus::BadSize},
        {"width 65536", with(good, 4, 65536), DibStatus::BadSize},
        {"height 0", with(good, 8, 0), DibStatus::BadSize},
        {"height INT_MIN", with(good, 8, uint32_t(INT_MIN)), DibStatus::BadSize},
        {"height -65536", with(good, 8, uint32_t(-65536)), DibStatus::BadSize},
        {"65535 x 65535 at 24 bits", with(with(good, 4, 65535), 8, 65535), DibStatus::TooLarge},
        {"65535 x 65535 at 1 bit", with(with(with(good, 4, 65535), 8, 65535), 14, 1, 16),
         DibStatus::TooLarge},
        {"last pixel one byte short", Bytes(good.begin(), good.end() - 3), DibStatus::Truncated},
        {"rows missing", Bytes(good.begin(), good.begin() + 40), DibStatus::Truncated},
        {"height beyond the rows", with(good, 8, 3), DibStatus::Truncated},
        {"colour table past the end", hugeTable, DibStatus::BadColourTable},
        {"planes 0", with(good, 12, 0, 16), DibStatus::BadPlanes},
        {"planes 2", with(good, 12, 2, 16), DibStatus::BadPlanes},
        {"bit count 0", with(good, 14, 0, 16), DibStatus::BadBitCount},
        {"bit count 7", with(good, 14, 7, 16), DibStatus::BadBitCount},
        {"bit count 64", with(good, 14, 64, 16), DibStatus::BadBitCount},
        {"RLE8 on 4 bits", with(with(good, 14, 4, 16), 16, 1), DibStatus::BadCompression},
        {"RLE4 on 8 bits", with(with(good, 14, 8, 16), 16, 2), DibStatus::BadCompression},
        {"RLE8 top-down", with(with(with(good, 14, 8, 16), 16, 1), 8, uint32_t(-2)),
         DibStatus::BadCompression},
        {"OS/2 Huffman", os2Huffman, DibStatus::Compressed},
        {"OS/2 RLE24", os2Rle24, DibStatus::Compressed},
        {"indices without colours", FileHeader(noTable, 14 + 40), DibStatus::BadColourTable},
        {"JPEG", with(with(good, 14, 0, 16), 16, 4), DibStatus::Embedded},
        {"PNG", with(with(good, 14, 0, 16), 16, 5), DibStatus::Embedded},
        {"compression 99", with(good, 16, 99), DibStatus::BadCompression},
        {"bit fields on 24 bits", with(good, 16, 3), DibStatus::BadCompression},
        {"gap in a mask", with(bitFields, 40, 0x7A00), DibStatus::BadMasks},
        {"mask past 16 bits", with(bitFields, 40, 0x1F0000), DibStatus::BadMasks},
        {"no colour masks", with(with(with(bitFields, 40, 0), 44, 0), 48, 0), DibStatus::BadMasks},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto* header = reinterpret_cast<BITMAPINFOHEADER*>(0x10);
        auto* bits = reinterpret_cast<uint8_t*>(0x20);
        EXPECT_EQ(ParseDib(c.block.data(), c.block.size(), &header, &bits), c.status);
        EXPECT_EQ(header, reinterpret_cast<BITMAPINFOHEADER*>(0x10));
        EXPECT_EQ(bits, reinterpret_cast<uint8_t*>(0x20));
        EXPECT_STRNE(DibStatusText(c.status), DibStatusText(DibStatus::Ok));
    }
}

TEST(DibParser, LastRowNeedsNoPadding) {
    Bytes dib = Header(40, 1, 2, 24);
    Append(dib, {1, 2, 3, 0, 4, 5, 6});
    Parsed p(dib);
    ASSERT_NO_FATAL_FAILURE(ExpectModelForm(p));
    EXPECT_EQ(p.Picture(), (std::vector<uint32_t>{0x060504, 0x030201}));
}

TEST(DibParser, RunLengthRows) {
    // `entries` greys (entry i = i, i, i), then the run-length data.
    auto rle = [](int32_t width, int32_t height, int bits, const Bytes& data) {
        const int entries = bits == 8 ? 10 : 16;
        Bytes dib = Header(40, width, height, bits, bits == 8 ? 1 : 2, entries);
        for (int i = 0; i < entries; ++i)
            Append(dib, {uint8_t(i), uint8_t(i), uint8_t(i), 0});
        Append(dib, data);
        return dib;
    };
    auto indices = [](const Parsed& p) {
        std::vector<Bytes> rows;  // top row first
        for (int y = 0; y < p.header->biHeight; ++y) {
            rows.emplace_back();
            for (int x = 0; x < p.header->biWidth; ++x)
                rows.back().push_back(uint8_t(p.Index(x, y)));
        }
        return rows;
    };
    const struct {
        const char* what;
        Bytes dib;
        std::vector<Bytes> expected;
    } cases[] = {
        // A run, a delta up and past the right edge, a clipped run, end of line, a literal with its
        // padding byte, end of bitmap; the skipped row keeps index 0.
        {"RLE8 codes",
         rle(4, 3, 8, {3, 7, 0, 2, 1, 1, 2, 9, 0, 0, 0, 3, 1, 2, 3, 0, 0, 1}),
         {{1, 2, 3, 0}, {0, 0, 0, 0}, {7, 7, 7, 0}}},
        {"RLE4 odd literal and two-colour run",
         rle(7, 1, 4, {0, 5, 0x12, 0x34, 0x50, 0, 2, 0xAB}),
         {{1, 2, 3, 4, 5, 10, 11}}},
        {"literal longer than the data", rle(5, 2, 8, {0, 16, 1, 2}), {{0, 0, 0, 0, 0}, {1, 2, 0, 0, 0}}},
        {"delta far beyond the last row", rle(2, 2, 8, {1, 5, 0, 2, 255, 255, 1, 6}), {{0, 0}, {5, 0}}},
        {"no data at all", rle(2, 1, 8, {}), {{0, 0}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Parsed p(c.dib);
        ASSERT_NO_FATAL_FAILURE(ExpectModelForm(p));
        EXPECT_EQ(indices(p), c.expected);
        EXPECT_EQ(PaletteColour(HeaderPalette(p.header)[9]), 0x090909u);
    }
}

// A file is held to its file header; a clipboard block is read as well as it can be. Files keep the
// colours a 32-bit pixel stores, the clipboard composites its alpha over white.
TEST(DibParser, FileAndClipboardRules) {
    auto layout = [](const Bytes& b, DibSource source, DibLayout* out, int64_t available = -1) {
        return ReadDibLayout(b.data(), available < 0 ? int64_t(b.size()) : available, int64_t(b.size()),
                             source, out);
    };
    DibLayout l;
    Bytes dib = Header(40, 1, 1, 24);
    Append(dib, {1, 2, 3, 0});
    EXPECT_EQ(layout(dib, DibSource::File, &l), DibStatus::NotBmpFile);
    EXPECT_EQ(layout(dib, DibSource::Clipboard, &l), DibStatus::Ok);
    for (uint32_t offset : {54u, 20u, 0x7FFFFFF0u}) {
        SCOPED_TRACE(offset);
        const Bytes file = FileHeader(dib, offset);
        const DibStatus status = offset == 54 ? DibStatus::Ok : DibStatus::BadPixelOffset;
        EXPECT_EQ(layout(file, DibSource::File, &l), status);
        ASSERT_EQ(layout(file, DibSource::Clipboard, &l), DibStatus::Ok);
        EXPECT_EQ(l.pixelOffset, 54);
    }

    // The alpha mask of a V5 header: kept for the clipboard, dropped for a file.
    Bytes v5 = Header(124, 1, 1, 32, 3);
    Put32(v5, 40, 0x00FF0000);
    Put32(v5, 44, 0x0000FF00);
    Put32(v5, 48, 0x000000FF);
    Put32(v5, 52, 0xFF000000);
    Append(v5, {0x30, 0x20, 0x10, 0x00});
    const Bytes v5File = FileHeader(v5, 14 + 124);
    ASSERT_EQ(layout(v5File, DibSource::Clipboard, &l), DibStatus::Ok);
    EXPECT_EQ(l.masks[3], 0xFF000000u);
    ASSERT_EQ(layout(v5File, DibSource::File, &l), DibStatus::Ok);
    EXPECT_EQ(l.masks[3], 0u);
    EXPECT_EQ(l.pixelOffset, 14 + 124);

    // A short OS/2 2.x header and a file read from its first bytes only: the colour table the image
    // uses lies within them, the rows are checked against the whole length.
    Bytes os2 = Header(24, 300, 1, 8);
    Put32(os2, 16, 0);
    for (int i = 0; i < 256; ++i)
        Append(os2, {uint8_t(i), 0, 0, 0});
    Append(os2, Bytes(300, 7));
    const Bytes file = FileHeader(os2, 14 + 24 + 1024);
    ASSERT_EQ(layout(file, DibSource::File, &l, kDibHeadBytes), DibStatus::Ok);
    EXPECT_EQ(l.tableEntries, 256);
    EXPECT_EQ(l.rowBytes, 300);
    RGBQUAD palette[kPaletteEntries];
    CopyDibColourTable(file.data(), l, palette);
    EXPECT_EQ(palette[255].rgbBlue, 255);
    EXPECT_EQ(ReadDibLayout(file.data(), kDibHeadBytes, int64_t(file.size()) - 1, DibSource::File, &l),
              DibStatus::Truncated);
}

namespace {

std::filesystem::path CorpusDir() {
    const std::filesystem::path dir = ORVIK_CORPUS_DIR;
    return !dir.empty() && std::filesystem::is_directory(dir / "bmp") ? dir / "bmp" : std::filesystem::path();
}

Bytes ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

TEST(DibParserCorpus, InScopeFilesGiveTheSamePicture) {
    const std::filesystem::path dir = CorpusDir();
    if (dir.empty()) GTEST_SKIP() << "no corpus";
    // Files of one group hold the same picture in different layouts.
    const std::vector<std::vector<std::string>> groups = {
        {"bmpsuite/g/pal8", "bmpsuite/g/pal8-0", "bmpsuite/g/pal8os2", "bmpsuite/g/pal8rle",
         "bmpsuite/g/pal8topdown", "bmpsuite/g/pal8v4", "bmpsuite/g/pal8v5", "bmpsuite/q/pal8offs",
         "bmpsuite/q/pal8os2v2", "bmpsuite/q/pal8os2v2-16", "bmpsuite/q/pal8oversizepal"},
        {"bmpsuite/g/rgb24", "bmpsuite/g/rgb24pal", "bmpsuite/g/rgb32", "bmpsuite/g/rgb32bf",
         "bmpsuite/g/rgb32bfdef", "bmpsuite/q/rgb32-xbgr", "bmpsuite/q/rgb32fakealpha",
         "bmpsuite/q/rgb32h52"},
        {"bmpsuite/g/rgb16", "bmpsuite/g/rgb16bfdef", "bmpsuite/q/rgb16faketrns"},
        {"bmpsuite/g/rgb16-565", "bmpsuite/g/rgb16-565pal"},
        {"bmpsuite/g/pal4", "bmpsuite/g/pal4rle"},
        {"generated/good/k23-127x85-rgb24-netpbm", "generated/good/k23-127x85-rgb24-im",
         "generated/good/k23-127x85-rgb24-os2header-netpbm", "generated/good/k23-127x85-rgb24-topdown",
         "generated/good/k23-127x85-rgb24-v5header-im"},
        {"bmpsuite/q/rgba32-1", "bmpsuite/q/rgba32-2", "bmpsuite/q/rgba32abf", "bmpsuite/q/rgba32h56"},
        {"generated/good/k23-127x85-pal8-netpbm", "generated/good/k23-127x85-pal8-os2header-netpbm"},
        {"image-rs/Info_8_Bit", "image-rs/Info_8_Bit_Top_Down"},
    };
    for (const auto& group : groups) {
        std::vector<uint32_t> first;
        for (const std::string& name : group) {
            SCOPED_TRACE(name);
            Parsed p(ReadFile(dir / (name + ".bmp")));
            ASSERT_NO_FATAL_FAILURE(ExpectModelForm(p));
            if (first.empty())
                first = p.Picture();
            else
                EXPECT_TRUE(p.Picture() == first);
        }
    }
    // Corners and centre as the suite's reference renderings show them.
    Parsed rgb(ReadFile(dir / "bmpsuite/g/rgb24.bmp"));
    ASSERT_NO_FATAL_FAILURE(ExpectModelForm(rgb));
    EXPECT_EQ(rgb.Rgb(0, 0), 0xFF0000u);
    EXPECT_EQ(rgb.Rgb(126, 0), 0x9F9FBDu);
    EXPECT_EQ(rgb.Rgb(64, 32), 0xFFFFFFu);
    EXPECT_EQ(rgb.Rgb(126, 63), 0x60607Eu);
    Parsed pal(ReadFile(dir / "bmpsuite/g/pal8.bmp"));
    ASSERT_NO_FATAL_FAILURE(ExpectModelForm(pal));
    EXPECT_EQ(pal.Rgb(126, 0), 0x99AACCu);
    EXPECT_EQ(pal.Rgb(126, 63), 0x665566u);
    // Alpha composited over white: transparent pixels turn white, red at alpha 20 turns pale.
    Parsed alpha(ReadFile(dir / "bmpsuite/q/rgba32-1.bmp"));
    ASSERT_NO_FATAL_FAILURE(ExpectModelForm(alpha));
    EXPECT_EQ(alpha.Rgb(27, 21), 0xFFFFFFu);
    EXPECT_EQ(alpha.Rgb(27, 33), 0xFFEBEBu);
    EXPECT_EQ(alpha.Rgb(20, 20), 0xAEA5A5u);
    // Every file of the suite's good set parses, with and without its file header.
    for (const auto& entry : std::filesystem::directory_iterator(dir / "bmpsuite/g")) {
        SCOPED_TRACE(entry.path().filename().string());
        const Bytes file = ReadFile(entry.path());
        Parsed whole(file);
        Parsed packed(Bytes(file.begin() + 14, file.end()));
        ASSERT_NO_FATAL_FAILURE(ExpectModelForm(whole));
        ASSERT_NO_FATAL_FAILURE(ExpectModelForm(packed));
        EXPECT_TRUE(packed.Picture() == whole.Picture());
    }
}

TEST(DibParserCorpus, EveryFileIsReadOrRefusedCleanly) {
    const std::filesystem::path dir = CorpusDir();
    if (dir.empty()) GTEST_SKIP() << "no corpus";
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
        if (entry.path().extension() != ".bmp") continue;
        SCOPED_TRACE(entry.path().string());
        const Bytes file = ReadFile(entry.path());
        for (size_t cut : {size_t{0}, size_t{14}}) {
            if (file.size() < cut) continue;
            Parsed p(Bytes(file.begin() + static_cast<std::ptrdiff_t>(cut), file.end()));
            if (p.status == DibStatus::Ok) ExpectModelForm(p);
        }
        ++files;
    }
    EXPECT_GT(files, 200);
    const struct {
        const char* name;
        DibStatus status;
    } expected[] = {
        {"bmpsuite/b/shortfile.bmp", DibStatus::Truncated},
        {"bmpsuite/b/reallybig.bmp", DibStatus::BadSize},
        {"bmpsuite/b/badbitcount.bmp", DibStatus::BadBitCount},
        {"bmpsuite/b/badplanes.bmp", DibStatus::BadPlanes},
        {"bmpsuite/b/badheadersize.bmp", DibStatus::BadHeaderSize},
        {"bmpsuite/b/badwidth.bmp", DibStatus::BadSize},
        {"bmpsuite/q/pal1huffmsb.bmp", DibStatus::Compressed},
        {"bmpsuite/q/rgb24rle24.bmp", DibStatus::Compressed},
        {"bmpsuite/b/rletopdown.bmp", DibStatus::BadCompression},
        {"pillow/mmap_error.bmp", DibStatus::BadColourTable},  // 8 bits, pixels where the table should be
        {"bmpsuite/q/rgb24jpeg.bmp", DibStatus::Embedded},
        {"bmpsuite/q/rgb24png.bmp", DibStatus::Embedded},
        {"bmpsuite/q/rgba64.bmp", DibStatus::BadBitCount},
        {"generated/bad/dims-65536x65536-rgb24.bmp", DibStatus::BadSize},
        {"generated/bad/trunc-in-palette.bmp", DibStatus::BadColourTable},
        {"generated/bad/trunc-last-row-short-rgb24.bmp", DibStatus::Truncated},
        {"bmpsuite/b/pal8badindex.bmp", DibStatus::Ok},  // indices past its 101 colours read black
        {"bmpsuite/g/pal8rle.bmp", DibStatus::Ok},
        {"bmpsuite/q/pal4rlecut.bmp", DibStatus::Ok},  // pixels never reached keep index 0
    };
    for (const auto& e : expected)
        EXPECT_EQ(Parsed(ReadFile(dir / e.name)).status, e.status) << e.name;
}
