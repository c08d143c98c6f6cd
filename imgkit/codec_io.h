// What the codecs share: little-endian fields, reading a file, the blocks a reader hands over,
// the progress reports, the checks a writer makes, and writing a file so that it replaces its target
// only when complete.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "document/image_buffer.h"
#include "document/little_endian.h"
#include "imgkit/imgkit.h"

namespace imgkit {

// Why a read or a write failed; the values of imgkit.h's IMGKIT_ codes.
enum class Status : int {
    Ok = IMGKIT_OK,
    CannotOpen = IMGKIT_CANNOT_OPEN,
    Empty = IMGKIT_EMPTY,
    UnknownFormat = IMGKIT_UNKNOWN_FORMAT,
    Damaged = IMGKIT_DAMAGED,
    Unsupported = IMGKIT_UNSUPPORTED,
    TooLarge = IMGKIT_TOO_LARGE,
    NoMemory = IMGKIT_NO_MEMORY,
    WriteFailed = IMGKIT_WRITE_FAILED,
    BadImage = IMGKIT_BAD_IMAGE,
};

// The status of a size that the image model refuses or cannot allocate.
Status StatusOf(ImageStatus status);

// Whole percentages for the caller's progress function, each reported once and never going back.
// A part of a longer job reports into its share of the range.
class Progress {
public:
    Progress() = default;
    Progress(ImgkitProgress function, void* context) : m_function(function), m_context(context) {}
    // `done` of `total` steps of the part between `from` and `to` percent.
    void Report(int64_t done, int64_t total);
    // The following reports fill the range from..to.
    void SetRange(int from, int to);

private:
    ImgkitProgress m_function = nullptr;
    void* m_context = nullptr;
    int m_from = 0;
    int m_to = 100;
    int m_last = -1;
};

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
// A malloc'd block released with free.
using Buffer = std::unique_ptr<uint8_t[], FreeDeleter>;

// A regular file opened for reading, or a block of memory read as a file (a picture inside another
// file). Every read is all or nothing.
class InputFile {
public:
    InputFile() = default;
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Fails for anything but a regular file (a pipe or a device could block or never end).
    bool Open(const char* path);
    // The n bytes at data, which must outlive this object.
    void OpenMemory(const uint8_t* data, int64_t n);
    int64_t Size() const { return m_size; }
    // Reads exactly n bytes at offset; false when the file is shorter or the read fails.
    bool ReadAt(int64_t offset, void* dst, size_t n) const;
    // Reads the n bytes at offset into a new buffer; null on failure.
    Buffer ReadBuffer(int64_t offset, size_t n) const;
    // The whole file in memory: the block itself for a memory file, otherwise a new buffer in
    // `storage`. Null when it cannot be read or is larger than `limit` bytes.
    const uint8_t* ReadAll(Buffer* storage, int64_t limit) const;

private:
    int m_fd = -1;
    const uint8_t* m_memory = nullptr;
    int64_t m_size = 0;
};

// Sequential reading through a buffer: many small reads without a system call each.
class ByteReader {
public:
    explicit ByteReader(const InputFile& file, int64_t offset = 0) : m_file(file), m_offset(offset) {}
    // Up to n bytes; how many were read (fewer only at the end of the file or on an error).
    size_t Read(void* dst, size_t n);
    // Exactly n bytes, or false.
    bool ReadExactly(void* dst, size_t n) { return Read(dst, n) == n; }
    // The next byte, or -1 at the end.
    int Next() {
        if (m_used == m_filled && !Fill()) return -1;
        return m_buffer[m_used++];
    }
    // Where the next byte lies in the file.
    int64_t Offset() const { return m_offset + static_cast<int64_t>(m_used); }

private:
    bool Fill();

    static constexpr size_t kBytes = size_t{1} << 16;
    const InputFile& m_file;
    int64_t m_offset;  // where m_buffer[0] lies in the file
    size_t m_used = 0;
    size_t m_filled = 0;
    uint8_t m_buffer[kBytes];
};

// The blocks a reader builds: the header block (with the colour table for 8 bits), the rows and,
// for 8 bits, the opacity of each palette entry. They are freed on destruction unless handed over.
class DecodedImage {
public:
    DecodedImage() = default;
    ~DecodedImage();
    DecodedImage(const DecodedImage&) = delete;
    DecodedImage& operator=(const DecodedImage&) = delete;

    // Checks the size against the model's limits first; allocates only when it fits. 8, 24 or 32
    // bits (blue, green, red, alpha).
    Status Allocate(int64_t width, int64_t height, int bitCount);

    bool Allocated() const { return m_header != nullptr; }
    BITMAPINFOHEADER* Header() const { return m_header; }
    RGBQUAD* Palette() const { return HeaderPalette(m_header); }  // 8 bits only
    uint8_t* Bits() const { return m_bits; }
    int BitCount() const { return m_header->biBitCount; }
    // A row in memory order (0 = the first row of the block).
    uint8_t* Row(int64_t row) const { return m_bits + row * m_stride; }
    // A row of the picture counted from its top, wherever the row order puts it.
    uint8_t* Line(int64_t y) const { return Row(m_topDown ? y : m_height - 1 - y); }
    int64_t Stride() const { return m_stride; }
    int64_t Width() const { return m_header->biWidth; }
    int64_t Height() const { return m_height; }
    // Rows are stored top row first (the order LoadPCX and ReadJpeg deliver); bottom-up otherwise.
    void SetTopDown(bool topDown) { m_topDown = topDown; }
    bool TopDown() const { return m_topDown; }

