// The three ways of turning 24-bit pixels into indices of a finished palette. Each advances
// `progress` by one step per row, and works on a large image as two bands of rows (parallel.h).
#pragma once

#include "quantz/colour_types.h"
#include "quantz/progress.h"

// Each pixel becomes its nearest entry (squared RGB distance, lowest index on ties).
void MapNearest(const SourceImage& image, const Palette& palette, Image8& out, Progress& progress);

// 8 x 8 Bayer dither. With `cubeStep` > 0 the palette is taken for a uniform colour cube of that
// level distance (the standard palette): the same threshold offset is added to all three channels
// before the nearest entry is taken. With 0 (any palette) each pixel shows its nearest entry or the
// one on the far side of it, in the proportion its position between the two calls for. Pixels that
// are palette colours stay as they are.
void MapOrdered(const SourceImage& image, const Palette& palette, int cubeStep, Image8& out,
                Progress& progress);

// Floyd-Steinberg error diffusion, serpentine, from the top row down, for a palette whose entries
// lie about `spacing` levels apart. The error a pixel receives from its neighbours is clamped per
// channel to a little over half that spacing, so that a colour the palette cannot show does not
// smear into the areas around it; and where the picture is busy a pixel passes on only part of its
// error, as there the detail hides banding and dither only adds noise. A large image is diffused as
// two bands, the top and the bottom half, on any machine.
void MapErrorDiffusion(const SourceImage& image, const Palette& palette, int spacing, Image8& out,
                       Progress& progress);

// Typical distance between neighbouring entries of a palette of at most `entries` entries whose
// mean squared nearest-colour error is `mse`: the side of a cube whose uniform error has the same
// mean square, at most 64 levels for a full palette. A smaller palette may lie much farther apart
// (two entries for a whole picture), and its error must carry far enough to mix them.
int PaletteSpacing(double mse, int entries);
