#include "document/pixel_routines.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

#include "document/palette_match.h"

uint8_t g_bTranslucent = 0;
float g_fTranslucency = 0.63f;

namespace {

bool HaveSsse3() {
#if defined(__x86_64__) || defined(__i386__)
    static const bool have = __builtin_cpu_supports("ssse3");
    return have;
#else
    return false;
#endif
}

bool Translucent() {
    return (g_bTranslucent & 1) != 0;
}

// The blend with factor f (the single-precision setting widened to double) and 1 - f formed in double.
inline uint8_t Blend(int existing, int incoming, double f, double g) {
    const double v = existing * f + incoming * g;
    if (!(v > 0.0)) return 0;  // also catches NaN
    if (v >= 255.0) return 255;
    return static_cast<uint8_t>(v);
}

// Per-channel lookup tables blending any existing byte with one fixed incoming byte.
struct BlendTables {
    uint8_t blue[256], green[256], red[256];
    explicit BlendTables(uint32_t colour) {
        const double f = g_fTranslucency;
        const double g = 1.0 - f;
        for (int e = 0; e < 256; ++e) {
            blue[e] = Blend(e, colour & 0xFF, f, g);
            green[e] = Blend(e, (colour >> 8) & 0xFF, f, g);
            red[e] = Blend(e, (colour >> 16) & 0xFF, f, g);
        }
    }
};

inline uint8_t* PixelAddress(uint8_t* bits, int x, int row, int stride, int bytesPerPixel) {
    return bits + static_cast<ptrdiff_t>(row) * stride + static_cast<ptrdiff_t>(x) * bytesPerPixel;
}

inline void Store24(uint8_t* p, uint32_t colour) {
    p[0] = static_cast<uint8_t>(colour);
    p[1] = static_cast<uint8_t>(colour >> 8);
    p[2] = static_cast<uint8_t>(colour >> 16);
}

inline uint32_t Load24(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16;
}

inline void Store32(uint8_t* p, uint32_t value) {
    std::memcpy(p, &value, 4);  // blue, green, red, alpha on a little-endian machine
}

inline uint32_t Load32(const uint8_t* p) {
    uint32_t value;
    std::memcpy(&value, p, 4);
    return value;
}

// Translucent paint of `colour` over a pixel with alpha; see PutPixel24.
inline void BlendOver(uint8_t* p, uint32_t colour, double f, double g) {
    const int alpha = p[3];
    if (alpha == kOpaque) {
        p[0] = Blend(p[0], colour & 0xFF, f, g);
        p[1] = Blend(p[1], (colour >> 8) & 0xFF, f, g);
        p[2] = Blend(p[2], (colour >> 16) & 0xFF, f, g);
        return;
    }
    const double keep = std::clamp(f, 0.0, 1.0);
    const double existing = alpha * keep;       // the weight of the pixel's colour
    const double paint = 255.0 * (1.0 - keep);  // and of the paint's
    const double sum = existing + paint;        // the new alpha
    if (!(sum > 0.0)) return;
    for (int k = 0; k < 3; ++k) {
        const int c = static_cast<int>((colour >> (8 * k)) & 0xFF);
        p[k] = static_cast<uint8_t>(std::min((p[k] * existing + c * paint) / sum + 0.5, 255.0));
    }
    p[3] = static_cast<uint8_t>(std::min(sum + 0.5, 255.0));
}

// Paints one pixel of 3 or 4 bytes.
inline void PaintColour(uint8_t* p, uint32_t colour, int bytesPerPixel) {
    if (!Translucent()) {
        if (bytesPerPixel == 4)
            Store32(p, (colour & 0xFFFFFF) | 0xFF000000u);
        else
            Store24(p, colour);
        return;
    }
    const double f = g_fTranslucency;
    const double g = 1.0 - f;
    if (bytesPerPixel == 4) {
        BlendOver(p, colour, f, g);
        return;
    }
    p[0] = Blend(p[0], colour & 0xFF, f, g);
    p[1] = Blend(p[1], (colour >> 8) & 0xFF, f, g);
    p[2] = Blend(p[2], (colour >> 16) & 0xFF, f, g);
}

// Writes `count` copies of a 3 or 4-byte pixel, doubling the written part to keep the copies long.
void FillPixels(uint8_t* p, int count, uint32_t colour, int bytesPerPixel) {
    if (count <= 0) return;
    if (bytesPerPixel == 4)
        Store32(p, colour);
    else
        Store24(p, colour);
    size_t done = static_cast<size_t>(bytesPerPixel);
    const size_t total = static_cast<size_t>(count) * bytesPerPixel;
    while (done < total) {
        const size_t chunk = std::min(done, total - done);
        std::memcpy(p + done, p, chunk);
        done += chunk;
    }
}

// The colour of palette entry `index` blended (when translucent) over the colour of entry `existing`,
// matched among the entries as opaque as `index`.
inline int Paint8Index(int existing, int index, const RGBQUAD* palette, const uint8_t* entryAlpha) {
    const RGBQUAD& c = palette[index & 0xFF];
    const uint8_t alpha = EntryAlpha(entryAlpha, index);
    if (!Translucent() || EntryAlpha(entryAlpha, existing) == 0)
        return NearestPaletteIndex(c.rgbRed, c.rgbGreen, c.rgbBlue, palette, entryAlpha, alpha);
    const RGBQUAD& e = palette[existing];
    const double f = g_fTranslucency;
    const double g = 1.0 - f;
    return NearestPaletteIndex(Blend(e.rgbRed, c.rgbRed, f, g), Blend(e.rgbGreen, c.rgbGreen, f, g),
                               Blend(e.rgbBlue, c.rgbBlue, f, g), palette, entryAlpha, alpha);
}

}  // namespace

uint8_t BlendChannel(int existing, int incoming) {
    const double f = g_fTranslucency;
    return Blend(existing, incoming, f, 1.0 - f);
}

