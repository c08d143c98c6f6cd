// Reading any picture file into the image model's blocks and writing blocks into a file of a chosen
// format, through the codec library: what the program's documents and its command-line tools share.
// No Qt, no display: the functions may run on any thread.
#pragma once

#include <cstdint>
#include <string>

#include "document/file_types.h"
#include "document/image_buffer.h"
#include "imgkit/imgkit.h"

// The blocks of a picture, released together unless taken.
struct ImageFileBlocks {
    BITMAPINFOHEADER* header = nullptr;
    RGBQUAD* palette = nullptr;  // 8 bits: inside the header block; otherwise a block of its own
    uint8_t* bits = nullptr;
    uint8_t* entryAlpha = nullptr;  // 8 bits: 256 opacities, or null when every entry is opaque

    ImageFileBlocks() = default;
    ~ImageFileBlocks() { Free(); }
    ImageFileBlocks(const ImageFileBlocks&) = delete;
    ImageFileBlocks& operator=(const ImageFileBlocks&) = delete;
    void Free();
    // Gives the blocks up to whoever took their pointers.
    void Release() { header = nullptr, palette = nullptr, bits = nullptr, entryAlpha = nullptr; }
};

// What a read found besides the picture.
struct ImageFileInfo {
    FileType type = FileType::Unknown;  // what the content is, also when the read failed
    int frames = 1;                     // frames, pages or images in the file
    bool reducedDepth = false;          // more than 8 bits per channel, reduced to 8
    bool grey = false;                  // the file holds grey levels only
};

enum class ImageFileStatus {
    Ok,
    CannotOpen,
    Empty,
    UnknownFormat,
    Damaged,
    Unsupported,
    TooLarge,
    NoMemory,
    WriteFailed,
    BadImage,     // the codec library refused the picture for the format
    NoLibrary,    // libimgkit.so could not be loaded
    NoFunction,   // it lacks the function
    BadResult,    // it returned blocks the program cannot hold
    UnknownType,  // the name has no extension of a format the program writes
};

// The status of an IMGKIT_ code.
ImageFileStatus StatusOfCodec(int code);

// Reads the file with the codec library's reader. On Ok the blocks hold the picture with its
// transparency (a 24- or 32-bit picture gets a palette of painting colours of its own: the default
// palette); a picture with nothing transparent is held as opaque pictures always are: 24 bits, or
// 8 bits without entry opacities. Otherwise the blocks are left empty. `progress` may be null.
ImageFileStatus ReadImageFile(ImgkitReadFn read, const std::string& path, ImageFileBlocks* blocks,
                              ImageFileInfo* info, ImgkitProgress progress = nullptr,
                              void* context = nullptr);
// Writes the picture in the format with the codec library's writer.
ImageFileStatus WriteImageFile(ImgkitWriteFn write, const std::string& path, FileType type,
                               const ImgkitWriteOptions& options, const ImgkitPicture& picture,
                               ImgkitProgress progress = nullptr, void* context = nullptr);

// The same through libimgkit.so loaded for the call; the format to write comes from the name's
// extension.
ImageFileStatus ReadImageFile(const std::string& path, ImageFileBlocks* blocks, ImageFileInfo* info);
ImageFileStatus WriteImageFileByName(const std::string& path, const ImgkitWriteOptions& options,
                                     const ImgkitPicture& picture);

// A copy of the picture in blocks of its own (the palette of an 8-bit one inside its header block).
// False when memory is short; nothing is made then.
bool CopyPicture(const ImgkitPicture& picture, ImageFileBlocks* copy);

// A 32-bit picture becomes opaque over white (an 8-bit grey-ramp picture when `greyLevels` and every
// pixel is grey, a 24-bit one otherwise), and an 8-bit picture's transparent entries become their
// colours over white, its opacities dropped. False when memory is short; the blocks are then
// unchanged.
bool CompositeOverWhite(ImageFileBlocks* blocks, bool greyLevels);

// Changes a picture held in blocks of its own so that the format can take it (see NeedsFitting):
// a 32-bit picture for a format without an alpha channel becomes 24-bit over white; an 8-bit
// picture's entry opacities become a 32-bit alpha channel where the format keeps only that, and
// each entry the format cannot keep as it is becomes its colour over white, opaque (a format of
// one transparent entry keeps the first fully transparent one, one of fully transparent entries
// keeps those). False when memory is short; the blocks are then unchanged.
bool FitForFormat(const FileFormat& format, ImageFileBlocks* blocks);

// After a 32-bit picture (`source`) was put over white and reduced to 8 bits for a format of one
// transparent entry: its fully transparent pixels take one entry of the reduced copy, made fully
// transparent. That is an entry no other pixel uses, or else the least used one, whose pixels go
// to the nearest other entry. `entryAlpha` gets a malloc'd 256-byte block for the copy, or null
// when no pixel is fully transparent. False when memory is short; nothing is changed then.
bool MarkTransparentPixels(const BITMAPINFOHEADER& source, const uint8_t* sourceBits,
                           BITMAPINFOHEADER* reduced, uint8_t* reducedBits, uint8_t** entryAlpha);

// A short English reason for a status, for messages (translated under "ImageFileStatus").
const char* ImageFileStatusText(ImageFileStatus status);
