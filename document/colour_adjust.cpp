#include "document/colour_adjust.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>

#include "document/palette_match.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

// Rec. 601 luma of the sRGB values, rounded; the weights sum to 256.
inline uint8_t Luma(int red, int green, int blue) {
    return static_cast<uint8_t>((77 * red + 150 * green + 29 * blue + 128) >> 8);
}

#if defined(__x86_64__)
bool HaveSsse3() {
    static const bool have = __builtin_cpu_supports("ssse3");
    return have;
}

bool HaveAvx2() {
    static const bool have = __builtin_cpu_supports("avx2");
    return have;
}

// The byte shuffles that take 16 pixels of 3 bytes (48 bytes in three registers) apart into one
// register per channel, and put one register of bytes back as 16 grey pixels.
struct GreyShuffles {
    alignas(16) uint8_t split[3][3][16];  // channel, source register
    alignas(16) uint8_t join[3][16];      // destination register
    GreyShuffles() {
        std::memset(split, 0x80, sizeof split);
        for (int pixel = 0; pixel < 16; ++pixel) {
            for (int channel = 0; channel < 3; ++channel) {
                const int byte = 3 * pixel + channel;
                split[channel][byte / 16][pixel] = static_cast<uint8_t>(byte % 16);
                join[byte / 16][byte % 16] = static_cast<uint8_t>(pixel);
            }
        }
    }
};

// Luma of 16 pixels at a time; returns how many pixels it did (a multiple of 16).
__attribute__((target("ssse3"))) int GreyRow3(const uint8_t* in, uint8_t* out, int width) {
    static const GreyShuffles shuffles;
    const auto load = [](const uint8_t* p) { return _mm_load_si128(reinterpret_cast<const __m128i*>(p)); };
    const __m128i zero = _mm_setzero_si128();
    const __m128i weightRed = _mm_set1_epi16(77);
    const __m128i weightGreen = _mm_set1_epi16(150);
    const __m128i weightBlue = _mm_set1_epi16(29);
    const __m128i half = _mm_set1_epi16(128);
    int x = 0;
    for (; x + 16 <= width; x += 16, in += 48, out += 48) {
        const __m128i source[3] = {_mm_loadu_si128(reinterpret_cast<const __m128i*>(in)),
                                   _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 16)),
                                   _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 32))};
        __m128i channel[3];
        for (int c = 0; c < 3; ++c) {
            channel[c] = _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(source[0], load(shuffles.split[c][0])),
                                                   _mm_shuffle_epi8(source[1], load(shuffles.split[c][1]))),
                                      _mm_shuffle_epi8(source[2], load(shuffles.split[c][2])));
        }
        const auto luma = [&](__m128i b, __m128i g, __m128i r) {
            const __m128i sum =
                _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(r, weightRed), _mm_mullo_epi16(g, weightGreen)),
                              _mm_add_epi16(_mm_mullo_epi16(b, weightBlue), half));
            return _mm_srli_epi16(sum, 8);
        };
        const __m128i low = luma(_mm_unpacklo_epi8(channel[0], zero), _mm_unpacklo_epi8(channel[1], zero),
                                 _mm_unpacklo_epi8(channel[2], zero));
        const __m128i high = luma(_mm_unpackhi_epi8(channel[0], zero), _mm_unpackhi_epi8(channel[1], zero),
                                  _mm_unpackhi_epi8(channel[2], zero));
        const __m128i grey = _mm_packus_epi16(low, high);
        for (int k = 0; k < 3; ++k)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16 * k),
                             _mm_shuffle_epi8(grey, load(shuffles.join[k])));
    }
    return x;
}

