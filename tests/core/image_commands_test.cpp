// The pixel work of the Image and Colors commands: flips and rotations against ImageMagick, the
// canvas and crops, the smooth rescale against exact means, and the colour and palette rules.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "document/colour_adjust.h"
#include "document/image_ops.h"
#include "document/resample.h"
#include "test_image.h"

namespace {

// Pixel rows as the model holds them (bottom-up, padded), for 1, 3 or 4 bytes a pixel.
struct Rows {
    int width, height, n;
    ptrdiff_t stride;
    std::vector<uint8_t> bytes;
    Rows(int w, int h, int bytesPerPixel)
        : width(w),
          height(h),
          n(bytesPerPixel),
          stride((ptrdiff_t{w} * n + 3) / 4 * 4),
          bytes(size_t(stride) * h) {}
    // Pixel (x, y) with y from the top.
    uint8_t* At(int x, int y) { return bytes.data() + (height - 1 - y) * stride + ptrdiff_t{x} * n; }
};

Rows Random(int w, int h, int n, unsigned seed) {
    Rows rows(w, h, n);
    std::mt19937 random(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int k = 0; k < n; ++k)
                rows.At(x, y)[k] = uint8_t(random());
    return rows;
}

// PGM, PPM or PAM (with opacity) of the rows, top row first, colours as red, green, blue.
std::string Netpbm(Rows& rows) {
    std::string out = rows.n == 1   ? "P5\n"
                      : rows.n == 3 ? "P6\n"
                                    : "P7\nWIDTH " + std::to_string(rows.width) + "\nHEIGHT " +
                                          std::to_string(rows.height) +
                                          "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
    if (rows.n != 4) out += std::to_string(rows.width) + " " + std::to_string(rows.height) + "\n255\n";
    for (int y = 0; y < rows.height; ++y)
        for (int x = 0; x < rows.width; ++x) {
            const uint8_t* p = rows.At(x, y);
            if (rows.n == 1)
                out += char(p[0]);
            else {
                out += {char(p[2]), char(p[1]), char(p[0])};
                if (rows.n == 4) out += char(p[3]);
            }
        }
    return out;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

TEST(Turns, MatchImageMagickAtEveryPixelSize) {
    ASSERT_EQ(std::system("convert -version > /dev/null 2>&1"), 0) << "ImageMagick's convert is missing";
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("orvik_turns_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const struct {
        Turn turn;
        const char* option;
    } turns[] = {{Turn::FlipHorizontal, "-flop"},
                 {Turn::FlipVertical, "-flip"},
                 {Turn::Rotate90Clockwise, "-rotate 90"},
                 {Turn::Rotate90CounterClockwise, "-rotate -90"},
                 {Turn::Rotate180, "-rotate 180"}};
    // Odd sizes, and sizes that take the whole blocks of the fast paths and leave edges over.
    const int sizes[][2] = {{1, 1}, {7, 3}, {37, 21}, {19, 70}};
    for (const int n : {1, 3, 4}) {
        for (const auto& size : sizes) {
            Rows source = Random(size[0], size[1], n, unsigned(n * 1000 + size[0]));
            const std::string extension = n == 1 ? ".pgm" : n == 3 ? ".ppm" : ".pam";
            std::ofstream(dir / ("in" + extension), std::ios::binary) << Netpbm(source);
            std::string command = "cd " + dir.string() + " && convert in" + extension;
            for (int t = 0; t < 5; ++t)
                command += std::string(" \\( +clone ") + turns[t].option + " -write out" + std::to_string(t) +
                           extension + " +delete \\)";
            ASSERT_EQ(std::system((command + " null:").c_str()), 0) << command;
            for (int t = 0; t < 5; ++t) {
                SCOPED_TRACE(testing::Message()
                             << n << " bytes, " << size[0] << " x " << size[1] << " " << turns[t].option);
                const bool swap = TurnSwapsSides(turns[t].turn);
                Rows turned(swap ? size[1] : size[0], swap ? size[0] : size[1], n);
                if (n == 4) {
                    TurnPixels(source.bytes.data(), source.width, source.height, source.stride, n,
                               turns[t].turn, turned.bytes.data(), turned.stride);
                } else {
                    // The image's own operation: a new header and new rows, the old rows left alone.
                    TestImage image(source.width, source.height, n == 1 ? kImage8Bit : kImage24Bit);
                    std::copy(source.bytes.begin(), source.bytes.end(), image.bits);
                    uint8_t* const old = image.bits;
                    ASSERT_EQ(TurnImageKeepingRows(image.header, &image.bits, turns[t].turn),
                              ImageStatus::Ok);
                    EXPECT_TRUE(std::equal(source.bytes.begin(), source.bytes.end(), old));
                    std::free(old);
                    ASSERT_EQ(image.width(), turned.width);
                    ASSERT_EQ(image.height(), turned.height);
                    ASSERT_EQ(image.stride(), turned.stride);
                    std::copy(image.bits, image.bits + turned.bytes.size(), turned.bytes.begin());
                }
                // The pixels, after headers whose layout may differ.
                const std::string expected = ReadFile(dir / ("out" + std::to_string(t) + extension));
                const std::string ours = Netpbm(turned);
                const size_t payload = size_t(turned.width) * turned.height * n;
                ASSERT_GE(expected.size(), payload);
                EXPECT_TRUE(expected.compare(expected.size() - payload, payload, ours, ours.size() - payload,
                                             payload) == 0);
            }
        }
    }
    std::filesystem::remove_all(dir);
}

TEST(Canvas, AnchorsCropsAndAutocrop) {
    // The nine anchors, growing 3 x 2 to 6 x 5 and shrinking to 2 x 1 (centred, the odd pixel is
    // added or cut at the right and the bottom).
    const int64_t grow[9][2] = {{0, 0}, {1, 0}, {3, 0}, {0, 1}, {1, 1}, {3, 1}, {0, 3}, {1, 3}, {3, 3}};
    for (int a = 0; a < 9; ++a) {
        int64_t left = 0, top = 0;
        CanvasOffset(CanvasAnchor(a), 3, 2, 6, 5, &left, &top);
        EXPECT_EQ(left, grow[a][0]) << a;
        EXPECT_EQ(top, grow[a][1]) << a;
        CanvasOffset(CanvasAnchor(a), 3, 2, 2, 1, &left, &top);
        EXPECT_EQ(left, a % 3 == 2 ? -1 : 0) << a;
        EXPECT_EQ(top, a / 3 == 2 ? -1 : 0) << a;
    }

    // 8 bit 5 x 4, index = 10 y + x; placed at (-1, -2) on 3 x 3: a crop of (1, 2)..(4, 4) and a
    // zero row below.
    TestImage image(5, 4, kImage8Bit);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            image.At8(x, 3 - y) = uint8_t(10 * y + x);
    uint8_t* old = image.bits;
    ASSERT_EQ(PlaceOnCanvasKeepingRows(image.header, &image.bits, 3, 3, -1, -2), ImageStatus::Ok);
    std::free(old);
    EXPECT_EQ(image.stride(), 4);
    const uint8_t cropped[3][4] = {{0, 0, 0, 0}, {31, 32, 33, 0}, {21, 22, 23, 0}};  // bottom row first
    EXPECT_EQ(std::memcmp(image.bits, cropped, sizeof cropped), 0);

    // Autocrop: the corners' colour by majority, borders of different widths, nothing to cut,
    // all one colour; with 4 bytes all transparent pixels count as one colour.
    const auto autocrop = [](Rows& rows, const uint8_t* entryAlpha = nullptr) {
        BITMAPINFOHEADER header{
            40, rows.width, rows.height, 1, uint16_t(8 * rows.n), 0, 0, int32_t(rows.stride), 0, 0, 0};
        return AutocropArea(header, rows.bytes.data(), entryAlpha);
    };
    const auto expect = [](const RECT& r, RECT e) {
        EXPECT_TRUE(r.left == e.left && r.top == e.top && r.right == e.right && r.bottom == e.bottom)
            << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    };
    for (const int n : {1, 3, 4}) {
        SCOPED_TRACE(n);
        Rows rows(9, 7, n);
        for (uint8_t& b : rows.bytes)
            b = 200;
        expect(autocrop(rows), {0, 0, 0, 0});
        rows.At(2, 1)[0] = 5;
        rows.At(6, 4)[0] = 5;
        expect(autocrop(rows), {2, 1, 7, 5});
        rows.At(8, 0)[0] = 9;  // one odd corner: the other three decide
        expect(autocrop(rows), {2, 0, 9, 5});
    }
    Rows clear(6, 5, 4);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            clear.At(x, y)[0] = uint8_t(x * 40 + y);  // colours differ, all transparent
    clear.At(3, 2)[3] = 255;
    expect(autocrop(clear), {3, 2, 4, 3});
    // At 8 bits the entries of opacity 0 are one colour; a half transparent one is not.
    Rows indices(6, 5, 1);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            *indices.At(x, y) = uint8_t((x + y) % 2 ? 7 : 9);
    *indices.At(1, 3) = 12;
    *indices.At(4, 1) = 12;
    uint8_t entryAlpha[kPaletteEntries];
    std::fill(entryAlpha, entryAlpha + kPaletteEntries, uint8_t{255});
    expect(autocrop(indices, entryAlpha), {0, 0, 6, 5});
    entryAlpha[7] = entryAlpha[9] = 0;
    expect(autocrop(indices, entryAlpha), {1, 1, 5, 4});
    entryAlpha[9] = 128;
    expect(autocrop(indices, entryAlpha), {0, 0, 6, 5});
}

TEST(SmoothResize, ShrinksToTheExactMeanAndEnlargesSmoothly) {
    const auto linear = [](int v) {
        const double s = v / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    const auto srgb = [](double l) {
        return 255.0 * (l <= 0.0031308 ? l * 12.92 : 1.055 * std::pow(l, 1 / 2.4) - 0.055);
    };
    // Shrinking on both axes and on one only, by whole and by fractional factors.
    const int cases[][4] = {{37, 23, 10, 7}, {12, 9, 4, 3}, {37, 23, 37, 5}, {5, 40, 2, 40}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c[0] << "x" << c[1] << " to " << c[2] << "x" << c[3]);
        Rows src = Random(c[0], c[1], 4, 7);
        for (const int n : {3, 4}) {
            Rows in(c[0], c[1], n);
            for (int y = 0; y < c[1]; ++y)
                for (int x = 0; x < c[0]; ++x)
                    std::copy(src.At(x, y), src.At(x, y) + n, in.At(x, y));
            Rows out(c[2], c[3], n);
            ResampleSmooth(in.bytes.data(), in.width, in.height, in.stride, out.bytes.data(), out.width,
                           out.height, out.stride, n);
            // Output pixel (i, j) covers [i * W / w, (i + 1) * W / w) across, and so down.
            for (int j = 0; j < c[3]; ++j) {
                for (int i = 0; i < c[2]; ++i) {
                    double sum[4] = {}, area = 0;
                    for (int y = 0; y < c[1]; ++y) {
                        const double h = std::max(0.0, std::min((j + 1.0) * c[1] / c[3], y + 1.0) -
                                                           std::max(j * double(c[1]) / c[3], double(y)));
                        for (int x = 0; x < c[0]; ++x) {
                            const double w = std::max(0.0, std::min((i + 1.0) * c[0] / c[2], x + 1.0) -
                                                               std::max(i * double(c[0]) / c[2], double(x)));
                            const uint8_t* p = in.At(x, y);
                            const double alpha = n == 4 ? p[3] / 255.0 : 1.0;
                            for (int k = 0; k < 3; ++k)
                                sum[k] += w * h * alpha * linear(p[k]);
                            sum[3] += w * h * alpha;
                            area += w * h;
                        }
                    }
                    const uint8_t* q = out.At(i, j);
                    for (int k = 0; k < 3; ++k)
                        ASSERT_NEAR(q[k], srgb(sum[k] / sum[3]), n == 4 ? 1.0 : 0.51)
                            << i << "," << j << " " << k;
                    if (n == 4) {
                        ASSERT_NEAR(q[3], 255.0 * sum[3] / area, 0.51);
                    }
                }
            }
        }
    }

    // Enlarging: a uniform picture stays uniform, the same size is a copy, and between two pixels
    // the values run monotonically from one to the other with the ends held.
    Rows pair(2, 1, 3);
    std::fill(pair.At(0, 0), pair.At(0, 0) + 3, 0);
    std::fill(pair.At(1, 0), pair.At(1, 0) + 3, 255);
    Rows wide(8, 3, 3);
    ResampleSmooth(pair.bytes.data(), 2, 1, pair.stride, wide.bytes.data(), 8, 3, wide.stride, 3);
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ(wide.At(0, y)[0], 0);
        EXPECT_EQ(wide.At(1, y)[0], 0);
        EXPECT_EQ(wide.At(7, y)[2], 255);
        for (int x = 1; x < 8; ++x)
            EXPECT_LE(wide.At(x - 1, y)[1], wide.At(x, y)[1]);
    }
    EXPECT_EQ(wide.At(4, 1)[0], wide.At(4, 2)[1]);
    Rows same = Random(13, 5, 3, 3);
    Rows copy(13, 5, 3);
    ResampleSmooth(same.bytes.data(), 13, 5, same.stride, copy.bytes.data(), 13, 5, copy.stride, 3);
    EXPECT_TRUE(same.bytes == copy.bytes);
    for (int v = 0; v < 256; ++v)
        ASSERT_EQ(EncodeSrgb(DecodeSrgb(uint8_t(v))), v);
}

TEST(ColourAdjust, RulesOnPixelsAndPalettes) {
    // 3 and 4 bytes, widths that take the fast path and leave a tail; the opacity byte is kept, and
    // transparent pixels stay all zero.
    for (const int n : {3, 4}) {
        Rows rows = Random(37, 3, n, 11);
        for (int x = 0; x < 37 && n == 4; x += 5)
            rows.At(x, 1)[3] = 0;
        Rows out(37, 3, n);
        ColourAdjustment grey;
        grey.kind = ColourAdjustment::Greyscale;
        CColourMap(grey).ApplyToPixels(rows.bytes.data(), rows.stride, out.bytes.data(), out.stride, 37, 3,
                                       n);
        ColourAdjustment invert;
        Rows twice = out;
        CColourMap(invert).ApplyToPixels(out.bytes.data(), out.stride, twice.bytes.data(), twice.stride, 37,
                                         3, n);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 37; ++x) {
                const uint8_t* p = rows.At(x, y);
                const uint8_t* q = out.At(x, y);
                const bool clear = n == 4 && p[3] == 0;
                const int luma = clear ? 0 : (77 * p[2] + 150 * p[1] + 29 * p[0] + 128) >> 8;
                ASSERT_TRUE(q[0] == luma && q[1] == luma && q[2] == luma) << x;
                ASSERT_EQ(twice.At(x, y)[1], clear ? 0 : 255 - luma);
                if (n == 4) {
                    ASSERT_TRUE(q[3] == p[3] && twice.At(x, y)[3] == p[3]);
                }
            }
    }
    const auto map = [](ColourAdjustment::Kind kind, int a, int b = 0) {
        ColourAdjustment adjustment;
        adjustment.kind = kind;
        adjustment.brightness = adjustment.levels = a;
        adjustment.contrast = b;
        return CColourMap(adjustment);
    };
    const RGBQUAD sample{10, 128, 250, 0};
    const RGBQUAD same = map(ColourAdjustment::BrightnessContrast, 0, 0).Apply(sample);
    EXPECT_TRUE(same.rgbBlue == 10 && same.rgbGreen == 128 && same.rgbRed == 250);
    const RGBQUAD flat = map(ColourAdjustment::BrightnessContrast, 0, -100).Apply(sample);
    EXPECT_TRUE(flat.rgbBlue == 128 && flat.rgbRed == 128);
    const RGBQUAD hard = map(ColourAdjustment::BrightnessContrast, 0, 100).Apply(sample);
    EXPECT_TRUE(hard.rgbBlue == 0 && hard.rgbGreen == 255 && hard.rgbRed == 255);
    const RGBQUAD bright = map(ColourAdjustment::BrightnessContrast, 50, 0).Apply(sample);
    EXPECT_TRUE(bright.rgbBlue == 138 && bright.rgbRed == 255);
    const RGBQUAD two = map(ColourAdjustment::Posterize, 2).Apply(sample);
    EXPECT_TRUE(two.rgbBlue == 0 && two.rgbGreen == 255 && two.rgbRed == 255);
    const RGBQUAD five = map(ColourAdjustment::Posterize, 5).Apply(sample);
    EXPECT_TRUE(five.rgbBlue == 0 && five.rgbGreen == 128 && five.rgbRed == 255);

