#include "quantz/quantz.h"

#include <algorithm>
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

// Distance between the levels of the standard palette's colour cube.
constexpr int kCubeStep = 42;
// k-means passes after each palette method (fewer when they stop paying). A small palette is
// refined longer: each pass costs less, and each entry matters more.
constexpr int kMedianCutPasses = 10;
constexpr int kOctreePasses = 2;
constexpr int kSmallPalettePasses = 24;
constexpr int kSmallPalette = 128;
// A small palette starts from this many times its entries (at most 256), which are then joined
// two at a time by least added error: the methods' own last steps join groups by rules too coarse
// for a few colours (the octree only joins siblings, median cut never joins at all).
constexpr int kMedianCutStart = 2;
constexpr int kOctreeStart = 4;

std::atomic<ProgressFunction> g_progress{nullptr};

// Share of the bar for building an adaptive palette: the histogram pass, the palette method, then
// its k-means passes. Mapping the pixels takes the rest.
constexpr int kHistogramEnd = 20;
constexpr int kMethodEnd = 27;
constexpr int kPaletteEnd = 35;

// One reduction, checked: the methods, the most entries an adaptive palette may have (a
// transparent entry included), a given palette.
struct Job {
    int paletteMethod = kQuantzStandardPalette;
    int ditherMethod = kQuantzNearestColour;
    int colours = kPaletteEntries;
    const RGBQUAD* given = nullptr;
    int givenCount = 0;
    int firstRow = 0;  // rows to fill, counted from the top; all when rowCount is 0
    int rowCount = 0;
    QuantzPalettePlan* plan = nullptr;
};

// Builds a median-cut or octree palette of at most `entries` colours from the image's summary.
// `mse` receives the palette's mean squared nearest-colour error per pixel, 0 when it reproduces
// the image exactly.
Palette AdaptivePalette(ColourSummary& summary, int method, int entries, double* mse, Progress& progress) {
    *mse = 0;
    // An image of few colours keeps them; one of no opaque pixel at all has none.
    if (summary.exact && static_cast<int>(summary.exactColours.size()) <= entries) {
        Palette palette;
        palette.count = static_cast<int>(summary.exactColours.size());
        std::copy(summary.exactColours.begin(), summary.exactColours.end(), palette.entries);
        return palette;
    }
    std::vector<Centre> centres;
    std::vector<uint8_t> labels;
    int passes;
    const bool small = entries < kSmallPalette;
    const int start = small
                          ? std::min(kPaletteEntries,
                                     (method == kQuantzMedianCut ? kMedianCutStart : kOctreeStart) * entries)
                          : entries;
    if (method == kQuantzMedianCut) {
        progress.Stage(kMethodEnd, start - 1);
        MedianCut(summary.points, start, centres, labels, progress);
        passes = small ? kSmallPalettePasses : kMedianCutPasses;
    } else {
        OctreeQuantise(summary.points, start, centres, labels, progress, kMethodEnd);
        passes = small ? kSmallPalettePasses : kOctreePasses;
    }
    if (static_cast<int>(centres.size()) > entries)
        MergeClosestGroups(summary.points, labels, centres, entries);
    progress.Stage(kPaletteEnd, RefineSteps(summary.points.size(), passes));
    *mse = RefineCentres(summary.points, labels, centres, passes, progress);
    return ToPalette(centres);
}

// Typical distance between the distinct entries of a palette given from outside: the median of
// each entry's distance to its nearest other one, for error diffusion's limit.
int GivenPaletteSpacing(const Palette& palette) {
    std::vector<double> nearest;
    for (int a = 0; a < palette.count; ++a) {
        double best = INFINITY;
        for (int b = 0; b < palette.count; ++b) {
            const RGBQUAD& x = palette.entries[a];
            const RGBQUAD& y = palette.entries[b];
            const double dr = x.rgbRed - y.rgbRed, dg = x.rgbGreen - y.rgbGreen, db = x.rgbBlue - y.rgbBlue;
            const double d = dr * dr + dg * dg + db * db;
            if (d > 0) best = std::min(best, d);
        }
        if (best < INFINITY) nearest.push_back(std::sqrt(best));
    }
    if (nearest.empty()) return kCubeStep;
    std::nth_element(nearest.begin(), nearest.begin() + nearest.size() / 2, nearest.end());
    return static_cast<int>(std::lround(nearest[nearest.size() / 2]));
}

