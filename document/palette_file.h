// Palette files: GIMP .gpl, JASC .pal (and, read only, Microsoft's RIFF .pal), Photoshop .act and
// plain .hex lists of RRGGBB, parsed from and formatted to bytes in memory.
//
// A palette holds at most 256 colours; a file with more gives its first 256 and says how many it
// held. A file that cannot be read gives a reason and, for the text formats, the line at fault.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "document/image_buffer.h"

enum class PaletteFormat { Unknown, Gimp, Jasc, Act, Hex, Riff };

// The format named by the file name's extension, without regard to case: ".gpl", ".pal", ".act",
// ".hex"; Unknown for any other. (".pal" names JASC; a RIFF file is told by its content.)
PaletteFormat PaletteFormatOfPath(std::string_view path);
// ".gpl", ".pal", ".act" or ".hex"; "" for Unknown and Riff, which the program does not write.
const char* PaletteExtension(PaletteFormat format);

enum class PaletteError {
    None,
    CannotOpen,      // the file could not be opened or read
    TooLarge,        // larger than any palette file (kMaxPaletteFileBytes)
    Empty,           // the file holds no bytes
    UnknownFormat,   // none of the formats
    BadHeader,       // a GIMP or JASC file whose first lines are not what the format requires
    BadCount,        // JASC's colour count, or an ACT trailer's, is not a number the format allows
    BadColour,       // a line that should hold a colour does not (values 0..255, or six hex digits)
    MissingColours,  // the file ends before the colours its header announced
    NoColours,       // a well-formed file without a single colour
    BadSize,         // an ACT file that is not 768 or 772 bytes, or a RIFF file whose chunks do not fit
};

// Why a file was refused, in English, for a message after "Cannot load ...": "%1" stands for the
// line at fault, "%2" for the colours announced and "%3" for those found (PaletteReadResult).
const char* PaletteErrorText(PaletteError error);

constexpr size_t kMaxPaletteFileBytes = size_t{16} << 20;

struct PaletteFile {
    PaletteFormat format = PaletteFormat::Unknown;
    std::string name;                // GIMP's "Name:", "" when none
    int columns = 0;                 // GIMP's "Columns:", 0 when none
    std::vector<RGBQUAD> colours;    // at most kPaletteEntries; rgbReserved is 0
    std::vector<std::string> names;  // one per colour, "" where the file names none
    size_t fileColours = 0;          // how many colours the file holds
    int transparentIndex = -1;       // an ACT trailer's transparent entry, -1 when none

    // The file held more colours than a palette has; only the first 256 were taken.
    bool Truncated() const { return fileColours > colours.size(); }
};

struct PaletteReadResult {
    PaletteError error = PaletteError::None;
    int line = 0;         // the line at fault in a text file (1 = the first), 0 when none applies
    size_t expected = 0;  // MissingColours: how many the header announced
    PaletteFile palette;  // the colours, when error is None
};

// Reads a palette from the bytes of a file. The content decides where it can (GIMP and JASC start
// with their names, RIFF with its chunk); otherwise `hint` (usually from the extension) does, and
// without a hint a file that is not a hex list is taken as ACT when it has 768 or 772 bytes.
PaletteReadResult ParsePalette(std::string_view bytes, PaletteFormat hint = PaletteFormat::Unknown);

// Reads the file at `path` (at most kMaxPaletteFileBytes) with ParsePalette, the hint taken from
// its extension.
PaletteReadResult ReadPaletteFile(const std::string& path);

// The bytes of a palette file in `format` (Gimp, Jasc, Act or Hex) holding `palette.colours` (at
// most 256 are written). GIMP gets the palette's name (or "Untitled"), its columns (or 16) and each
// colour's name (or "Index n"); JASC has CRLF line ends, as Paint Shop Pro writes it; ACT is 768
// bytes, with the 4-byte trailer of count and transparent index only when fewer than 256 colours or
// a transparent entry must be told. An empty string for any other format.
std::string FormatPalette(const PaletteFile& palette, PaletteFormat format);

// The colours of a 256-entry palette as a PaletteFile to format.
PaletteFile PaletteFromEntries(const RGBQUAD* entries, int count = kPaletteEntries);