    // A part of an 8-bit image: each index to the entry nearest its adjusted colour.
    RGBQUAD palette[kPaletteEntries];
    FillDefaultPalette(palette);
    uint8_t indices[kPaletteEntries];
    map(ColourAdjustment::Invert, 0).IndexMap(palette, nullptr, indices);
    EXPECT_EQ(indices[0], 255);   // black to white, nearest the lightest grey (234, 234, 234)
    EXPECT_EQ(indices[215], 43);  // (210, 210, 210) to (45, 45, 45): (42, 42, 42) and (48, 48, 48) tie
    // With entry opacities each index goes to an entry as opaque as its own.
    uint8_t entryAlpha[kPaletteEntries];
    std::fill(entryAlpha, entryAlpha + kPaletteEntries, uint8_t{255});
    entryAlpha[255] = 0;
    entryAlpha[3] = entryAlpha[200] = 128;
    map(ColourAdjustment::Invert, 0).IndexMap(palette, entryAlpha, indices);
    for (int i = 0; i < kPaletteEntries; ++i)
        ASSERT_EQ(entryAlpha[indices[i]], entryAlpha[i]) << i;
    EXPECT_EQ(indices[0], 254);  // white is transparent now: the next lightest grey
    EXPECT_EQ(indices[255], 255);
}

