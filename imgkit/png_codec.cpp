// PNG through libpng: ReadPNG and SavePNG, and PNG for ImgkitReadImage and ImgkitWriteImage.
//
// Read: every colour type and bit depth, interlaced or not. Palette images of 1, 2, 4 or 8 bits give
// an 8-bit image with the file's palette padded to 256 entries; greyscale of 8 bits or fewer gives
// 8 bits with a grey ramp (lower depths scaled up to 0..255); truecolour gives 24 bits. 16-bit
// channels are scaled to 8 bits with rounding and no gamma change. Transparency is kept for
// ImgkitReadImage: a palette's tRNS entries as the entries' opacities (the colours and indices stay),
// an alpha channel or the tRNS colour of a greyscale or truecolour file as a 32-bit image. ReadPNG
// composites it over white instead: a palette's tRNS entries in the palette itself, so the indices
// stay; an alpha channel, or the tRNS colour, pixel by pixel (greyscale stays 8 bits). Every
// ancillary chunk but tRNS (gamma, colour profiles, text) is skipped unread. Rows are delivered
// bottom-up. A file cut short or with a damaged chunk is refused.
//
// Written: 8 bits in the smallest form that gives back every index and palette entry: greyscale when
// the palette is the grey ramp and every entry is opaque (1, 2 or 4 bits when every grey used is a
// level of that depth), otherwise a palette of 1, 2, 4 or 8 bits holding the entries up to the last
// one that is not black (the rest read back black) with a tRNS chunk up to the last entry that is not
// opaque; 24 bits as truecolour and 32 bits as truecolour with alpha, 8 bits per channel. Not
// interlaced, no other chunks. The pixels of an 8-bit image are compressed in bands of rows on
// every processor (WriteIndexedPixels); libpng writes the chunks before them and everything of a
// 24- or 32-bit image.
//
// libpng reports fatal errors through a callback that must not return; ours longjmps back to the
// setjmp in one of the three step functions below. Those are plain C-style code: no object with a
// destructor lives in any frame the jump leaves, and the blocks they fill belong to the caller.
#include <algorithm>
#include <condition_variable>
#include <csetjmp>
#include <cstddef>
#include <cstring>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include <png.h>
#include <zlib.h>

#include "imgkit/codec_io.h"
#include "imgkit/imgkit.h"