int NearestPaletteIndex(uint8_t red, uint8_t green, uint8_t blue, const RGBQUAD* palette) {
    return NearestPaletteIndex(red, green, blue, palette, nullptr, kOpaque);
}

int NearestPaletteIndex(uint8_t red, uint8_t green, uint8_t blue, const RGBQUAD* palette,
                        const uint8_t* entryAlpha, uint8_t alpha) {
    // No entry of that opacity: every entry counts.
    bool any = !entryAlpha;
    for (int i = 0; i < kPaletteEntries && !any; ++i)
        any = entryAlpha[i] == alpha;
    if (!any) entryAlpha = nullptr;
    int best = 0;
    int bestDistance = 3 * 255 * 255 + 1;
    for (int i = 0; i < kPaletteEntries; ++i) {
        if (EntryAlpha(entryAlpha, i) != (entryAlpha ? alpha : kOpaque)) continue;
        const int dr = palette[i].rgbRed - red;
        const int dg = palette[i].rgbGreen - green;
        const int db = palette[i].rgbBlue - blue;
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

void PutPixel8(uint8_t* bits, int x, int row, int stride, int index, const RGBQUAD* palette,
               const uint8_t* entryAlpha) {
    uint8_t* p = PixelAddress(bits, x, row, stride, 1);
    *p = static_cast<uint8_t>(Paint8Index(*p, index, palette, entryAlpha));
}

void PutPixel24(uint8_t* bits, int x, int row, int stride, uint32_t colour, int bytesPerPixel) {
    PaintColour(PixelAddress(bits, x, row, stride, bytesPerPixel), colour, bytesPerPixel);
}

uint32_t GetPixel24(const uint8_t* bits, int x, int row, int stride, int bytesPerPixel) {
    return Load24(bits + static_cast<ptrdiff_t>(row) * stride + static_cast<ptrdiff_t>(x) * bytesPerPixel);
}

uint32_t GetPixel32(const uint8_t* bits, int x, int row, int stride) {
    return Load32(bits + static_cast<ptrdiff_t>(row) * stride + static_cast<ptrdiff_t>(x) * 4);
}

void HLine8(uint8_t* bits, int firstX, int row, int lastX, int stride, int index, const RGBQUAD* palette,
            const uint8_t* entryAlpha) {
    if (firstX > lastX) return;
    uint8_t* p = PixelAddress(bits, firstX, row, stride, 1);
    const int count = lastX - firstX + 1;
    if (!Translucent()) {
        std::memset(p, Paint8Index(0, index, palette, entryAlpha), static_cast<size_t>(count));
        return;
    }
    // The result depends only on the index already there: work each one out once.
    int16_t result[256];
    std::fill(std::begin(result), std::end(result), int16_t{-1});
    for (int i = 0; i < count; ++i) {
        int16_t& r = result[p[i]];
        if (r < 0) r = static_cast<int16_t>(Paint8Index(p[i], index, palette, entryAlpha));
        p[i] = static_cast<uint8_t>(r);
    }
}

void HLine24(uint8_t* bits, int firstX, int row, int lastX, int stride, uint32_t colour, int bytesPerPixel) {
    if (firstX > lastX) return;
    uint8_t* p = PixelAddress(bits, firstX, row, stride, bytesPerPixel);
    const int count = lastX - firstX + 1;
    if (!Translucent()) {
        FillPixels(p, count, bytesPerPixel == 4 ? (colour & 0xFFFFFF) | 0xFF000000u : colour, bytesPerPixel);
        return;
    }
    if (count < 64) {
        for (int i = 0; i < count; ++i, p += bytesPerPixel)
            PaintColour(p, colour, bytesPerPixel);
        return;
    }
    const BlendTables t(colour);
    for (int i = 0; i < count; ++i, p += bytesPerPixel) {
        if (bytesPerPixel == 4 && p[3] != kOpaque) {
            PaintColour(p, colour, bytesPerPixel);
            continue;
        }
        p[0] = t.blue[p[0]];
        p[1] = t.green[p[1]];
        p[2] = t.red[p[2]];
    }
}

namespace {

// Run scanning and painting for one depth. A pixel value is held in a uint32_t.
struct Pixels8 {
    static uint32_t At(const uint8_t* row, int x) { return row[x]; }

    // Last column of the run of `value` that starts at x (x - 1 when row[x] differs), up to lastX.
    static int RunEnd(const uint8_t* row, int x, int lastX, uint32_t value) {
        const uint64_t pattern = 0x0101010101010101ull * value;
        while (x + 8 <= lastX + 1) {
            uint64_t word;
            std::memcpy(&word, row + x, 8);
            const uint64_t diff = word ^ pattern;
            if (diff) return x + __builtin_ctzll(diff) / 8 - 1;
            x += 8;
        }
        while (x <= lastX && row[x] == value)
            ++x;
        return x - 1;
    }
    // First column of the run of `value` that ends at x, down to firstX.
    static int RunStart(const uint8_t* row, int x, int firstX, uint32_t value) {
        const uint64_t pattern = 0x0101010101010101ull * value;
        while (x - 7 >= firstX) {
            uint64_t word;
            std::memcpy(&word, row + x - 7, 8);
            const uint64_t diff = word ^ pattern;
            if (diff) return x - __builtin_clzll(diff) / 8 + 1;
            x -= 8;
        }
        while (x >= firstX && row[x] == value)
            --x;
        return x + 1;
    }
    // First column in [x, lastX] holding `value`, or lastX + 1.
    static int Find(const uint8_t* row, int x, int lastX, uint32_t value) {
        if (x > lastX) return x;
        const void* hit = std::memchr(row + x, static_cast<int>(value), static_cast<size_t>(lastX - x + 1));
        return hit ? static_cast<int>(static_cast<const uint8_t*>(hit) - row) : lastX + 1;
    }
    static void Paint(uint8_t* row, int first, int last, uint32_t value) {
        std::memset(row + first, static_cast<int>(value), static_cast<size_t>(last - first + 1));
    }
};

struct Pixels24 {
    static uint32_t At(const uint8_t* row, int x) { return Load24(row + 3 * x); }

    static int RunEnd(const uint8_t* row, int x, int lastX, uint32_t value) {
        uint8_t pattern[12];
        for (int k = 0; k < 4; ++k)
            Store24(pattern + 3 * k, value);
        while (x + 4 <= lastX + 1 && std::memcmp(row + 3 * x, pattern, 12) == 0)
            x += 4;
        while (x <= lastX && At(row, x) == value)
            ++x;
        return x - 1;
    }
    static int RunStart(const uint8_t* row, int x, int firstX, uint32_t value) {
        uint8_t pattern[12];
        for (int k = 0; k < 4; ++k)
            Store24(pattern + 3 * k, value);
        while (x - 3 >= firstX && std::memcmp(row + 3 * (x - 3), pattern, 12) == 0)
            x -= 4;
        while (x >= firstX && At(row, x) == value)
            --x;
        return x + 1;
    }
    static int Find(const uint8_t* row, int x, int lastX, uint32_t value) {
        while (x <= lastX && At(row, x) != value)
            ++x;
        return x;
    }
    static void Paint(uint8_t* row, int first, int last, uint32_t value) {
        FillPixels(row + 3 * first, last - first + 1, value, 3);
    }
};

// 32-bit pixels, every fully transparent one counting as the value 0.
struct Pixels32 {
    static uint32_t Key(uint32_t pixel) { return pixel >> 24 == 0 ? 0 : pixel; }
    static uint32_t At(const uint8_t* row, int x) { return Key(Load32(row + 4 * x)); }

    static int RunEnd(const uint8_t* row, int x, int lastX, uint32_t value) {
        while (x <= lastX && At(row, x) == value)
            ++x;
        return x - 1;
    }
    static int RunStart(const uint8_t* row, int x, int firstX, uint32_t value) {
        while (x >= firstX && At(row, x) == value)
            --x;
        return x + 1;
    }
    static int Find(const uint8_t* row, int x, int lastX, uint32_t value) {
        while (x <= lastX && At(row, x) != value)
            ++x;
        return x;
    }
    static void Paint(uint8_t* row, int first, int last, uint32_t value) {
        FillPixels(row + 4 * first, last - first + 1, value, 4);
    }
};

// A run of the row `row` spanning x1..x2 that was painted; the rows row + dy is still to be looked at.
struct Segment {
    int row, x1, x2, dy;
};

// Span fill after Heckbert's seed fill: each run is found, painted and its neighbouring rows queued,
// skipping the stretch of the row it was reached from. `paint` differs from `old`, so a painted pixel
// never matches again and every pixel is painted exactly once. The work list grows as needed.
template <class Px>
void SpanFill(uint8_t* bits, int stride, int x, int row, uint32_t old, uint32_t paint, int minX, int minRow,
              int maxX, int maxRow, CFillRuns* runs) {
    std::vector<Segment> stack;
    auto push = [&](int r, int x1, int x2, int dy) {
        if (r + dy >= minRow && r + dy <= maxRow) stack.push_back({r, x1, x2, dy});
    };
    auto rowAt = [&](int r) { return bits + static_cast<ptrdiff_t>(r) * stride; };

    // The start row first (a segment coming from row + 1), then the row above it.
    push(row, x, x, 1);
    push(row + 1, x, x, -1);
    while (!stack.empty()) {
        const Segment s = stack.back();
        stack.pop_back();
        const int r = s.row + s.dy;
        uint8_t* line = rowAt(r);
        int xi = s.x1;
        if (Px::At(line, xi) == old) {
            const int left = Px::RunStart(line, xi, minX, old);
            const int right = Px::RunEnd(line, xi, maxX, old);
            if (runs) runs->Run(r, left, right);
            Px::Paint(line, left, right, paint);
            if (left < s.x1) push(r, left, s.x1 - 1, -s.dy);
            push(r, left, right, s.dy);
            if (right > s.x2) push(r, s.x2 + 1, right, -s.dy);
            xi = right + 1;
        }
        while (true) {
            xi = Px::Find(line, xi + 1, s.x2, old);
            if (xi > s.x2) break;
            const int right = Px::RunEnd(line, xi, maxX, old);
            if (runs) runs->Run(r, xi, right);
            Px::Paint(line, xi, right, paint);
            push(r, xi, right, s.dy);
            if (right > s.x2) push(r, s.x2 + 1, right, -s.dy);
            xi = right + 1;
        }
    }
}

// Clips the fill bounds to the image; false when nothing can be filled.
bool ClipFillBounds(const BITMAPINFOHEADER* header, int x, int row, int* minX, int* minRow, int* maxX,
                    int* maxRow) {
    if (header->biWidth <= 0 || header->biHeight <= 0) return false;
    *minX = std::max(*minX, 0);
    *minRow = std::max(*minRow, 0);
    *maxX = std::min(*maxX, header->biWidth - 1);
    *maxRow = std::min(*maxRow, header->biHeight - 1);
    return x >= *minX && x <= *maxX && row >= *minRow && row <= *maxRow;
}

}  // namespace

// Every pixel of the area holds the same old value, and a painted pixel's new value depends only on
// its old one, so the whole area takes the one value that painting the start pixel gives. Working
// that value out with the pixel writer keeps blending and the nearest-index rule in one place.
void FloodFill8(uint8_t* bits, const BITMAPINFOHEADER* header, int x, int row, int index, int minX,
                int minRow, int maxX, int maxRow, const RGBQUAD* palette, const uint8_t* entryAlpha,
                CFillRuns* runs) {
    if (!ClipFillBounds(header, x, row, &minX, &minRow, &maxX, &maxRow)) return;
    const int stride = header->biXPelsPerMeter;
    const uint8_t old = bits[static_cast<ptrdiff_t>(row) * stride + x];
    if (old == (index & 0xFF)) return;
    uint8_t painted = old;
    HLine8(&painted, 0, 0, 0, 0, index, palette, entryAlpha);
    if (painted == old) return;
    SpanFill<Pixels8>(bits, stride, x, row, old, painted, minX, minRow, maxX, maxRow, runs);
}

void FloodFill24(uint8_t* bits, const BITMAPINFOHEADER* header, int x, int row, uint32_t colour, int minX,
                 int minRow, int maxX, int maxRow, CFillRuns* runs) {
    if (!ClipFillBounds(header, x, row, &minX, &minRow, &maxX, &maxRow)) return;
    const int stride = header->biXPelsPerMeter;
    if (header->biBitCount == 32) {
        // A transparent area may hold any colours; the painted one is the same for all of them.
        uint8_t pixel[4];
        std::memcpy(pixel, PixelAddress(bits, x, row, stride, 4), 4);
        const uint32_t old = Pixels32::Key(Load32(pixel));
        PaintColour(pixel, colour, 4);
        const uint32_t painted = Load32(pixel);
        if (Pixels32::Key(painted) == old) return;
        SpanFill<Pixels32>(bits, stride, x, row, old, painted, minX, minRow, maxX, maxRow, runs);
        return;
    }
    const uint32_t old = GetPixel24(bits, x, row, stride);
    if (old == (colour & 0xFFFFFF)) return;
    uint8_t pixel[3];
    Store24(pixel, old);
    HLine24(pixel, 0, 0, 0, 0, colour);
    const uint32_t painted = Load24(pixel);
    if (painted == old) return;
    SpanFill<Pixels24>(bits, stride, x, row, old, painted, minX, minRow, maxX, maxRow, runs);
}

void FlipRows(uint8_t* bits, int stride, int height) {
    if (height < 2 || stride <= 0) return;
    std::vector<uint8_t> temp(static_cast<size_t>(stride));
    for (int i = 0; i < height / 2; ++i) {
        uint8_t* a = bits + static_cast<ptrdiff_t>(i) * stride;
        uint8_t* b = bits + static_cast<ptrdiff_t>(height - 1 - i) * stride;
        std::memcpy(temp.data(), a, static_cast<size_t>(stride));
        std::memcpy(a, b, static_cast<size_t>(stride));
        std::memcpy(b, temp.data(), static_cast<size_t>(stride));
    }
}

namespace {

// Gathers destination rows from source rows through a byte map that is the same for every row:
// destination byte j of a row is source byte map[j] of its source row. Where the 16 bytes of a
// destination block come from a window of 32 source bytes, the block is two loads and two byte
// shuffles; other blocks and the row's tail are copied byte by byte.
class RowGather {
public:
    RowGather(std::vector<int32_t> map, size_t srcRowBytes) : m_map(std::move(map)) {
        if (!HaveSsse3()) return;
        const size_t blocks = m_map.size() / 16;
        m_blocks.resize(blocks);
        for (size_t b = 0; b < blocks; ++b) {
            const int32_t* m = &m_map[16 * b];
            Block& block = m_blocks[b];
            block.base = *std::min_element(m, m + 16);
            const int32_t top = *std::max_element(m, m + 16);
            block.shuffled = top - block.base < 32 && block.base + 32 <= static_cast<int64_t>(srcRowBytes);
            for (int j = 0; j < 16; ++j) {
                const int offset = m[j] - block.base;
                block.low[j] = offset < 16 ? static_cast<uint8_t>(offset) : 0x80;
                block.high[j] = offset >= 16 && offset < 32 ? static_cast<uint8_t>(offset - 16) : 0x80;
            }
        }
    }

    void Run(const uint8_t* in, uint8_t* out) const {
        size_t j = 0;
        if (!m_blocks.empty()) {
            RunShuffled(in, out);
            j = m_blocks.size() * 16;
        }
        for (; j < m_map.size(); ++j)
            out[j] = in[m_map[j]];
    }

private:
    struct Block {
        int32_t base;
        bool shuffled;
        uint8_t low[16];
        uint8_t high[16];
    };

#if defined(__x86_64__) || defined(__i386__)
    __attribute__((target("ssse3"))) void RunShuffled(const uint8_t* in, uint8_t* out) const {
        for (size_t b = 0; b < m_blocks.size(); ++b) {
            const Block& block = m_blocks[b];
            uint8_t* o = out + 16 * b;
            if (block.shuffled) {
                const uint8_t* s = in + block.base;
                const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
                const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 16));
                const __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block.low));
                const __m128i hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block.high));
                const __m128i r = _mm_or_si128(_mm_shuffle_epi8(a, lo), _mm_shuffle_epi8(c, hi));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(o), r);
            } else {
                const int32_t* m = &m_map[16 * b];
                for (int j = 0; j < 16; ++j)
                    o[j] = in[m[j]];
            }
        }
    }
