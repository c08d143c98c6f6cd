// PCX: LoadPCX and SavePCX.
//
// Read: versions 0 to 5, run-length encoded or stored without compression (encoding 0, as some
// programs write with compression turned off: the lines one after the other, taken as they are); 1,
// 2, 4 or 8 bits per plane and 1 to 4 planes. Up to 8 bits per pixel in all (bits per plane times
// planes) the result is an 8-bit image: with 8 bits the 256-colour palette after the marker 12 at
// the end of the file, or a grey ramp when there is none; with fewer the 16-colour palette of the
// header. Three or four planes of 8 bits give a 24-bit image (red, green, blue; a fourth plane is
// dropped). Any bytes-per-line of at least the width is taken, odd ones too. Rows are delivered
// top-down. A file whose pixel data ends early is refused.
//
// Written: version 5, RLE, 8 bits as one plane with the 256-colour palette after marker 12, 24 bits
// as three planes; scan lines are padded to an even number of bytes.
#include <algorithm>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "imgkit/codec_io.h"
#include "imgkit/imgkit.h"

namespace imgkit {
namespace {

constexpr int64_t kHeaderBytes = 128;
constexpr int64_t kVgaPaletteBytes = 769;  // marker 12 and 256 RGB triples
constexpr uint8_t kVgaPaletteMarker = 12;
constexpr uint8_t kManufacturer = 10;
constexpr uint8_t kEncodingNone = 0;
constexpr uint8_t kEncodingRle = 1;
constexpr int kMaxRun = 63;

struct PcxInfo {
    int64_t width = 0;
    int64_t height = 0;
    int bitsPerPlane = 0;
    int planes = 0;
    int64_t bytesPerLine = 0;
    bool rle = true;
};

bool ParseHeader(const uint8_t* h, PcxInfo* info) {
    if (h[0] != kManufacturer || h[1] > 5 || (h[2] != kEncodingRle && h[2] != kEncodingNone)) return false;
    info->rle = h[2] == kEncodingRle;
    const int bits = h[3];
    const int planes = h[65];
    const int64_t xMin = Get16(h + 4), yMin = Get16(h + 6), xMax = Get16(h + 8), yMax = Get16(h + 10);
    info->width = xMax - xMin + 1;
    info->height = yMax - yMin + 1;
    info->bitsPerPlane = bits;
    info->planes = planes;
    info->bytesPerLine = Get16(h + 66);
    if (info->width < 1 || info->height < 1) return false;
    const bool indexed = (bits == 1 || bits == 2 || bits == 4 || bits == 8) && planes >= 1 && planes <= 4 &&
                         bits * planes <= 8;
    const bool colour = bits == 8 && (planes == 3 || planes == 4);
    if (!indexed && !colour) return false;
    return info->bytesPerLine >= (info->width * bits + 7) / 8;
}

// How many of the 16 bytes at p are below 0xC0 before the first that is not.
inline int LiteralsAhead(const uint8_t* p) {
#if defined(__SSE2__)
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i high = _mm_cmpeq_epi8(_mm_max_epu8(bytes, _mm_set1_epi8(char(0xC0))), bytes);
    const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(high)) | 0x10000;
    return __builtin_ctz(mask);
#else
    int literals = 0;
    while (literals < 16 && p[literals] < 0xC0)
        ++literals;
    return literals;
#endif
}

// Expands the run-length stream into whole scan lines (all planes of a line together). Runs may cross
// plane and line boundaries; a run of zero bytes is nothing.
class RleReader {
public:
    RleReader(const uint8_t* data, int64_t size) : m_data(data), m_end(data + size) {}