namespace imgkit {
namespace {

constexpr size_t kReadBufferBytes = size_t{1} << 16;
constexpr size_t kWriteBufferBytes = size_t{1} << 16;
// zlib's default level with libpng's adaptive filters for truecolour (none for palette images):
// what other PNG writers use by default, so files come out no larger than theirs.
constexpr int kCompressionLevel = 6;
// Bytes of compressed data per IDAT chunk.
constexpr size_t kIdatBytes = size_t{1} << 18;

[[noreturn]] void OnError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}
void OnWarning(png_structp, png_const_charp) {}  // damaged ancillary chunks are dropped silently

// What a file's pixels become after libpng's transformations: palette indices or grey levels (one
// byte, straight into the image), grey or blue-green-red with alpha (two or four bytes, composited
// over white), blue-green-red (three bytes, straight into the image), or blue-green-red-alpha kept
// as it is (four bytes, straight into a 32-bit image).
enum class Pixels { Indices, Grey, GreyAlpha, Colour, ColourAlpha, ColourAlphaKept };

constexpr int BytesPerPixel(Pixels pixels) {
    switch (pixels) {
        case Pixels::Indices:
        case Pixels::Grey:
            return 1;
        case Pixels::GreyAlpha:
            return 2;
        case Pixels::Colour:
            return 3;
        case Pixels::ColourAlpha:
        case Pixels::ColourAlphaKept:
            return 4;
    }
    return 0;
}

constexpr int BitCountOf(Pixels pixels) {
    return pixels == Pixels::ColourAlphaKept ? 32 : BytesPerPixel(pixels) <= 2 ? 8 : 24;
}

constexpr bool HasAlpha(Pixels pixels) {
    return pixels == Pixels::GreyAlpha || pixels == Pixels::ColourAlpha;
}

// The file read through a buffer of our own, so libpng's many small reads cost no system call each.
struct Source {
    const InputFile* file;
    int64_t offset;  // where buffer[0] lies in the file
    size_t used;
    size_t filled;
    uint8_t buffer[kReadBufferBytes];
};

// Called by libpng after each row of each pass.
void OnRowDone(png_structp png, png_uint_32 row, int pass);

void OnRead(png_structp png, png_bytep out, size_t n) {
    auto* s = static_cast<Source*>(png_get_io_ptr(png));
    while (n > 0) {
        if (s->used == s->filled) {
            s->offset += static_cast<int64_t>(s->filled);
            const int64_t left = s->file->Size() - s->offset;
            const size_t chunk =
                left < static_cast<int64_t>(kReadBufferBytes) ? static_cast<size_t>(left) : kReadBufferBytes;
            if (chunk == 0 || !s->file->ReadAt(s->offset, s->buffer, chunk))
                png_error(png, "file ends early");
            s->used = 0;
            s->filled = chunk;
        }
        const size_t take = n < s->filled - s->used ? n : s->filled - s->used;
        std::memcpy(out, s->buffer + s->used, take);
        s->used += take;
        out += take;
        n -= take;
    }
}

struct Decoder {
    png_structp png;
    png_infop info;
    Source source;
    Progress* progress;
    png_uint_32 width;
    png_uint_32 height;
    Pixels pixels;
    int passes;
    int depth;
    int type;
    bool keepAlpha;
};

void OnRowDone(png_structp png, png_uint_32 row, int pass) {
    auto* source = static_cast<Source*>(png_get_io_ptr(png));
    auto* d = reinterpret_cast<Decoder*>(reinterpret_cast<uint8_t*>(source) - offsetof(Decoder, source));
    if ((row & 63) == 0 && d->passes > 0)
        d->progress->Report(int64_t{pass} * d->height + row, int64_t{d->passes} * d->height);
}

// Step 1: the header and the transformations that bring every kind of file to one of the Pixels.
bool ReadHeader(Decoder* d) {
    if (setjmp(png_jmpbuf(d->png))) return false;
    png_set_read_fn(d->png, &d->source, OnRead);
    png_set_read_status_fn(d->png, OnRowDone);
    png_set_user_limits(d->png, kMaxImageDimension, kMaxImageDimension);
    // Every chunk but IHDR, PLTE, tRNS, IDAT and IEND is skipped without being decoded.
    png_set_keep_unknown_chunks(d->png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    png_read_info(d->png, d->info);
    png_get_IHDR(d->png, d->info, &d->width, &d->height, &d->depth, &d->type, nullptr, nullptr, nullptr);
    const bool transparentColour = png_get_valid(d->png, d->info, PNG_INFO_tRNS) != 0;
    png_set_scale_16(d->png);
    switch (d->type) {
        case PNG_COLOR_TYPE_PALETTE:
            png_set_packing(d->png);
            d->pixels = Pixels::Indices;
            break;
        case PNG_COLOR_TYPE_GRAY:
            png_set_expand_gray_1_2_4_to_8(d->png);
            if (transparentColour) png_set_tRNS_to_alpha(d->png);
            d->pixels = transparentColour ? Pixels::GreyAlpha : Pixels::Grey;
            break;
        case PNG_COLOR_TYPE_GRAY_ALPHA:
            d->pixels = Pixels::GreyAlpha;
            break;
        case PNG_COLOR_TYPE_RGB:
            png_set_bgr(d->png);
            if (transparentColour) png_set_tRNS_to_alpha(d->png);
            d->pixels = transparentColour ? Pixels::ColourAlpha : Pixels::Colour;
            break;
        case PNG_COLOR_TYPE_RGB_ALPHA:
            png_set_bgr(d->png);
            d->pixels = Pixels::ColourAlpha;
            break;
        default:
            return false;
    }
    if (d->keepAlpha && HasAlpha(d->pixels)) {
        // Grey with alpha as blue, green, red and alpha too.
        if (d->pixels == Pixels::GreyAlpha) png_set_gray_to_rgb(d->png);
        png_set_bgr(d->png);
        d->pixels = Pixels::ColourAlphaKept;
    }
    d->passes = png_set_interlace_handling(d->png);
    png_read_update_info(d->png, d->info);
    return png_get_rowbytes(d->png, d->info) == size_t{d->width} * BytesPerPixel(d->pixels);
}

// round(c * a / 255 + 255 - a): the colour c with opacity a over white.
inline uint8_t OverWhite(unsigned c, unsigned a) {
    const unsigned x = (255 - c) * a + 128;
    return static_cast<uint8_t>(255 - ((x + (x >> 8)) >> 8));
}

// One row of grey and alpha, or of blue, green, red and alpha, over white into the image's row.
void ComposeRow(const uint8_t* in, png_uint_32 width, Pixels pixels, uint8_t* out) {
    if (pixels == Pixels::GreyAlpha) {
        for (png_uint_32 x = 0; x < width; ++x, in += 2)
            out[x] = OverWhite(in[0], in[1]);
        return;
    }
    for (png_uint_32 x = 0; x < width; ++x, in += 4, out += 3) {
        out[0] = OverWhite(in[0], in[3]);
        out[1] = OverWhite(in[1], in[3]);
        out[2] = OverWhite(in[2], in[3]);
    }
}

// Step 2: every row, into the image's block bottom-up. Pixels with alpha go through `scratch`: one
// row, or the whole picture when the file is interlaced. `rows` has room for a pointer per row.
bool DecodeRows(Decoder* d, uint8_t* bits, ptrdiff_t stride, uint8_t* scratch, png_bytepp rows) {
    if (setjmp(png_jmpbuf(d->png))) return false;
    const png_uint_32 height = d->height;
    const size_t rowBytes = size_t{d->width} * BytesPerPixel(d->pixels);
    const bool alpha = HasAlpha(d->pixels);
    if (alpha && d->passes == 1) {
        for (png_uint_32 y = 0; y < height; ++y) {
            png_read_row(d->png, scratch, nullptr);
            ComposeRow(scratch, d->width, d->pixels, bits + (height - 1 - y) * stride);
        }
        return true;
    }
    for (png_uint_32 y = 0; y < height; ++y)
        rows[y] = alpha ? scratch + y * rowBytes : bits + (height - 1 - y) * stride;
    png_read_image(d->png, rows);
    if (alpha) {
        for (png_uint_32 y = 0; y < height; ++y)
            ComposeRow(rows[y], d->width, d->pixels, bits + (height - 1 - y) * stride);
    }
    // The chunks after the pixels are of no interest: no png_read_end.
    return true;
}

// The colour table: the file's palette (over white where tRNS makes entries transparent, unless their
// opacities are kept in `entryAlpha`), or a grey ramp. The rest of the 256 entries stays zero.
void FillPalette(Decoder* d, RGBQUAD* palette, uint8_t* entryAlpha) {
    if (d->pixels != Pixels::Indices) {
        for (int i = 0; i < kPaletteEntries; ++i) {
            const auto level = static_cast<uint8_t>(i);
            palette[i] = RGBQUAD{level, level, level, 0};
        }
        return;
    }
    png_colorp colours = nullptr;
    int count = 0;
    png_get_PLTE(d->png, d->info, &colours, &count);
    png_bytep alphas = nullptr;
    int alphaCount = 0;
    if (png_get_valid(d->png, d->info, PNG_INFO_tRNS))
        png_get_tRNS(d->png, d->info, &alphas, &alphaCount, nullptr);
    for (int i = 0; i < count && i < kPaletteEntries; ++i) {
        const unsigned a = i < alphaCount ? alphas[i] : 255;
        if (entryAlpha) {
            palette[i] = RGBQUAD{colours[i].blue, colours[i].green, colours[i].red, 0};
            entryAlpha[i] = static_cast<uint8_t>(a);
        } else {
            palette[i] = RGBQUAD{OverWhite(colours[i].blue, a), OverWhite(colours[i].green, a),
                                 OverWhite(colours[i].red, a), 0};
        }
    }
}

}  // namespace

Status ReadPngImage(const InputFile& file, ReadJob& job) {
    std::unique_ptr<Decoder, FreeDeleter> decoder(static_cast<Decoder*>(std::calloc(1, sizeof(Decoder))));
    if (!decoder) return Status::NoMemory;
    Decoder* d = decoder.get();
    d->source.file = &file;
    d->progress = &job.progress;
    d->keepAlpha = job.keepAlpha;
    d->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    if (!d->png) return Status::NoMemory;
    d->info = png_create_info_struct(d->png);

    DecodedImage& image = job.image;
    Buffer scratch;
    std::unique_ptr<png_bytep[], FreeDeleter> rows;
    Status status = !d->info ? Status::NoMemory : ReadHeader(d) ? Status::Ok : Status::Damaged;
    // png_set_user_limits refuses sides over the model's limit as errors of the header.
    if (status == Status::Damaged && (d->width > kMaxImageDimension || d->height > kMaxImageDimension))
        status = Status::TooLarge;
    if (status == Status::Ok) status = image.Allocate(d->width, d->height, BitCountOf(d->pixels));
    if (status == Status::Ok && HasAlpha(d->pixels)) {
        const size_t rowBytes = size_t{d->width} * BytesPerPixel(d->pixels);
        scratch.reset(static_cast<uint8_t*>(std::malloc(d->passes > 1 ? rowBytes * d->height : rowBytes)));
        if (!scratch) status = Status::NoMemory;
    }
    if (status == Status::Ok) {
        rows.reset(static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * d->height)));
        if (!rows) status = Status::NoMemory;
    }
    if (status == Status::Ok &&
        !DecodeRows(d, image.Bits(), static_cast<ptrdiff_t>(image.Stride()), scratch.get(), rows.get()))
        status = Status::Damaged;
    if (status == Status::Ok && image.BitCount() == 8) {
        uint8_t* entryAlpha = nullptr;
        if (job.keepAlpha && d->pixels == Pixels::Indices && png_get_valid(d->png, d->info, PNG_INFO_tRNS)) {
            entryAlpha = image.EntryAlpha();
            if (!entryAlpha) status = Status::NoMemory;
        }
        FillPalette(d, image.Palette(), entryAlpha);
    }
    if (d->depth == 16) job.flags |= IMGKIT_READ_REDUCED_DEPTH;
    if (d->type == PNG_COLOR_TYPE_GRAY || d->type == PNG_COLOR_TYPE_GRAY_ALPHA) job.flags |= IMGKIT_READ_GREY;
    png_destroy_read_struct(&d->png, d->info ? &d->info : nullptr, nullptr);
    return status;
}