TEST(PaletteCommands, EveryPixelKeepsItsColour) {
    // An 8-bit picture over a palette with duplicates and unused entries.
    RGBQUAD palette[kPaletteEntries];
    std::mt19937 random(5);
    for (RGBQUAD& entry : palette)
        entry =
            RGBQUAD{uint8_t(random() % 4 * 80), uint8_t(random() % 4 * 80), uint8_t(random() % 3 * 120), 0};
    Rows picture(33, 9, 1);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 33; ++x)
            *picture.At(x, y) = uint8_t(random() % 200);
    // Some entries transparent or half so; the opacities move with their entries.
    uint8_t entryAlpha[kPaletteEntries];
    for (uint8_t& alpha : entryAlpha)
        alpha = random() % 4 == 0 ? uint8_t(random() % 2 * 128) : uint8_t{255};
    uint64_t counts[kPaletteEntries];
    CountEntryUse(picture.bytes.data(), picture.stride, 33, 9, 1, palette, counts);
    EXPECT_EQ(std::accumulate(counts, counts + kPaletteEntries, uint64_t{0}), 33u * 9);
    // True-colour pixels count for the first entry of their colour; transparent ones for none.
    Rows colours(3, 1, 4);
    const uint8_t three[12] = {1, 2, 3, 255, 1, 2, 3, 40, 0, 0, 0, 0};
    std::copy(three, three + 12, colours.bytes.begin());
    RGBQUAD table[kPaletteEntries] = {{0, 0, 0, 0}, {1, 2, 3, 0}, {1, 2, 3, 0}};
    uint64_t colourCounts[kPaletteEntries];
    CountEntryUse(colours.bytes.data(), colours.stride, 3, 1, 4, table, colourCounts);
    EXPECT_TRUE(colourCounts[0] == 0 && colourCounts[1] == 2 && colourCounts[2] == 0);
    bool used[kPaletteEntries];
    FindUsedEntries(picture.bytes.data(), picture.stride, 33, 9, used);

    const PaletteRemap remaps[] = {SortPalette(palette, entryAlpha, PaletteOrder::Hue, counts),
                                   SortPalette(palette, entryAlpha, PaletteOrder::Brightness, counts),
                                   SortPalette(palette, entryAlpha, PaletteOrder::UseCount, counts),
                                   MergeDuplicateEntries(palette, entryAlpha),
                                   RemoveUnusedEntries(palette, entryAlpha, used)};
    for (int r = 0; r < 5; ++r) {
        SCOPED_TRACE(r);
        const PaletteRemap& remap = remaps[r];
        Rows moved(33, 9, 1);
        RemapIndices(picture.bytes.data(), picture.stride, moved.bytes.data(), moved.stride, 33, 9,
                     remap.map);
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 33; ++x) {
                const RGBQUAD& before = palette[*picture.At(x, y)];
                const RGBQUAD& after = remap.palette[*moved.At(x, y)];
                ASSERT_EQ(PaletteColour(before), PaletteColour(after)) << x << "," << y;
                ASSERT_EQ(entryAlpha[*picture.At(x, y)], remap.alpha[*moved.At(x, y)]) << x << "," << y;
            }
    }
    // The orders themselves: brightness rises; by use the counts fall; merged colours are all
    // different; the used entries come first.
    const auto luma = [](const RGBQUAD& c) { return 77 * c.rgbRed + 150 * c.rgbGreen + 29 * c.rgbBlue; };
    for (int i = 1; i < kPaletteEntries; ++i) {
        EXPECT_LE(luma(remaps[1].palette[i - 1]) >> 8, luma(remaps[1].palette[i]) >> 8);
    }
    for (int i = 0; i < kPaletteEntries; ++i) {
        EXPECT_EQ(PaletteColour(remaps[2].palette[remaps[2].map[i]]), PaletteColour(palette[i]));
        if (i > 0) {
            EXPECT_GE(counts[std::find(remaps[2].map, remaps[2].map + 256, i - 1) - remaps[2].map],
                      counts[std::find(remaps[2].map, remaps[2].map + 256, i) - remaps[2].map]);
        }
    }
    const int distinct = int(std::max_element(remaps[3].map, remaps[3].map + 256)[0]) + 1;
    for (int i = 0; i < distinct; ++i)
        for (int j = i + 1; j < distinct; ++j)
            EXPECT_FALSE(PaletteColour(remaps[3].palette[i]) == PaletteColour(remaps[3].palette[j]) &&
                         remaps[3].alpha[i] == remaps[3].alpha[j]);
    for (int i = distinct; i < kPaletteEntries; ++i)
        EXPECT_TRUE(PaletteColour(remaps[3].palette[i]) == 0 && remaps[3].alpha[i] == 255) << i;
    const int inUse = int(std::count(used, used + 256, true));
    for (int i = 0; i < kPaletteEntries; ++i)
        EXPECT_EQ(remaps[4].map[i] < inUse, used[i]) << i;
    const int greys = int(std::count_if(palette, palette + 256, [](const RGBQUAD& c) {
        return c.rgbRed == c.rgbGreen && c.rgbGreen == c.rgbBlue;
    }));
    ASSERT_GT(greys, 0);
    for (int i = 0; i < kPaletteEntries; ++i) {
        const RGBQUAD& c = remaps[0].palette[i];
        EXPECT_EQ(c.rgbRed == c.rgbGreen && c.rgbGreen == c.rgbBlue, i < greys) << i;
    }
    EXPECT_TRUE(remaps[0].MovesIndices());
}
