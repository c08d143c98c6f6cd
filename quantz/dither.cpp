#include "quantz/dither.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "document/palette_match.h"
#include "quantz/parallel.h"

namespace {

// Share of its error, in sixteenths, that a pixel passes on: all of it where the picture is flat,
// less where it changes from pixel to pixel, down to this at the busiest places.
constexpr int kMinStrength = 2;

constexpr uint8_t kBayer[8][8] = {
    {0, 32, 8, 40, 2, 34, 10, 42},    {48, 16, 56, 24, 50, 18, 58, 26}, {12, 44, 4, 36, 14, 46, 6, 38},
    {60, 28, 52, 20, 62, 30, 54, 22}, {3, 35, 11, 43, 1, 33, 9, 41},    {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37},   {63, 31, 55, 23, 61, 29, 53, 21},
};

inline uint8_t ClampLevel(int v) {
    return static_cast<uint8_t>(std::clamp(v, 0, 255));
}

// Palette colours to their lowest index.
class ColourIndex {
public:
    explicit ColourIndex(const Palette& palette) {
        for (int i = palette.count - 1; i >= 0; --i) {
            const uint32_t key = PaletteColour(palette.entries[i]) + 1;
            uint32_t slot = Slot(key - 1);
            while (m_keys[slot] != 0 && m_keys[slot] != key)
                slot = (slot + 1) & (kSlots - 1);
            m_keys[slot] = key;
            m_index[slot] = static_cast<uint8_t>(i);
        }
    }