namespace {

BITMAPINFOHEADER* ReadPngFile(const char* path, uint8_t** bits, RGBQUAD** palette) {
    InputFile file;
    if (!file.Open(path)) return nullptr;
    ReadJob job;
    job.keepAlpha = false;
    return ReadPngImage(file, job) == Status::Ok ? job.image.Release(bits, palette) : nullptr;
}

// The file written through a buffer of our own: libpng hands over a few bytes at a time.
struct Encoder {
    png_structp png;
    png_infop info;
    OutputFile* out;
    Progress* progress;
    size_t used;
    uint8_t buffer[kWriteBufferBytes];
};

bool FlushBuffer(Encoder* e) {
    const bool ok = e->out->Write(e->buffer, e->used);
    e->used = 0;
    return ok;
}

// Bytes through the encoder's buffer to the file.
bool Put(Encoder* e, const void* data, size_t n) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    while (n > 0) {
        if (e->used == kWriteBufferBytes && !FlushBuffer(e)) return false;
        const size_t take = n < kWriteBufferBytes - e->used ? n : kWriteBufferBytes - e->used;
        std::memcpy(e->buffer + e->used, bytes, take);
        e->used += take;
        bytes += take;
        n -= take;
    }
    return true;
}

void OnWrite(png_structp png, png_bytep data, size_t n) {
    if (!Put(static_cast<Encoder*>(png_get_io_ptr(png)), data, n)) png_error(png, "write failed");
}