// Luma of 8 pixels of 4 bytes at a time, the alpha byte kept and a transparent pixel all zero;
// returns how many pixels it did (a multiple of 8). Blue and red, then green and alpha, as pairs of
// 16-bit lanes, each pair weighed and summed in one multiply-add.
__attribute__((target("avx2"))) int GreyRow4Avx2(const uint8_t* in, uint8_t* out, int width) {
    const __m256i lowBytes = _mm256_set1_epi32(0x00FF00FF);
    const __m256i weightsBlueRed = _mm256_set1_epi32(77 << 16 | 29);
    const __m256i weightsGreen = _mm256_set1_epi32(150);
    const __m256i half = _mm256_set1_epi32(128);
    const __m256i alphaByte = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    int x = 0;
    for (; x + 8 <= width; x += 8, in += 32, out += 32) {
        const __m256i p = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in));
        const __m256i blueRed = _mm256_and_si256(p, lowBytes);
        const __m256i greenAlpha = _mm256_and_si256(_mm256_srli_epi32(p, 8), lowBytes);
        const __m256i sum = _mm256_add_epi32(_mm256_madd_epi16(blueRed, weightsBlueRed),
                                             _mm256_madd_epi16(greenAlpha, weightsGreen));
        const __m256i y = _mm256_srli_epi32(_mm256_add_epi32(sum, half), 8);
        const __m256i alpha = _mm256_and_si256(p, alphaByte);
        const __m256i grey = _mm256_or_si256(_mm256_or_si256(y, _mm256_slli_epi32(y, 8)),
                                             _mm256_or_si256(_mm256_slli_epi32(y, 16), alpha));
        const __m256i clear = _mm256_cmpeq_epi32(alpha, _mm256_setzero_si256());
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_andnot_si256(clear, grey));
    }
    return x;
}

// Each byte of a row through a 256-entry table, 32 at a time: for each group of 16 entries, the
// bytes whose high half names the group are brought to 0x70..0x7F (the others past 0x7F, which a
// byte shuffle turns to 0) and shuffled through that group. Returns how many bytes it did.
__attribute__((target("avx2"))) int RemapRowAvx2(const uint8_t* in, uint8_t* out, int width,
                                                 const uint8_t map[kPaletteEntries]) {
    __m256i groups[16];
    for (int g = 0; g < 16; ++g)
        groups[g] =
            _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(map + 16 * g)));
    const __m256i lift = _mm256_set1_epi8(0x70);
    int x = 0;
    for (; x + 32 <= width; x += 32) {
        const __m256i index = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + x));
        __m256i result = _mm256_setzero_si256();
        for (int g = 0; g < 16; ++g) {
            const __m256i local =
                _mm256_adds_epu8(_mm256_xor_si256(index, _mm256_set1_epi8(static_cast<char>(g << 4))), lift);
            result = _mm256_or_si256(result, _mm256_shuffle_epi8(groups[g], local));
        }
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x), result);
    }
    return x;
}
#endif

// Adds the indices of one 8-bit row to `counts`: four tallies side by side, so that runs of one
// index do not wait on one counter, eight indices a load.
void TallyRow(const uint8_t* p, int width, uint64_t counts[kPaletteEntries]) {
    uint32_t tally[4][kPaletteEntries] = {};
    int x = 0;
    for (; x + 8 <= width; x += 8) {
        uint64_t word;
        std::memcpy(&word, p + x, 8);
        ++tally[0][word & 0xFF];
        ++tally[1][(word >> 8) & 0xFF];
        ++tally[2][(word >> 16) & 0xFF];
        ++tally[3][(word >> 24) & 0xFF];
        ++tally[0][(word >> 32) & 0xFF];
        ++tally[1][(word >> 40) & 0xFF];
        ++tally[2][(word >> 48) & 0xFF];
        ++tally[3][word >> 56];
    }
    for (; x < width; ++x)
        ++tally[0][p[x]];
    for (int i = 0; i < kPaletteEntries; ++i)
        counts[i] += uint64_t{tally[0][i]} + tally[1][i] + tally[2][i] + tally[3][i];
}

uint8_t ClampRound(double v) {
    if (!(v > 0.0)) return 0;
    if (v >= 255.0) return 255;
    return static_cast<uint8_t>(std::lround(v));
}

}  // namespace

CColourMap::CColourMap(const ColourAdjustment& adjustment)
    : m_bGrey(adjustment.kind == ColourAdjustment::Greyscale),
      m_bInvert(adjustment.kind == ColourAdjustment::Invert) {
    for (int v = 0; v < 256; ++v) {
        switch (adjustment.kind) {
            case ColourAdjustment::Invert:
            case ColourAdjustment::Greyscale:
                m_table[v] = static_cast<uint8_t>(255 - v);
                break;
            case ColourAdjustment::BrightnessContrast: {
                // Contrast turns the line through the middle grey: its slope is tan of an angle from
                // 0 (flat) through 45 degrees (unchanged) to 90 (a threshold).
                const int contrast = std::clamp(adjustment.contrast, -100, 100);
                const double angle = (contrast + 100) / 200.0 * (M_PI / 2);
                const double slope = contrast >= 100 ? 1e6 : std::tan(angle);
                const double shifted = v + std::clamp(adjustment.brightness, -100, 100) * 2.55;
                m_table[v] = ClampRound((shifted - 127.5) * slope + 127.5);
                break;
            }
            case ColourAdjustment::Posterize: {
                const int steps = std::clamp(adjustment.levels, 2, 64) - 1;
                const long level = std::lround(v * steps / 255.0);
                m_table[v] = ClampRound(level * 255.0 / steps);
                break;
            }
        }
    }
}