#else
    void RunShuffled(const uint8_t*, uint8_t*) const {}
#endif

    std::vector<int32_t> m_map;
    std::vector<Block> m_blocks;
};

// Rotations by 90 degrees move each source column into a destination row: source column c
// becomes destination row width - 1 - c read upwards (clockwise), or row c read downwards, so
// source row s lands at x = s, or at x = height - 1 - s.
struct Sideways {
    const uint8_t* src;
    ptrdiff_t srcStride;
    uint8_t* dst;
    ptrdiff_t dstStride;
    int width;
    int height;
    bool clockwise;

    uint8_t* DstRow(int column) const { return dst + (clockwise ? width - 1 - column : column) * dstStride; }
    int DstX(int row) const { return clockwise ? row : height - 1 - row; }
    const uint8_t* Src(int column, int row, int n) const {
        return src + row * srcStride + static_cast<ptrdiff_t>(column) * n;
    }
};

// The source columns c0..c1-1 of rows s0..s1-1, pixel by pixel.
template <int N>
void TurnSidewaysPlain(const Sideways& m, int c0, int c1, int s0, int s1) {
    for (int c = c0; c < c1; ++c) {
        uint8_t* out = m.DstRow(c);
        const uint8_t* in = m.Src(c, s0, N);
        for (int s = s0; s < s1; ++s, in += m.srcStride)
            std::memcpy(out + static_cast<ptrdiff_t>(m.DstX(s)) * N, in, N);
    }
}

