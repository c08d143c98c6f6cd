#include "document/recovery_file.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <system_error>

#include "document/little_endian.h"

namespace {

constexpr char kMagic[8] = {'O', 'R', 'V', 'I', 'K', 'R', 'C', 'V'};
constexpr uint32_t kVersion = 1;
constexpr size_t kFileHeaderBytes = 64;
constexpr size_t kCheckedBytes = 60;
constexpr uint16_t kFlagEntryAlpha = 1;
constexpr uint32_t kMaxPathBytes = 65536;
constexpr int kCancelRows = 64;  // rows between looks at the cancel flag

int BytesPerPixel(int bitCount) {
    return bitCount / 8;
}

bool KnownDepth(int bitCount) {
    return bitCount == 8 || bitCount == 24 || bitCount == 32;
}

// The pixel of an image as blue, green, red, alpha.
void PixelBgra(const RecoveryImage& copy, int x, int row, uint8_t* out) {
    const BITMAPINFOHEADER& header = *copy.image.header;
    const uint8_t* p = copy.image.bits + static_cast<int64_t>(row) * header.biXPelsPerMeter +
                       static_cast<int64_t>(x) * BytesPerPixel(header.biBitCount);
    if (header.biBitCount == 8) {
        const RGBQUAD& entry = copy.image.palette[*p];
        out[0] = entry.rgbBlue;
        out[1] = entry.rgbGreen;
        out[2] = entry.rgbRed;
        out[3] = copy.hasEntryAlpha ? copy.entryAlpha[*p] : 255;
        return;
    }
    std::memcpy(out, p, 3);
    out[3] = header.biBitCount == 32 ? p[3] : 255;
}

// The small picture's size: the image's shape within kRecoveryPictureSize.
void PictureSize(int64_t width, int64_t height, int* pictureWidth, int* pictureHeight) {
    const int64_t longer = std::max(width, height);
    const int64_t side = std::min<int64_t>(longer, kRecoveryPictureSize);
    *pictureWidth = static_cast<int>(std::max<int64_t>(1, (width * side + longer / 2) / longer));
    *pictureHeight = static_cast<int>(std::max<int64_t>(1, (height * side + longer / 2) / longer));
}

// The picture by nearest neighbour, each sample from the middle of the pixels it stands for.
std::vector<uint8_t> MakePicture(const RecoveryImage& copy, int pictureWidth, int pictureHeight) {
    const int64_t width = copy.image.header->biWidth;
    const int64_t height = copy.image.header->biHeight;
    std::vector<uint8_t> picture(static_cast<size_t>(pictureWidth) * pictureHeight * 4);
    for (int y = 0; y < pictureHeight; ++y) {
        const int64_t sourceY = (2 * y + 1) * height / (2 * pictureHeight);
        const int row = static_cast<int>(height - 1 - sourceY);
        for (int x = 0; x < pictureWidth; ++x) {
            const int64_t sourceX = (2 * x + 1) * width / (2 * pictureWidth);
            PixelBgra(copy, static_cast<int>(sourceX), row,
                      &picture[(static_cast<size_t>(y) * pictureWidth + x) * 4]);
        }
    }
    return picture;
}

// Each byte minus the same byte of the pixel on its left, and back.
void DiffRow(const uint8_t* row, uint8_t* out, int64_t bytes, int step) {
    std::memcpy(out, row, static_cast<size_t>(std::min<int64_t>(step, bytes)));
    for (int64_t i = step; i < bytes; ++i)
        out[i] = static_cast<uint8_t>(row[i] - row[i - step]);
}

void UndiffRow(uint8_t* row, int64_t bytes, int step) {
    for (int64_t i = step; i < bytes; ++i)
        row[i] = static_cast<uint8_t>(row[i] + row[i - step]);
}

std::string ErrnoText(int error) {
    return std::system_category().message(error);
}

// Writes all of `data`; false with the reason in `error`.
bool WriteAll(int fd, const uint8_t* data, size_t bytes, int* error) {
    while (bytes > 0) {
        const ssize_t written = write(fd, data, bytes);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            *error = written < 0 ? errno : ENOSPC;
            return false;
        }
        data += written;
        bytes -= static_cast<size_t>(written);
    }
    return true;
}

// A zlib stream written to a file descriptor.
class CDeflateFile {
public:
    explicit CDeflateFile(int fd) : m_fd(fd) { m_ready = deflateInit(&m_stream, 1) == Z_OK; }
    ~CDeflateFile() {
        if (m_ready) deflateEnd(&m_stream);
    }
    CDeflateFile(const CDeflateFile&) = delete;
    CDeflateFile& operator=(const CDeflateFile&) = delete;