    // Fills n bytes; false when the data ends first.
    bool Read(uint8_t* out, int64_t n) {
        uint8_t* const end = out + n;
        const int64_t fromRun = std::min(m_runLeft, n);
        std::memset(out, m_runValue, static_cast<size_t>(fromRun));
        out += fromRun;
        m_runLeft -= fromRun;
        const uint8_t* in = m_data;
        while (out < end) {
            // Stretches of single bytes below 0xC0 are copied straight.
            if (in + 16 <= m_end && out + 16 <= end) {
                std::memcpy(out, in, 16);
                const int literals = LiteralsAhead(in);
                out += literals;
                in += literals;
                if (literals == 16) continue;
            }
            if (in >= m_end) {
                m_data = in;
                return false;
            }
            const uint8_t byte = *in++;
            if (byte < 0xC0) {
                *out++ = byte;
                continue;
            }
            if (in >= m_end) {
                m_data = in;
                return false;
            }
            const int64_t count = byte & 0x3F;
            const uint8_t value = *in++;
            const int64_t now = std::min<int64_t>(count, end - out);
            std::memset(out, value, static_cast<size_t>(now));
            out += now;
            m_runLeft = count - now;
            m_runValue = value;
        }
        m_data = in;
        return true;
    }

private:
    const uint8_t* m_data;
    const uint8_t* m_end;
    int64_t m_runLeft = 0;
    uint8_t m_runValue = 0;
};

void FillHeaderPalette(const uint8_t* header, int bitsPerPixel, RGBQUAD* palette) {
    const uint8_t* map = header + 16;
    const int entries = std::min(16, 1 << bitsPerPixel);
    bool blank = true;
    for (int i = 0; i < 3 * entries; ++i)
        blank = blank && map[i] == 0;
    if (bitsPerPixel == 1 && (blank || std::memcmp(map, map + 3, 3) == 0)) {
        // Monochrome files often leave the header palette empty: black and white.
        palette[1] = RGBQUAD{255, 255, 255, 0};
        return;
    }
    if (blank) {
        // No colours given (version 3): the standard 16 colours of the EGA.
        for (int i = 0; i < 16; ++i) {
            const uint8_t low = i & 8 ? 0x55 : 0x00, high = i & 8 ? 0xFF : 0xAA;
            const uint8_t green = i == 6 ? 0x55 : (i & 2 ? high : low);
            palette[i] = RGBQUAD{static_cast<uint8_t>(i & 1 ? high : low), green,
                                 static_cast<uint8_t>(i & 4 ? high : low), 0};
        }
        return;
    }
    for (int i = 0; i < entries; ++i)
        palette[i] = RGBQUAD{map[3 * i + 2], map[3 * i + 1], map[3 * i], 0};
}

// One scan line of planes to palette indices: bit values of plane p become bits p*bits and up.
void LineToIndices(const uint8_t* line, const PcxInfo& info, uint8_t* dst) {
    const int bits = info.bitsPerPlane;
    if (bits == 8) {
        std::memcpy(dst, line, static_cast<size_t>(info.width));
        return;
    }
    const int perByte = 8 / bits;
    const unsigned mask = (1u << bits) - 1;
    std::memset(dst, 0, static_cast<size_t>(info.width));
    for (int p = 0; p < info.planes; ++p) {
        const uint8_t* plane = line + p * info.bytesPerLine;
        for (int64_t x = 0; x < info.width; ++x) {
            const int shift = 8 - bits * (1 + static_cast<int>(x % perByte));
            dst[x] = static_cast<uint8_t>(dst[x] | (plane[x / perByte] >> shift & mask) << (p * bits));
        }
    }
}

void LineToColours(const uint8_t* line, const PcxInfo& info, uint8_t* dst) {
    const uint8_t* red = line;
    const uint8_t* green = line + info.bytesPerLine;
    const uint8_t* blue = line + 2 * info.bytesPerLine;
    for (int64_t x = 0; x < info.width; ++x) {
        dst[3 * x + 0] = blue[x];
        dst[3 * x + 1] = green[x];
        dst[3 * x + 2] = red[x];
    }
}

}  // namespace