#if defined(__x86_64__)
// One square block of K x K pixels (source columns c0.., rows s0..) transposed in registers. The
// rows are loaded in the order the destination reads them, so each register of the result is a
// run of a destination row.
inline void LoadBlockRows(const Sideways& m, int c0, int s0, int k, int n, __m128i* r) {
    for (int j = 0; j < k; ++j)
        r[j] = _mm_loadu_si128(
            reinterpret_cast<const __m128i*>(m.Src(c0, m.clockwise ? s0 + j : s0 + k - 1 - j, n)));
}

inline uint8_t* BlockOut(const Sideways& m, int c, int s0, int k, int n) {
    return m.DstRow(c) + static_cast<ptrdiff_t>(m.clockwise ? s0 : m.height - k - s0) * n;
}

// Brings the line of `p` into the cache. Written out, since the compiler takes a loop of nothing but
// prefetch hints for one without effect and drops it.
inline void Fetch(const void* p) {
    asm volatile("prefetcht0 %0" : : "m"(*static_cast<const char*>(p)));
}

// The blocks go down the source rows. Their cost is waiting for memory, so before each one the
// source rows 32 rows further down are fetched, and the destination lines 16 pixels further on.
inline void FetchAhead(const Sideways& m, int c0, int columns, int s0, int rows, int n) {
    const int read = s0 + 32;
    if (read + rows <= m.height) {
        for (int j = 0; j < rows; ++j) {
            const uint8_t* p = m.Src(c0, read + j, n);
            Fetch(p);
            if (columns * n > 16) Fetch(p + columns * n - 1);
        }
    }
    const int write = s0 + 16;
    if (write + rows <= m.height) {
        for (int i = 0; i < columns; ++i)
            Fetch(BlockOut(m, c0 + i, write, rows, n));
    }
}