    bool Put(const void* data, size_t bytes) { return Run(data, bytes, Z_NO_FLUSH); }
    bool Finish() { return Run(nullptr, 0, Z_FINISH); }
    int Error() const { return m_error; }

private:
    bool Run(const void* data, size_t bytes, int flush) {
        if (!m_ready) {
            m_error = ENOMEM;
            return false;
        }
        m_stream.next_in = static_cast<Bytef*>(const_cast<void*>(data));
        m_stream.avail_in = static_cast<uInt>(bytes);
        int result = Z_OK;
        do {
            m_stream.next_out = m_out;
            m_stream.avail_out = sizeof m_out;
            result = deflate(&m_stream, flush);
            if (result == Z_STREAM_ERROR) {
                m_error = EIO;
                return false;
            }
            if (!WriteAll(m_fd, m_out, sizeof m_out - m_stream.avail_out, &m_error)) return false;
        } while (m_stream.avail_out == 0 || (flush == Z_FINISH && result != Z_STREAM_END));
        return true;
    }

    int m_fd;
    z_stream m_stream{};
    bool m_ready = false;
    int m_error = 0;
    uint8_t m_out[1 << 16];
};

// A zlib stream read from a file.
class CInflateFile {
public:
    explicit CInflateFile(std::FILE* file) : m_file(file) { m_ready = inflateInit(&m_stream) == Z_OK; }
    ~CInflateFile() {
        if (m_ready) inflateEnd(&m_stream);
    }
    CInflateFile(const CInflateFile&) = delete;
    CInflateFile& operator=(const CInflateFile&) = delete;

    // Exactly `bytes` bytes, or false.
    bool Get(void* data, size_t bytes) {
        if (bytes == 0) return true;
        return Inflate(data, bytes) && m_stream.avail_out == 0;
    }

    // The stream ends here, its check value matching.
    bool AtEnd() {
        uint8_t extra = 0;
        return m_ended || (Inflate(&extra, 1) && m_ended && m_stream.avail_out == 1);
    }

private:
    // Inflates into `data` until it is full or the stream ends; false on damage or a short file.
    bool Inflate(void* data, size_t bytes) {
        if (!m_ready || m_ended) return false;
        m_stream.next_out = static_cast<Bytef*>(data);
        m_stream.avail_out = static_cast<uInt>(bytes);
        while (m_stream.avail_out > 0) {
            if (m_stream.avail_in == 0) {
                const size_t got = std::fread(m_in, 1, sizeof m_in, m_file);
                if (got == 0) return false;
                m_stream.next_in = m_in;
                m_stream.avail_in = static_cast<uInt>(got);
            }
            const int result = inflate(&m_stream, Z_NO_FLUSH);
            if (result == Z_STREAM_END) {
                m_ended = true;
                return true;
            }
            if (result != Z_OK) return false;
        }
        return true;
    }

    std::FILE* m_file;
    z_stream m_stream{};
    bool m_ready = false;
    bool m_ended = false;
    uint8_t m_in[1 << 16];
};

struct FileHeader {
    uint32_t width = 0;
    uint32_t height = 0;
    uint16_t bitCount = 0;
    uint16_t flags = 0;
    int32_t zoom = 1;
    int32_t shrink = 1;
    int64_t time = 0;
    uint32_t pathBytes = 0;
    uint16_t pictureWidth = 0;
    uint16_t pictureHeight = 0;
};

void EncodeHeader(const FileHeader& h, uint8_t* out) {
    std::memset(out, 0, kFileHeaderBytes);
    std::memcpy(out, kMagic, sizeof kMagic);
    Put32(out + 8, kVersion);
    Put32(out + 12, h.width);
    Put32(out + 16, h.height);
    Put16(out + 20, h.bitCount);
    Put16(out + 22, h.flags);
    Put32(out + 24, static_cast<uint32_t>(h.zoom));
    Put32(out + 28, static_cast<uint32_t>(h.shrink));
    Put32(out + 32, static_cast<uint32_t>(static_cast<uint64_t>(h.time)));
    Put32(out + 36, static_cast<uint32_t>(static_cast<uint64_t>(h.time) >> 32));
    Put32(out + 40, h.pathBytes);
    Put16(out + 44, h.pictureWidth);
    Put16(out + 46, h.pictureHeight);
    Put32(out + kCheckedBytes, static_cast<uint32_t>(crc32(0, out, kCheckedBytes)));
}