Status ReadPcxImage(const InputFile& file, ReadJob& job) {
    if (file.Size() < kHeaderBytes) return Status::Damaged;
    uint8_t header[kHeaderBytes];
    PcxInfo info;
    if (!file.ReadAt(0, header, kHeaderBytes)) return Status::Damaged;
    if (!ParseHeader(header, &info)) return Status::Damaged;
    const int bitsPerPixel = info.bitsPerPlane * info.planes;
    const bool indexed = bitsPerPixel <= 8;
    const int64_t lineBytes = info.bytesPerLine * info.planes;

    // An 8-bit image may end with its palette; the pixels are what lies between header and palette.
    int64_t dataEnd = file.Size();
    uint8_t vga[kVgaPaletteBytes];
    bool hasVga = false;
    if (bitsPerPixel == 8 && info.planes == 1 && file.Size() >= kHeaderBytes + kVgaPaletteBytes) {
        hasVga = file.ReadAt(file.Size() - kVgaPaletteBytes, vga, sizeof vga) && vga[0] == kVgaPaletteMarker;
        if (hasVga) dataEnd -= kVgaPaletteBytes;
    }
    // Refuse sizes the data cannot fill before allocating anything, and read no more data than the
    // image can use. Stored lines take exactly their bytes; two bytes of encoded data give at most
    // 63 bytes of lines.
    const int64_t dataBytes = dataEnd - kHeaderBytes;
    const int64_t imageBytes = lineBytes * info.height;
    if (info.rle ? imageBytes > (dataBytes / 2 + 1) * kMaxRun : imageBytes > dataBytes)
        return Status::Damaged;
    DecodedImage& image = job.image;
    const Status allocated = image.Allocate(info.width, info.height, indexed ? 8 : 24);
    if (allocated != Status::Ok) return allocated;
    const int64_t usefulBytes = info.rle ? std::min(dataBytes, 2 * imageBytes) : imageBytes;
    Buffer data = file.ReadBuffer(kHeaderBytes, static_cast<size_t>(usefulBytes));
    Buffer line(info.rle ? static_cast<uint8_t*>(std::malloc(static_cast<size_t>(lineBytes))) : nullptr);
    if (!data || (info.rle && !line)) return Status::NoMemory;

    if (indexed) {
        RGBQUAD* colours = image.Palette();
        if (bitsPerPixel < 8) {
            FillHeaderPalette(header, bitsPerPixel, colours);
        } else if (hasVga) {
            for (int i = 0; i < kPaletteEntries; ++i)
                colours[i] = RGBQUAD{vga[1 + 3 * i + 2], vga[1 + 3 * i + 1], vga[1 + 3 * i], 0};
        } else {
            for (int i = 0; i < kPaletteEntries; ++i) {
                const auto grey = static_cast<uint8_t>(i);
                colours[i] = RGBQUAD{grey, grey, grey, 0};
            }
        }
    }

    RleReader reader(data.get(), usefulBytes);
    for (int64_t y = 0; y < info.height; ++y) {
        const uint8_t* source;
        if (info.rle) {
            if (!reader.Read(line.get(), lineBytes)) return Status::Damaged;
            source = line.get();
        } else {
            source = data.get() + y * lineBytes;
        }
        if (indexed)
            LineToIndices(source, info, image.Line(y));
        else
            LineToColours(source, info, image.Line(y));
        if ((y & 255) == 0) job.progress.Report(y, info.height);
    }
    return Status::Ok;
}

namespace {

BITMAPINFOHEADER* LoadPcxFile(const char* path, uint8_t** bits, RGBQUAD** palette) {
    InputFile file;
    if (!file.Open(path)) return nullptr;
    ReadJob job;
    job.image.SetTopDown(true);
    return ReadPcxImage(file, job) == Status::Ok ? job.image.Release(bits, palette) : nullptr;
}

// Appends the run-length code of one plane to out; returns the end. Runs stay within the plane. The
// caller leaves 16 bytes of room beyond the worst case (two bytes a byte).
uint8_t* EncodePlane(const uint8_t* src, int64_t n, uint8_t* out) {
    int64_t i = 0;
    while (i < n) {
#if defined(__SSE2__)
        // Sixteen bytes at a time while no byte repeats its successor or is 0xC0 and above: those are
        // stored as they are.
        while (i + 17 <= n) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
            const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i + 1));
            const __m128i high = _mm_cmpeq_epi8(_mm_max_epu8(bytes, _mm_set1_epi8(char(0xC0))), bytes);
            const int stop = _mm_movemask_epi8(_mm_or_si128(high, _mm_cmpeq_epi8(bytes, next)));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out), bytes);
            const int literals = stop ? __builtin_ctz(static_cast<unsigned>(stop)) : 16;
            out += literals;
            i += literals;
            if (stop) break;
        }
        if (i >= n) break;
#endif
        const uint8_t value = src[i];
        const int64_t limit = std::min<int64_t>(kMaxRun, n - i);
        int64_t run = 1;
        while (run < limit && run < 8 && src[i + run] == value)
            ++run;
#if defined(__SSE2__)
        if (run == 8) {  // a flat area: measure the run 16 bytes at a time
            const __m128i repeated = _mm_set1_epi8(static_cast<char>(value));
            while (run + 16 <= limit) {
                const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i + run));
                const unsigned other = ~unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, repeated))) & 0xFFFF;
                if (other) {
                    run += __builtin_ctz(other);
                    break;
                }
                run += 16;
            }
        }
#endif
        while (run < limit && src[i + run] == value)
            ++run;
        if (run > 1 || value >= 0xC0) *out++ = static_cast<uint8_t>(0xC0 | run);
        *out++ = value;
        i += run;
    }
    return out;
}