    // The entry holding exactly this colour (0x00RRGGBB), or -1.
    int Find(uint32_t colour) const {
        const uint32_t key = colour + 1;
        for (uint32_t slot = Slot(colour);; slot = (slot + 1) & (kSlots - 1)) {
            if (m_keys[slot] == key) return m_index[slot];
            if (m_keys[slot] == 0) return -1;
        }
    }

private:
    static constexpr int kBits = 10;
    static constexpr uint32_t kSlots = 1u << kBits;
    static uint32_t Slot(uint32_t colour) { return (colour * 2654435761u) >> (32 - kBits); }
    uint32_t m_keys[kSlots] = {};
    uint8_t m_index[kSlots] = {};
};

// How much of its error each pixel of a row passes on, in sixteenths: share[activity], where the
// activity of a pixel is the largest, over the three channels, of the summed differences to its
// four neighbours (at most 4 * 255). Where it is high, detail hides banding, and dither would only
// add noise. `in`, `above` and `below` are the colours of the row and its neighbours (the row
// itself at the image's edges); `scratch` holds 6 * width + 3 values.
void DiffusionStrength(int width, const uint8_t* in, const uint8_t* above, const uint8_t* below,
                       const uint8_t* share, uint16_t* scratch, uint8_t* strength) {
    const int n = 3 * width;
    uint16_t* activity = scratch;
    uint16_t* step = scratch + n;  // step[j] = |in[j] - in[j - 3]|, zero beyond both ends
    for (int j = 0; j < n; ++j) {
        activity[j] = static_cast<uint16_t>(std::abs(in[j] - above[j]) + std::abs(in[j] - below[j]));
    }
    step[0] = step[1] = step[2] = 0;
    step[n] = step[n + 1] = step[n + 2] = 0;
    for (int j = 3; j < n; ++j)
        step[j] = static_cast<uint16_t>(std::abs(in[j] - in[j - 3]));
    for (int j = 0; j < n; ++j)
        activity[j] = static_cast<uint16_t>(activity[j] + step[j] + step[j + 3]);
    for (int x = 0; x < width; ++x) {
        strength[x] = share[std::max({activity[3 * x], activity[3 * x + 1], activity[3 * x + 2]})];
    }
}

inline int64_t Pixels(const SourceImage& image) {
    return int64_t{image.width} * image.height;
}

// The scratch bytes ColourRow needs for one row of the image: none for 3 bytes per pixel.
inline size_t ScratchBytes(const SourceImage& image) {
    return image.bytesPerPixel == 3 ? 0 : 3 * static_cast<size_t>(image.width);
}

// For a uniform colour cube: threshold k of 64 becomes an offset in (-step / 2, step / 2) on all
// three channels, so that rounding the offset colour to the nearest level picks the upper level
// for the share of thresholds that the pixel's position between the two levels calls for. The
// same offset on every channel keeps greys grey. Pixels that are palette colours stay as they are.
void MapOrderedCube(const SourceImage& image, const Palette& palette, int step, Image8& out,
                    Progress& progress) {
    const ColourIndex exact(palette);
    int offsets[64];
    for (int k = 0; k < 64; ++k)
        offsets[k] = static_cast<int>(std::lround(((k + 0.5) / 64 - 0.5) * step));
    ForRowParts(image.height, SplitRows(Pixels(image)), progress, [&](int, int first, int end, auto tick) {
        PaletteMatcher matcher(palette.entries, palette.count);
        std::vector<uint8_t> scratch(ScratchBytes(image));
        for (int row = first; row < end; ++row) {
            if (!out.Wanted(row)) {
                tick();
                continue;
            }
            const uint8_t* bayer = kBayer[(image.height - 1 - row) & 7];  // laid from the top left corner
            const uint8_t* in = ColourRow(image, row, scratch.data());
            const uint8_t* raw = image.HasAlpha() ? image.Row(row) : nullptr;
            uint8_t* dst = out.Row(row);
            for (int x = 0; x < image.width; ++x, in += 3) {
                if (raw && image.TransparentAt(raw, x)) {
                    dst[x] = static_cast<uint8_t>(palette.transparent);
                    continue;
                }
                const uint32_t colour = uint32_t{in[0]} | uint32_t{in[1]} << 8 | uint32_t{in[2]} << 16;
                const int index = exact.Find(colour);
                if (index >= 0) {
                    dst[x] = static_cast<uint8_t>(index);
                    continue;
                }
                const int offset = offsets[bayer[x & 7]];
                dst[x] = static_cast<uint8_t>(matcher.Nearest(
                    ClampLevel(in[2] + offset), ClampLevel(in[1] + offset), ClampLevel(in[0] + offset)));
            }
            tick();
        }
    });
}

// For any palette: a pixel lies between its nearest entry a and the entry b nearest to its mirror
// image through a (the colour as far beyond the pixel as a is before it). The pixel's position t
// between a and b (0 at a, 1 at b) decides against the threshold which of the two it shows, so
// that a patch of one colour mixes a and b in the right proportion, in whatever direction of
// colour space the palette's entries lie. A pixel that is a palette colour has t = 0.
void MapOrderedMix(const SourceImage& image, const Palette& palette, Image8& out, Progress& progress) {
    ForRowParts(image.height, SplitRows(Pixels(image)), progress, [&](int, int first, int end, auto tick) {
        PaletteMatcher matcher(palette.entries, palette.count);
        std::vector<uint8_t> scratch(ScratchBytes(image));
        for (int row = first; row < end; ++row) {
            if (!out.Wanted(row)) {
                tick();
                continue;
            }
            const uint8_t* bayer = kBayer[(image.height - 1 - row) & 7];
            const uint8_t* in = ColourRow(image, row, scratch.data());
            const uint8_t* raw = image.HasAlpha() ? image.Row(row) : nullptr;
            uint8_t* dst = out.Row(row);
            uint32_t lastColour = 0xFFFFFFFF;
            int a = 0, b = 0;
            int64_t along = 0, span = 1;  // t = along / span
            for (int x = 0; x < image.width; ++x, in += 3) {
                if (raw && image.TransparentAt(raw, x)) {
                    dst[x] = static_cast<uint8_t>(palette.transparent);
                    continue;
                }
                const uint32_t colour = uint32_t{in[0]} | uint32_t{in[1]} << 8 | uint32_t{in[2]} << 16;
                if (colour != lastColour) {
                    lastColour = colour;
                    const int red = in[2], green = in[1], blue = in[0];
                    a = matcher.Nearest(in[2], in[1], in[0]);
                    const RGBQUAD& ea = palette.entries[a];
                    const int dr = red - ea.rgbRed, dg = green - ea.rgbGreen, db = blue - ea.rgbBlue;
                    b = matcher.Nearest(ClampLevel(red + dr), ClampLevel(green + dg), ClampLevel(blue + db));
                    const RGBQUAD& eb = palette.entries[b];
                    const int er = eb.rgbRed - ea.rgbRed, eg = eb.rgbGreen - ea.rgbGreen,
                              eb2 = eb.rgbBlue - ea.rgbBlue;
                    along = int64_t{dr} * er + int64_t{dg} * eg + int64_t{db} * eb2;
                    span = int64_t{er} * er + int64_t{eg} * eg + int64_t{eb2} * eb2;
                    if (span == 0) along = 0, span = 1;
                }
                // b when (threshold + 0.5) / 64 < t
                const int64_t threshold = 2 * bayer[x & 7] + 1;
                dst[x] = static_cast<uint8_t>(threshold * span < 128 * along ? b : a);
            }
            tick();
        }
    });
}

class ErrorDiffusion {
public:
    ErrorDiffusion(const SourceImage& image, const Palette& palette, int spacing)
        : m_image(image),
          m_palette(palette),
          m_matcher(palette.entries, palette.count),
          // Enough to carry a pixel half way to the next entry, so that colours between two
          // entries mix.
          m_limit(std::max(8, (spacing + 1) / 2 + 3)),
          m_errors(2 * RowErrors(), 0),
          m_strength(static_cast<size_t>(image.width)),
          m_scratch(6 * static_cast<size_t>(image.width) + 3),
          m_colours(3 * ScratchBytes(image)) {
        // Full strength on flat ground, falling to kMinStrength where the activity reaches a
        // busyness that hides the palette's steps: about two of them.
        const int busy = std::max(16, 2 * spacing);
        for (int a = 0; a <= 4 * 255; ++a)
            m_share[a] = static_cast<uint8_t>(std::max(kMinStrength, 16 - 16 * a / busy));
    }

