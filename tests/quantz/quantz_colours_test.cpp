// ReduceColours: any count of entries, a given palette, 8-bit and 32-bit inputs, refusals and
// stopping through the progress function.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <set>
#include <vector>

#include "quantz_test_image.h"

namespace {

// An input of 8, 24 or 32 bits per pixel in blocks of exactly the model's size. Every pixel x, y
// has the colour colour(x, y); at 32 bits those on a diagonal band are transparent (alpha 0, the
// colour still set) and the others carry alphas 255 or 100; at 8 bits the colour table holds the
// picture's colours (at most 256) in the order they first appear.
class Source {
public:
    Source(int bitCount, int width, int height, Rgb (*colour)(int x, int y)) {
        int entries = 0;
        const int64_t stride = bitCount == 32 ? 4 * width : RowStride(width, bitCount);
        m_header = static_cast<BITMAPINFOHEADER*>(std::calloc(1, kHeaderBlockBytes8));
        *m_header = BITMAPINFOHEADER{
            40, width, height, 1, uint16_t(bitCount), 0, uint32_t(stride * height), int32_t(stride), 0, 0, 0};
        m_bits = static_cast<uint8_t*>(std::calloc(size_t(stride * height), 1));
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const Rgb c = colour(x, y);
                uint8_t* p = m_bits + (height - 1 - y) * stride + x * bitCount / 8;
                if (bitCount == 8) {
                    const RGBQUAD entry{c.blue, c.green, c.red, 0};
                    int i = 0;
                    while (i < entries && std::memcmp(&HeaderPalette(m_header)[i], &entry, 4) != 0)
                        ++i;
                    if (i == entries) HeaderPalette(m_header)[entries++] = entry;
                    *p = uint8_t(i);
                    continue;
                }
                p[0] = c.blue, p[1] = c.green, p[2] = c.red;
                if (bitCount == 32) p[3] = Transparent(x, y) ? 0 : (x + y) % 3 ? 255 : 100;
            }
        }
    }
    ~Source() {
        std::free(m_header);
        std::free(m_bits);
    }
    Source(const Source&) = delete;
    Source& operator=(const Source&) = delete;

    static bool Transparent(int x, int y) { return (x + 2 * y) % 23 < 3; }

    const BITMAPINFOHEADER* header() const { return m_header; }
    uint8_t* bits() const { return m_bits; }

private:
    BITMAPINFOHEADER* m_header;
    uint8_t* m_bits;
};

// Smooth colours with noise: far more colours than any palette.
Rgb Photo(int x, int y) {
    const int noise = int((x * 7919u + y * 104729u) % 21) - 10;
    auto level = [](int v) { return uint8_t(std::clamp(v, 0, 255)); };
    return Rgb{level(4 * x + noise), level(40 + 3 * y - noise), level(220 - 2 * (x + y) + noise / 2)};
}

// 256 colours in stripes, for an 8-bit picture.
Rgb Stripes(int x, int y) {
    const int c = (x * 5 + y * 3) & 255;
    return Rgb{uint8_t(c), uint8_t(c * 7), uint8_t(255 - c / 2)};
}

// The picture for an input of the depth.
auto PictureFor(int bitCount) {
    return bitCount == 8 ? Stripes : Photo;
}

constexpr int kWidth = 61, kHeight = 43;

std::set<int> UsedEntries(const Reduced& out) {
    std::set<int> used;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            used.insert(out.Index(x, y));
    return used;
}

// Checks what a result of a 32-bit source says of its transparent pixels: all of them and no other
// carry the one transparent entry, which the opacity table alone marks.
void ExpectTransparency(const Reduced& out, const QuantzRequest& request, const uint8_t* alpha) {
    ASSERT_GE(request.transparentEntry, 0);
    for (int i = 0; i < kPaletteEntries; ++i)
        EXPECT_EQ(alpha[i], i == request.transparentEntry ? 0 : 255) << i;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            ASSERT_EQ(out.Index(x, y) == request.transparentEntry, Source::Transparent(x, y))
                << x << "," << y;
}

}  // namespace