void OnFlush(png_structp) {}

void StoreBigEndian32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v >> 24);
    p[1] = static_cast<uint8_t>(v >> 16);
    p[2] = static_cast<uint8_t>(v >> 8);
    p[3] = static_cast<uint8_t>(v);
}

// How an 8-bit image is stored: the colour type, the bits per pixel, and for greyscale the step
// between the grey levels a sample of that depth stands for (255 for 1 bit, 85 for 2, 17 for 4).
struct IndexedForm {
    int type = PNG_COLOR_TYPE_PALETTE;
    int depth = 8;
    int greyStep = 1;
    int paletteEntries = kPaletteEntries;
    int alphaEntries = 0;
};

IndexedForm ChooseIndexedForm(const WriteJob& job) {
    IndexedForm form;
    bool used[kPaletteEntries];
    const int highest = UsedIndices(job, used);
    if (!job.entryAlpha && IsGreyRamp(job.palette)) {
        // The grey ramp: each index is its own grey level, as a grey file reads back.
        form.type = PNG_COLOR_TYPE_GRAY;
        for (const int depth : {1, 2, 4, 8}) {
            const int step = 255 / ((1 << depth) - 1);
            bool fits = true;
            for (int i = 0; i < kPaletteEntries && fits; ++i)
                fits = !used[i] || i % step == 0;
            if (fits) {
                form.depth = depth;
                form.greyStep = step;
                break;
            }
        }
        return form;
    }
    if (job.entryAlpha) {
        for (int i = 0; i < kPaletteEntries; ++i)
            if (job.entryAlpha[i] != 255) form.alphaEntries = i + 1;
    }
    form.paletteEntries = std::max({PaletteLength(job.palette), highest + 1, form.alphaEntries});
    for (const int depth : {1, 2, 4, 8}) {
        if (form.paletteEntries <= 1 << depth) {
            form.depth = depth;
            break;
        }
    }
    return form;
}

