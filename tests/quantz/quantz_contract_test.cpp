// The contract of Convert24To256 for every palette and dither method: the returned blocks, the
// untouched input, exact results for images of few colours, exact nearest colours, and refusal of
// anything the program cannot hold.
#include <dirent.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <vector>

#include "document/pixel_routines.h"
#include "quantz_test_image.h"

namespace {

// Random colours drawn from `count` distinct ones (none repeated in the list).
std::vector<Rgb> DistinctColours(int count, std::mt19937& rng) {
    std::set<uint32_t> seen;
    std::vector<Rgb> colours;
    // Black, white and neighbours one level apart make the exact path work for its living.
    for (uint32_t c : {0x000000u, 0xFFFFFFu, 0x000001u, 0x010000u}) {
        if (static_cast<int>(colours.size()) < count && seen.insert(c).second)
            colours.push_back(Rgb{uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
    }
    while (static_cast<int>(colours.size()) < count) {
        const uint32_t c = rng() & 0xFFFFFF;
        if (seen.insert(c).second) colours.push_back(Rgb{uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
    }
    return colours;
}

// A smooth picture with noise: far more than 256 colours.
Rgb Photo(int x, int y, int width, int height, std::mt19937& rng) {
    const int noise = static_cast<int>(rng() % 24) - 12;
    auto level = [](int v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); };
    return Rgb{level(255 * x / width + noise), level(60 + 150 * y / height - noise),
               level(200 - 180 * (x + y) / (width + height) + noise / 2)};
}

// The threads of this process.
int ThreadCount() {
    int count = 0;
    if (DIR* tasks = opendir("/proc/self/task")) {
        while (const dirent* entry = readdir(tasks))
            count += entry->d_name[0] != '.';
        closedir(tasks);
    }
    return count;
}

// The most threads seen while progress was reported since the last reset.
int g_mostThreads = 0;
int NoteThreads(int) {
    g_mostThreads = std::max(g_mostThreads, ThreadCount());
    return 0;
}

// The header block and rows of a result, as bytes.
std::vector<uint8_t> ResultBytes(const Reduced& out) {
    const size_t rows = out.header().biSizeImage;
    std::vector<uint8_t> bytes(kHeaderBlockBytes8 + rows);
    std::memcpy(bytes.data(), &out.header(), kHeaderBlockBytes8);
    std::memcpy(bytes.data() + kHeaderBlockBytes8, out.bits(), rows);
    return bytes;
}

}  // namespace

// Header fields, padding, palette layout and the untouched input, at widths 1, 3, 5 and 33 (every
// row padding) and a single pixel, for all nine method pairs.
TEST(QuantzContract, BlocksForEveryMethodPairAndWidth) {
    std::mt19937 rng(1);
    RGBQUAD standard[kPaletteEntries];
    FillDefaultPalette(standard);
    const std::vector<std::pair<int, int>> sizes{{1, 1}, {1, 4}, {3, 2}, {5, 3}, {33, 7}, {2, 1}, {4, 5}};
    for (const auto& size : sizes) {
        const int width = size.first, height = size.second;
        for (const MethodPair m : AllMethodPairs()) {
            InputImage input(width, height, [&](int x, int y) { return Photo(x, y, width, height, rng); });
            input.header().biYPelsPerMeter = 2835;  // kept as it was
            const std::vector<uint8_t> before(input.bits(), input.bits() + input.bytes());
            const BITMAPINFOHEADER headerBefore = input.header();
            const Reduced out(input, m.palette, m.dither);
            SCOPED_TRACE(testing::Message()
                         << width << "x" << height << " palette " << m.palette << " dither " << m.dither);
            ASSERT_TRUE(out);
            ASSERT_NE(out.bits(), input.bits());

            const BITMAPINFOHEADER& h = out.header();
            const int stride = static_cast<int>(RowStride(width, 8));
            EXPECT_EQ(h.biSize, 40u);
            EXPECT_EQ(h.biWidth, width);
            EXPECT_EQ(h.biHeight, height);
            EXPECT_EQ(h.biPlanes, 1);
            EXPECT_EQ(h.biBitCount, 8);
            EXPECT_EQ(h.biCompression, 0u);
            EXPECT_EQ(h.biXPelsPerMeter, stride);
            EXPECT_EQ(h.biSizeImage, uint32_t(stride * height));
            EXPECT_EQ(h.biYPelsPerMeter, 2835);
            EXPECT_EQ(h.biClrUsed, 256u);
            EXPECT_EQ(h.biClrImportant, 256u);
            EXPECT_TRUE(IsModelHeader(h));

            for (int row = 0; row < height; ++row)
                for (int x = width; x < stride; ++x)
                    EXPECT_EQ(out.bits()[row * stride + x], 0) << "padding";
            for (int i = 0; i < kPaletteEntries; ++i)
                EXPECT_EQ(out.palette()[i].rgbReserved, 0);
            if (m.palette == 0) {
                EXPECT_EQ(std::memcmp(out.palette(), standard, kPaletteBytes), 0);
            }

            // The library neither changes nor frees the input.
            EXPECT_EQ(std::memcmp(&input.header(), &headerBefore, sizeof headerBefore), 0);
            EXPECT_TRUE(std::equal(before.begin(), before.end(), input.bits()));
        }
    }
}

// An image of at most 256 colours comes back pixel for pixel with median cut and octree, under
// every dither method; the palette holds exactly those colours and zeros after them.
TEST(QuantzContract, FewColoursComeOutExact) {
    std::mt19937 rng(2);
    for (int count : {1, 2, 17, 200, 256}) {
        const std::vector<Rgb> colours = DistinctColours(count, rng);
        std::vector<int> picks(61 * 37);
        for (size_t i = 0; i < picks.size(); ++i)
            picks[i] = i < colours.size() ? int(i) : int(rng() % count);
        for (int palette : {1, 2}) {
            for (int dither : {0, 1, 2}) {
                InputImage input(61, 37, [&](int x, int y) { return colours[picks[y * 61 + x]]; });
                const Reduced out(input, palette, dither);
                ASSERT_TRUE(out);
                SCOPED_TRACE(testing::Message()
                             << count << " colours, palette " << palette << " dither " << dither);
                for (int y = 0; y < 37; ++y)
                    for (int x = 0; x < 61; ++x)
                        ASSERT_EQ(out.At(x, y), input.At(x, y)) << x << "," << y;
                std::set<uint32_t> entries;
                for (int i = 0; i < count; ++i)
                    entries.insert(PaletteColour(out.palette()[i]));
                EXPECT_EQ(static_cast<int>(entries.size()), count);
                for (int i = count; i < kPaletteEntries; ++i)
                    EXPECT_EQ(PaletteColour(out.palette()[i]), 0u) << i;
            }
        }
    }
}

// Nearest Color gives each pixel the nearest entry of the palette (lowest index on ties): the
// core's own search for the standard palette; among the entries in use for the others, whose
// unused entries (black) must never be picked.
TEST(QuantzContract, NearestColourIsExact) {
    std::mt19937 rng(3);
    const int width = 97, height = 61;
    RGBQUAD standard[kPaletteEntries];
    FillDefaultPalette(standard);
    for (int palette : {0, 1, 2}) {
        InputImage input(width, height, [&](int x, int y) { return Photo(x, y, width, height, rng); });
        const Reduced out(input, palette, 0);
        ASSERT_TRUE(out);
        std::set<int> used;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                used.insert(out.Index(x, y));
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const Rgb c = input.At(x, y);
                const int chosen = out.Index(x, y);
                if (palette == 0) {
                    ASSERT_EQ(chosen, NearestPaletteIndex(c.red, c.green, c.blue, standard));
                    continue;
                }
                const int d = SquaredDistance(c, out.palette()[chosen]);
                for (int i : used) {
                    const int other = SquaredDistance(c, out.palette()[i]);
                    ASSERT_TRUE(other > d || (other == d && i >= chosen)) << x << "," << y << " entry " << i;
                }
            }
        }
    }
}

// Whatever the library cannot or must not convert comes back as null with *bits untouched.
TEST(QuantzContract, RefusedInputsLeaveTheImageAlone) {
    InputImage input(7, 5, [](int x, int y) { return Rgb{uint8_t(30 * x), uint8_t(40 * y), 99}; });
    const BITMAPINFOHEADER good = input.header();
    auto refused = [&](const BITMAPINFOHEADER& header, int palette, int dither) {
        BITMAPINFOHEADER h = header;
        uint8_t* bits = input.bits();
        BITMAPINFOHEADER* result = Convert24To256(&bits, &h, palette, dither);
        std::free(result);
        return result == nullptr && bits == input.bits();
    };
    auto with = [&](auto change) {
        BITMAPINFOHEADER h = good;
        change(h);
        return h;
    };
    EXPECT_TRUE(refused(with([](auto& h) { h.biBitCount = 8; }), 1, 0));
    EXPECT_TRUE(refused(with([](auto& h) { h.biBitCount = 32; }), 1, 0));
    EXPECT_TRUE(refused(with([](auto& h) { h.biBitCount = 0; }), 0, 0));
    EXPECT_TRUE(refused(with([](auto& h) { h.biWidth = 0; }), 2, 2));
    EXPECT_TRUE(refused(with([](auto& h) { h.biWidth = -7; }), 2, 2));
    EXPECT_TRUE(refused(with([](auto& h) { h.biHeight = 0; }), 1, 2));
    EXPECT_TRUE(refused(with([](auto& h) { h.biHeight = -5; }), 1, 2));         // top-down rows
    EXPECT_TRUE(refused(with([](auto& h) { h.biXPelsPerMeter = 21; }), 0, 1));  // stride not the width's
    EXPECT_TRUE(refused(with([](auto& h) { h.biXPelsPerMeter = 0; }), 0, 1));
    EXPECT_TRUE(refused(with([](auto& h) { h.biCompression = 1; }), 2, 0));
    EXPECT_TRUE(refused(with([](auto& h) { h.biWidth = 70000, h.biXPelsPerMeter = 210000; }), 2, 0));
    // 65535 x 65535 at 24 bits exceeds the model's pixel block; nothing may be read from the rows.
    EXPECT_TRUE(
        refused(with([](auto& h) { h.biWidth = h.biHeight = 65535, h.biXPelsPerMeter = 196608; }), 1, 0));
    for (int bad : {-1, 3, 1000})
        for (int ok : {0, 1, 2}) {
            EXPECT_TRUE(refused(good, bad, ok));
            EXPECT_TRUE(refused(good, ok, bad));
        }

    BITMAPINFOHEADER h = good;
    uint8_t* bits = input.bits();
    EXPECT_EQ(Convert24To256(nullptr, &h, 1, 0), nullptr);
    EXPECT_EQ(Convert24To256(&bits, nullptr, 1, 0), nullptr);
    EXPECT_EQ(bits, input.bits());
    uint8_t* none = nullptr;
    EXPECT_EQ(Convert24To256(&none, &h, 1, 0), nullptr);
    EXPECT_EQ(none, nullptr);
    // The same image converts once the header is right.
    EXPECT_TRUE(Reduced(input, 1, 0));
}

// Large images are gathered and mapped in two halves at once. The halves' colour sets must join
// correctly: 128 colours in the top half and 128 others in the bottom half still come out exact
// under every dither method, and so does every sampled pixel's nearest entry.
TEST(QuantzContract, LargeImagesSplitIntoHalves) {
    std::mt19937 rng(4);
    const int width = 1024, height = 1024;  // the size from which a helper thread joins in
    const std::vector<Rgb> colours = DistinctColours(256, rng);
    for (int palette : {1, 2}) {
        for (int dither : {0, 1, 2}) {
            InputImage input(width, height, [&](int x, int y) {
                return colours[(y < height / 2 ? 0 : 128) + (x * 7 + y * 3) % 128];
            });
            const Reduced out(input, palette, dither);
            ASSERT_TRUE(out);
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    ASSERT_EQ(out.At(x, y), input.At(x, y)) << palette << dither << " " << x << "," << y;
        }
    }
    InputImage photo(width, height, [&](int x, int y) { return Photo(x, y, width, height, rng); });
    const Reduced out(photo, 1, 0);
    ASSERT_TRUE(out);
    std::set<int> used;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            used.insert(out.Index(x, y));
    for (int n = 0; n < 20000; ++n) {
        const int x = int(rng() % width), y = int(rng() % height);
        const Rgb c = photo.At(x, y);
        const int chosen = out.Index(x, y), d = SquaredDistance(c, out.palette()[chosen]);
        for (int i : used) {
            const int other = SquaredDistance(c, out.palette()[i]);
            ASSERT_TRUE(other > d || (other == d && i >= chosen)) << x << "," << y << " entry " << i;
        }
    }
}

// How a large image is split decides its error diffusion and the order of its colour summary, so the
// split must not depend on the machine: held to one thread (ORVIK_QUANTZ_THREADS=1, as on a
// one-processor machine) the library starts no helper and gives the same bytes as a normal run.
TEST(QuantzContract, OneThreadGivesTheSameBytes) {
    struct Scope {
        Scope() { SetProgressFunction(NoteThreads); }
        ~Scope() {
            SetProgressFunction(nullptr);
            unsetenv("ORVIK_QUANTZ_THREADS");
        }
    } scope;
    std::mt19937 rng(5);
    const int width = 1100, height = 1000;  // over the size from which the rows are split
    InputImage input(width, height, [&](int x, int y) { return Photo(x, y, width, height, rng); });
    const int threads = ThreadCount();
    for (const MethodPair m : AllMethodPairs()) {
        SCOPED_TRACE(testing::Message() << "palette " << m.palette << " dither " << m.dither);
        const Reduced normal(input, m.palette, m.dither);
        setenv("ORVIK_QUANTZ_THREADS", "1", 1);
        g_mostThreads = 0;
        const Reduced single(input, m.palette, m.dither);
        unsetenv("ORVIK_QUANTZ_THREADS");
        EXPECT_EQ(g_mostThreads, threads) << "a helper thread ran";
        ASSERT_TRUE(normal);
        ASSERT_TRUE(single);
        EXPECT_TRUE(ResultBytes(normal) == ResultBytes(single));
    }
}
