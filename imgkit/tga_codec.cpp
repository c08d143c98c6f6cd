// TGA (Truevision), read and written here.
//
// Read: colour-mapped (8-bit indices into a map of 15, 16, 24 or 32-bit entries, starting at any
// first index), true colour of 15, 16, 24 or 32 bits and greyscale of 8 bits or 16 (grey and alpha),
// uncompressed or run-length encoded (runs may cross rows), rows bottom-up or top-down, right to
// left or left to right. A colour-mapped file gives an 8-bit image whose indices are the file's own
// (the palette holds the map at its indices), with the opacities of 32-bit map entries; 32-bit
// pixels and grey with alpha give a 32-bit image. Alpha that the file's extension area calls
// meaningless, or that is 0 everywhere (what writers of opaque pictures often leave), is dropped.
//
// Written: run-length encoded, bottom row first, with the version 2 footer: 8 bits colour-mapped
// (a 24-bit map of 256 entries, or a 32-bit one when some entry is not opaque), 24 bits and 32 bits
// true colour.
#include <algorithm>
#include <cstring>

#include "imgkit/codec_io.h"

namespace imgkit {
namespace {

constexpr int kHeaderBytes = 18;
constexpr int kFooterBytes = 26;
constexpr int kExtensionBytes = 495;
constexpr char kSignature[] = "TRUEVISION-XFILE.";  // 18 bytes with its zero

struct TgaInfo {
    int idLength = 0;
    int mapType = 0;
    int type = 0;
    int mapFirst = 0;
    int mapLength = 0;
    int mapBits = 0;
    int64_t width = 0;
    int64_t height = 0;
    int depth = 0;
    int alphaBits = 0;
    bool rightToLeft = false;
    bool topDown = false;

    bool Mapped() const { return type == 1 || type == 9; }
    bool Grey() const { return type == 3 || type == 11; }
    bool Rle() const { return type >= 9; }
    int PixelBytes() const { return (depth + 7) / 8; }
};

TgaInfo ParseHeader(const uint8_t* h) {
    TgaInfo info;
    info.idLength = h[0];
    info.mapType = h[1];
    info.type = h[2];
    info.mapFirst = Get16(h + 3);
    info.mapLength = Get16(h + 5);
    info.mapBits = h[7];
    info.width = Get16(h + 12);
    info.height = Get16(h + 14);
    info.depth = h[16];
    info.alphaBits = h[17] & 15;
    info.rightToLeft = (h[17] & 0x10) != 0;
    info.topDown = (h[17] & 0x20) != 0;
    return info;
}

// 5-5-5 colour to blue, green, red.
void Colour16(const uint8_t* p, uint8_t* out) {
    const unsigned v = Get16(p);
    const auto scale = [](unsigned c) { return static_cast<uint8_t>((c * 255 + 15) / 31); };
    out[0] = scale(v & 31);
    out[1] = scale(v >> 5 & 31);
    out[2] = scale(v >> 10 & 31);
}

// Whether the extension area says the alpha values mean nothing (attribute types 0, 1 and 2).
bool AlphaIsMeaningless(const InputFile& file) {
    if (file.Size() < kHeaderBytes + kFooterBytes) return false;
    uint8_t footer[kFooterBytes];
    if (!file.ReadAt(file.Size() - kFooterBytes, footer, sizeof footer) ||
        std::memcmp(footer + 8, kSignature, sizeof kSignature) != 0)
        return false;
    const int64_t extension = Get32(footer);
    uint8_t type = 3;
    if (extension < kHeaderBytes || extension + kExtensionBytes > file.Size() ||
        !file.ReadAt(extension + kExtensionBytes - 1, &type, 1))
        return false;
    return type <= 2;
}

// The pixels of the file one at a time, through runs or not.
class PixelStream {
public:
    PixelStream(const InputFile& file, int64_t offset, int bytes, bool rle)
        : m_reader(file, offset), m_bytes(bytes), m_rle(rle) {}

