// What the codecs share: little-endian fields, reading a file, the blocks a reader hands over,
// the checks a writer makes, and writing a file so that it replaces its target only when complete.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "document/image_buffer.h"
#include "document/little_endian.h"

namespace imgkit {

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
// A malloc'd block released with free.
using Buffer = std::unique_ptr<uint8_t[], FreeDeleter>;

// A regular file opened for reading. Every read is all or nothing.
class InputFile {
public:
    InputFile() = default;
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Fails for anything but a regular file (a pipe or a device could block or never end).
    bool Open(const char* path);
    int64_t Size() const { return m_size; }
    // Reads exactly n bytes at offset; false when the file is shorter or the read fails.
    bool ReadAt(int64_t offset, void* dst, size_t n) const;
    // Reads the n bytes at offset into a new buffer; null on failure.
    Buffer ReadBuffer(int64_t offset, size_t n) const;

private:
    int m_fd = -1;
    int64_t m_size = 0;
};

// The blocks a reader builds: the header block (with the colour table for 8 bits) and the rows.
// They are freed on destruction unless handed over with Release.
class DecodedImage {
public:
    DecodedImage() = default;
    ~DecodedImage();
    DecodedImage(const DecodedImage&) = delete;
    DecodedImage& operator=(const DecodedImage&) = delete;

    // Checks the size against the model's limits first; allocates only when it fits. 8 or 24 bits.
    bool Allocate(int64_t width, int64_t height, int bitCount);

    BITMAPINFOHEADER* Header() const { return m_header; }
    RGBQUAD* Palette() const { return HeaderPalette(m_header); }  // 8 bits only
    uint8_t* Bits() const { return m_bits; }
    uint8_t* Row(int64_t row) const { return m_bits + row * m_stride; }
    int64_t Stride() const { return m_stride; }
    int64_t Width() const { return m_header->biWidth; }
    int64_t Height() const { return m_header->biHeight; }

    // Hands the blocks to the caller: stores the rows and the colour table (null for 24 bits).
    BITMAPINFOHEADER* Release(uint8_t** bits, RGBQUAD** palette);

private:
    BITMAPINFOHEADER* m_header = nullptr;
    uint8_t* m_bits = nullptr;
    int64_t m_stride = 0;
};

// True when a writer can take this image: rows present, a header the model describes, and a palette
// where the format needs one.
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