    // Diffuses memory row `row` into `dst`, left to right for kDir = 1, right to left for -1;
    // rows go from the top down.
    template <int kDir>
    void Row(int row, uint8_t* dst) {
        const int width = m_image.width;
        const size_t rowBytes = ScratchBytes(m_image);
        const uint8_t* in = ColourRow(m_image, row, m_colours.data());
        const uint8_t* above =
            row + 1 < m_image.height ? ColourRow(m_image, row + 1, m_colours.data() + rowBytes) : in;
        const uint8_t* below = row > 0 ? ColourRow(m_image, row - 1, m_colours.data() + 2 * rowBytes) : in;
        DiffusionStrength(width, in, above, below, m_share, m_scratch.data(), m_strength.data());
        const uint8_t* raw = m_image.HasAlpha() ? m_image.Row(row) : nullptr;
        int32_t* current = m_errors.data() + (m_flip ? RowErrors() : 0);
        int32_t* next = m_errors.data() + (m_flip ? 0 : RowErrors());
        m_flip = !m_flip;
        int32_t ahead[3] = {}, below0[3] = {}, below1[3] = {};  // for x + dir; next[x], next[x + dir]
        int x = kDir > 0 ? 0 : width - 1;
        for (int i = 0; i < width; ++i, x += kDir) {
            const uint8_t* p = in + 3 * x;
            const int32_t* e = current + 3 * (x + 1);
            int error[3] = {0, 0, 0};
            if (raw && m_image.TransparentAt(raw, x)) {
                // Takes in no error and hands none on.
                dst[x] = static_cast<uint8_t>(m_palette.transparent);
            } else {
                int value[3];
                for (int c = 0; c < 3; ++c) {
                    const int incoming = std::clamp((e[c] + ahead[c] + 128) >> 8, -m_limit, m_limit);
                    value[c] = ClampLevel(p[2 - c] + incoming);
                }
                const int index =
                    m_matcher.Nearest(static_cast<uint8_t>(value[0]), static_cast<uint8_t>(value[1]),
                                      static_cast<uint8_t>(value[2]));
                dst[x] = static_cast<uint8_t>(index);
                const RGBQUAD& entry = m_palette.entries[index];
                const int s = m_strength[x];
                error[0] = (value[0] - entry.rgbRed) * s;
                error[1] = (value[1] - entry.rgbGreen) * s;
                error[2] = (value[2] - entry.rgbBlue) * s;
            }
            int32_t* behind = next + 3 * (x + 1 - kDir);  // complete once this pixel has added its share
            for (int c = 0; c < 3; ++c) {
                behind[c] = below0[c] + 3 * error[c];
                below0[c] = below1[c] + 5 * error[c];
                below1[c] = error[c];
                ahead[c] = 7 * error[c];
            }
        }
        // The last pixel's column and the spare beyond it.
        int32_t* last = next + 3 * (x + 1 - kDir);
        int32_t* spare = next + 3 * (x + 1);
        for (int c = 0; c < 3; ++c) {
            last[c] = below0[c];
            spare[c] = below1[c];
        }
    }

private:
    size_t RowErrors() const { return 3 * static_cast<size_t>(m_image.width + 2); }