void TransposeBlock1(const Sideways& m, int c0, int s0) {
    FetchAhead(m, c0, 16, s0, 16, 1);
    __m128i r[16];
    LoadBlockRows(m, c0, s0, 16, 1, r);
    __m128i lo[8], hi[8];
    for (int p = 0; p < 8; ++p) {
        lo[p] = _mm_unpacklo_epi8(r[2 * p], r[2 * p + 1]);
        hi[p] = _mm_unpackhi_epi8(r[2 * p], r[2 * p + 1]);
    }
    __m128i quad[4][4];  // by rows 4q..4q+3, then columns 4g..4g+3
    for (int q = 0; q < 4; ++q) {
        quad[q][0] = _mm_unpacklo_epi16(lo[2 * q], lo[2 * q + 1]);
        quad[q][1] = _mm_unpackhi_epi16(lo[2 * q], lo[2 * q + 1]);
        quad[q][2] = _mm_unpacklo_epi16(hi[2 * q], hi[2 * q + 1]);
        quad[q][3] = _mm_unpackhi_epi16(hi[2 * q], hi[2 * q + 1]);
    }
    __m128i oct[2][8];  // by rows 8o..8o+7, then columns 2m, 2m + 1
    for (int o = 0; o < 2; ++o) {
        for (int g = 0; g < 4; ++g) {
            oct[o][2 * g] = _mm_unpacklo_epi32(quad[2 * o][g], quad[2 * o + 1][g]);
            oct[o][2 * g + 1] = _mm_unpackhi_epi32(quad[2 * o][g], quad[2 * o + 1][g]);
        }
    }
    for (int p = 0; p < 8; ++p) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(BlockOut(m, c0 + 2 * p, s0, 16, 1)),
                         _mm_unpacklo_epi64(oct[0][p], oct[1][p]));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(BlockOut(m, c0 + 2 * p + 1, s0, 16, 1)),
                         _mm_unpackhi_epi64(oct[0][p], oct[1][p]));
    }
}

inline void Transpose4x32(__m128i* r) {
    const __m128i t0 = _mm_unpacklo_epi32(r[0], r[1]);
    const __m128i t1 = _mm_unpacklo_epi32(r[2], r[3]);
    const __m128i t2 = _mm_unpackhi_epi32(r[0], r[1]);
    const __m128i t3 = _mm_unpackhi_epi32(r[2], r[3]);
    r[0] = _mm_unpacklo_epi64(t0, t1);
    r[1] = _mm_unpackhi_epi64(t0, t1);
    r[2] = _mm_unpacklo_epi64(t2, t3);
    r[3] = _mm_unpackhi_epi64(t2, t3);
}

void TransposeBlock4(const Sideways& m, int c0, int s0) {
    FetchAhead(m, c0, 4, s0, 4, 4);
    __m128i r[4];
    LoadBlockRows(m, c0, s0, 4, 4, r);
    Transpose4x32(r);
    for (int i = 0; i < 4; ++i)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(BlockOut(m, c0 + i, s0, 4, 4)), r[i]);
}

