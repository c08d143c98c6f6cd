// What saving a picture in a format would lose, known before anything is written: the rules are
// one table, each a test of the format's row (file_types.h) against the picture and a message that
// asks first. A new loss is one more rule.
#pragma once

#include <cstdint>
#include <vector>

#include "document/file_types.h"
#include "document/image_buffer.h"

// The picture about to be saved, and the file it came from when it is saved over that file.
struct SaveSubject {
    int bitCount = 24;  // 8, 24, or 32 (24 bits with alpha)
    int width = 0;
    int height = 0;
    const RGBQUAD* palette = nullptr;     // 256 entries
    const uint8_t* entryAlpha = nullptr;  // 8 bits: each entry's opacity; null when all are opaque
    bool transparent = false;             // some pixel is less than opaque
    bool partlyTransparent = false;       // some pixel is neither opaque nor fully transparent
    bool lossy = false;                   // the user chose the format's lossy variant
    // When the target is the file the picture was read from: what Orvik did not open of it.
    FileType sourceType = FileType::Unknown;
    int sourceFrames = 1;             // frames, pages or images of that file
    bool sourceReducedDepth = false;  // it had more than 8 bits per channel
};

struct SaveLossRule {
    // The text asked before saving: %1 is the format's name, %2 the number of frames, pages or
    // images (translated under "SaveLoss").
    const char* message;
    bool (*applies)(const FileFormat& format, const SaveSubject& picture);
    // Saving anyway reduces a copy of the picture to 256 colours for the file.
    bool reducesColours;
};

// The rules that apply, in the table's order; none when nothing is lost.
std::vector<const SaveLossRule*> SaveLosses(const FileFormat& format, const SaveSubject& picture);

// True when the palette is the grey ramp: entry i is (i, i, i) for every i.
bool IsGreyRampPalette(const RGBQUAD* palette);

// A reason the picture cannot be saved in the format at all (translated under "SaveLoss", %1 the
// format's name, %2 its largest side), or null.
const char* SaveRefusal(const FileFormat& format, const SaveSubject& picture);

// Whether the picture (8, 24 or 32 bits, with its entry opacities) must be changed before the
// format can take it: transparency the format cannot hold is put over white, and an 8-bit
// picture's entry opacities go into an alpha channel where the format keeps only that.
bool NeedsFitting(const FileFormat& format, int bitCount, const uint8_t* entryAlpha);

// Sets the subject's `transparent` and `partlyTransparent` from the pixels of an 8-, 24- or 32-bit
// picture (an 8-bit one's through the entries they use).
void DescribeTransparency(const BITMAPINFOHEADER& header, const uint8_t* bits, const uint8_t* entryAlpha,
                          SaveSubject* subject);