RGBQUAD CColourMap::Apply(const RGBQUAD& c) const {
    if (m_bGrey) {
        const uint8_t y = Luma(c.rgbRed, c.rgbGreen, c.rgbBlue);
        return RGBQUAD{y, y, y, c.rgbReserved};
    }
    return RGBQUAD{m_table[c.rgbBlue], m_table[c.rgbGreen], m_table[c.rgbRed], c.rgbReserved};
}

void CColourMap::ApplyToPixels(const uint8_t* src, ptrdiff_t srcStride, uint8_t* dst, ptrdiff_t dstStride,
                               int width, int rows, int bytesPerPixel) const {
    if (bytesPerPixel != 3 && bytesPerPixel != 4) return;
    const size_t n = size_t(bytesPerPixel);
    const size_t rowBytes = size_t(width) * n;
    for (int r = 0; r < rows; ++r) {
        const uint8_t* in = src + r * srcStride;
        uint8_t* out = dst + r * dstStride;
        if (m_bGrey) {
            size_t i = 0;
#if defined(__x86_64__)
            if (n == 3 && HaveSsse3()) i = size_t(GreyRow3(in, out, width)) * 3;
            if (n == 4 && HaveAvx2()) i = size_t(GreyRow4Avx2(in, out, width)) * 4;
#endif
            for (; i < rowBytes; i += n) {
                const uint8_t y = n == 4 && in[i + 3] == 0 ? 0 : Luma(in[i + 2], in[i + 1], in[i]);
                out[i] = y;
                out[i + 1] = y;
                out[i + 2] = y;
                if (n == 4) out[i + 3] = in[i + 3];
            }
        } else if (m_bInvert && n == 3) {
            for (size_t i = 0; i < rowBytes; ++i)
                out[i] = static_cast<uint8_t>(~in[i]);
        } else if (m_bInvert) {
            // Blue, green and red inverted in one word a pixel, the alpha byte kept.
            constexpr uint8_t kColourBytes[4] = {0xFF, 0xFF, 0xFF, 0};
            uint32_t mask;
            std::memcpy(&mask, kColourBytes, 4);
            for (size_t i = 0; i < rowBytes; i += 4) {
                uint32_t pixel;
                std::memcpy(&pixel, in + i, 4);
                if (in[i + 3] != 0) pixel ^= mask;  // a transparent pixel stays all zero
                std::memcpy(out + i, &pixel, 4);
            }
        } else if (n == 3) {
            for (size_t i = 0; i < rowBytes; ++i)
                out[i] = m_table[in[i]];
        } else {
            for (size_t i = 0; i < rowBytes; i += 4) {
                const uint8_t keep = in[i + 3] == 0 ? 0 : 0xFF;  // a transparent pixel stays all zero
                out[i] = m_table[in[i]] & keep;
                out[i + 1] = m_table[in[i + 1]] & keep;
                out[i + 2] = m_table[in[i + 2]] & keep;
                out[i + 3] = in[i + 3];
            }
        }
    }
}

void CColourMap::ApplyToPalette(RGBQUAD* palette) const {
    for (int i = 0; i < kPaletteEntries; ++i)
        palette[i] = Apply(palette[i]);
}

