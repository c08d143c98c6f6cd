// PNM (netpbm's PBM, PGM and PPM), read and written here.
//
// Read: P1 to P6, plain (text) and raw, any maxval up to 65535 (scaled to 0..255 with rounding;
// samples above maxval count as maxval). Bit maps and grey maps give an 8-bit image with the grey
// ramp (a bit map's black is index 0, white 255), pixel maps a 24-bit image.
//
// Written: raw, maxval 255. An 8-bit image whose pixels are all grey becomes a grey map (P5) of its
// grey levels, anything else a pixel map (P6).
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "imgkit/codec_io.h"

namespace imgkit {
namespace {

bool IsSpace(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// The header's numbers and the plain format's samples, with comments skipped.
class Tokens {
public:
    explicit Tokens(ByteReader& reader) : m_reader(reader) {}

    // The next decimal number; false when there is none. For P1 one digit is a whole number.
    bool Number(uint32_t* value, bool singleDigit = false) {
        int c = m_reader.Next();
        while (c == '#' || IsSpace(c)) {
            if (c == '#') {
                while (c >= 0 && c != '\n' && c != '\r')
                    c = m_reader.Next();
            }
            c = m_reader.Next();
        }
        if (c < '0' || c > '9') return false;
        uint64_t v = 0;
        do {
            v = v * 10 + static_cast<uint64_t>(c - '0');
            if (v > 0xFFFFFFFFu) return false;
            if (singleDigit) break;
            c = m_reader.Next();
        } while (c >= '0' && c <= '9');
        if (!singleDigit && c >= 0 && !IsSpace(c) && c != '#') return false;
        if (c == '#') {
            while (c >= 0 && c != '\n' && c != '\r')
                c = m_reader.Next();
        }
        *value = static_cast<uint32_t>(v);
        return true;
    }

private:
    ByteReader& m_reader;
};

}  // namespace

Status ReadPnmImage(const InputFile& file, ReadJob& job) {
    auto reader = std::make_unique<ByteReader>(file);
    uint8_t magic[2];
    if (!reader->ReadExactly(magic, 2) || magic[0] != 'P' || magic[1] < '1' || magic[1] > '6')
        return Status::Damaged;
    const int kind = magic[1] - '0';
    const bool plain = kind <= 3;
    const bool bitmap = kind == 1 || kind == 4;
    const int samples = kind == 3 || kind == 6 ? 3 : 1;
    Tokens tokens(*reader);
    uint32_t width = 0, height = 0, maxval = 1;
    if (!tokens.Number(&width) || !tokens.Number(&height) || (!bitmap && !tokens.Number(&maxval)))
        return Status::Damaged;
    if (maxval < 1 || maxval > 65535) return Status::Damaged;
    if (width > kMaxImageDimension || height > kMaxImageDimension) return Status::TooLarge;
    // The samples must fit in what is left of the file before anything is allocated: raw ones take
    // their bytes, plain ones at least a byte each.
    const int sampleBytes = maxval > 255 ? 2 : 1;
    const int64_t rowBytes =
        bitmap && !plain ? (int64_t{width} + 7) / 8 : int64_t{width} * samples * sampleBytes;
    const int64_t left = file.Size() - reader->Offset();
    if ((plain ? int64_t{width} * samples * height : rowBytes * height) > left) return Status::Damaged;

    DecodedImage& image = job.image;
    const Status allocated = image.Allocate(width, height, samples == 3 ? 24 : 8);
    if (allocated != Status::Ok) return allocated;
    if (samples == 1) {
        RGBQUAD* palette = image.Palette();
        for (int i = 0; i < kPaletteEntries; ++i)
            palette[i] = RGBQUAD{uint8_t(i), uint8_t(i), uint8_t(i), 0};
    }
    if (maxval > 255) job.flags |= IMGKIT_READ_REDUCED_DEPTH;

    uint8_t scale[256];
    for (uint32_t v = 0; v < 256; ++v)
        scale[v] = static_cast<uint8_t>((std::min(v, maxval) * 255 + maxval / 2) / maxval);
    const auto scaled = [&](uint32_t v) {
        return maxval == 255 ? static_cast<uint8_t>(v)
               : v < 256     ? scale[v]
                             : static_cast<uint8_t>((std::min(v, maxval) * 255 + maxval / 2) / maxval);
    };
    Buffer line(static_cast<uint8_t*>(std::malloc(static_cast<size_t>(rowBytes))));
    if (!line) return Status::NoMemory;
    for (int64_t y = 0; y < height; ++y) {
        uint8_t* out = image.Line(y);
        if (plain) {
            for (int64_t i = 0; i < int64_t{width} * samples; ++i) {
                uint32_t v = 0;
                if (!tokens.Number(&v, bitmap)) return Status::Damaged;
                out[bitmap         ? i
                    : samples == 3 ? i / 3 * 3 + 2 - i % 3
                                   : i] = bitmap ? (v ? 0 : 255) : scaled(v);
            }
        } else if (!reader->ReadExactly(line.get(), static_cast<size_t>(rowBytes))) {
            return Status::Damaged;
        } else if (bitmap) {
            for (int64_t x = 0; x < width; ++x)
                out[x] = (line[x / 8] >> (7 - x % 8) & 1) ? 0 : 255;
        } else {
            const uint8_t* in = line.get();
            for (int64_t i = 0; i < int64_t{width} * samples; ++i) {
                const uint32_t v = sampleBytes == 2 ? uint32_t{in[2 * i]} << 8 | in[2 * i + 1] : in[i];
                // Blue, green, red from red, green, blue.
                out[samples == 3 ? i / 3 * 3 + 2 - i % 3 : i] = scaled(v);
            }
        }
        if ((y & 63) == 0) job.progress.Report(y, height);
    }
    return Status::Ok;
}

Status WritePnmImage(const char* path, WriteJob& job) {
    if (job.BitCount() == 32) return Status::BadImage;
    bool grey = false;
    if (job.BitCount() == 8) {
        bool used[kPaletteEntries];
        UsedIndices(job, used);
        grey = true;
        for (int i = 0; i < kPaletteEntries && grey; ++i) {
            const RGBQUAD& c = job.palette[i];
            grey = !used[i] || (c.rgbRed == c.rgbGreen && c.rgbGreen == c.rgbBlue);
        }
    }
    const int samples = grey ? 1 : 3;
    char head[64];
    const int headBytes =
        std::snprintf(head, sizeof head, "P%d\n%lld %lld\n255\n", grey ? 5 : 6,
                      static_cast<long long>(job.Width()), static_cast<long long>(job.Height()));
    const int64_t lineBytes = job.Width() * samples;
    constexpr int64_t kChunkBytes = int64_t{1} << 20;
    const int64_t rowsPerChunk = std::max<int64_t>(1, kChunkBytes / lineBytes);
    Buffer chunk(static_cast<uint8_t*>(std::malloc(static_cast<size_t>(rowsPerChunk * lineBytes))));
    if (!chunk) return Status::NoMemory;
    OutputFile out;
    if (!out.Create(path, headBytes + lineBytes * job.Height()) ||
        !out.Write(head, static_cast<size_t>(headBytes)))
        return Status::WriteFailed;
    for (int64_t first = 0; first < job.Height(); first += rowsPerChunk) {
        const int64_t rows = std::min(rowsPerChunk, job.Height() - first);
        for (int64_t r = 0; r < rows; ++r) {
            const uint8_t* in = job.Line(first + r);
            uint8_t* o = chunk.get() + r * lineBytes;
            for (int64_t x = 0; x < job.Width(); ++x) {
                if (job.BitCount() == 8) {
                    const RGBQUAD& c = job.palette[in[x]];
                    o[samples * x] = c.rgbRed;
                    if (!grey) {
                        o[3 * x + 1] = c.rgbGreen;
                        o[3 * x + 2] = c.rgbBlue;
                    }
                } else {
                    o[3 * x] = in[3 * x + 2];
                    o[3 * x + 1] = in[3 * x + 1];
                    o[3 * x + 2] = in[3 * x];
                }
            }
        }
        if (!out.Write(chunk.get(), static_cast<size_t>(rows * lineBytes))) return Status::WriteFailed;
        job.progress.Report(first + rows, job.Height());
    }
    return out.Commit() ? Status::Ok : Status::WriteFailed;
}

}  // namespace imgkit