bool AnyTransparent(const SourceImage& image) {
    if (!image.HasAlpha()) return false;
    for (int row = 0; row < image.height; ++row) {
        const uint8_t* raw = image.Row(row);
        for (int x = 0; x < image.width; ++x) {
            if (image.TransparentAt(raw, x)) return true;
        }
    }
    return false;
}

void Map(const SourceImage& image, const Palette& palette, const Job& job, int spacing, Image8& out,
         Progress& progress) {
    switch (job.ditherMethod) {
        case kQuantzNearestColour:
            MapNearest(image, palette, out, progress);
            break;
        case kQuantzOrderedDither:
            MapOrdered(image, palette, job.paletteMethod == kQuantzStandardPalette ? kCubeStep : 0, out,
                       progress);
            break;
        default:
            MapErrorDiffusion(image, palette, spacing, out, progress);
            break;
    }
}

// An entry of a full palette that no pixel can be given: one that repeats an earlier colour
// (the nearest search always takes the lower index); -1 when all 256 differ.
int RepeatedEntry(const Palette& palette) {
    for (int i = palette.count - 1; i > 0; --i) {
        for (int j = 0; j < i; ++j) {
            if (PaletteColour(palette.entries[i]) == PaletteColour(palette.entries[j])) return i;
        }
    }
    return -1;
}

// Maps a source with transparent pixels onto a palette of 256 distinct colours: the entry the
// fewest opaque pixels take gives up its colour to become the transparent one; when some did take
// it, the image is mapped again onto the other 255. Returns that entry.
int MapOntoFullPalette(const SourceImage& image, Palette& palette, const Job& job, int spacing, Image8& out,
                       Progress& progress) {
    const int last = kPaletteEntries - 1;
    palette.transparent = 0;  // for now; these pixels are given their entry below
    Map(image, palette, job, spacing, out, progress);
    int64_t uses[kPaletteEntries] = {};
    for (int row = 0; row < image.height; ++row) {
        const uint8_t* raw = image.Row(row);
        const uint8_t* dst = out.Row(row);
        for (int x = 0; x < image.width; ++x) {
            if (!image.TransparentAt(raw, x)) ++uses[dst[x]];
        }
    }
    const int fewest = static_cast<int>(std::min_element(uses, uses + kPaletteEntries) - uses);
    if (uses[fewest] > 0) {
        // Held back as entry 255 while the others take its pixels, then put back in its place.
        std::swap(palette.entries[fewest], palette.entries[last]);
        palette.count = last;
        palette.transparent = last;
        Map(image, palette, job, spacing, out, progress);
        std::swap(palette.entries[fewest], palette.entries[last]);
        palette.count = kPaletteEntries;
        for (int row = 0; row < image.height; ++row) {
            uint8_t* dst = out.Row(row);
            for (int x = 0; x < image.width; ++x) {
                if (dst[x] == last)
                    dst[x] = static_cast<uint8_t>(fewest);
                else if (dst[x] == fewest)
                    dst[x] = static_cast<uint8_t>(last);
            }
        }
    } else {
        for (int row = 0; row < image.height; ++row) {
            const uint8_t* raw = image.Row(row);
            uint8_t* dst = out.Row(row);
            for (int x = 0; x < image.width; ++x) {
                if (image.TransparentAt(raw, x)) dst[x] = static_cast<uint8_t>(fewest);
            }
        }
    }
    return fewest;
}

// What the palette step of a job found.
struct PaletteStep {
    Palette palette;
    int spacing = kCubeStep;
    bool transparent = false;
};

