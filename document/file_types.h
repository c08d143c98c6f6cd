// The image file formats the program reads and writes: one table that the codec library's numbers,
// the file dialogs' filters, saving by extension, the checks before a save that would lose
// something, and the launcher's and AppStream file's lists of MIME types all come from. A new
// format is one more row.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The numbers are the codec library's IMGKIT_FORMAT_ values.
enum class FileType {
    Unknown = 0,
    Bmp = 1,
    Pcx = 2,
    Jpeg = 3,
    Png = 4,
    Gif = 5,
    Tiff = 6,
    WebP = 7,
    Tga = 8,
    Ico = 9,
    Pnm = 10
};

// What a format keeps of an 8-bit image's indices and palette.
enum class PaletteKept {
    Always,        // written with its indices and every palette entry
    GreyRampOnly,  // only when the palette is the grey ramp (grey maps hold grey levels, not indices)
    Never,         // written as true colour: the picture looks the same but opens as a 24-bit image
};

// What a format keeps of an 8-bit image's entry opacities.
enum class EntryTransparency {
    None,
    OneIndex,  // one fully transparent entry (GIF)
    Binary,    // any number of fully transparent entries, no partial ones (ICO's mask)
    PerEntry,  // every entry's opacity
};

// What a format calls the pictures one file can hold.
enum class FramesKind { None, Frames, Pages, Images };

struct FileFormat {
    FileType type;
    const char* name;        // "JPEG", as the program names the format in its texts
    const char* filter;      // the file dialogs' name for its files (translated under "FileFormat")
    const char* extensions;  // space-separated, lower case; Save As adds the first
    const char* mimeTypes;   // space-separated: every type the launcher offers to open
    bool reads;
    bool writes;
    PaletteKept palette;
    bool keepsTrueColour;  // a 24-bit image is written as it is (false: reduced to 256 colours)
    bool lossy;            // the colours change when written
    EntryTransparency entryTransparency;
    bool keepsAlphaChannel;   // a 32-bit image's alpha is written
    FramesKind frames;        // a file may hold several pictures; the first is read
    int maxSide;              // the largest width and height the format can store
    const char* lossyFilter;  // a second Save As filter that writes the format lossy, or null
};

// Every format, in the order the file dialogs list them.
std::span<const FileFormat> FileFormats();
// The row of a type; null for Unknown.
const FileFormat* FormatOf(FileType type);

// The type named by the text after the last '.' of the file name (not of the folders), compared
// without regard to case, among every extension of the table. The path itself is never changed.
FileType FileTypeOfPath(std::string_view path);

// True when the file name (not the folders) has an extension of any kind.
bool HasExtension(std::string_view path);

// The first extension of the type with its '.' (".jpg"); "" for Unknown.
std::string DefaultExtension(FileType type);
// A row's space-separated list as single words.
std::vector<std::string> Words(const char* list);
// The MIME types of every format the program reads, in the table's order.
std::vector<std::string> ReadableMimeTypes();
