#include "quantz/dither.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "document/palette_match.h"

namespace {

// Share of its error, in sixteenths, that a pixel passes on: all of it where the picture is flat,
// less where it changes from pixel to pixel, down to this at the busiest places.
constexpr int kMinStrength = 2;

constexpr uint8_t kBayer[8][8] = {
    {0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26}, {12, 44, 4, 36, 14, 46, 6, 38},
    {60, 28, 52, 20, 62, 30, 54, 22}, {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37},   {63, 31, 55, 23, 61, 29, 53, 21},
};

inline uint8_t ClampLevel(int v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); }

// Palette colours to their lowest index.
class ColourIndex {
public:
    explicit ColourIndex(const Palette& palette) {
        for (int i = palette.count - 1; i >= 0; --i) {
            const uint32_t key = PaletteColour(palette.entries[i]) + 1;
            uint32_t slot = Slot(key - 1);
            while (m_keys[slot] != 0 && m_keys[slot] != key) slot = (slot + 1) & (kSlots - 1);
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

// How much of its error each pixel of a row passes on. The activity of a pixel is the largest, over
// the three channels, of the summed differences to its four neighbours. Where it is high, detail
// hides banding, and dither would only add noise.
void DiffusionStrength(const Image24& image, int row, uint8_t* strength) {
    const uint8_t* in = image.Row(row);
    const uint8_t* above = row + 1 < image.height ? image.Row(row + 1) : in;
    const uint8_t* below = row > 0 ? image.Row(row - 1) : in;
    const int last = 3 * (image.width - 1);
    for (int x = 0; x < image.width; ++x) {
        const int i = 3 * x;
        const int left = x > 0 ? i - 3 : i;
        const int right = i < last ? i + 3 : i;
        int activity = 0;
        for (int c = 0; c < 3; ++c) {
            const int v = in[i + c];
            activity = std::max(activity, std::abs(v - in[left + c]) + std::abs(v - in[right + c]) +
                                              std::abs(v - above[i + c]) + std::abs(v - below[i + c]));
        }
        strength[x] = static_cast<uint8_t>(std::clamp(16 - activity, kMinStrength, 16));
    }
}

}  // namespace

void MapNearest(const Image24& image, const Palette& palette, Image8& out, Progress& progress) {
    PaletteMatcher matcher(palette.entries, palette.count);
    for (int row = 0; row < image.height; ++row) {
        const uint8_t* in = image.Row(row);
        uint8_t* dst = out.Row(row);
        uint32_t lastColour = 0xFFFFFFFF;
        uint8_t lastIndex = 0;
        for (int x = 0; x < image.width; ++x, in += 3) {
            const uint32_t colour = uint32_t{in[0]} | uint32_t{in[1]} << 8 | uint32_t{in[2]} << 16;
            if (colour != lastColour) {
                lastColour = colour;
                lastIndex = static_cast<uint8_t>(matcher.Nearest(in[2], in[1], in[0]));
            }
            dst[x] = lastIndex;
        }
        progress.Advance();
    }
}

// For a uniform colour cube: threshold k of 64 becomes an offset in (-step / 2, step / 2) on all
// three channels, so that rounding the offset colour to the nearest level picks the upper level
// for the share of thresholds that the pixel's position between the two levels calls for. The
// same offset on every channel keeps greys grey. Pixels that are palette colours stay as they are.
static void MapOrderedCube(const Image24& image, const Palette& palette, int step, Image8& out,
                           Progress& progress) {
    PaletteMatcher matcher(palette.entries, palette.count);
    const ColourIndex exact(palette);
    int offsets[64];
    for (int k = 0; k < 64; ++k) offsets[k] = static_cast<int>(std::lround(((k + 0.5) / 64 - 0.5) * step));
    for (int row = 0; row < image.height; ++row) {
        const uint8_t* bayer = kBayer[(image.height - 1 - row) & 7];  // laid from the top left corner
        const uint8_t* in = image.Row(row);
        uint8_t* dst = out.Row(row);
        for (int x = 0; x < image.width; ++x, in += 3) {
            const uint32_t colour = uint32_t{in[0]} | uint32_t{in[1]} << 8 | uint32_t{in[2]} << 16;
            const int index = exact.Find(colour);
            if (index >= 0) {
                dst[x] = static_cast<uint8_t>(index);
                continue;
            }
            const int offset = offsets[bayer[x & 7]];
            dst[x] = static_cast<uint8_t>(
                matcher.Nearest(ClampLevel(in[2] + offset), ClampLevel(in[1] + offset), ClampLevel(in[0] + offset)));
        }
        progress.Advance();
    }
}

// For any palette: a pixel lies between its nearest entry a and the entry b nearest to its mirror
// image through a (the colour as far beyond the pixel as a is before it). The pixel's position t
// between a and b (0 at a, 1 at b) decides against the threshold which of the two it shows, so
// that a patch of one colour mixes a and b in the right proportion, in whatever direction of
// colour space the palette's entries lie. A pixel that is a palette colour has t = 0.
static void MapOrderedMix(const Image24& image, const Palette& palette, Image8& out, Progress& progress) {
    PaletteMatcher matcher(palette.entries, palette.count);
    for (int row = 0; row < image.height; ++row) {
        const uint8_t* bayer = kBayer[(image.height - 1 - row) & 7];
        const uint8_t* in = image.Row(row);
        uint8_t* dst = out.Row(row);
        uint32_t lastColour = 0xFFFFFFFF;
        int a = 0, b = 0;
        int64_t along = 0, span = 1;  // t = along / span
        for (int x = 0; x < image.width; ++x, in += 3) {
            const uint32_t colour = uint32_t{in[0]} | uint32_t{in[1]} << 8 | uint32_t{in[2]} << 16;
            if (colour != lastColour) {
                lastColour = colour;
                const int red = in[2], green = in[1], blue = in[0];
                a = matcher.Nearest(in[2], in[1], in[0]);
                const RGBQUAD& ea = palette.entries[a];
                const int dr = red - ea.rgbRed, dg = green - ea.rgbGreen, db = blue - ea.rgbBlue;
                b = matcher.Nearest(ClampLevel(red + dr), ClampLevel(green + dg), ClampLevel(blue + db));
                const RGBQUAD& eb = palette.entries[b];
                const int er = eb.rgbRed - ea.rgbRed, eg = eb.rgbGreen - ea.rgbGreen, eb2 = eb.rgbBlue - ea.rgbBlue;
                along = int64_t{dr} * er + int64_t{dg} * eg + int64_t{db} * eb2;
                span = int64_t{er} * er + int64_t{eg} * eg + int64_t{eb2} * eb2;
                if (span == 0) along = 0, span = 1;
            }
            // b when (threshold + 0.5) / 64 < t
            const int64_t threshold = 2 * bayer[x & 7] + 1;
            dst[x] = static_cast<uint8_t>(threshold * span < 128 * along ? b : a);
        }
        progress.Advance();
    }
}

void MapOrdered(const Image24& image, const Palette& palette, int cubeStep, Image8& out, Progress& progress) {
    if (cubeStep > 0)
        MapOrderedCube(image, palette, cubeStep, out, progress);
    else
        MapOrderedMix(image, palette, out, progress);
}

int PaletteSpacing(double mse) {
    // Uniform error over a cube of side s has a mean square of 3 * s^2 / 12.
    return static_cast<int>(std::lround(std::min(2 * std::sqrt(std::max(mse, 0.0)), 64.0)));
}

int ErrorLimit(int spacing) { return std::max(8, (spacing + 1) / 2 + 3); }

void MapErrorDiffusion(const Image24& image, const Palette& palette, int errorLimit, Image8& out,
                       Progress& progress) {
    PaletteMatcher matcher(palette.entries, palette.count);
    const int width = image.width;
    // Errors in 1/256 of a level (the 1/16 weights times a strength in sixteenths), per channel
    // (red, green, blue), with a spare pixel at both ends of the row so the weights need no edge
    // tests.
    const size_t rowErrors = 3 * static_cast<size_t>(width + 2);
    std::vector<int32_t> errors(2 * rowErrors, 0);
    int32_t* current = errors.data();
    int32_t* next = current + rowErrors;
    std::vector<uint8_t> strength(static_cast<size_t>(width));

    for (int y = 0; y < image.height; ++y) {
        const int row = image.height - 1 - y;
        DiffusionStrength(image, row, strength.data());
        const uint8_t* in = image.Row(row);
        uint8_t* dst = out.Row(row);
        const bool forward = (y & 1) == 0;
        const int dir = forward ? 1 : -1;
        std::fill(next, next + rowErrors, 0);
        for (int i = 0; i < width; ++i) {
            const int x = forward ? i : width - 1 - i;
            const uint8_t* p = in + 3 * x;
            int32_t* e = current + 3 * (x + 1);
            const int red = ClampLevel(p[2] + std::clamp((e[0] + 128) >> 8, -errorLimit, errorLimit));
            const int green = ClampLevel(p[1] + std::clamp((e[1] + 128) >> 8, -errorLimit, errorLimit));
            const int blue = ClampLevel(p[0] + std::clamp((e[2] + 128) >> 8, -errorLimit, errorLimit));
            const int index = matcher.Nearest(static_cast<uint8_t>(red), static_cast<uint8_t>(green),
                                              static_cast<uint8_t>(blue));
            dst[x] = static_cast<uint8_t>(index);
            const RGBQUAD& entry = palette.entries[index];
            const int s = strength[x];
            const int error[3] = {(red - entry.rgbRed) * s, (green - entry.rgbGreen) * s, (blue - entry.rgbBlue) * s};
            int32_t* ahead = e + 3 * dir;
            int32_t* below = next + 3 * (x + 1);
            for (int c = 0; c < 3; ++c) {
                ahead[c] += 7 * error[c];
                below[c - 3 * dir] += 3 * error[c];
                below[c] += 5 * error[c];
                below[c + 3 * dir] += error[c];
            }
        }
        std::swap(current, next);
        progress.Advance();
    }
}
