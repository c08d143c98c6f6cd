// Recovery files: the copy of a document with unsaved changes that the program keeps in the user's
// state folder, so that a crash, a killed session or a power cut loses no more than the last few
// seconds of work. The copy is taken in the event loop (CopyForRecovery, a plain memory copy) and
// written by a worker thread (WriteRecoveryFile), never half: into a temporary file beside the
// target, synced, then renamed over it.
//
// The file, little-endian:
//    0  "ORVIKRCV"
//    8  uint32  version, 1
//   12  uint32  width, then height
//   20  uint16  bits per pixel: 8 (palette indices), 24 (blue, green, red), 32 (blue, green, red,
//               alpha, straight)
//   22  uint16  flags: 1 = an entry-alpha block follows the palette
//   24  int32   zoom, then shrink (zoom_level.h)
//   32  int64   when the copy was taken, in milliseconds since 1970 (UTC)
//   40  uint32  bytes of the document's path (UTF-8); 0 for a document never saved
//   44  uint16  width, then height of the small picture
//   48          12 bytes, zero
//   60  uint32  CRC-32 of bytes 0-59
//   64  one zlib stream: the path, the 256-entry palette (1024 bytes), the entry alpha (256 bytes,
//       255 opaque; with flag 1), the small picture (blue, green, red, alpha; rows top-down), and
//       the rows as the program holds them (bottom-up, RowStride apart). Rows of 24 and 32 bits are
//       stored as each byte's difference to the same byte of the pixel on its left.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "document/image_buffer.h"
#include "document/undo_history.h"

// A document's image as a recovery file holds it.
struct RecoveryImage {
    ImageBlocks image;  // 8, 24 or 32 bits per pixel
    bool hasEntryAlpha = false;
    uint8_t entryAlpha[kPaletteEntries] = {};  // an 8-bit image's opacity per palette entry
    int32_t zoom = 1;
    int32_t shrink = 1;
    int64_t time = 0;  // milliseconds since 1970 (UTC)
    std::string path;  // UTF-8; empty for a document never saved
};

// What the recovery dialog shows of a file, read without its rows.
struct RecoveryInfo {
    int32_t width = 0;
    int32_t height = 0;
    int bitCount = 0;
    int64_t time = 0;
    std::string path;
    int pictureWidth = 0;
    int pictureHeight = 0;
    std::vector<uint8_t> picture;  // blue, green, red, alpha per pixel, rows top-down
};

// The small picture's longer side, in pixels (shorter for smaller images).
constexpr int kRecoveryPictureSize = 96;

enum class RecoveryStatus {
    Ok,
    CannotOpen,  // the file is gone or cannot be read
    Damaged,     // not a recovery file, or one cut short or altered
    NoMemory,
};

// Copies an image's header block, palette and rows (and the entry alpha when not null) for a
// recovery write. False, with nothing kept, when memory is short.
bool CopyForRecovery(const BITMAPINFOHEADER* header, const RGBQUAD* palette, const uint8_t* entryAlpha,
                     const uint8_t* bits, RecoveryImage* copy);

// Writes `copy` to `path`: a temporary file beside it (mode 0600) is written, synced and renamed
// over `path`, so `path` holds either its former contents or the whole new file. On failure the
// temporary file is removed and `error` says why; when `cancel` becomes set the write stops the same
// way with `error` empty.
bool WriteRecoveryFile(const std::string& path, const RecoveryImage& copy, std::string* error,
                       const std::atomic<bool>* cancel = nullptr);

// Gives the calling thread, the one that writes recovery files, the lowest priority: where the
// processor is short, the event loop gets it first and painting does not wait for the write.
void LowerWriterPriority();

// Reads a recovery file's description and, when `image` is not null, the image itself.
RecoveryStatus ReadRecovery(std::FILE* file, RecoveryInfo* info, RecoveryImage* image);
RecoveryStatus ReadRecoveryFile(const std::string& path, RecoveryInfo* info, RecoveryImage* image);