bool DecodeHeader(const uint8_t* in, FileHeader* h) {
    if (std::memcmp(in, kMagic, sizeof kMagic) != 0 || Get32(in + 8) != kVersion) return false;
    if (Get32(in + kCheckedBytes) != static_cast<uint32_t>(crc32(0, in, kCheckedBytes))) return false;
    h->width = Get32(in + 12);
    h->height = Get32(in + 16);
    h->bitCount = Get16(in + 20);
    h->flags = Get16(in + 22);
    h->zoom = static_cast<int32_t>(Get32(in + 24));
    h->shrink = static_cast<int32_t>(Get32(in + 28));
    h->time = static_cast<int64_t>(uint64_t{Get32(in + 32)} | uint64_t{Get32(in + 36)} << 32);
    h->pathBytes = Get32(in + 40);
    h->pictureWidth = Get16(in + 44);
    h->pictureHeight = Get16(in + 46);
    // Everything the reader allocates from is within the model's limits.
    if (h->width < 1 || h->height < 1 || h->width > kMaxImageDimension || h->height > kMaxImageDimension)
        return false;
    if (!KnownDepth(h->bitCount) || (h->flags & ~kFlagEntryAlpha) != 0) return false;
    if (RowStride(h->width, h->bitCount) * h->height > kMaxPixelBlockBytes) return false;
    if (h->pathBytes > kMaxPathBytes) return false;
    int pictureWidth = 0;
    int pictureHeight = 0;
    PictureSize(h->width, h->height, &pictureWidth, &pictureHeight);
    return h->pictureWidth == pictureWidth && h->pictureHeight == pictureHeight;
}

bool WriteContents(int fd, const RecoveryImage& copy, const std::atomic<bool>* cancel, int* error) {
    const BITMAPINFOHEADER& image = *copy.image.header;
    FileHeader h;
    h.width = static_cast<uint32_t>(image.biWidth);
    h.height = static_cast<uint32_t>(image.biHeight);
    h.bitCount = image.biBitCount;
    h.flags = copy.hasEntryAlpha ? kFlagEntryAlpha : 0;
    h.zoom = copy.zoom;
    h.shrink = copy.shrink;
    h.time = copy.time;
    h.pathBytes = static_cast<uint32_t>(std::min<size_t>(copy.path.size(), kMaxPathBytes));
    int pictureWidth = 0;
    int pictureHeight = 0;
    PictureSize(image.biWidth, image.biHeight, &pictureWidth, &pictureHeight);
    h.pictureWidth = static_cast<uint16_t>(pictureWidth);
    h.pictureHeight = static_cast<uint16_t>(pictureHeight);
    uint8_t header[kFileHeaderBytes];
    EncodeHeader(h, header);

    CDeflateFile out(fd);
    const auto failed = [&] {
        *error = out.Error();
        return false;
    };
    if (!WriteAll(fd, header, sizeof header, error)) return false;
    const std::vector<uint8_t> picture = MakePicture(copy, pictureWidth, pictureHeight);
    if (!out.Put(copy.path.data(), h.pathBytes) || !out.Put(copy.image.palette, kPaletteBytes) ||
        (copy.hasEntryAlpha && !out.Put(copy.entryAlpha, kPaletteEntries)) ||
        !out.Put(picture.data(), picture.size()))
        return failed();
    const int step = BytesPerPixel(image.biBitCount);
    const int64_t stride = image.biXPelsPerMeter;
    std::vector<uint8_t> diffs(step > 1 ? static_cast<size_t>(stride) : 0);
    for (int row = 0; row < image.biHeight; ++row) {
        if (cancel && row % kCancelRows == 0 && cancel->load()) {
            *error = 0;
            return false;
        }
        const uint8_t* bits = copy.image.bits + row * stride;
        if (step > 1) {
            DiffRow(bits, diffs.data(), stride, step);
            bits = diffs.data();
        }
        if (!out.Put(bits, static_cast<size_t>(stride))) return failed();
    }
    if (!out.Finish()) return failed();
    if (fsync(fd) != 0) {
        *error = errno;
        return false;
    }
    return true;
}

// The folder part of a path ("." when it has none).
std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, std::max<size_t>(slash, 1));
}

}  // namespace

bool CopyForRecovery(const BITMAPINFOHEADER* header, const RGBQUAD* palette, const uint8_t* entryAlpha,
                     const uint8_t* bits, RecoveryImage* copy) {
    ImageBlocks blocks;
    if (!blocks.CopyHeader(header, palette)) return false;
    const auto bytes = static_cast<size_t>(header->biXPelsPerMeter) * static_cast<size_t>(header->biHeight);
    blocks.bits = static_cast<uint8_t*>(std::malloc(std::max<size_t>(bytes, 1)));
    if (!blocks.bits) return false;
    std::memcpy(blocks.bits, bits, bytes);
    copy->image = std::move(blocks);
    copy->hasEntryAlpha = entryAlpha != nullptr;
    if (entryAlpha) std::memcpy(copy->entryAlpha, entryAlpha, kPaletteEntries);
    return true;
}

