#include "document/save_checks.h"

#include "document/translatable.h"

namespace {

bool PaletteKeptFor(const FileFormat& f, const SaveSubject& p) {
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