    const SourceImage& m_image;
    const Palette& m_palette;
    PaletteMatcher m_matcher;
    int m_limit;
    std::vector<int32_t> m_errors;  // two rows: the current one and the one below
    bool m_flip = false;
    std::vector<uint8_t> m_strength;
    std::vector<uint16_t> m_scratch;
    std::vector<uint8_t> m_colours;  // the decoded colours of three rows, for 1 or 4 bytes per pixel
    uint8_t m_share[4 * 255 + 1];
};

}  // namespace

void MapNearest(const SourceImage& image, const Palette& palette, Image8& out, Progress& progress) {
    if (image.bytesPerPixel == 1) {
        // Through the colours: each index of the source palette has its nearest entry.
        PaletteMatcher matcher(palette.entries, palette.count);
        uint8_t map[kPaletteEntries];
        for (int i = 0; i < kPaletteEntries; ++i) {
            const RGBQUAD& e = image.palette[i];
            const bool transparent = image.entryAlpha && image.entryAlpha[i] == 0;
            map[i] = static_cast<uint8_t>(transparent ? palette.transparent
                                                      : matcher.Nearest(e.rgbRed, e.rgbGreen, e.rgbBlue));
        }
        for (int row = 0; row < image.height; ++row) {
            progress.Advance();
            if (!out.Wanted(row)) continue;
            const uint8_t* in = image.Row(row);
            uint8_t* dst = out.Row(row);
            for (int x = 0; x < image.width; ++x)
                dst[x] = map[in[x]];
        }
        return;
    }
    ForRowParts(image.height, SplitRows(Pixels(image)), progress, [&](int, int first, int end, auto tick) {
        PaletteMatcher matcher(palette.entries, palette.count);
        std::vector<uint8_t> scratch(ScratchBytes(image));
        for (int row = first; row < end; ++row) {
            if (!out.Wanted(row)) {
                tick();
                continue;
            }
            const uint8_t* in = ColourRow(image, row, scratch.data());
            const uint8_t* raw = image.HasAlpha() ? image.Row(row) : nullptr;
            uint8_t* dst = out.Row(row);
            uint32_t lastColour = 0xFFFFFFFF;
            uint8_t lastIndex = 0;
            for (int x = 0; x < image.width; ++x, in += 3) {
                if (raw && image.TransparentAt(raw, x)) {
                    dst[x] = static_cast<uint8_t>(palette.transparent);
                    continue;
                }
                const uint32_t colour = uint32_t{in[0]} | uint32_t{in[1]} << 8 | uint32_t{in[2]} << 16;
                if (colour != lastColour) {
                    lastColour = colour;
                    lastIndex = static_cast<uint8_t>(matcher.Nearest(in[2], in[1], in[0]));
                }
                dst[x] = lastIndex;
            }
            tick();
        }
    });
}

void MapOrdered(const SourceImage& image, const Palette& palette, int cubeStep, Image8& out,
                Progress& progress) {
    if (cubeStep > 0)
        MapOrderedCube(image, palette, cubeStep, out, progress);
    else
        MapOrderedMix(image, palette, out, progress);
}

int PaletteSpacing(double mse, int entries) {
    // Uniform error over a cube of side s has a mean square of 3 * s^2 / 12.
    const double cap = entries < kPaletteEntries ? 255.0 : 64.0;
    return static_cast<int>(std::lround(std::min(2 * std::sqrt(std::max(mse, 0.0)), cap)));
}

// A large image is diffused as two bands, the top half and the bottom half, each from its own top
// row down (at the same time where a helper thread is to be had). The bottom band starts without
// the error the top one would have handed on: at that one row the dither pattern restarts, which
// the eye does not tell from the rest. Of the rows asked for, a band is diffused from its top down
// to the last of them it holds.
void MapErrorDiffusion(const SourceImage& image, const Palette& palette, int spacing, Image8& out,
                       Progress& progress) {
    ForRowParts(image.height, SplitRows(Pixels(image)), progress, [&](int, int first, int end, auto tick) {
        if (out.firstY >= end) return;
        ErrorDiffusion diffusion(image, palette, spacing);
        end = std::min(end, out.endY);
        for (int y = first; y < end; ++y) {  // counted from the top
            const int row = image.height - 1 - y;
            if (y % 2 == 0)
                diffusion.Row<1>(row, out.Row(row));
            else
                diffusion.Row<-1>(row, out.Row(row));
            tick();
        }
    });
}