bool WriteRecoveryFile(const std::string& path, const RecoveryImage& copy, std::string* error,
                       const std::atomic<bool>* cancel) {
    const std::string temporary = path + ".tmp";
    unlink(temporary.c_str());  // left by a write that was cut short
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        *error = ErrnoText(errno);
        return false;
    }
    int failure = 0;
    bool ok = WriteContents(fd, copy, cancel, &failure);
    if (close(fd) != 0 && ok) {
        ok = false;
        failure = errno;
    }
    if (ok && rename(temporary.c_str(), path.c_str()) != 0) {
        ok = false;
        failure = errno;
    }
    if (!ok) {
        unlink(temporary.c_str());
        *error = failure ? ErrnoText(failure) : std::string();
        return false;
    }
    // The new name must reach the disk as well.
    const int folder = open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
    error->clear();
    return true;
}

void LowerWriterPriority() {
    // On Linux the nice value belongs to the thread.
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 19);
}

RecoveryStatus ReadRecovery(std::FILE* file, RecoveryInfo* info, RecoveryImage* image) {
    uint8_t bytes[kFileHeaderBytes];
    FileHeader h;
    if (std::fread(bytes, 1, sizeof bytes, file) != sizeof bytes || !DecodeHeader(bytes, &h))
        return RecoveryStatus::Damaged;
    CInflateFile in(file);
    RecoveryInfo read;
    read.width = static_cast<int32_t>(h.width);
    read.height = static_cast<int32_t>(h.height);
    read.bitCount = h.bitCount;
    read.time = h.time;
    read.pictureWidth = h.pictureWidth;
    read.pictureHeight = h.pictureHeight;
    read.path.resize(h.pathBytes);
    read.picture.resize(static_cast<size_t>(h.pictureWidth) * h.pictureHeight * 4);
    RGBQUAD palette[kPaletteEntries];
    uint8_t entryAlpha[kPaletteEntries];
    const bool hasEntryAlpha = (h.flags & kFlagEntryAlpha) != 0;
    if (!in.Get(read.path.data(), read.path.size()) || !in.Get(palette, kPaletteBytes) ||
        (hasEntryAlpha && !in.Get(entryAlpha, kPaletteEntries)) ||
        !in.Get(read.picture.data(), read.picture.size()))
        return RecoveryStatus::Damaged;

    if (image) {
        ImageBlocks blocks(MakeHeaderBlock(h.width, h.height, h.bitCount), nullptr, nullptr);
        if (!blocks.header) return RecoveryStatus::NoMemory;
        blocks.palette = h.bitCount == 8 ? HeaderPalette(blocks.header)
                                         : static_cast<RGBQUAD*>(std::malloc(kPaletteBytes));
        const int64_t stride = blocks.header->biXPelsPerMeter;
        blocks.bits = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(stride) * h.height));
        if (!blocks.palette || !blocks.bits) return RecoveryStatus::NoMemory;
        std::memcpy(blocks.palette, palette, kPaletteBytes);
        const int step = BytesPerPixel(h.bitCount);
        for (uint32_t row = 0; row < h.height; ++row) {
            uint8_t* bits = blocks.bits + row * stride;
            if (!in.Get(bits, static_cast<size_t>(stride))) return RecoveryStatus::Damaged;
            if (step > 1) UndiffRow(bits, stride, step);
        }
        if (!in.AtEnd()) return RecoveryStatus::Damaged;
        image->image = std::move(blocks);
        image->hasEntryAlpha = hasEntryAlpha;
        if (hasEntryAlpha) std::memcpy(image->entryAlpha, entryAlpha, kPaletteEntries);
        image->zoom = h.zoom;
        image->shrink = h.shrink;
        image->time = h.time;
        image->path = read.path;
    }
    if (info) *info = std::move(read);
    return RecoveryStatus::Ok;
}

RecoveryStatus ReadRecoveryFile(const std::string& path, RecoveryInfo* info, RecoveryImage* image) {
    std::FILE* file = std::fopen(path.c_str(), "rbe");
    if (!file) return RecoveryStatus::CannotOpen;
    const RecoveryStatus status = ReadRecovery(file, info, image);
    std::fclose(file);
    return status;
}
