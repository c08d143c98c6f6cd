#include "document/save_checks.h"

#include "document/translatable.h"

namespace {

// The format keeps an 8-bit picture's transparency only by writing it as a 32-bit picture.
bool EntriesBecomeAlphaChannel(const FileFormat& f, const SaveSubject& p) {
    return p.bitCount == 8 && !EntriesOpaque(p.entryAlpha) &&
           f.entryTransparency == EntryTransparency::None && f.keepsAlphaChannel;
}

// The format holds no transparency at all.
bool HoldsNoTransparency(const FileFormat& f, const SaveSubject& p) {
    return (p.bitCount == 8 || p.bitCount == 32) && f.entryTransparency == EntryTransparency::None &&
           !f.keepsAlphaChannel;
}

// The format holds some of an 8-bit picture's entry opacities, but not all of them.
bool LosesSomeEntries(const FileFormat& f, const SaveSubject& p, EntryTransparency kind) {
    return p.transparent && p.bitCount == 8 && f.entryTransparency == kind &&
           NeedsFitting(f, p.bitCount, p.entryAlpha);
}

// The format holds fully transparent pixels of a 32-bit picture (as a transparent entry of its
// reduced copy), but not partly transparent ones.
bool LosesPartlyTransparentPixels(const FileFormat& f, const SaveSubject& p) {
    return p.bitCount == 32 && p.partlyTransparent && !f.keepsAlphaChannel &&
           f.entryTransparency != EntryTransparency::None;
}

bool PaletteKeptFor(const FileFormat& f, const SaveSubject& p) {
    if (EntriesBecomeAlphaChannel(f, p)) return false;
    switch (f.palette) {
        case PaletteKept::Always:
            return true;
        case PaletteKept::GreyRampOnly:
            return IsGreyRampPalette(p.palette);
        case PaletteKept::Never:
            break;
    }
    return false;
}

bool Lossy(const FileFormat& f, const SaveSubject& p) {
    return f.lossy || (p.lossy && f.lossyFilter);
}

bool SourceIsReplaced(const SaveSubject& p, FramesKind kind) {
    const FileFormat* source = FormatOf(p.sourceType);
    return source && source->frames == kind && p.sourceFrames > 1;
}

const SaveLossRule kRules[] = {
    {QT_TRANSLATE_NOOP("SaveLoss",
                       "Pictures saved as %1 keep no palette, and their colours change slightly. The picture "
                       "will open again as a 24-bit image."),
     [](const FileFormat& f, const SaveSubject& p) {
         return p.bitCount == 8 && !PaletteKeptFor(f, p) && Lossy(f, p);
     },
     false},
    {QT_TRANSLATE_NOOP(
         "SaveLoss",
         "Pictures saved as %1 keep no palette. The picture will look the same, but it will open "
         "again as a 24-bit image."),
     [](const FileFormat& f, const SaveSubject& p) {
         return p.bitCount == 8 && !PaletteKeptFor(f, p) && !Lossy(f, p);
     },
     false},
    {QT_TRANSLATE_NOOP(
         "SaveLoss",
         "Pictures saved as %1 have at most 256 colours. The file will get a copy reduced to 256 "
         "colours, made the way Decrease Color Depth was last used; the open picture stays as it is."),
     [](const FileFormat& f, const SaveSubject& p) { return p.bitCount != 8 && !f.keepsTrueColour; }, true},
    {QT_TRANSLATE_NOOP(
         "SaveLoss", "Pictures saved as %1 cannot be transparent. The transparent parts will become white."),
     [](const FileFormat& f, const SaveSubject& p) { return p.transparent && HoldsNoTransparency(f, p); },
     false},
    {QT_TRANSLATE_NOOP("SaveLoss",
                       "Pictures saved as %1 can have only one transparent colour. The other transparent and "
                       "partly transparent colours will be put over white."),
     [](const FileFormat& f, const SaveSubject& p) {
         return LosesSomeEntries(f, p, EntryTransparency::OneIndex);
     },
     false},
    {QT_TRANSLATE_NOOP(
         "SaveLoss",
         "Pictures saved as %1 cannot be partly transparent. The partly transparent colours will "
         "be put over white."),
     [](const FileFormat& f, const SaveSubject& p) {
         return LosesSomeEntries(f, p, EntryTransparency::Binary) || LosesPartlyTransparentPixels(f, p);
     },
     false},
    {QT_TRANSLATE_NOOP(
         "SaveLoss",
         "The file holds %2 frames and Orvik opened only the first. Saving replaces the file with "
         "this one picture."),
     [](const FileFormat&, const SaveSubject& p) { return SourceIsReplaced(p, FramesKind::Frames); }, false},
    {QT_TRANSLATE_NOOP(
         "SaveLoss",
         "The file holds %2 pages and Orvik opened only the first. Saving replaces the file with "
         "this one page."),
     [](const FileFormat&, const SaveSubject& p) { return SourceIsReplaced(p, FramesKind::Pages); }, false},
    {QT_TRANSLATE_NOOP("SaveLoss",
                       "The file holds %2 images and Orvik opened only the largest. Saving replaces the file "
                       "with this one image."),
     [](const FileFormat&, const SaveSubject& p) { return SourceIsReplaced(p, FramesKind::Images); }, false},
    {QT_TRANSLATE_NOOP(
         "SaveLoss",
         "The file has more than 8 bits per channel, and Orvik opened it with 8. Saving replaces "
         "it with 8 bits per channel."),
     [](const FileFormat&, const SaveSubject& p) { return p.sourceReducedDepth; }, false},
};

}  // namespace