// 3-byte pixels, 16 columns by 4 rows: each row's 48 bytes widened to four registers of four
// pixels in words, each group of four columns transposed, and every word narrowed again.
__attribute__((target("ssse3"))) void TransposeBlock3(const Sideways& m, int c0, int s0) {
    const __m128i widen = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    const __m128i narrow = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    FetchAhead(m, c0, 16, s0, 4, 3);
    __m128i groups[4][4];  // by group of four columns, then row
    for (int j = 0; j < 4; ++j) {
        const auto* p = reinterpret_cast<const __m128i*>(m.Src(c0, m.clockwise ? s0 + j : s0 + 3 - j, 3));
        const __m128i a = _mm_loadu_si128(p);
        const __m128i b = _mm_loadu_si128(p + 1);
        const __m128i c = _mm_loadu_si128(p + 2);
        groups[0][j] = _mm_shuffle_epi8(a, widen);
        groups[1][j] = _mm_shuffle_epi8(_mm_alignr_epi8(b, a, 12), widen);
        groups[2][j] = _mm_shuffle_epi8(_mm_alignr_epi8(c, b, 8), widen);
        groups[3][j] = _mm_shuffle_epi8(_mm_srli_si128(c, 4), widen);
    }
    for (int g = 0; g < 4; ++g) {
        Transpose4x32(groups[g]);
        for (int i = 0; i < 4; ++i) {
            const __m128i packed = _mm_shuffle_epi8(groups[g][i], narrow);
            uint8_t* out = BlockOut(m, c0 + 4 * g + i, s0, 4, 3);
            _mm_storel_epi64(reinterpret_cast<__m128i*>(out), packed);
            const int last = _mm_cvtsi128_si32(_mm_srli_si128(packed, 8));
            std::memcpy(out + 8, &last, 4);
        }
    }
}
#endif

// Whole blocks in tiles of 1024 x 1024 bytes or 256 x 256 larger pixels, so that the rows read
// and written at a time stay in the cache; the columns and rows left over at the edges pixel by pixel.
template <int N>
void TurnSideways(const uint8_t* src, int width, int height, ptrdiff_t srcStride, bool clockwise,
                  uint8_t* dst, ptrdiff_t dstStride) {
    const Sideways m{src, srcStride, dst, dstStride, width, height, clockwise};
    int cFull = 0;
    int sFull = 0;
#if defined(__x86_64__)
    if (N != 3 || HaveSsse3()) {
        // Blocks of columns by rows.
        constexpr int kColumns = N == 4 ? 4 : 16;
        constexpr int kRows = N == 1 ? 16 : 4;
        constexpr int kTile = N == 1 ? 1024 : 256;
        cFull = width / kColumns * kColumns;
        sFull = height / kRows * kRows;
        for (int ct = 0; ct < cFull; ct += kTile) {
            for (int st = 0; st < sFull; st += kTile) {
                for (int c0 = ct; c0 < std::min(ct + kTile, cFull); c0 += kColumns) {
                    for (int s0 = st; s0 < std::min(st + kTile, sFull); s0 += kRows) {
                        if constexpr (N == 1)
                            TransposeBlock1(m, c0, s0);
                        else if constexpr (N == 3)
                            TransposeBlock3(m, c0, s0);
                        else
                            TransposeBlock4(m, c0, s0);
                    }
                }
            }
        }
    }
#endif
    TurnSidewaysPlain<N>(m, cFull, width, 0, height);
    TurnSidewaysPlain<N>(m, 0, cFull, sFull, height);
}

// The byte map that reverses the order of `width` pixels of `bytesPerPixel` bytes.
std::vector<int32_t> ReversedPixels(int width, int bytesPerPixel) {
    std::vector<int32_t> map(static_cast<size_t>(width) * bytesPerPixel);
    for (int x = 0; x < width; ++x) {
        for (int k = 0; k < bytesPerPixel; ++k)
            map[static_cast<size_t>(x) * bytesPerPixel + k] = (width - 1 - x) * bytesPerPixel + k;
    }
    return map;
}

}  // namespace

void TurnPixels(const uint8_t* src, int width, int height, ptrdiff_t srcStride, int bytesPerPixel, Turn turn,
                uint8_t* dst, ptrdiff_t dstStride) {
    if (width <= 0 || height <= 0) return;
    const size_t rowBytes = static_cast<size_t>(width) * bytesPerPixel;
    switch (turn) {
        case Turn::FlipVertical:
            for (int r = 0; r < height; ++r)
                std::memcpy(dst + r * dstStride, src + (height - 1 - r) * srcStride, rowBytes);
            break;
        case Turn::FlipHorizontal:
        case Turn::Rotate180: {
            const RowGather reverse(ReversedPixels(width, bytesPerPixel), static_cast<size_t>(srcStride));
            for (int r = 0; r < height; ++r)
                reverse.Run(src + (turn == Turn::Rotate180 ? height - 1 - r : r) * srcStride,
                            dst + r * dstStride);
            break;
        }
        case Turn::Rotate90Clockwise:
        case Turn::Rotate90CounterClockwise: {
            const bool clockwise = turn == Turn::Rotate90Clockwise;
            switch (bytesPerPixel) {
                case 1:
                    TurnSideways<1>(src, width, height, srcStride, clockwise, dst, dstStride);
                    break;
                case 3:
                    TurnSideways<3>(src, width, height, srcStride, clockwise, dst, dstStride);
                    break;
                case 4:
                    TurnSideways<4>(src, width, height, srcStride, clockwise, dst, dstStride);
                    break;
                default:
                    break;
            }
            break;
        }
    }
}