void CColourMap::IndexMap(const RGBQUAD* palette, const uint8_t* entryAlpha,
                          uint8_t map[kPaletteEntries]) const {
    if (EntriesOpaque(entryAlpha)) {
        PaletteMatcher matcher(palette);
        for (int i = 0; i < kPaletteEntries; ++i) {
            const RGBQUAD c = Apply(palette[i]);
            map[i] = static_cast<uint8_t>(matcher.Nearest(c.rgbRed, c.rgbGreen, c.rgbBlue));
        }
        return;
    }
    // One matcher for each opacity the entries have, so no pixel changes how opaque it is.
    bool done[kPaletteEntries] = {};
    for (int first = 0; first < kPaletteEntries; ++first) {
        if (done[first]) continue;
        const uint8_t alpha = entryAlpha[first];
        AlphaPaletteMatcher matcher(palette, entryAlpha, alpha);
        for (int i = first; i < kPaletteEntries; ++i) {
            if (entryAlpha[i] != alpha) continue;
            const RGBQUAD c = Apply(palette[i]);
            map[i] = static_cast<uint8_t>(matcher.Nearest(c.rgbRed, c.rgbGreen, c.rgbBlue));
            done[i] = true;
        }
    }
}

void RemapIndices(const uint8_t* src, ptrdiff_t srcStride, uint8_t* dst, ptrdiff_t dstStride, int width,
                  int rows, const uint8_t map[kPaletteEntries]) {
    for (int r = 0; r < rows; ++r) {
        const uint8_t* in = src + r * srcStride;
        uint8_t* out = dst + r * dstStride;
        int x = 0;
#if defined(__x86_64__)
        if (HaveAvx2()) x = RemapRowAvx2(in, out, width, map);
#endif
        // Eight lookups per step: loads and stores of whole words, the lookups independent.
        for (; x + 8 <= width; x += 8) {
            uint64_t word;
            std::memcpy(&word, in + x, 8);
            uint64_t mapped = 0;
            for (int k = 0; k < 8; ++k)
                mapped |= uint64_t{map[(word >> (8 * k)) & 0xFF]} << (8 * k);
            std::memcpy(out + x, &mapped, 8);
        }
        for (; x < width; ++x)
            out[x] = map[in[x]];
    }
}

void CountEntryUse(const uint8_t* bits, ptrdiff_t stride, int width, int rows, int bytesPerPixel,
                   const RGBQUAD* palette, uint64_t counts[kPaletteEntries]) {
    std::fill(counts, counts + kPaletteEntries, 0);
    if (bytesPerPixel == 1) {
        for (int r = 0; r < rows; ++r)
            TallyRow(bits + r * stride, width, counts);
        return;
    }
    if (bytesPerPixel != 3 && bytesPerPixel != 4) return;
    // The palette's colours in an open-addressed table of 1024 slots: the colour word, and the
    // first entry of that colour.
    constexpr uint32_t kEmpty = 0xFFFFFFFF;
    constexpr uint32_t kMask = 1023;
    uint32_t keys[kMask + 1];
    uint8_t entries[kMask + 1];
    std::fill(keys, keys + kMask + 1, kEmpty);
    const auto slot = [&](uint32_t colour) {
        uint32_t h = (colour * 2654435761u) >> 22;
        while (keys[h] != kEmpty && keys[h] != colour)
            h = (h + 1) & kMask;
        return h;
    };
    for (int i = 0; i < kPaletteEntries; ++i) {
        const uint32_t colour = PaletteColour(palette[i]);
        const uint32_t h = slot(colour);
        if (keys[h] == kEmpty) {
            keys[h] = colour;
            entries[h] = static_cast<uint8_t>(i);
        }
    }
    for (int r = 0; r < rows; ++r) {
        const uint8_t* p = bits + r * stride;
        uint32_t last = kEmpty;
        int lastEntry = -1;
        for (int x = 0; x < width; ++x, p += bytesPerPixel) {
            if (bytesPerPixel == 4 && p[3] == 0) continue;  // a transparent pixel shows no colour
            const uint32_t colour = uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16;
            if (colour != last) {
                last = colour;
                const uint32_t h = slot(colour);
                lastEntry = keys[h] == colour ? entries[h] : -1;
            }
            if (lastEntry >= 0) ++counts[lastEntry];
        }
    }
}

void FindUsedEntries(const uint8_t* bits, ptrdiff_t stride, int width, int rows, bool used[kPaletteEntries]) {
    uint64_t counts[kPaletteEntries] = {};
    for (int r = 0; r < rows; ++r) {
        TallyRow(bits + r * stride, width, counts);
        if ((r & 63) == 63 && std::find(counts, counts + kPaletteEntries, 0) == counts + kPaletteEntries)
            break;
    }
    for (int i = 0; i < kPaletteEntries; ++i)
        used[i] = counts[i] != 0;
}