    // Reads `count` pixels into out; false when the data ends first.
    bool Read(uint8_t* out, int64_t count) {
        if (!m_rle) return m_reader.ReadExactly(out, static_cast<size_t>(count * m_bytes));
        while (count > 0) {
            if (m_left == 0) {
                const int packet = m_reader.Next();
                if (packet < 0) return false;
                m_left = (packet & 0x7F) + 1;
                m_repeat = (packet & 0x80) != 0;
                if (m_repeat && !m_reader.ReadExactly(m_pixel, static_cast<size_t>(m_bytes))) return false;
            }
            const int64_t take = std::min<int64_t>(m_left, count);
            if (m_repeat) {
                for (int64_t i = 0; i < take; ++i)
                    std::memcpy(out + i * m_bytes, m_pixel, static_cast<size_t>(m_bytes));
            } else if (!m_reader.ReadExactly(out, static_cast<size_t>(take * m_bytes))) {
                return false;
            }
            out += take * m_bytes;
            count -= take;
            m_left -= static_cast<int>(take);
        }
        return true;
    }

private:
    ByteReader m_reader;
    int m_bytes;
    bool m_rle;
    int m_left = 0;
    bool m_repeat = false;
    uint8_t m_pixel[4] = {};
};

bool AllZeroAlpha(const DecodedImage& image) {
    for (int64_t row = 0; row < image.Height(); ++row) {
        const uint8_t* p = image.Row(row);
        for (int64_t x = 0; x < image.Width(); ++x)
            if (p[4 * x + 3]) return false;
    }
    return true;
}

}  // namespace

Status ReadTgaImage(const InputFile& file, ReadJob& job) {
    uint8_t h[kHeaderBytes];
    if (file.Size() < kHeaderBytes || !file.ReadAt(0, h, sizeof h)) return Status::Damaged;
    const TgaInfo info = ParseHeader(h);
    const bool mapped = info.Mapped(), grey = info.Grey();
    const bool colour = info.type == 2 || info.type == 10;
    if (!mapped && !grey && !colour) return Status::Damaged;
    if ((mapped && info.depth != 8) || (grey && info.depth != 8 && info.depth != 16) ||
        (colour && info.depth != 15 && info.depth != 16 && info.depth != 24 && info.depth != 32))
        return Status::Unsupported;
    const int mapEntryBytes = info.mapType == 1 ? (info.mapBits + 7) / 8 : 0;
    if (info.mapType == 1 && info.mapBits != 15 && info.mapBits != 16 && info.mapBits != 24 &&
        info.mapBits != 32)
        return Status::Damaged;
    if (mapped && (info.mapType != 1 || info.mapLength == 0)) return Status::Damaged;

    const int64_t mapOffset = kHeaderBytes + info.idLength;
    const int64_t pixelOffset = mapOffset + int64_t{info.mapLength} * mapEntryBytes;
    const int64_t dataBytes = file.Size() - pixelOffset;
    const int bytes = info.PixelBytes();
    const int64_t pixels = info.width * info.height;
    // The data must be able to hold the picture before anything is allocated: a run packet of one
    // pixel's bytes and a count gives at most 128 pixels.
    if (dataBytes < 0 ||
        (info.Rle() ? pixels > (dataBytes / (1 + bytes) + 1) * 128 : pixels * bytes > dataBytes))
        return Status::Damaged;

    const bool alphaPossible =
        (colour && info.depth == 32) || (grey && info.depth == 16) || (mapped && info.mapBits == 32);
    const bool keepAlpha = alphaPossible && job.keepAlpha && !AlphaIsMeaningless(file);
    DecodedImage& image = job.image;
    const int bitCount = mapped || (grey && info.depth == 8) ? 8 : keepAlpha ? 32 : 24;
    const Status allocated = image.Allocate(info.width, info.height, bitCount);
    if (allocated != Status::Ok) return allocated;

    if (mapped) {
        Buffer map = file.ReadBuffer(mapOffset, static_cast<size_t>(info.mapLength * mapEntryBytes));
        if (!map) return Status::Damaged;
        RGBQUAD* palette = image.Palette();
        uint8_t alpha[kPaletteEntries];
        std::memset(alpha, 255, sizeof alpha);
        bool anyAlpha = false;
        for (int i = 0; i < info.mapLength && info.mapFirst + i < kPaletteEntries; ++i) {
            const uint8_t* e = map.get() + i * mapEntryBytes;
            uint8_t bgr[3];
            if (mapEntryBytes == 2)
                Colour16(e, bgr);
            else
                std::memcpy(bgr, e, 3);
            palette[info.mapFirst + i] = RGBQUAD{bgr[0], bgr[1], bgr[2], 0};
            if (mapEntryBytes == 4) {
                alpha[info.mapFirst + i] = e[3];
                anyAlpha = anyAlpha || e[3] != 0;
            }
        }
        if (keepAlpha && anyAlpha) {
            uint8_t* entryAlpha = image.EntryAlpha();
            if (!entryAlpha) return Status::NoMemory;
            std::memcpy(entryAlpha, alpha, sizeof alpha);
        }
    } else if (grey && info.depth == 8) {
        RGBQUAD* palette = image.Palette();
        for (int i = 0; i < kPaletteEntries; ++i)
            palette[i] = RGBQUAD{uint8_t(i), uint8_t(i), uint8_t(i), 0};
    }
    if (grey) job.flags |= IMGKIT_READ_GREY;

    PixelStream stream(file, pixelOffset, bytes, info.Rle());
    Buffer line(static_cast<uint8_t*>(std::malloc(static_cast<size_t>(info.width * bytes))));
    if (!line) return Status::NoMemory;
    const int outBytes = bitCount / 8;
    for (int64_t y = 0; y < info.height; ++y) {
        uint8_t* out = image.Line(info.topDown ? y : info.height - 1 - y);
        const bool direct = bytes == outBytes && !info.rightToLeft;
        uint8_t* in = direct ? out : line.get();
        if (!stream.Read(in, info.width)) return Status::Damaged;
        if (!direct) {
            for (int64_t x = 0; x < info.width; ++x) {
                const uint8_t* p = in + x * bytes;
                uint8_t* o = out + (info.rightToLeft ? info.width - 1 - x : x) * outBytes;
                if (outBytes == 1) {
                    o[0] = p[0];
                } else if (grey) {  // grey and alpha
                    o[0] = o[1] = o[2] = p[0];
                    if (outBytes == 4) o[3] = p[1];
                } else if (bytes == 2) {
                    Colour16(p, o);
                } else {
                    o[0] = p[0];
                    o[1] = p[1];
                    o[2] = p[2];
                    if (outBytes == 4) o[3] = p[3];
                }
            }
        }
        if ((y & 63) == 0) job.progress.Report(y, info.height);
    }
    if (bitCount == 32 && AllZeroAlpha(image)) return image.DropAlpha();
    return Status::Ok;
}

namespace {

// Appends one row of `count` pixels of `bytes` bytes as run-length packets.
uint8_t* EncodeRow(const uint8_t* in, int64_t count, int bytes, uint8_t* out) {
    int64_t x = 0;
    const auto same = [&](int64_t a, int64_t b) {
        return std::memcmp(in + a * bytes, in + b * bytes, bytes) == 0;
    };
    while (x < count) {
        int64_t run = 1;
        while (x + run < count && run < 128 && same(x, x + run))
            ++run;
        if (run >= 2) {
            *out++ = static_cast<uint8_t>(0x80 | (run - 1));
            std::memcpy(out, in + x * bytes, static_cast<size_t>(bytes));
            out += bytes;
            x += run;
            continue;
        }
        // Single pixels up to the next pair of equal ones.
        int64_t raw = 1;
        while (x + raw < count && raw < 128 && !(x + raw + 1 < count && same(x + raw, x + raw + 1)))
            ++raw;
        *out++ = static_cast<uint8_t>(raw - 1);
        std::memcpy(out, in + x * bytes, static_cast<size_t>(raw * bytes));
        out += raw * bytes;
        x += raw;
    }
    return out;
}

}  // namespace

Status WriteTgaImage(const char* path, WriteJob& job) {
    const int bitCount = job.BitCount();
    const bool mapped = bitCount == 8;
    const int bytes = mapped ? 1 : bitCount / 8;
    const int mapBytes = job.entryAlpha ? 4 : 3;
    uint8_t head[kHeaderBytes + kPaletteEntries * 4] = {};
    head[1] = mapped ? 1 : 0;
    head[2] = mapped ? 9 : 10;
    if (mapped) {
        Put16(head + 5, kPaletteEntries);
        head[7] = static_cast<uint8_t>(mapBytes * 8);
    }
    Put16(head + 12, static_cast<uint32_t>(job.Width()));
    Put16(head + 14, static_cast<uint32_t>(job.Height()));
    head[16] = static_cast<uint8_t>(mapped ? 8 : bitCount);
    head[17] = static_cast<uint8_t>(bitCount == 32 ? 8 : 0);  // attribute bits; bottom-up, left to right
    int headBytes = kHeaderBytes;
    if (mapped) {
        for (int i = 0; i < kPaletteEntries; ++i, headBytes += mapBytes) {
            uint8_t* e = head + headBytes;
            e[0] = job.palette[i].rgbBlue;
            e[1] = job.palette[i].rgbGreen;
            e[2] = job.palette[i].rgbRed;
            if (mapBytes == 4) e[3] = job.entryAlpha[i];
        }
    }

    constexpr int64_t kChunkBytes = int64_t{1} << 20;
    const int64_t worstRow = job.Width() * (bytes + 1) + 16;
    Buffer chunk(static_cast<uint8_t*>(std::malloc(static_cast<size_t>(kChunkBytes + worstRow))));
    if (!chunk) return Status::NoMemory;
    OutputFile out;
    if (!out.Create(path) || !out.Write(head, static_cast<size_t>(headBytes))) return Status::WriteFailed;
    uint8_t* end = chunk.get();
    for (int64_t row = 0; row < job.Height(); ++row) {
        end = EncodeRow(job.bits + row * job.Stride(), job.Width(), bytes, end);
        if (end - chunk.get() >= kChunkBytes) {
            if (!out.Write(chunk.get(), static_cast<size_t>(end - chunk.get()))) return Status::WriteFailed;
            end = chunk.get();
        }
        if ((row & 63) == 0) job.progress.Report(row, job.Height());
    }
    uint8_t footer[kFooterBytes] = {};
    std::memcpy(footer + 8, kSignature, sizeof kSignature);
    const bool ok = out.Write(chunk.get(), static_cast<size_t>(end - chunk.get())) &&
                    out.Write(footer, sizeof footer) && out.Commit();
    return ok ? Status::Ok : Status::WriteFailed;
}

}  // namespace imgkit