void StretchNearest(const uint8_t* src, int srcWidth, int srcHeight, uint8_t* dst, int dstWidth,
                    int dstHeight, int bytesPerPixel) {
    if (srcWidth <= 0 || srcHeight <= 0 || dstWidth <= 0 || dstHeight <= 0) return;
    if (bytesPerPixel != 1 && bytesPerPixel != 3 && bytesPerPixel != 4) return;
    const ptrdiff_t srcStride = RowStride(srcWidth, bytesPerPixel * 8);
    const ptrdiff_t dstStride = RowStride(dstWidth, bytesPerPixel * 8);
    const float xs = static_cast<float>(static_cast<double>(srcWidth) / dstWidth);
    const float ys = static_cast<float>(static_cast<double>(srcHeight) / dstHeight);

    // The source byte of every destination byte of a row, worked out once.
    const size_t rowBytes = static_cast<size_t>(dstWidth) * bytesPerPixel;
    std::vector<int32_t> map(rowBytes);
    for (int x = 0; x < dstWidth; ++x) {
        const int sx = std::min(static_cast<int>(x * static_cast<double>(xs)), srcWidth - 1);
        for (int k = 0; k < bytesPerPixel; ++k)
            map[static_cast<size_t>(x) * bytesPerPixel + k] = sx * bytesPerPixel + k;
    }
    const RowGather gather(std::move(map), static_cast<size_t>(srcStride));
    int previousSource = -1;
    for (int r = 0; r < dstHeight; ++r) {
        const int sr = std::min(static_cast<int>(r * static_cast<double>(ys)), srcHeight - 1);
        uint8_t* out = dst + r * dstStride;
        if (sr == previousSource) {
            std::memcpy(out, out - dstStride, rowBytes);  // the same source row as the row before
            continue;
        }
        previousSource = sr;
        const uint8_t* in = src + sr * srcStride;
        if (srcWidth == dstWidth)
            std::memcpy(out, in, rowBytes);
        else
            gather.Run(in, out);
    }
}

bool Expand8To24(uint8_t** bits, BITMAPINFOHEADER** header, bool releaseOld, const uint8_t* entryAlpha) {
    const BITMAPINFOHEADER& old = **header;
    const bool alpha = !EntriesOpaque(entryAlpha);
    const int bytes = alpha ? 4 : 3;
    BITMAPINFOHEADER* newHeader = nullptr;
    uint8_t* newBits = nullptr;
    if (AllocateImage(old.biWidth, old.biHeight, 8 * bytes, &newHeader, &newBits) != ImageStatus::Ok)
        return false;
    const ptrdiff_t newStride = newHeader->biXPelsPerMeter;
    const RGBQUAD* palette = HeaderPalette(&old);
    // Each entry's pixel, worked out once.
    uint32_t pixels[kPaletteEntries];
    for (int i = 0; i < kPaletteEntries; ++i) {
        const uint8_t a = EntryAlpha(entryAlpha, i);
        pixels[i] = a == 0 ? 0
                           : uint32_t{a} << 24 | uint32_t{palette[i].rgbRed} << 16 |
                                 uint32_t{palette[i].rgbGreen} << 8 | palette[i].rgbBlue;
    }
    const ptrdiff_t oldStride = RowStride(old.biWidth, 8);
    for (int r = 0; r < old.biHeight; ++r) {
        const uint8_t* in = *bits + r * oldStride;
        uint8_t* out = newBits + r * newStride;
        for (int x = 0; x < old.biWidth; ++x, out += bytes) {
            if (alpha)
                Store32(out, pixels[in[x]]);
            else
                Store24(out, pixels[in[x]]);
        }
    }
    newHeader->biYPelsPerMeter = old.biYPelsPerMeter;
    if (releaseOld) {
        std::free(*bits);
        std::free(*header);
    }
    *bits = newBits;
    *header = newHeader;
    return true;
}

bool Reduce24To8(uint8_t** bits, BITMAPINFOHEADER** header, const RGBQUAD* palette, const uint8_t* entryAlpha,
                 bool releaseOld) {
    const BITMAPINFOHEADER& old = **header;
    const int bytes = old.biBitCount / 8;
    BITMAPINFOHEADER* newHeader = nullptr;
    uint8_t* newBits = nullptr;
    if (AllocateImage(old.biWidth, old.biHeight, 8, &newHeader, &newBits) != ImageStatus::Ok) return false;
    const ptrdiff_t newStride = newHeader->biXPelsPerMeter;
    AlphaPaletteMatcher matcher(palette, entryAlpha);
    const int transparent = TransparentEntry(entryAlpha);
    const ptrdiff_t oldStride = RowStride(old.biWidth, old.biBitCount);
    for (int r = 0; r < old.biHeight; ++r) {
        const uint8_t* in = *bits + r * oldStride;
        uint8_t* out = newBits + r * newStride;
        uint32_t lastColour = 0xFFFFFFFF;
        uint8_t lastIndex = 0;
        for (int x = 0; x < old.biWidth; ++x, in += bytes) {
            const uint32_t colour = bytes == 4 ? Load32(in) : Load24(in) | 0xFF000000u;
            if (colour != lastColour) {
                lastColour = colour;
                const int alpha = static_cast<int>(colour >> 24);
                if (alpha == 0 && transparent >= 0)
                    lastIndex = static_cast<uint8_t>(transparent);
                else if (alpha == kOpaque)
                    lastIndex = static_cast<uint8_t>(matcher.Nearest(in[2], in[1], in[0]));
                else
                    lastIndex = static_cast<uint8_t>(matcher.Nearest(
                        OverWhite(in[2], alpha), OverWhite(in[1], alpha), OverWhite(in[0], alpha)));
            }
            out[x] = lastIndex;
        }
    }
    newHeader->biYPelsPerMeter = old.biYPelsPerMeter;
    std::memcpy(HeaderPalette(newHeader), palette, kPaletteBytes);
    if (releaseOld) {
        std::free(*bits);
        std::free(*header);
    }
    *bits = newBits;
    *header = newHeader;
    return true;
}