bool PaletteRemap::MovesIndices() const {
    for (int i = 0; i < kPaletteEntries; ++i) {
        if (map[i] != i) return true;
    }
    return false;
}

namespace {

// A remap from the order in which old entries take the new places: order[k] is the old index
// of new entry k. Every old index appears once.
PaletteRemap FromOrder(const RGBQUAD* palette, const uint8_t* entryAlpha, const int* order) {
    PaletteRemap remap;
    for (int k = 0; k < kPaletteEntries; ++k) {
        remap.palette[k] = palette[order[k]];
        remap.alpha[k] = EntryAlpha(entryAlpha, order[k]);
        remap.map[order[k]] = static_cast<uint8_t>(k);
    }
    return remap;
}

// Entries from `first` on become opaque black.
void ClearFrom(PaletteRemap* remap, int first) {
    std::fill(remap->palette + first, remap->palette + kPaletteEntries, RGBQUAD{0, 0, 0, 0});
    std::fill(remap->alpha + first, remap->alpha + kPaletteEntries, uint8_t{kOpaque});
}

double Hue(const RGBQUAD& c) {
    const int r = c.rgbRed, g = c.rgbGreen, b = c.rgbBlue;
    const int hi = std::max({r, g, b});
    const int lo = std::min({r, g, b});
    const double d = hi - lo;
    double h = hi == r ? (g - b) / d : hi == g ? 2 + (b - r) / d : 4 + (r - g) / d;
    if (h < 0) h += 6;
    return h;
}

}  // namespace

PaletteRemap SortPalette(const RGBQUAD* palette, const uint8_t* entryAlpha, PaletteOrder order,
                         const uint64_t* counts) {
    int indices[kPaletteEntries];
    std::iota(indices, indices + kPaletteEntries, 0);
    const auto luma = [palette](int i) {
        return Luma(palette[i].rgbRed, palette[i].rgbGreen, palette[i].rgbBlue);
    };
    const auto grey = [palette](int i) {
        return palette[i].rgbRed == palette[i].rgbGreen && palette[i].rgbGreen == palette[i].rgbBlue;
    };
    switch (order) {
        case PaletteOrder::Brightness:
            std::stable_sort(indices, indices + kPaletteEntries,
                             [&](int a, int b) { return luma(a) < luma(b); });
            break;
        case PaletteOrder::Hue:
            std::stable_sort(indices, indices + kPaletteEntries, [&](int a, int b) {
                if (grey(a) != grey(b)) return grey(a);
                if (!grey(a)) {
                    const double ha = Hue(palette[a]), hb = Hue(palette[b]);
                    if (ha != hb) return ha < hb;
                }
                return luma(a) < luma(b);
            });
            break;
        case PaletteOrder::UseCount:
            std::stable_sort(indices, indices + kPaletteEntries,
                             [counts](int a, int b) { return counts[a] > counts[b]; });
            break;
    }
    return FromOrder(palette, entryAlpha, indices);
}

PaletteRemap MergeDuplicateEntries(const RGBQUAD* palette, const uint8_t* entryAlpha) {
    PaletteRemap remap;
    int used = 0;
    for (int i = 0; i < kPaletteEntries; ++i) {
        const uint8_t alpha = EntryAlpha(entryAlpha, i);
        int found = 0;
        while (found < used && !(PaletteColour(remap.palette[found]) == PaletteColour(palette[i]) &&
                                 remap.alpha[found] == alpha))
            ++found;
        if (found == used) {
            remap.palette[used] = palette[i];
            remap.alpha[used] = alpha;
            ++used;
        }
        remap.map[i] = static_cast<uint8_t>(found);
    }
    ClearFrom(&remap, used);
    return remap;
}

PaletteRemap RemoveUnusedEntries(const RGBQUAD* palette, const uint8_t* entryAlpha,
                                 const bool used[kPaletteEntries]) {
    int order[kPaletteEntries];
    int k = 0;
    for (int i = 0; i < kPaletteEntries; ++i) {
        if (used[i]) order[k++] = i;
    }
    const int inUse = k;
    for (int i = 0; i < kPaletteEntries; ++i) {
        if (!used[i]) order[k++] = i;
    }
    PaletteRemap remap = FromOrder(palette, entryAlpha, order);
    ClearFrom(&remap, inUse);
    return remap;
}
