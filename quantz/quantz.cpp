#include "quantz/quantz.h"

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "quantz/colour_histogram.h"
#include "quantz/colour_types.h"
#include "quantz/dither.h"
#include "quantz/median_cut.h"
#include "quantz/octree.h"
#include "quantz/palette_refine.h"
#include "quantz/progress.h"

namespace {

enum PaletteMethod { kStandardPalette = 0, kMedianCut = 1, kOctree = 2 };
enum DitherMethod { kNearestColour = 0, kOrderedDither = 1, kErrorDiffusion = 2 };

// Distance between the levels of the standard palette's colour cube.
constexpr int kCubeStep = 42;
// k-means passes after each palette method (fewer when they stop paying).
constexpr int kMedianCutPasses = 10;
constexpr int kOctreePasses = 2;

std::atomic<ProgressFunction> g_progress{nullptr};

// Share of the bar for building an adaptive palette: the histogram pass, the palette method, then
// its k-means passes. Mapping the pixels takes the rest.
constexpr int kHistogramEnd = 20;
constexpr int kMethodEnd = 27;
constexpr int kPaletteEnd = 35;

// Builds a median-cut or octree palette for the image. `mse` receives the palette's mean squared
// nearest-colour error per pixel, 0 when it reproduces the image exactly.
Palette AdaptivePalette(const Image24& image, int method, double* mse, Progress& progress) {
    progress.Stage(kHistogramEnd, image.height);
    ColourSummary summary = SummariseColours(image, progress);
    *mse = 0;
    if (!summary.exactColours.empty()) {
        Palette palette;
        palette.count = static_cast<int>(summary.exactColours.size());
        std::copy(summary.exactColours.begin(), summary.exactColours.end(), palette.entries);
        return palette;
    }
    std::vector<Centre> centres;
    std::vector<uint8_t> labels;
    int passes;
    if (method == kMedianCut) {
        progress.Stage(kMethodEnd, kPaletteEntries - 1);
        MedianCut(summary.points, kPaletteEntries, centres, labels, progress);
        passes = kMedianCutPasses;
    } else {
        OctreeQuantise(summary.points, kPaletteEntries, centres, labels, progress, kMethodEnd);
        passes = kOctreePasses;
    }
    progress.Stage(kPaletteEnd, RefineSteps(summary.points.size(), passes));
    *mse = RefineCentres(summary.points, labels, centres, passes, progress);
    return ToPalette(centres);
}

}  // namespace

extern "C" {

void SetProgressFunction(ProgressFunction progress) {
    g_progress.store(progress);
}

BITMAPINFOHEADER* Convert24To256(uint8_t** bits, BITMAPINFOHEADER* header, int paletteMethod,
                                 int ditherMethod) {
    if (!bits || !*bits || !header) return nullptr;
    if (header->biBitCount != 24 || !IsModelHeader(*header)) return nullptr;
    if (paletteMethod < kStandardPalette || paletteMethod > kOctree) return nullptr;
    if (ditherMethod < kNearestColour || ditherMethod > kErrorDiffusion) return nullptr;
    BITMAPINFOHEADER* newHeader = nullptr;
    uint8_t* newBits = nullptr;
    if (AllocateImage(header->biWidth, header->biHeight, 8, &newHeader, &newBits) != ImageStatus::Ok)
        return nullptr;

    const Image24 image{*bits, header->biWidth, header->biHeight, header->biXPelsPerMeter};
    Image8 out{newBits, header->biWidth, header->biHeight, newHeader->biXPelsPerMeter};
    Progress progress(g_progress.load());
    try {
        Palette palette;
        int spacing = kCubeStep;
        if (paletteMethod == kStandardPalette) {
            FillDefaultPalette(palette.entries);
            palette.count = kPaletteEntries;
        } else {
            double mse = 0;
            palette = AdaptivePalette(image, paletteMethod, &mse, progress);
            spacing = PaletteSpacing(mse);
        }
        progress.Stage(100, image.height);
        switch (ditherMethod) {
            case kNearestColour:
                MapNearest(image, palette, out, progress);
                break;
            case kOrderedDither:
                MapOrdered(image, palette, paletteMethod == kStandardPalette ? kCubeStep : 0, out, progress);
                break;
            default:
                MapErrorDiffusion(image, palette, spacing, out, progress);
                break;
        }
        std::memcpy(HeaderPalette(newHeader), palette.entries, kPaletteBytes);
    } catch (...) {  // out of memory: nothing may escape the C interface
        progress.Finish();
        std::free(newHeader);
        std::free(newBits);
        return nullptr;
    }

    newHeader->biYPelsPerMeter = header->biYPelsPerMeter;
    progress.Finish();
    *bits = newBits;
    return newHeader;
}

}  // extern "C"