// Median cut and octree with 2 to 255 entries under every dither method: never more entries in use
// than asked for (the transparent one included), the rest of the table zero.
TEST(QuantzColours, CountRespectedExactly) {
    for (int bitCount : {24, 32}) {
        const Source source(bitCount, kWidth, kHeight, Photo);
        for (int colours : {2, 16, 255}) {
            for (int method : {kQuantzMedianCut, kQuantzOctree}) {
                for (int dither : {0, 1, 2}) {
                    SCOPED_TRACE(testing::Message() << bitCount << " bits, " << colours << " colours, method "
                                                    << method << " dither " << dither);
                    uint8_t alpha[kPaletteEntries];
                    QuantzRequest request = Request(method, dither, colours);
                    request.resultAlpha = alpha;
                    const Reduced out(source.bits(), source.header(), request);
                    ASSERT_TRUE(out);
                    EXPECT_EQ(request.status, kQuantzOk);
                    const std::set<int> used = UsedEntries(out);
                    EXPECT_LE(static_cast<int>(used.size()), colours);
                    EXPECT_LT(*used.rbegin(), colours);
                    for (int i = colours; i < kPaletteEntries; ++i)
                        EXPECT_EQ(PaletteColour(out.palette()[i]), 0u) << i;
                    if (bitCount == 32)
                        ExpectTransparency(out, request, alpha);
                    else
                        EXPECT_EQ(request.transparentEntry, -1);
                }
            }
        }
    }
}

// A given palette comes back as it was given, and every pixel shows one of its entries: the
// nearest one under Nearest Color. With transparent pixels a short palette gains a transparent
// entry after its own; a full one gives up its least used entry.
TEST(QuantzColours, GivenPaletteUsedExactly) {
    std::mt19937 rng(8);
    std::vector<RGBQUAD> full(kPaletteEntries);
    for (int i = 0; i < kPaletteEntries; ++i)
        full[i] = RGBQUAD{uint8_t(rng()), uint8_t(i), uint8_t(rng()), 77};  // all distinct
    const std::vector<RGBQUAD> palettes[] = {
        {RGBQUAD{10, 200, 30, 0}},
        {{0, 0, 0, 0}, {255, 255, 255, 0}},
        {{0, 0, 0, 0},
         {170, 0, 0, 0},
         {0, 170, 0, 0},
         {170, 170, 0, 0},
         {0, 0, 170, 0},
         {170, 0, 170, 0},
         {0, 85, 170, 0},
         {170, 170, 170, 0},
         {85, 85, 85, 0},
         {255, 85, 85, 0},
         {85, 255, 85, 0},
         {255, 255, 85, 0},
         {85, 85, 255, 0},
         {255, 85, 255, 0},
         {85, 255, 255, 0},
         {255, 255, 255, 0}},
        full,
    };
    for (int bitCount : {8, 24, 32}) {
        const auto picture = PictureFor(bitCount);
        const Source source(bitCount, kWidth, kHeight, picture);
        for (const auto& given : palettes) {
            const int count = static_cast<int>(given.size());
            for (int dither : {0, 1, 2}) {
                SCOPED_TRACE(testing::Message()
                             << bitCount << " bits, " << count << " entries, dither " << dither);
                uint8_t alpha[kPaletteEntries];
                QuantzRequest request = Request(kQuantzGivenPalette, dither);
                request.palette = given.data();
                request.paletteCount = count;
                request.resultAlpha = alpha;
                const Reduced out(source.bits(), source.header(), request);
                ASSERT_TRUE(out);
                for (int i = 0; i < kPaletteEntries; ++i) {
                    const RGBQUAD want =
                        i < count ? RGBQUAD{given[i].rgbBlue, given[i].rgbGreen, given[i].rgbRed, 0}
                                  : RGBQUAD{0, 0, 0, 0};
                    ASSERT_EQ(std::memcmp(&out.palette()[i], &want, 4), 0) << i;
                }
                if (bitCount == 32) {
                    ExpectTransparency(out, request, alpha);
                    if (count < kPaletteEntries) {
                        EXPECT_EQ(request.transparentEntry, count);
                    }
                }
                for (int y = 0; y < kHeight; ++y) {
                    for (int x = 0; x < kWidth; ++x) {
                        const int chosen = out.Index(x, y);
                        if (chosen == request.transparentEntry) continue;
                        ASSERT_LT(chosen, count);
                        if (dither != 0) continue;
                        const int d = SquaredDistance(picture(x, y), out.palette()[chosen]);
                        for (int i = 0; i < count; ++i) {
                            if (i == request.transparentEntry) continue;
                            const int other = SquaredDistance(picture(x, y), out.palette()[i]);
                            ASSERT_TRUE(other > d || (other == d && i >= chosen))
                                << x << "," << y << " " << i;
                        }
                    }
                }
            }
        }
    }
}