// The pixels of an 8-bit image as the zlib stream of the IDAT chunks, compressed in bands of rows
// at the same time on the machine's processors and joined into one stream. Each band is a raw
// deflate stream that starts from the 32 KiB of rows before it as its dictionary and ends on a
// byte boundary (a sync flush; the last band finishes the stream), so the joined stream is as small
// as one made in a single pass, give or take a few bytes a band. The bands depend on the image
// alone, never on the number of processors: the same image always gives the same file.
constexpr size_t kBandBytes = size_t{1} << 20;  // filtered scanline bytes a band holds, about
constexpr size_t kWindowBytes = size_t{1} << 15;
constexpr int kMaxWorkers = 8;

// The scanline of picture row y: filter type 0 (none), then the samples packed from the high bit
// down (one a byte at 8 bits): the indices, or the grey levels divided by the form's step.
void PackLine(const WriteJob& job, const IndexedForm& form, int64_t y, uint8_t* out) {
    const uint8_t* row = job.Line(y);
    const int64_t width = job.Width();
    *out++ = 0;
    if (form.depth == 8 && form.greyStep == 1) {
        std::memcpy(out, row, static_cast<size_t>(width));
        return;
    }
    const int depth = form.depth;
    const int perByte = 8 / depth;
    for (int64_t x = 0; x < width; x += perByte) {
        unsigned byte = 0;
        for (int k = 0; k < perByte; ++k) {
            const unsigned sample = x + k < width ? row[x + k] / form.greyStep : 0;
            byte |= sample << (8 - depth * (k + 1));
        }
        *out++ = static_cast<uint8_t>(byte);
    }
}

// One band's compressed bytes and the Adler-32 of its scanlines.
struct Band {
    std::vector<uint8_t> data;
    uLong adler = 1;
    bool ok = false;
    bool done = false;
};