    // The 256 opacities of an 8-bit image's entries, made on first use with every entry opaque.
    uint8_t* EntryAlpha();
    // A 32-bit image becomes a 24-bit one with the same colours (the alpha bytes are dropped).
    Status DropAlpha();

    // Hands the blocks to the caller: stores the rows and the colour table (null for 24 bits).
    // Entry opacities are dropped.
    BITMAPINFOHEADER* Release(uint8_t** bits, RGBQUAD** palette);
    // Hands every block to the caller; the opacities only when some entry is not opaque.
    void Release(ImgkitPicture* picture);

private:
    BITMAPINFOHEADER* m_header = nullptr;
    uint8_t* m_bits = nullptr;
    uint8_t* m_entryAlpha = nullptr;
    int64_t m_stride = 0;
    int64_t m_height = 0;
    bool m_topDown = false;
};

// What a reader makes of a file beside the picture.
struct ReadJob {
    DecodedImage image;
    Progress progress;
    // Transparency as the file has it (alpha channel, entry opacities). The old readers' callers
    // get it composited over white instead, where the reader supports that.
    bool keepAlpha = true;
    int frames = 1;
    uint32_t flags = 0;  // IMGKIT_READ_ flags
};

// One format's reader: the file (already known to be of its format) into job.image.
using FormatReader = Status (*)(const InputFile& file, ReadJob& job);

Status ReadBmpImage(const InputFile& file, ReadJob& job);
Status ReadPcxImage(const InputFile& file, ReadJob& job);
Status ReadJpegImage(const InputFile& file, ReadJob& job);
Status ReadPngImage(const InputFile& file, ReadJob& job);
Status ReadGifImage(const InputFile& file, ReadJob& job);
Status ReadTiffImage(const InputFile& file, ReadJob& job);
Status ReadWebpImage(const InputFile& file, ReadJob& job);
Status ReadTgaImage(const InputFile& file, ReadJob& job);
Status ReadIcoImage(const InputFile& file, ReadJob& job);
Status ReadPnmImage(const InputFile& file, ReadJob& job);

// The image handed to a writer, already checked against the model.
struct WriteJob {
    const uint8_t* bits;
    const BITMAPINFOHEADER* header;
    const RGBQUAD* palette;     // 256 entries for 8 bits; may be null for 24 and 32
    const uint8_t* entryAlpha;  // 8 bits only; null when every entry is opaque
    ImgkitWriteOptions options;
    Progress progress;

    int64_t Width() const { return header->biWidth; }
    int64_t Height() const { return header->biHeight; }
    int64_t Stride() const { return header->biXPelsPerMeter; }
    int BitCount() const { return header->biBitCount; }
    // A row of the picture counted from its top.
    const uint8_t* Line(int64_t y) const { return bits + (Height() - 1 - y) * Stride(); }
};

using FormatWriter = Status (*)(const char* path, WriteJob& job);

Status WriteBmpImage(const char* path, WriteJob& job);
Status WritePcxImage(const char* path, WriteJob& job);
Status WriteJpegImage(const char* path, WriteJob& job);
Status WritePngImage(const char* path, WriteJob& job);
Status WriteGifImage(const char* path, WriteJob& job);
Status WriteTiffImage(const char* path, WriteJob& job);
Status WriteWebpImage(const char* path, WriteJob& job);
Status WriteTgaImage(const char* path, WriteJob& job);
Status WriteIcoImage(const char* path, WriteJob& job);
Status WritePnmImage(const char* path, WriteJob& job);

// Marks the palette entries the pixels of an 8-bit image use; returns the highest index used.
int UsedIndices(const WriteJob& job, bool used[kPaletteEntries]);
// The entries up to the last one that is not black: what a file must hold so that a reader, which
// makes missing entries black, gets the whole palette back.
int PaletteLength(const RGBQUAD* palette);
// True when entry i of the palette is the grey (i, i, i) for every i.
bool IsGreyRamp(const RGBQUAD* palette);

// True when a writer of the first codec interface can take this image: rows present, a header of
// 8 or 24 bits the model describes, and a palette where the format needs one.
bool IsWritableImage(const uint8_t* bits, const BITMAPINFOHEADER& header, const RGBQUAD* palette,
                     bool needsPalette);

// A new file that replaces its target only when Commit succeeds. It is written under a temporary
// name in the target's folder (the folder of the real file when the target is a symbolic link),
// then flushed to disk and renamed over the target. An existing target keeps its permission bits.
// Until Commit, or when Commit fails, the temporary file is removed and the target is untouched.
class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // expectedBytes, when known, is the size the file will have.
    bool Create(const char* path, int64_t expectedBytes = 0);
    bool Write(const void* data, size_t n);
    bool Commit();
    // The file descriptor of the temporary file, for libraries that write through one themselves
    // (-1 before Create).
    int Descriptor() const { return m_fd; }
    // Bytes written so far.
    int64_t Written() const { return m_written; }

private:
    void Discard();

    int m_fd = -1;
    bool m_failed = false;
    int64_t m_written = 0;  // bytes in the file
    int64_t m_flushed = 0;  // bytes already handed to the disk
    std::string m_target;   // the file that is replaced
    std::string m_temp;     // the file being written
};

}  // namespace imgkit