// Inputs are reduced by their colours: an 8-bit image through its colour table, a 32-bit one whose
// pixels are all opaque (of whatever alpha), and a 24-bit one give the same bytes for every method.
// At 256 colours ReduceColours gives exactly what Convert24To256 gives.
TEST(QuantzColours, EveryDepthReducedByItsColours) {
    const Source eight(8, kWidth, kHeight, Stripes), rgb(24, kWidth, kHeight, Stripes);
    Source rgba(32, kWidth, kHeight, Stripes);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            rgba.bits()[(kHeight - 1 - y) * 4 * kWidth + 4 * x + 3] = uint8_t(1 + x);
    const RGBQUAD grey[] = {{0, 0, 0, 0}, {128, 128, 128, 0}, {255, 255, 255, 0}};
    for (int method = 0; method <= kQuantzGivenPalette; ++method) {
        for (int dither : {0, 1, 2}) {
            SCOPED_TRACE(testing::Message() << "method " << method << " dither " << dither);
            auto reduce = [&](const Source& source, int colours) {
                QuantzRequest request = Request(method, dither, colours);
                request.palette = grey;
                request.paletteCount = 3;
                auto out = std::make_unique<Reduced>(source.bits(), source.header(), request);
                EXPECT_TRUE(*out);
                EXPECT_EQ(request.transparentEntry, -1);
                return out;
            };
            for (int colours : {7, 100}) {
                const auto a = reduce(eight, colours), b = reduce(rgb, colours), c = reduce(rgba, colours);
                ASSERT_TRUE(*a && *b && *c);
                EXPECT_EQ(std::memcmp(&a->header(), &b->header(), kHeaderBlockBytes8), 0);
                EXPECT_EQ(std::memcmp(&c->header(), &b->header(), kHeaderBlockBytes8), 0);
                EXPECT_EQ(std::memcmp(a->bits(), b->bits(), b->header().biSizeImage), 0);
                EXPECT_EQ(std::memcmp(c->bits(), b->bits(), b->header().biSizeImage), 0);
            }
            if (method == kQuantzGivenPalette) continue;
            InputImage input(kWidth, kHeight, Photo);
            const Source photo(24, kWidth, kHeight, Photo);
            const Reduced old(input, method, dither);
            const auto now = reduce(photo, 256);
            ASSERT_TRUE(old && *now);
            EXPECT_EQ(std::memcmp(&old.header(), &now->header(), kHeaderBlockBytes8), 0);
            EXPECT_EQ(std::memcmp(old.bits(), now->bits(), old.header().biSizeImage), 0);
        }
    }
}