bool CompressBand(const WriteJob& job, const IndexedForm& form, size_t lineBytes, int64_t first, int64_t end,
                  bool last, Band* band) {
    // The rows before the band that reach back a window's length, then the band's own rows.
    const int64_t before = std::min<int64_t>(first, static_cast<int64_t>((kWindowBytes + lineBytes - 1) / lineBytes));
    std::vector<uint8_t> lines(static_cast<size_t>(end - first + before) * lineBytes);
    for (int64_t y = first - before; y < end; ++y)
        PackLine(job, form, y, lines.data() + static_cast<size_t>(y - first + before) * lineBytes);
    const size_t dictionary = std::min(kWindowBytes, static_cast<size_t>(before) * lineBytes);
    const uint8_t* own = lines.data() + static_cast<size_t>(before) * lineBytes;
    const size_t ownBytes = static_cast<size_t>(end - first) * lineBytes;
    band->adler = adler32_z(1, own, ownBytes);
    z_stream z{};
    if (deflateInit2(&z, kCompressionLevel, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) return false;
    bool ok = dictionary == 0 || deflateSetDictionary(&z, own - dictionary, static_cast<uInt>(dictionary)) == Z_OK;
    band->data.resize(deflateBound(&z, ownBytes) + 16);
    z.next_in = const_cast<uint8_t*>(own);
    z.next_out = band->data.data();
    // zlib counts in 32 bits: a band never comes near that.
    z.avail_in = static_cast<uInt>(ownBytes);
    z.avail_out = static_cast<uInt>(band->data.size());
    ok = ok && deflate(&z, last ? Z_FINISH : Z_SYNC_FLUSH) == (last ? Z_STREAM_END : Z_OK) && z.avail_in == 0;
    band->data.resize(band->data.size() - z.avail_out);
    deflateEnd(&z);
    return ok;
}

bool PutChunk(Encoder* e, const char* type, const uint8_t* data, size_t n) {
    uint8_t head[8];
    StoreBigEndian32(head, static_cast<uint32_t>(n));
    std::memcpy(head + 4, type, 4);
    uLong crc = crc32_z(0, head + 4, 4);
    if (n > 0) crc = crc32_z(crc, data, n);
    uint8_t tail[4];
    StoreBigEndian32(tail, static_cast<uint32_t>(crc));
    return Put(e, head, 8) && (n == 0 || Put(e, data, n)) && Put(e, tail, 4);
}

// The zlib stream cut into IDAT chunks of kIdatBytes as it comes.
class IdatWriter {
public:
    explicit IdatWriter(Encoder* e) : m_encoder(e) { m_chunk.reserve(kIdatBytes); }
    bool Add(const uint8_t* data, size_t n) {
        while (n > 0) {
            const size_t take = std::min(n, kIdatBytes - m_chunk.size());
            m_chunk.insert(m_chunk.end(), data, data + take);
            data += take;
            n -= take;
            if (m_chunk.size() == kIdatBytes && !Flush()) return false;
        }
        return true;
    }
    bool Flush() {
        const bool ok = m_chunk.empty() || PutChunk(m_encoder, "IDAT", m_chunk.data(), m_chunk.size());
        m_chunk.clear();
        return ok;
    }

private:
    Encoder* m_encoder;
    std::vector<uint8_t> m_chunk;
};

// The IDAT chunks and IEND of an 8-bit image whose header libpng has written. The calling thread
// writes the bands in order as they are done and compresses bands itself meanwhile; helpers run
// at most a few bands ahead of the writing, so memory stays a few bands' worth.
bool WriteIndexedPixels(Encoder* e, const WriteJob& job, const IndexedForm& form) {
    const int64_t height = job.Height();
    const size_t lineBytes = 1 + static_cast<size_t>((job.Width() * form.depth + 7) / 8);
    const int64_t bandRows = std::max<int64_t>(1, static_cast<int64_t>(kBandBytes / lineBytes));
    const int64_t bandCount = (height + bandRows - 1) / bandRows;
    const int workers = static_cast<int>(
        std::min<int64_t>({std::max(1u, std::thread::hardware_concurrency()), kMaxWorkers, bandCount}));
    std::vector<Band> bands(static_cast<size_t>(bandCount));
    std::mutex mutex;
    std::condition_variable changed;
    int64_t next = 0;     // the first band no one has taken
    int64_t written = 0;  // bands written to the file
    bool stop = false;
    const int64_t ahead = 2 * workers;
    const auto compress = [&](int64_t b) {
        Band& band = bands[static_cast<size_t>(b)];
        bool ok = false;
        try {
            ok = CompressBand(job, form, lineBytes, b * bandRows, std::min(height, (b + 1) * bandRows),
                              b + 1 == bandCount, &band);
        } catch (...) {  // out of memory
        }
        std::lock_guard lock(mutex);
        band.ok = ok;
        band.done = true;
        changed.notify_all();
    };
    const auto help = [&] {
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [&] { return stop || next >= bandCount || next < written + ahead; });
            if (stop || next >= bandCount) return;
            const int64_t b = next++;
            lock.unlock();
            compress(b);
            lock.lock();
        }
    };
    std::vector<std::thread> helpers;
    for (int i = 1; i < workers; ++i) {
        try {
            helpers.emplace_back(help);
        } catch (const std::system_error&) {
            break;  // fewer helpers, the same bytes
        }
    }
    IdatWriter idat(e);
    static constexpr uint8_t kZlibHeader[2] = {0x78, 0x9C};  // deflate, 32 KiB window, default level
    bool ok = idat.Add(kZlibHeader, 2);
    uLong adler = 1;
    std::unique_lock lock(mutex);
    while (ok && written < bandCount) {
        Band& band = bands[static_cast<size_t>(written)];
        if (band.done) {
            lock.unlock();
            ok = band.ok && idat.Add(band.data.data(), band.data.size());
            const int64_t first = written * bandRows, end = std::min(height, first + bandRows);
            adler = adler32_combine(adler, band.adler, static_cast<z_off_t>((end - first) * lineBytes));
            std::vector<uint8_t>().swap(band.data);
            e->progress->Report(end, height);
            lock.lock();
            ++written;
            changed.notify_all();
        } else if (next < bandCount && next < written + ahead) {
            const int64_t b = next++;
            lock.unlock();
            compress(b);
            lock.lock();
        } else {
            changed.wait(lock);
        }
    }
    stop = true;
    changed.notify_all();
    lock.unlock();
    for (std::thread& helper : helpers)
        helper.join();
    uint8_t check[4];
    StoreBigEndian32(check, static_cast<uint32_t>(adler));
    return ok && idat.Add(check, 4) && idat.Flush() && PutChunk(e, "IEND", nullptr, 0);
}