int SavePcxFile(const char* path, const uint8_t* bits, const BITMAPINFOHEADER& header,
                const RGBQUAD* palette) {
    const bool indexed = header.biBitCount == 8;
    if (!IsWritableImage(bits, header, palette, indexed)) return 0;
    const int64_t width = header.biWidth;
    const int64_t height = header.biHeight;
    const int64_t stride = header.biXPelsPerMeter;
    const int planes = indexed ? 1 : 3;
    // Even, as the format asks, except for the widest image, whose 65536 would not fit the field.
    const int64_t bytesPerLine = std::min<int64_t>((width + 1) & ~int64_t{1}, 65535);
    const int64_t lineBytes = bytesPerLine * planes;

    uint8_t head[kHeaderBytes] = {};
    head[0] = kManufacturer;
    head[1] = 5;
    head[2] = kEncodingRle;
    head[3] = 8;
    Put16(head + 8, static_cast<uint32_t>(width - 1));
    Put16(head + 10, static_cast<uint32_t>(height - 1));
    Put16(head + 12, 72);
    Put16(head + 14, 72);
    if (indexed) {
        for (int i = 0; i < 16; ++i) {
            head[16 + 3 * i] = palette[i].rgbRed;
            head[17 + 3 * i] = palette[i].rgbGreen;
            head[18 + 3 * i] = palette[i].rgbBlue;
        }
    }
    head[65] = static_cast<uint8_t>(planes);
    Put16(head + 66, static_cast<uint32_t>(bytesPerLine));
    Put16(head + 68, 1);  // colour

    // Lines are encoded into a chunk that is written out whenever it is nearly full.
    constexpr int64_t kChunkBytes = int64_t{1} << 20;
    const int64_t worstLine = 2 * lineBytes + 16;
    Buffer chunk(
        static_cast<uint8_t*>(std::malloc(static_cast<size_t>(kChunkBytes + worstLine + kVgaPaletteBytes))));
    Buffer line(static_cast<uint8_t*>(std::calloc(1, static_cast<size_t>(lineBytes))));
    OutputFile out;
    if (!chunk || !line || !out.Create(path) || !out.Write(head, sizeof head)) return 0;

    uint8_t* end = chunk.get();
    for (int64_t y = 0; y < height; ++y) {
        const uint8_t* row = bits + (height - 1 - y) * stride;
        if (indexed) {
            std::memcpy(line.get(), row, static_cast<size_t>(width));
        } else {
            uint8_t* red = line.get();
            uint8_t* green = red + bytesPerLine;
            uint8_t* blue = green + bytesPerLine;
            for (int64_t x = 0; x < width; ++x) {
                blue[x] = row[3 * x];
                green[x] = row[3 * x + 1];
                red[x] = row[3 * x + 2];
            }
        }
        for (int p = 0; p < planes; ++p)
            end = EncodePlane(line.get() + p * bytesPerLine, bytesPerLine, end);
        if (end - chunk.get() >= kChunkBytes) {
            if (!out.Write(chunk.get(), static_cast<size_t>(end - chunk.get()))) return 0;
            end = chunk.get();
        }
    }
    if (indexed) {
        *end++ = kVgaPaletteMarker;
        for (int i = 0; i < kPaletteEntries; ++i) {
            *end++ = palette[i].rgbRed;
            *end++ = palette[i].rgbGreen;
            *end++ = palette[i].rgbBlue;
        }
    }
    return out.Write(chunk.get(), static_cast<size_t>(end - chunk.get())) && out.Commit() ? 1 : 0;
}

}  // namespace

Status WritePcxImage(const char* path, WriteJob& job) {
    if (job.BitCount() == 32) return Status::BadImage;
    return SavePcxFile(path, job.bits, *job.header, job.palette) ? Status::Ok : Status::WriteFailed;
}

}  // namespace imgkit

extern "C" BITMAPINFOHEADER* LoadPCX(const char* path, uint8_t** bits, RGBQUAD** palette) {
    if (!bits || !palette) return nullptr;
    try {
        return imgkit::LoadPcxFile(path, bits, palette);
    } catch (...) {
        return nullptr;
    }
}

extern "C" int SavePCX(const char* path, const uint8_t* bits, BITMAPINFOHEADER header,
                       const RGBQUAD* palette) {
    try {
        return imgkit::SavePcxFile(path, bits, header, palette);
    } catch (...) {
        return 0;
    }
}
