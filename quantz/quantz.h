// libquantz.so: reduces an image to a palette of 256 colours or fewer.
//
// The program loads the library with dlopen for each reduction and looks up the functions below by
// name, through the pointer types declared after them; this one header serves the
// library, the program and the tests' stand-in, so the compiler holds them to one interface. Both
// functions use C linkage; every block that crosses the boundary is calloc'd and released with
// free.
//
// A reduction's result depends on the image and the methods alone, not on the machine. A large
// image is worked on in two bands of rows, at the same time where a second processor is to be had;
// the environment variable ORVIK_QUANTZ_THREADS=1 keeps the work on the calling thread.
#pragma once

#include <cstdint>

#include "document/image_buffer.h"

#define QUANTZ_EXPORT __attribute__((visibility("default")))

extern "C" {

// Receives whole percentages 0..100 while a reduction runs; the result is ignored.
typedef int (*ProgressFunction)(int percent);

// Registers the function that reports the progress of the following reductions; null registers
// none. It is called only on the thread that calls Convert24To256: with 0 first, with rising whole
// percentages while the work proceeds and with 100 last.
QUANTZ_EXPORT void SetProgressFunction(ProgressFunction progress);

// Palette methods: 0 standard palette (the colour cube and grey ramp of new images), 1 median cut,
// 2 octree. Dither methods: 0 nearest colour, 1 ordered (8 x 8 Bayer), 2 error diffusion
// (Floyd-Steinberg).
//
// Reduces the 24-bit image given by header (row stride in biXPelsPerMeter) and the bottom-up rows
// at *bits. Returns a calloc'd 1064-byte header block (8 bits per pixel, the new stride in
// biXPelsPerMeter, biClrUsed = biClrImportant = 256, then the 256-entry colour table; entries the
// palette does not use are zero) and stores calloc'd 8-bit rows through bits. The input header and
// rows are neither changed nor released; the caller frees them after a successful call.
//
// On failure (not a 24-bit image the program can hold, an unknown method, not enough memory) it
// returns null and leaves *bits as it was.
QUANTZ_EXPORT BITMAPINFOHEADER* Convert24To256(uint8_t** bits, BITMAPINFOHEADER* header, int paletteMethod,
                                               int ditherMethod);

// The palette methods of ReduceColours: those of Convert24To256, and a palette the caller gives.
enum QuantzPaletteMethod {
    kQuantzStandardPalette = 0,
    kQuantzMedianCut = 1,
    kQuantzOctree = 2,
    kQuantzGivenPalette = 3,
};

// The dither methods, the same for both functions.
enum QuantzDitherMethod {
    kQuantzNearestColour = 0,
    kQuantzOrderedDither = 1,
    kQuantzErrorDiffusion = 2,
};

// How ReduceColours ended, in QuantzRequest::status.
enum QuantzStatus {
    kQuantzOk = 0,
    kQuantzRefused = 1,  // an image or a request the library does not take
    kQuantzNoMemory = 2,
    kQuantzCancelled = 3,  // the progress function asked to stop
};

// The palette step of a median-cut or octree reduction, which a caller may keep to spare later
// requests on the same image the work: the palette, how far apart its entries lie, and whether the
// image has transparent pixels. Zero it before its first use.
struct QuantzPalettePlan {
    int32_t made;  // nonzero once filled in
    int32_t paletteMethod;
    int32_t colours;
    int32_t count;
    int32_t spacing;
    int32_t transparent;
    RGBQUAD entries[256];
};

// Receives whole percentages 0..100 of one ReduceColours call, with the context the request
// carries, always on the calling thread. A nonzero result stops the reduction.
typedef int (*QuantzProgressFunction)(void* context, int percent);

// One reduction for ReduceColours. Zero it, set `size` to sizeof(QuantzRequest) (later versions
// may add fields at the end and read only what a caller's size covers), then fill in the rest.
struct QuantzRequest {
    uint32_t size;
    int32_t paletteMethod;  // a QuantzPaletteMethod
    int32_t ditherMethod;   // a QuantzDitherMethod
    // Median cut and octree: the most palette entries the result may use, 2..256, a transparent
    // entry included. The standard palette always has 256 entries, a given palette its own.
    int32_t colours;
    // kQuantzGivenPalette: its entries (rgbReserved ignored) and their number, 1..256. The result's
    // palette is exactly these entries (then a transparent entry, if one is needed and there is
    // room), and every pixel shows one of them.
    const RGBQUAD* palette;
    int32_t paletteCount;
    // An 8-bit input's opacity per entry (255 opaque, 0 transparent), or null when all are opaque.
    const uint8_t* entryAlpha;
    // Progress of this call alone (the function registered by SetProgressFunction is not used);
    // null reports nothing.
    QuantzProgressFunction progress;
    void* progressContext;
    // Where rowCount > 0, only rows firstRow .. firstRow + rowCount - 1, counted from the top, need
    // to be filled in, as they are in the whole result (a preview of part of the image); other rows
    // may stay zero.
    int32_t firstRow;
    int32_t rowCount;
    // Median cut and octree, where not null: a plan made for the same palette method and count of
    // this image takes the place of the palette step; any other is replaced by this request's.
    QuantzPalettePlan* plan;

    // Results. Where `resultAlpha` is not null it receives the result's 256 opacities: 255, and 0
    // for the one entry that fully transparent pixels of the input were given, which
    // `transparentEntry` names (-1 when the input has none).
    uint8_t* resultAlpha;
    int32_t transparentEntry;
    int32_t status;  // a QuantzStatus
};

// Reduces the image given by header (row stride in biXPelsPerMeter) and the bottom-up rows at *bits
// as `request` says, into a result of the form Convert24To256 returns (an 8-bit header block with
// its colour table, biClrUsed 256, entries past those in use zero, and calloc'd rows stored through
// bits). The input may have
//   - 24 bits per pixel: blue, green, red;
//   - 32 bits per pixel: blue, green, red, alpha (straight, 255 opaque; stride width * 4). Pixels
//     of alpha 0 all become one transparent entry; every other pixel is reduced by its colour;
//   - 8 bits per pixel: `header` is then the 1064-byte block with the colour table after it, and
//     the pixels are mapped through their colours (entries of opacity 0 in request->entryAlpha
//     count as transparent pixels).
// With the same request, a 24-bit input gives exactly what Convert24To256 gives. The input is
// neither changed nor released. On failure returns null, leaves *bits as it was and says why in
// request->status (a request too short to hold a status is refused without one).
QUANTZ_EXPORT BITMAPINFOHEADER* ReduceColours(uint8_t** bits, const BITMAPINFOHEADER* header,
                                              QuantzRequest* request);

}  // extern "C"

// Function types for looking the exports up with dlsym.
using QuantzSetProgress = decltype(&SetProgressFunction);
using QuantzConvert = decltype(&Convert24To256);
using QuantzReduce = decltype(&ReduceColours);