// Builds the palette the job asks for. Throws std::bad_alloc or ReductionCancelled.
PaletteStep PlanPalette(const SourceImage& image, const Job& job, Progress& progress) {
    PaletteStep step;
    Palette& palette = step.palette;
    if (job.paletteMethod == kQuantzMedianCut || job.paletteMethod == kQuantzOctree) {
        progress.Stage(kHistogramEnd, image.height);
        ColourSummary summary = SummariseColours(image, progress);
        step.transparent = summary.transparentPixels > 0;
        const int entries = job.colours - (step.transparent ? 1 : 0);
        double mse = 0;
        palette = AdaptivePalette(summary, job.paletteMethod, entries, &mse, progress);
        step.spacing = PaletteSpacing(mse, job.colours);
    } else {
        step.transparent = AnyTransparent(image);
        if (job.paletteMethod == kQuantzStandardPalette) {
            FillDefaultPalette(palette.entries);
            palette.count = kPaletteEntries;
        } else {
            for (int i = 0; i < job.givenCount; ++i)
                palette.entries[i] =
                    RGBQUAD{job.given[i].rgbBlue, job.given[i].rgbGreen, job.given[i].rgbRed, 0};
            palette.count = job.givenCount;
            step.spacing = GivenPaletteSpacing(palette);
        }
    }
    return step;
}

// Maps the image onto the palette the step found. Returns the palette, whose `transparent` names
// the transparent entry (or -1). Throws std::bad_alloc or ReductionCancelled.
Palette MapImage(const SourceImage& image, const Job& job, const PaletteStep& step, Image8& out,
                 Progress& progress) {
    Palette palette = step.palette;
    progress.Stage(100, image.height);
    if (step.transparent && palette.count == kPaletteEntries) {
        const int repeated = RepeatedEntry(palette);
        if (repeated >= 0) {
            palette.transparent = repeated;
            Map(image, palette, job, step.spacing, out, progress);
        } else {
            palette.transparent = MapOntoFullPalette(image, palette, job, step.spacing, out, progress);
        }
        return palette;
    }
    if (step.transparent) palette.transparent = palette.count;
    Map(image, palette, job, step.spacing, out, progress);
    if (step.transparent) ++palette.count;  // the transparent entry after the colours, black
    return palette;
}

// Whether the header describes an input ReduceColours takes.
bool IsSourceHeader(const BITMAPINFOHEADER& header) {
    if (header.biBitCount != 32) return IsModelHeader(header);
    const int64_t width = header.biWidth, height = header.biHeight;
    if (header.biCompression != 0 || CheckImageSize(width, height, 24) != ImageStatus::Ok) return false;
    return header.biXPelsPerMeter == 4 * width && 4 * width * height <= kMaxPixelBlockBytes;
}