// Requests and inputs the library does not take are refused with nothing changed; a progress
// function that asks to stop ends the reduction with nothing delivered.
TEST(QuantzColours, RefusedAndStopped) {
    const Source source(24, kWidth, kHeight, Photo);
    const RGBQUAD one[] = {{1, 2, 3, 0}};
    auto status = [&](QuantzRequest request, const BITMAPINFOHEADER* header) {
        uint8_t* bits = source.bits();
        request.status = -1;
        BITMAPINFOHEADER* result = ReduceColours(&bits, header, &request);
        std::free(result);
        EXPECT_EQ(bits, source.bits());
        return result ? -2 : request.status;
    };
    const BITMAPINFOHEADER* h = source.header();
    for (int colours : {-1, 0, 1, 257})
        EXPECT_EQ(status(Request(kQuantzMedianCut, 0, colours), h), kQuantzRefused) << colours;
    EXPECT_EQ(status(Request(4, 0), h), kQuantzRefused);
    EXPECT_EQ(status(Request(kQuantzOctree, 3), h), kQuantzRefused);
    QuantzRequest given = Request(kQuantzGivenPalette, 0);
    EXPECT_EQ(status(given, h), kQuantzRefused);  // no palette
    given.palette = one;
    for (int count : {0, 257})
        EXPECT_EQ((given.paletteCount = count, status(given, h)), kQuantzRefused) << count;
    QuantzRequest shortRequest = Request(kQuantzOctree, 0);
    shortRequest.size = sizeof(QuantzRequest) - 4;
    EXPECT_EQ(status(shortRequest, h), -1);  // too short to be told why
    BITMAPINFOHEADER wide = *h;
    wide.biBitCount = 32;  // the 24-bit stride does not fit 32 bits
    EXPECT_EQ(status(Request(kQuantzOctree, 0), &wide), kQuantzRefused);

    // Stopped at the first report past 10 percent, for every kind of palette.
    for (int method = 0; method <= kQuantzGivenPalette; ++method) {
        QuantzRequest request = Request(method, 2, 16);
        request.palette = one;
        request.paletteCount = 1;
        int calls = 0;
        request.progressContext = &calls;
        request.progress = [](void* context, int percent) {
            ++*static_cast<int*>(context);
            return percent > 10 ? 1 : 0;
        };
        EXPECT_EQ(status(request, h), kQuantzCancelled) << method;
        EXPECT_GT(calls, 1);
    }
}

// Rows of part of a large image (split into two bands) come out as they are in the whole result,
// also across the bands' border and with the palette step of an earlier request reused.
TEST(QuantzColours, APartEqualsTheWhole) {
    const int width = 1100, height = 1000;
    const Source source(24, width, height, Photo);
    const RGBQUAD given[] = {{0, 0, 0, 0}, {90, 160, 30, 0}, {250, 40, 200, 0}, {255, 255, 255, 0}};
    const std::pair<int, int> methods[] = {
        {kQuantzMedianCut, 2}, {kQuantzStandardPalette, 1}, {kQuantzGivenPalette, 2}};
    for (const auto& [method, dither] : methods) {
        SCOPED_TRACE(testing::Message() << "method " << method << " dither " << dither);
        QuantzPalettePlan plan{};
        QuantzRequest request = Request(method, dither, 40);
        request.palette = given;
        request.paletteCount = 4;
        request.plan = &plan;
        const Reduced whole(source.bits(), source.header(), request);
        ASSERT_TRUE(whole);
        EXPECT_EQ(plan.made != 0, method == kQuantzMedianCut || method == kQuantzOctree);
        for (const auto& [first, count] : {std::pair{480, 40}, std::pair{990, 10}}) {
            request.firstRow = first;
            request.rowCount = count;
            const Reduced part(source.bits(), source.header(), request);
            ASSERT_TRUE(part);
            EXPECT_EQ(std::memcmp(&part.header(), &whole.header(), kHeaderBlockBytes8), 0);
            const int stride = whole.header().biXPelsPerMeter;
            for (int y = first; y < first + count; ++y) {
                const size_t at = size_t(height - 1 - y) * stride;
                ASSERT_EQ(std::memcmp(part.bits() + at, whole.bits() + at, stride), 0) << y;
            }
        }
    }
}
