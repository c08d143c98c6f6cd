#include "imgkit/codec_io.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

namespace imgkit {

Status StatusOf(ImageStatus status) {
    switch (status) {
        case ImageStatus::Ok:
            return Status::Ok;
        case ImageStatus::NoMemory:
            return Status::NoMemory;
        case ImageStatus::TooLarge:
            return Status::TooLarge;
        case ImageStatus::BadSize:
        case ImageStatus::BadDepth:
            break;
    }
    return Status::Damaged;
}

void Progress::SetRange(int from, int to) {
    m_from = from;
    m_to = to;
}

void Progress::Report(int64_t done, int64_t total) {
    if (!m_function || total <= 0) return;
    const int64_t part = done >= total ? 100 : done <= 0 ? 0 : done * 100 / total;
    const int percent = m_from + static_cast<int>((m_to - m_from) * part / 100);
    if (percent <= m_last) return;
    m_last = percent;
    m_function(m_context, percent);
}

InputFile::~InputFile() {
    if (m_fd >= 0) close(m_fd);
}

void InputFile::OpenMemory(const uint8_t* data, int64_t n) {
    m_memory = data;
    m_size = n;
}

const uint8_t* InputFile::ReadAll(Buffer* storage, int64_t limit) const {
    if (m_size > limit) return nullptr;
    if (m_memory) return m_memory;
    *storage = ReadBuffer(0, static_cast<size_t>(m_size));
    return storage->get();
}

size_t ByteReader::Read(void* dst, size_t n) {
    auto* out = static_cast<uint8_t*>(dst);
    size_t done = 0;
    while (done < n) {
        if (m_used == m_filled && !Fill()) break;
        const size_t take = std::min(n - done, m_filled - m_used);
        std::memcpy(out + done, m_buffer + m_used, take);
        m_used += take;
        done += take;
    }
    return done;
}

bool ByteReader::Fill() {
    m_offset += static_cast<int64_t>(m_filled);
    m_used = m_filled = 0;
    const int64_t left = m_file.Size() - m_offset;
    if (left <= 0) return false;
    const size_t chunk = left < static_cast<int64_t>(kBytes) ? static_cast<size_t>(left) : kBytes;
    if (!m_file.ReadAt(m_offset, m_buffer, chunk)) return false;
    m_filled = chunk;
    return true;
}

bool InputFile::Open(const char* path) {
    if (!path || !*path) return false;
    // Non-blocking so that opening a FIFO does not wait for a writer; regular files ignore the flag.
    m_fd = open(path, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (m_fd < 0) return false;
    struct stat st {};
    if (fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(m_fd);
        m_fd = -1;
        return false;
    }
    m_size = st.st_size;
    return true;
}

bool InputFile::ReadAt(int64_t offset, void* dst, size_t n) const {
    if (offset < 0 || offset > m_size || n > static_cast<uint64_t>(m_size - offset)) return false;
    if (m_memory) {
        if (n) std::memcpy(dst, m_memory + offset, n);
        return true;
    }
    if (m_fd < 0) return false;
    auto* out = static_cast<uint8_t*>(dst);
    while (n > 0) {
        const size_t chunk = n < (size_t{1} << 30) ? n : (size_t{1} << 30);
        const ssize_t got = pread(m_fd, out, chunk, offset);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;  // an error, or the file shrank under us
        out += got;
        offset += got;
        n -= static_cast<size_t>(got);
    }
    return true;
}

Buffer InputFile::ReadBuffer(int64_t offset, size_t n) const {
    Buffer buffer(static_cast<uint8_t*>(std::malloc(n ? n : 1)));
    if (!buffer || !ReadAt(offset, buffer.get(), n)) return nullptr;
    return buffer;
}

namespace {

// A large block is first touched by the decoder, one page fault per 4 KiB page; asking for huge pages
// (where the system grants them) makes that a fault per 2 MiB. Only a hint: nothing changes if the
// request is refused. The environment variable IMGKIT_HUGE_PAGES (1 or 0) overrides the default,
// for measuring both ways (bench_open).
constexpr bool kHugePagesByDefault = true;

bool UseHugePages() {
    const char* setting = std::getenv("IMGKIT_HUGE_PAGES");
    if (setting && *setting) return *setting == '1';
    return kHugePagesByDefault;
}

void AdviseHugePages(void* block, size_t bytes) {
    constexpr uintptr_t kHugePage = uintptr_t{2} << 20;
    if (bytes < 4 * kHugePage || !UseHugePages()) return;
    const uintptr_t start = (reinterpret_cast<uintptr_t>(block) + kHugePage - 1) & ~(kHugePage - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(block) + bytes) & ~(kHugePage - 1);
    if (end > start) madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
}

}  // namespace

DecodedImage::~DecodedImage() {
    std::free(m_header);
    std::free(m_bits);
    std::free(m_entryAlpha);
}

Status DecodedImage::Allocate(int64_t width, int64_t height, int bitCount) {
    if (m_header) return Status::BadImage;
    if (width < 1 || height < 1) return Status::Damaged;
    if (width > kMaxImageDimension || height > kMaxImageDimension) return Status::TooLarge;
    const Status status = StatusOf(AllocateImage(width, height, bitCount, &m_header, &m_bits));
    if (status != Status::Ok) return status;
    m_stride = m_header->biXPelsPerMeter;
    m_height = height;
    AdviseHugePages(m_bits, m_header->biSizeImage);
    return Status::Ok;
}

uint8_t* DecodedImage::EntryAlpha() {
    if (!m_entryAlpha) {
        m_entryAlpha = static_cast<uint8_t*>(std::malloc(kPaletteEntries));
        if (m_entryAlpha) std::memset(m_entryAlpha, 255, kPaletteEntries);
    }
    return m_entryAlpha;
}

Status DecodedImage::DropAlpha() {
    if (!m_header || m_header->biBitCount != 32) return Status::Ok;
    const int64_t width = Width();
    int64_t stride = 0;
    int64_t blockBytes = 0;
    if (CheckImageSize(width, m_height, 24, &stride, &blockBytes) != ImageStatus::Ok) return Status::TooLarge;
    // In memory order: a row's three-byte pixels never reach past what of its four-byte pixels has
    // been read.
    for (int64_t row = 0; row < m_height; ++row) {
        const uint8_t* in = m_bits + row * m_stride;
        uint8_t* out = m_bits + row * stride;
        for (int64_t x = 0; x < width; ++x) {
            const uint8_t blue = in[4 * x], green = in[4 * x + 1], red = in[4 * x + 2];
            out[3 * x] = blue;
            out[3 * x + 1] = green;
            out[3 * x + 2] = red;
        }
        std::memset(out + 3 * width, 0, static_cast<size_t>(stride - 3 * width));
    }
    if (auto* smaller = static_cast<uint8_t*>(std::realloc(m_bits, static_cast<size_t>(blockBytes))))
        m_bits = smaller;
    m_stride = stride;
    m_header->biBitCount = 24;
    m_header->biXPelsPerMeter = static_cast<int32_t>(stride);
    m_header->biSizeImage = static_cast<uint32_t>(blockBytes);
    return Status::Ok;
}

BITMAPINFOHEADER* DecodedImage::Release(uint8_t** bits, RGBQUAD** palette) {
    if (!m_header || !bits || !palette) return nullptr;
    BITMAPINFOHEADER* header = m_header;
    *bits = m_bits;
    *palette = header->biBitCount == 8 ? HeaderPalette(header) : nullptr;
    m_header = nullptr;
    m_bits = nullptr;
    return header;
}

void DecodedImage::Release(ImgkitPicture* picture) {
    bool opaque = true;
    for (int i = 0; m_entryAlpha && i < kPaletteEntries; ++i)
        opaque = opaque && m_entryAlpha[i] == 255;
    if (opaque || !m_header || m_header->biBitCount != 8) {
        std::free(m_entryAlpha);
        m_entryAlpha = nullptr;
    }
    picture->entryAlpha = m_entryAlpha;
    m_entryAlpha = nullptr;
    picture->header = Release(&picture->bits, &picture->palette);
}

bool IsWritableImage(const uint8_t* bits, const BITMAPINFOHEADER& header, const RGBQUAD* palette,
                     bool needsPalette) {
    return bits && (header.biBitCount == 8 || header.biBitCount == 24) && IsModelHeader(header) &&
           (palette || !needsPalette);
}

int UsedIndices(const WriteJob& job, bool used[kPaletteEntries]) {
    std::memset(used, 0, kPaletteEntries);
    for (int64_t y = 0; y < job.Height(); ++y) {
        const uint8_t* row = job.bits + y * job.Stride();
        for (int64_t x = 0; x < job.Width(); ++x)
            used[row[x]] = true;
    }
    int highest = 0;
    for (int i = 0; i < kPaletteEntries; ++i)
        if (used[i]) highest = i;
    return highest;
}

int PaletteLength(const RGBQUAD* palette) {
    int length = 0;
    for (int i = 0; i < kPaletteEntries; ++i) {
        const RGBQUAD& c = palette[i];
        if (c.rgbRed || c.rgbGreen || c.rgbBlue) length = i + 1;
    }
    return length;
}

bool IsGreyRamp(const RGBQUAD* palette) {
    for (int i = 0; i < kPaletteEntries; ++i) {
        const RGBQUAD& c = palette[i];
        if (c.rgbRed != i || c.rgbGreen != i || c.rgbBlue != i) return false;
    }
    return true;
}

namespace {

constexpr size_t kWriteChunk = size_t{2} << 20;

// A name no other file in the folder has yet is found by O_EXCL; the random part only keeps the
// number of attempts small.
uint64_t RandomNumber() {
    static uint64_t counter = 0;
    uint64_t value = 0;
    if (getrandom(&value, sizeof value, GRND_NONBLOCK) != sizeof value)
        value = (static_cast<uint64_t>(getpid()) << 32) ^ ++counter ^ reinterpret_cast<uintptr_t>(&value);
    return value;
}

}  // namespace

OutputFile::~OutputFile() {
    Discard();
}

bool OutputFile::Create(const char* path, int64_t expectedBytes) {
    if (!path || !*path || m_fd >= 0) return false;
    m_target = path;
    struct stat st {};
    bool exists = false;
    if (lstat(path, &st) == 0) {
        if (S_ISLNK(st.st_mode)) {
            // Saving through a link replaces the file it points at, not the link.
            char resolved[PATH_MAX];
            if (realpath(path, resolved)) m_target = resolved;
        }
        exists = stat(m_target.c_str(), &st) == 0;
        // Never replace a folder, a device or a pipe with a picture.
        if (exists && !S_ISREG(st.st_mode)) return false;
    }

    const size_t slash = m_target.rfind('/');
    const std::string prefix = slash == std::string::npos ? "" : m_target.substr(0, slash + 1);
    for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
        char name[40];
        std::snprintf(name, sizeof name, ".imgkit-%016llx.tmp",
                      static_cast<unsigned long long>(RandomNumber()));
        m_temp = prefix + name;
        m_fd = open(m_temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (m_fd < 0 && errno != EEXIST) break;
    }
    if (m_fd < 0) {
        m_temp.clear();
        return false;
    }
    if (exists) fchmod(m_fd, st.st_mode & 0777);
    // Reserving the space at once is quicker than block by block, and finds a full disk before any
    // writing. File systems without the call just go on.
    if (expectedBytes > 0 && fallocate(m_fd, 0, 0, expectedBytes) != 0 && errno != EOPNOTSUPP) {
        m_failed = true;
        return false;
    }
    return true;
}

bool OutputFile::Write(const void* data, size_t n) {
    if (m_fd < 0 || m_failed) return false;
    const auto* in = static_cast<const uint8_t*>(data);
    while (n > 0) {
        const size_t chunk = n < kWriteChunk ? n : kWriteChunk;
        const ssize_t done = write(m_fd, in, chunk);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) {
            m_failed = true;  // a full disk, a quota, an I/O error
            return false;
        }
        in += done;
        n -= static_cast<size_t>(done);
        m_written += done;
        // Start writing what is complete to disk while the rest is still being copied, so that the
        // flush in Commit has less left to wait for.
        if (m_written - m_flushed >= static_cast<int64_t>(kWriteChunk)) {
            sync_file_range(m_fd, m_flushed, m_written - m_flushed, SYNC_FILE_RANGE_WRITE);
            m_flushed = m_written;
        }
    }
    return true;
}

bool OutputFile::Commit() {
    if (m_fd < 0 || m_failed) return false;
    const bool written = fsync(m_fd) == 0;
    const bool closed = close(m_fd) == 0;
    m_fd = -1;
    if (!written || !closed || rename(m_temp.c_str(), m_target.c_str()) != 0) {
        Discard();
        return false;
    }
    m_temp.clear();
    // Make the new name itself durable.
    const size_t slash = m_target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : m_target.substr(0, slash + 1);
    const int dirFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        fsync(dirFd);
        close(dirFd);
    }
    return true;
}

void OutputFile::Discard() {
    if (m_fd >= 0) close(m_fd);
    m_fd = -1;
    if (!m_temp.empty()) unlink(m_temp.c_str());
    m_temp.clear();
}

}  // namespace imgkit