bool ConvertTrueColour(uint8_t** bits, BITMAPINFOHEADER** header, int bitCount, bool releaseOld) {
    const BITMAPINFOHEADER& old = **header;
    if (old.biBitCount == bitCount) return true;
    BITMAPINFOHEADER* newHeader = nullptr;
    uint8_t* newBits = nullptr;
    if (AllocateImage(old.biWidth, old.biHeight, bitCount, &newHeader, &newBits) != ImageStatus::Ok)
        return false;
    const ptrdiff_t oldStride = old.biXPelsPerMeter;
    const ptrdiff_t newStride = newHeader->biXPelsPerMeter;
    for (int r = 0; r < old.biHeight; ++r) {
        const uint8_t* in = *bits + r * oldStride;
        uint8_t* out = newBits + r * newStride;
        if (bitCount == 32) {
            for (int x = 0; x < old.biWidth; ++x, in += 3, out += 4)
                Store32(out, Load24(in) | 0xFF000000u);
        } else {
            for (int x = 0; x < old.biWidth; ++x, in += 4, out += 3) {
                const int alpha = in[3];
                for (int k = 0; k < 3; ++k)
                    out[k] = alpha == kOpaque ? in[k] : OverWhite(in[k], alpha);
            }
        }
    }
    newHeader->biYPelsPerMeter = old.biYPelsPerMeter;
    if (releaseOld) {
        std::free(*bits);
        std::free(*header);
    }
    *bits = newBits;
    *header = newHeader;
    return true;
}

bool HasTransparentPixels(const BITMAPINFOHEADER& header, const uint8_t* bits, const uint8_t* entryAlpha) {
    const ptrdiff_t stride = header.biXPelsPerMeter;
    if (header.biBitCount == 32) {
        for (int r = 0; r < header.biHeight; ++r) {
            const uint8_t* p = bits + r * stride + 3;
            for (int x = 0; x < header.biWidth; ++x, p += 4)
                if (*p != kOpaque) return true;
        }
        return false;
    }
    if (header.biBitCount != 8 || EntriesOpaque(entryAlpha)) return false;
    for (int r = 0; r < header.biHeight; ++r) {
        const uint8_t* p = bits + r * stride;
        for (int x = 0; x < header.biWidth; ++x)
            if (entryAlpha[p[x]] != kOpaque) return true;
    }
    return false;
}

RECT NormalizeRect(RECT rect) {
    return RECT{std::min(rect.left, rect.right), std::min(rect.top, rect.bottom),
                std::max(rect.left, rect.right), std::max(rect.top, rect.bottom)};
}

RECT ClipRect(const RECT& rect, int width, int height) {
    return RECT{std::clamp(rect.left, 0, width), std::clamp(rect.top, 0, height),
                std::clamp(rect.right, 0, width), std::clamp(rect.bottom, 0, height)};
}

bool IsEmptyRect(const RECT& rect) {
    return rect.right <= rect.left || rect.bottom <= rect.top;
}

RECT UnionRect(const RECT& a, const RECT& b) {
    if (IsEmptyRect(a)) return b;
    if (IsEmptyRect(b)) return a;
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

bool RectsOverlap(int left1, int top1, int right1, int bottom1, int left2, int top2, int right2,
                  int bottom2) {
    return left1 < right2 && left2 < right1 && top1 < bottom2 && top2 < bottom1;
}

void CopyBlock(const uint8_t* src, int x, int row, int srcStride, int width, int rows, int bytesPerPixel,
               uint8_t* dst, int dstStride) {
    if (width <= 0 || rows <= 0) return;
    const uint8_t* in =
        src + static_cast<ptrdiff_t>(row) * srcStride + static_cast<ptrdiff_t>(x) * bytesPerPixel;
    const size_t bytes = static_cast<size_t>(width) * bytesPerPixel;
    for (int i = 0; i < rows; ++i, in += srcStride, dst += dstStride)
        std::memcpy(dst, in, bytes);
}

void FillBlock(uint8_t* bits, int x, int row, int stride, int width, int rows, int bytesPerPixel,
               uint32_t value) {
    if (width <= 0 || rows <= 0 || (bytesPerPixel != 1 && bytesPerPixel != 3 && bytesPerPixel != 4)) return;
    uint8_t* p = PixelAddress(bits, x, row, stride, bytesPerPixel);
    for (int i = 0; i < rows; ++i, p += stride) {
        if (bytesPerPixel == 1)
            std::memset(p, static_cast<int>(value & 0xFF), static_cast<size_t>(width));
        else
            FillPixels(p, width, value, bytesPerPixel);
    }
}

void PaintPixel(const PaintTarget& image, int x, int row, int index) {
    const int stride = image.header->biXPelsPerMeter;
    const int bitCount = image.header->biBitCount;
    if (bitCount == 8)
        PutPixel8(image.bits, x, row, stride, index, image.palette, image.entryAlpha);
    else if (bitCount == 24 || bitCount == 32)
        PutPixel24(image.bits, x, row, stride, PaletteColour(image.palette[index & 0xFF]), bitCount / 8);
}

void PaintFill(const PaintTarget& image, int x, int row, int index, CFillRuns* runs) {
    const BITMAPINFOHEADER* header = image.header;
    const int maxX = header->biWidth - 1;
    const int maxRow = header->biHeight - 1;
    if (header->biBitCount == 8)
        FloodFill8(image.bits, header, x, row, index, 0, 0, maxX, maxRow, image.palette, image.entryAlpha,
                   runs);
    else if (header->biBitCount == 24 || header->biBitCount == 32)
        FloodFill24(image.bits, header, x, row, PaletteColour(image.palette[index & 0xFF]), 0, 0, maxX,
                    maxRow, runs);
}

bool ErasesToTransparent(const PaintTarget& image) {
    return image.header->biBitCount == 32 ||
           (image.header->biBitCount == 8 && TransparentEntry(image.entryAlpha) >= 0);
}

uint32_t ErasedValue(const PaintTarget& image, int background) {
    const int bitCount = image.header->biBitCount;
    if (bitCount == 32) return 0;
    if (bitCount == 8) {
        const int transparent = TransparentEntry(image.entryAlpha);
        return static_cast<uint32_t>(transparent >= 0 ? transparent : background & 0xFF);
    }
    return PaletteColour(image.palette[background & 0xFF]);
}