// The file, top row first, into the encoder's buffer and file; the buffer's rest is left for the
// caller to write. Of an 8-bit image only the chunks before the pixels: WriteIndexedPixels does
// the rest.
bool Encode(Encoder* e, const WriteJob* job, const IndexedForm* form) {
    if (setjmp(png_jmpbuf(e->png))) return false;
    const int bitCount = job->BitCount();
    const auto width = static_cast<png_uint_32>(job->Width());
    const auto height = static_cast<png_uint_32>(job->Height());
    const int type = bitCount == 8    ? form->type
                     : bitCount == 32 ? PNG_COLOR_TYPE_RGB_ALPHA
                                      : PNG_COLOR_TYPE_RGB;
    const int depth = bitCount == 8 ? form->depth : 8;
    png_set_write_fn(e->png, e, OnWrite, OnFlush);
    png_set_IHDR(e->png, e->info, width, height, depth, type, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (type == PNG_COLOR_TYPE_PALETTE) {
        png_color colours[kPaletteEntries];
        for (int i = 0; i < form->paletteEntries; ++i)
            colours[i] = png_color{job->palette[i].rgbRed, job->palette[i].rgbGreen, job->palette[i].rgbBlue};
        png_set_PLTE(e->png, e->info, colours, form->paletteEntries);
        if (form->alphaEntries > 0)
            png_set_tRNS(e->png, e->info, job->entryAlpha, form->alphaEntries, nullptr);
    }
    png_set_compression_level(e->png, kCompressionLevel);
    png_set_compression_buffer_size(e->png, kIdatBytes);
    png_write_info(e->png, e->info);
    if (bitCount == 8) return true;
    png_set_bgr(e->png);
    for (png_uint_32 y = 0; y < height; ++y) {
        png_write_row(e->png, job->Line(y));
        if ((y & 63) == 0) e->progress->Report(y, height);
    }
    png_write_end(e->png, nullptr);
    return true;
}

Status SavePngFile(const char* path, WriteJob& job) {
    const IndexedForm form = job.BitCount() == 8 ? ChooseIndexedForm(job) : IndexedForm{};
    std::unique_ptr<Encoder, FreeDeleter> encoder(static_cast<Encoder*>(std::calloc(1, sizeof(Encoder))));
    if (!encoder) return Status::NoMemory;
    Encoder* e = encoder.get();
    e->progress = &job.progress;
    e->png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    if (!e->png) return Status::NoMemory;
    e->info = png_create_info_struct(e->png);
    OutputFile out;
    e->out = &out;
    const bool ok = e->info && out.Create(path) && Encode(e, &job, &form) &&
                    (job.BitCount() != 8 || WriteIndexedPixels(e, job, form)) && FlushBuffer(e);
    png_destroy_write_struct(&e->png, e->info ? &e->info : nullptr);
    return ok && out.Commit() ? Status::Ok : Status::WriteFailed;
}

}  // namespace

Status WritePngImage(const char* path, WriteJob& job) {
    return SavePngFile(path, job);
}

}  // namespace imgkit

extern "C" BITMAPINFOHEADER* ReadPNG(const char* path, uint8_t** bits, RGBQUAD** palette) {
    if (!bits || !palette) return nullptr;
    try {
        return imgkit::ReadPngFile(path, bits, palette);
    } catch (...) {
        return nullptr;
    }
}

extern "C" int SavePNG(const char* path, const uint8_t* bits, BITMAPINFOHEADER header,
                       const RGBQUAD* palette) {
    try {
        if (!imgkit::IsWritableImage(bits, header, palette, header.biBitCount == 8)) return 0;
        imgkit::WriteJob job{bits, &header, palette, nullptr, {}, {}};
        return imgkit::SavePngFile(path, job) == imgkit::Status::Ok ? 1 : 0;
    } catch (...) {
        return 0;
    }
}