// Runs a checked job: a new 8-bit header block and rows, or null with `status` set.
BITMAPINFOHEADER* Run(uint8_t** bits, const BITMAPINFOHEADER* header, const Job& job,
                      const SourceImage& image, Progress& progress, int* status, Palette* result) {
    BITMAPINFOHEADER* newHeader = nullptr;
    uint8_t* newBits = nullptr;
    if (AllocateImage(header->biWidth, header->biHeight, 8, &newHeader, &newBits) != ImageStatus::Ok) {
        *status = kQuantzNoMemory;
        return nullptr;
    }
    Image8 out{newBits, header->biWidth, header->biHeight, newHeader->biXPelsPerMeter};
    if (job.rowCount > 0) {
        out.firstY = job.firstRow;
        out.endY = job.firstRow + job.rowCount;
    }
    try {
        PaletteStep step;
        QuantzPalettePlan* plan = job.plan;
        const bool adaptive = job.paletteMethod == kQuantzMedianCut || job.paletteMethod == kQuantzOctree;
        if (adaptive && plan && plan->made && plan->paletteMethod == job.paletteMethod &&
            plan->colours == job.colours && plan->count >= 0 && plan->count <= kPaletteEntries) {
            std::memcpy(step.palette.entries, plan->entries, kPaletteBytes);
            step.palette.count = plan->count;
            step.spacing = plan->spacing;
            step.transparent = plan->transparent != 0;
        } else {
            step = PlanPalette(image, job, progress);
            if (adaptive && plan) {
                plan->made = 1;
                plan->paletteMethod = job.paletteMethod;
                plan->colours = job.colours;
                plan->count = step.palette.count;
                plan->spacing = step.spacing;
                plan->transparent = step.transparent;
                std::memcpy(plan->entries, step.palette.entries, kPaletteBytes);
            }
        }
        *result = MapImage(image, job, step, out, progress);
        std::memcpy(HeaderPalette(newHeader), result->entries, kPaletteBytes);
    } catch (const ReductionCancelled&) {
        *status = kQuantzCancelled;
    } catch (...) {  // out of memory: nothing may escape the C interface
        *status = kQuantzNoMemory;
    }
    if (*status != kQuantzOk) {
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

}  // namespace

extern "C" {

void SetProgressFunction(ProgressFunction progress) {
    g_progress.store(progress);
}

BITMAPINFOHEADER* Convert24To256(uint8_t** bits, BITMAPINFOHEADER* header, int paletteMethod,
                                 int ditherMethod) {
    if (!bits || !*bits || !header) return nullptr;
    if (header->biBitCount != 24 || !IsModelHeader(*header)) return nullptr;
    if (paletteMethod < kQuantzStandardPalette || paletteMethod > kQuantzOctree) return nullptr;
    if (ditherMethod < kQuantzNearestColour || ditherMethod > kQuantzErrorDiffusion) return nullptr;
    Job job;
    job.paletteMethod = paletteMethod;
    job.ditherMethod = ditherMethod;
    const SourceImage image{*bits, header->biWidth, header->biHeight, header->biXPelsPerMeter};
    Progress progress(g_progress.load());
    int status = kQuantzOk;
    Palette palette;
    return Run(bits, header, job, image, progress, &status, &palette);
}

BITMAPINFOHEADER* ReduceColours(uint8_t** bits, const BITMAPINFOHEADER* header, QuantzRequest* request) {
    if (!request || request->size < sizeof(QuantzRequest)) return nullptr;
    request->status = kQuantzRefused;
    request->transparentEntry = -1;
    if (!bits || !*bits || !header || !IsSourceHeader(*header)) return nullptr;
    Job job;
    job.paletteMethod = request->paletteMethod;
    job.ditherMethod = request->ditherMethod;
    if (job.ditherMethod < kQuantzNearestColour || job.ditherMethod > kQuantzErrorDiffusion) return nullptr;
    switch (job.paletteMethod) {
        case kQuantzStandardPalette:
            break;
        case kQuantzMedianCut:
        case kQuantzOctree:
            if (request->colours < 2 || request->colours > kPaletteEntries) return nullptr;
            job.colours = request->colours;
            break;
        case kQuantzGivenPalette:
            if (!request->palette || request->paletteCount < 1 || request->paletteCount > kPaletteEntries)
                return nullptr;
            job.given = request->palette;
            job.givenCount = request->paletteCount;
            break;
        default:
            return nullptr;
    }
    if (request->rowCount < 0 || request->firstRow < 0 || request->rowCount > header->biHeight ||
        request->firstRow > header->biHeight - request->rowCount)
        return nullptr;
    job.firstRow = request->firstRow;
    job.rowCount = request->rowCount;
    job.plan = request->plan;
    SourceImage image{*bits, header->biWidth, header->biHeight, header->biXPelsPerMeter,
                      header->biBitCount / 8};
    if (image.bytesPerPixel == 1) {
        image.palette = HeaderPalette(header);
        image.entryAlpha = request->entryAlpha;
    }
    Progress progress(request->progress, request->progressContext);
    int status = kQuantzOk;
    Palette palette;
    BITMAPINFOHEADER* result = Run(bits, header, job, image, progress, &status, &palette);
    request->status = status;
    if (!result) return nullptr;
    request->transparentEntry = palette.transparent;
    if (request->resultAlpha) {
        std::memset(request->resultAlpha, 255, kPaletteEntries);
        if (palette.transparent >= 0) request->resultAlpha[palette.transparent] = 0;
    }
    return result;
}

}  // extern "C"