bool IsGreyRampPalette(const RGBQUAD* palette) {
    for (int i = 0; palette && i < kPaletteEntries; ++i) {
        const RGBQUAD& c = palette[i];
        if (c.rgbRed != i || c.rgbGreen != i || c.rgbBlue != i) return false;
    }
    return palette != nullptr;
}

std::vector<const SaveLossRule*> SaveLosses(const FileFormat& format, const SaveSubject& picture) {
    std::vector<const SaveLossRule*> losses;
    for (const SaveLossRule& rule : kRules)
        if (rule.applies(format, picture)) losses.push_back(&rule);
    return losses;
}

const char* SaveRefusal(const FileFormat& format, const SaveSubject& picture) {
    if (!format.writes) return QT_TRANSLATE_NOOP("SaveLoss", "Orvik cannot write %1 files.");
    if (picture.width > format.maxSide || picture.height > format.maxSide)
        return QT_TRANSLATE_NOOP("SaveLoss", "Pictures saved as %1 can be at most %2 x %2 pixels.");
    return nullptr;
}

bool NeedsFitting(const FileFormat& format, int bitCount, const uint8_t* entryAlpha) {
    if (bitCount == 32) return !format.keepsAlphaChannel;
    if (bitCount != 8 || EntriesOpaque(entryAlpha)) return false;
    int transparent = 0, partly = 0;
    for (int i = 0; i < kPaletteEntries; ++i) {
        transparent += entryAlpha[i] == 0;
        partly += entryAlpha[i] != 0 && entryAlpha[i] != kOpaque;
    }
    switch (format.entryTransparency) {
        case EntryTransparency::PerEntry:
            return false;
        case EntryTransparency::Binary:
            return partly > 0;
        case EntryTransparency::OneIndex:
            return partly > 0 || transparent > 1;
        case EntryTransparency::None:
            break;
    }
    return true;
}

void DescribeTransparency(const BITMAPINFOHEADER& header, const uint8_t* bits, const uint8_t* entryAlpha,
                          SaveSubject* subject) {
    subject->transparent = subject->partlyTransparent = false;
    const bool indexed = header.biBitCount == 8;
    if (!(indexed ? !EntriesOpaque(entryAlpha) : header.biBitCount == 32)) return;
    const int64_t stride = header.biXPelsPerMeter;
    bool seen[kPaletteEntries] = {};  // the alpha values met
    for (int64_t row = 0; row < header.biHeight; ++row) {
        const uint8_t* p = bits + row * stride;
        if (indexed) {
            for (int64_t x = 0; x < header.biWidth; ++x)
                seen[entryAlpha[p[x]]] = true;
        } else {
            for (int64_t x = 0; x < header.biWidth; ++x)
                seen[p[4 * x + 3]] = true;
        }
    }
    for (int a = 0; a < kOpaque; ++a) {
        subject->transparent = subject->transparent || seen[a];
        subject->partlyTransparent = subject->partlyTransparent || (a > 0 && seen[a]);
    }
}
