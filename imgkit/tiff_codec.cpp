// TIFF through libtiff.
//
// Read: the first page (the pages are counted). Palette images of 1, 2, 4 or 8 bits give an 8-bit
// image with the file's colour map (the high byte of 16-bit map values; maps that only hold 8-bit
// values taken as they are); greyscale (black or white as zero) of 1, 2, 4, 8 or 16 bits gives 8 bits
// with a grey ramp, and with an alpha sample a 32-bit image; RGB of 8 or 16 bits gives 24 bits, and
// with an alpha sample (associated or not) 32 bits with straight alpha. 16-bit samples are scaled to
// 8 bits with rounding. Strips or tiles, any compression libtiff decodes (none, PackBits, LZW,
// Deflate, JPEG, ...), either byte order, top-left or bottom-left origin. What these rules do not
// cover (CMYK, YCbCr without JPEG compression, CIE L*a*b*, separate planes of colour, 16-bit
// palettes) goes through libtiff's RGBA reader, as 24 or 32 bits. Floating-point and signed samples
// are refused as unsupported; a file libtiff finds errors in, or data missing from, as damaged.
//
// Written: 8 bits as a palette image, 24 bits as RGB, 32 bits as RGB with unassociated alpha; 8 bits
// per sample, Deflate-compressed with horizontal differencing for colour, strips of about 256 KiB.
#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstring>

#include <tiffio.h>
#include <unistd.h>

#include "imgkit/codec_io.h"

namespace imgkit {
namespace {

// What libtiff may allocate at once on its own (a strip, a tile, a table).
constexpr tmsize_t kLibraryAllocationLimit = tmsize_t{1} << 30;
constexpr int64_t kMaxBandBytes = int64_t{1} << 30;
constexpr int64_t kMaxStripBandBytes = int64_t{64} << 20;
constexpr int64_t kStripBytes = int64_t{256} << 10;

// Errors are counted, and so are the warnings about data cut short: libtiff goes on after those
// with a guess (a colour map it could not read makes the picture grey), which would show a damaged
// file as a different picture.
int OnError(TIFF*, void* errors, const char*, const char*, va_list) {
    if (errors) ++*static_cast<int*>(errors);
    return 1;
}

int OnWarning(TIFF*, void* errors, const char*, const char* format, va_list) {
    if (errors && format && std::strstr(format, "IO error")) ++*static_cast<int*>(errors);
    return 1;
}

// The file as libtiff reads it.
struct ReadHandle {
    const InputFile* file;
    int64_t position;
};

tmsize_t OnRead(thandle_t handle, void* out, tmsize_t n) {
    auto* h = static_cast<ReadHandle*>(handle);
    const int64_t left = h->file->Size() - h->position;
    const int64_t take = std::max<int64_t>(0, std::min<int64_t>(n, left));
    if (take > 0 && !h->file->ReadAt(h->position, out, static_cast<size_t>(take))) return -1;
    h->position += take;
    return static_cast<tmsize_t>(take);
}

tmsize_t OnNoWrite(thandle_t, void*, tmsize_t) {
    return -1;
}

toff_t Seek(int64_t* position, int64_t size, toff_t offset, int whence) {
    const int64_t base = whence == SEEK_CUR ? *position : whence == SEEK_END ? size : 0;
    const int64_t target = base + static_cast<int64_t>(offset);
    if (target < 0) return static_cast<toff_t>(-1);
    *position = target;
    return static_cast<toff_t>(target);
}

toff_t OnSeekRead(thandle_t handle, toff_t offset, int whence) {
    auto* h = static_cast<ReadHandle*>(handle);
    return Seek(&h->position, h->file->Size(), offset, whence);
}

int OnClose(thandle_t) {
    return 0;
}

toff_t OnSizeRead(thandle_t handle) {
    return static_cast<toff_t>(static_cast<ReadHandle*>(handle)->file->Size());
}

int OnNoMap(thandle_t, void**, toff_t*) {
    return 0;
}
void OnNoUnmap(thandle_t, void*, toff_t) {}

struct TiffCloser {
    void operator()(TIFF* tif) const { TIFFClose(tif); }
};
using Tiff = std::unique_ptr<TIFF, TiffCloser>;

TIFFOpenOptions* QuietOptions(int* errors) {
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (!options) return nullptr;
    TIFFOpenOptionsSetErrorHandlerExtR(options, OnError, errors);
    TIFFOpenOptionsSetWarningHandlerExtR(options, OnWarning, errors);
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, kLibraryAllocationLimit);
    return options;
}

// The page as read: its shape and how its samples become the picture.
struct Page {
    uint32_t width = 0;
    uint32_t height = 0;
    uint16_t bits = 1;
    uint16_t samples = 1;
    uint16_t photometric = PHOTOMETRIC_MINISBLACK;
    uint16_t planar = PLANARCONFIG_CONTIG;
    uint16_t format = SAMPLEFORMAT_UINT;
    uint16_t orientation = ORIENTATION_TOPLEFT;
    uint16_t compression = COMPRESSION_NONE;
    int alphaSample = -1;  // the sample that holds alpha, or -1
    bool associated = false;
    int colourSamples = 1;
};

bool ReadPage(TIFF* tif, Page* page) {
    if (!TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &page->width) ||
        !TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &page->height))
        return false;
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &page->bits);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &page->samples);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &page->planar);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &page->format);
    TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &page->orientation);
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &page->compression);
    if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &page->photometric))
        page->photometric = page->samples >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
    uint16_t extraCount = 0;
    uint16_t* extras = nullptr;
    TIFFGetFieldDefaulted(tif, TIFFTAG_EXTRASAMPLES, &extraCount, &extras);
    page->colourSamples = page->samples - extraCount;
    if (extraCount > 0 && extras && page->colourSamples >= 1 &&
        (extras[0] == EXTRASAMPLE_ASSOCALPHA || extras[0] == EXTRASAMPLE_UNASSALPHA)) {
        page->alphaSample = page->colourSamples;
        page->associated = extras[0] == EXTRASAMPLE_ASSOCALPHA;
    }
    return true;
}

// One sample of `bits` bits (1 to 16) of a row, as 0..255.
struct SampleScale {
    int bits;
    bool invert;  // white is zero
    uint8_t operator()(uint32_t v) const {
        const uint32_t top = (1u << bits) - 1;
        if (invert) v = top - v;
        return static_cast<uint8_t>((v * 255 + top / 2) / top);
    }
};

uint32_t Sample(const uint8_t* row, int64_t index, int bits) {
    if (bits == 8) return row[index];
    if (bits == 16) return reinterpret_cast<const uint16_t*>(row)[index];
    const int64_t bit = index * bits;
    return (row[bit >> 3] >> (8 - bits - (bit & 7))) & ((1u << bits) - 1);
}

// Rows of a stripped or tiled page with its samples interleaved, decoded band by band.
class BandReader {
public:
    BandReader(TIFF* tif, const Page& page) : m_tif(tif), m_page(page) {}

    Status Start() {
        m_lineBytes = TIFFScanlineSize64(m_tif);
        if (m_lineBytes <= 0) return Status::Damaged;
        m_tiled = TIFFIsTiled(m_tif);
        if (!m_tiled) {
            // Whole strips decode more than twice as fast as single rows; a strip too large for a
            // band of its own is read row by row.
            uint32_t rowsPerStrip = 0;
            TIFFGetFieldDefaulted(m_tif, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
            m_bandRows = std::clamp<int64_t>(rowsPerStrip, 1, m_page.height);
            m_byRow = m_bandRows * m_lineBytes > kMaxStripBandBytes;
            if (m_byRow) m_bandRows = 1;
            m_band.reset(static_cast<uint8_t*>(std::malloc(static_cast<size_t>(m_bandRows * m_lineBytes))));
            return m_band ? Status::Ok : Status::NoMemory;
        }
        uint32_t tileWidth = 0, tileLength = 0;
        TIFFGetField(m_tif, TIFFTAG_TILEWIDTH, &tileWidth);
        TIFFGetField(m_tif, TIFFTAG_TILELENGTH, &tileLength);
        m_tileWidth = tileWidth;
        m_bandRows = tileLength;
        m_tileBytes = TIFFTileSize64(m_tif);
        m_tileRowBytes = TIFFTileRowSize64(m_tif);
        const int64_t pixelBits = int64_t{m_page.bits} * m_page.samples;
        if (m_tileWidth < 1 || m_bandRows < 1 || m_tileBytes <= 0 || m_tileRowBytes <= 0 ||
            (m_tileWidth * pixelBits) % 8 != 0)
            return Status::Damaged;
        if (m_tileBytes > kMaxBandBytes || m_bandRows * m_lineBytes > kMaxBandBytes) return Status::TooLarge;
        m_band.reset(static_cast<uint8_t*>(std::malloc(static_cast<size_t>(m_bandRows * m_lineBytes))));
        m_tile.reset(static_cast<uint8_t*>(std::malloc(static_cast<size_t>(m_tileBytes))));
        return m_band && m_tile ? Status::Ok : Status::NoMemory;
    }

    // Row y of the page (rows come in order), or null when it cannot be decoded.
    const uint8_t* Row(int64_t y) {
        if (m_byRow)
            return TIFFReadScanline(m_tif, m_band.get(), static_cast<uint32_t>(y), 0) == 1 ? m_band.get()
                                                                                           : nullptr;
        const int64_t first = y / m_bandRows * m_bandRows;
        if (first != m_bandFirst && !(m_tiled ? ReadTiles(first) : ReadStrip(first))) return nullptr;
        return m_band.get() + (y - first) * m_lineBytes;
    }

private:
    bool ReadStrip(int64_t first) {
        m_bandFirst = -1;
        const int64_t bytes = std::min<int64_t>(m_bandRows, m_page.height - first) * m_lineBytes;
        const uint32_t strip = TIFFComputeStrip(m_tif, static_cast<uint32_t>(first), 0);
        if (TIFFReadEncodedStrip(m_tif, strip, m_band.get(), static_cast<tmsize_t>(bytes)) < bytes)
            return false;
        m_bandFirst = first;
        return true;
    }

    bool ReadTiles(int64_t first) {
        m_bandFirst = -1;
        const int64_t rows = std::min<int64_t>(m_bandRows, m_page.height - first);
        const int64_t pixelBits = int64_t{m_page.bits} * m_page.samples;
        for (int64_t x = 0; x < m_page.width; x += m_tileWidth) {
            const uint32_t tile =
                TIFFComputeTile(m_tif, static_cast<uint32_t>(x), static_cast<uint32_t>(first), 0, 0);
            if (TIFFReadEncodedTile(m_tif, tile, m_tile.get(), m_tileBytes) < 0) return false;
            const int64_t start = x * pixelBits / 8;
            const int64_t bytes = std::min(m_tileRowBytes, m_lineBytes - start);
            for (int64_t r = 0; r < rows; ++r)
                std::memcpy(m_band.get() + r * m_lineBytes + start, m_tile.get() + r * m_tileRowBytes,
                            static_cast<size_t>(bytes));
        }
        m_bandFirst = first;
        return true;
    }

    TIFF* m_tif;
    const Page& m_page;
    bool m_tiled = false;
    bool m_byRow = false;
    int64_t m_lineBytes = 0;
    int64_t m_bandRows = 1;
    int64_t m_bandFirst = -1;
    int64_t m_tileWidth = 0;
    int64_t m_tileBytes = 0;
    int64_t m_tileRowBytes = 0;
    Buffer m_band;
    Buffer m_tile;
};

// The colour map, as 8-bit values: maps whose values all fit 8 bits were written as 8-bit values.
// False when the file has none (libtiff drops a map it cannot read).
bool CopyColourMap(TIFF* tif, const Page& page, RGBQUAD* palette) {
    uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
    if (!TIFFGetField(tif, TIFFTAG_COLORMAP, &red, &green, &blue) || !red || !green || !blue) return false;
    const int entries = 1 << page.bits;
    bool eightBit = true;
    for (int i = 0; i < entries; ++i)
        eightBit = eightBit && red[i] < 256 && green[i] < 256 && blue[i] < 256;
    // The high byte, as libtiff itself reads maps: right for maps of v * 257 and of v * 256 alike.
    const auto scale = [eightBit](uint16_t v) { return static_cast<uint8_t>(eightBit ? v : v >> 8); };
    for (int i = 0; i < entries; ++i)
        palette[i] = RGBQUAD{scale(blue[i]), scale(green[i]), scale(red[i]), 0};
    return true;
}

// Palette, greyscale and RGB pages with interleaved samples, decoded here.
Status ReadSamples(TIFF* tif, const Page& page, ReadJob& job) {
    const bool palette = page.photometric == PHOTOMETRIC_PALETTE;
    const bool grey = page.colourSamples == 1 && !palette;
    const bool alpha = page.alphaSample >= 0;
    DecodedImage& image = job.image;
    const int bitCount = alpha ? 32 : page.colourSamples == 1 ? 8 : 24;
    const Status allocated = image.Allocate(page.width, page.height, bitCount);
    if (allocated != Status::Ok) return allocated;
    if (palette && !CopyColourMap(tif, page, image.Palette())) return Status::Damaged;
    if (grey && !alpha) {
        RGBQUAD* ramp = image.Palette();
        for (int i = 0; i < kPaletteEntries; ++i)
            ramp[i] = RGBQUAD{uint8_t(i), uint8_t(i), uint8_t(i), 0};
    }
    if (page.bits == 16) job.flags |= IMGKIT_READ_REDUCED_DEPTH;
    if (grey) job.flags |= IMGKIT_READ_GREY;

    BandReader reader(tif, page);
    const Status started = reader.Start();
    if (started != Status::Ok) return started;
    const SampleScale scale{page.bits, page.photometric == PHOTOMETRIC_MINISWHITE};
    const SampleScale alphaScale{page.bits, false};
    const int samples = page.samples;
    const bool flip = page.orientation == ORIENTATION_BOTLEFT;
    for (int64_t y = 0; y < page.height; ++y) {
        const uint8_t* in = reader.Row(y);
        if (!in) return Status::Damaged;
        uint8_t* out = image.Line(flip ? page.height - 1 - y : y);
        if (palette) {
            for (int64_t x = 0; x < page.width; ++x)
                out[x] = static_cast<uint8_t>(Sample(in, x * samples, page.bits));
        } else if (grey && !alpha) {
            if (page.bits == 8 && samples == 1 && !scale.invert)
                std::memcpy(out, in, page.width);
            else
                for (int64_t x = 0; x < page.width; ++x)
                    out[x] = scale(Sample(in, x * samples, page.bits));
        } else if (page.bits == 8 && !alpha && samples == 3) {
            for (int64_t x = 0; x < page.width; ++x, in += 3, out += 3) {
                out[0] = in[2];
                out[1] = in[1];
                out[2] = in[0];
            }
        } else {
            const int step = alpha ? 4 : 3;
            for (int64_t x = 0; x < page.width; ++x, out += step) {
                const int64_t first = x * samples;
                uint8_t r, g, b;
                if (grey) {
                    r = g = b = scale(Sample(in, first, page.bits));
                } else {
                    r = scale(Sample(in, first, page.bits));
                    g = scale(Sample(in, first + 1, page.bits));
                    b = scale(Sample(in, first + 2, page.bits));
                }
                if (alpha) {
                    const uint8_t a = alphaScale(Sample(in, first + page.alphaSample, page.bits));
                    if (page.associated && a != 0 && a != 255) {
                        r = static_cast<uint8_t>(std::min(255, (r * 255 + a / 2) / a));
                        g = static_cast<uint8_t>(std::min(255, (g * 255 + a / 2) / a));
                        b = static_cast<uint8_t>(std::min(255, (b * 255 + a / 2) / a));
                    }
                    out[3] = a;
                }
                out[0] = b;
                out[1] = g;
                out[2] = r;
            }
        }
        if ((y & 63) == 0) job.progress.Report(y, page.height);
    }
    return Status::Ok;
}

// Everything else through libtiff's RGBA reader, straight into a 32-bit block of the same layout:
// libtiff's red, green, blue, alpha bytes with alpha multiplied in become blue, green, red and
// straight alpha in place.
Status ReadRgba(TIFF* tif, const Page& page, ReadJob& job) {
    char reason[1024];
    if (!TIFFRGBAImageOK(tif, reason)) return Status::Unsupported;
    DecodedImage& image = job.image;
    const Status allocated = image.Allocate(page.width, page.height, 32);
    if (allocated != Status::Ok) return allocated;
    auto* raster = reinterpret_cast<uint32_t*>(image.Bits());
    if (!TIFFReadRGBAImageOriented(tif, page.width, page.height, raster, ORIENTATION_BOTLEFT, 1))
        return Status::Damaged;
    const int64_t pixels = int64_t{page.width} * page.height;
    uint8_t* p = image.Bits();
    for (int64_t i = 0; i < pixels; ++i, p += 4) {
        const uint8_t r = p[0], a = p[3];
        p[0] = p[2];
        p[2] = r;
        if (a != 0 && a != 255) {
            for (int c = 0; c < 3; ++c)
                p[c] = static_cast<uint8_t>(std::min(255, (p[c] * 255 + a / 2) / a));
        }
    }
    if (page.bits == 16) job.flags |= IMGKIT_READ_REDUCED_DEPTH;
    return page.alphaSample >= 0 ? Status::Ok : image.DropAlpha();
}

}  // namespace

Status ReadTiffImage(const InputFile& file, ReadJob& job) {
    ReadHandle handle{&file, 0};
    int errors = 0;
    TIFFOpenOptions* options = QuietOptions(&errors);
    if (!options) return Status::NoMemory;
    Tiff tif(TIFFClientOpenExt("picture", "rm", &handle, OnRead, OnNoWrite, OnSeekRead, OnClose, OnSizeRead,
                               OnNoMap, OnNoUnmap, options));
    TIFFOpenOptionsFree(options);
    if (!tif) return Status::Damaged;
    Page page;
    if (!ReadPage(tif.get(), &page)) return Status::Damaged;
    if (page.width < 1 || page.height < 1) return Status::Damaged;
    if (page.width > kMaxImageDimension || page.height > kMaxImageDimension) return Status::TooLarge;
    if (page.format != SAMPLEFORMAT_UINT && page.format != SAMPLEFORMAT_VOID) return Status::Unsupported;

    // JPEG-compressed YCbCr is decoded to RGB by libtiff's JPEG codec.
    if (page.compression == COMPRESSION_JPEG && page.photometric == PHOTOMETRIC_YCBCR) {
        TIFFSetField(tif.get(), TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
        page.photometric = PHOTOMETRIC_RGB;
    }
    const bool bitsFit =
        page.bits == 1 || page.bits == 2 || page.bits == 4 || page.bits == 8 || page.bits == 16;
    const bool interleaved = page.planar == PLANARCONFIG_CONTIG || page.samples == 1;
    const bool palette = page.photometric == PHOTOMETRIC_PALETTE && page.colourSamples == 1 && page.bits <= 8;
    const bool grey =
        (page.photometric == PHOTOMETRIC_MINISBLACK || page.photometric == PHOTOMETRIC_MINISWHITE) &&
        page.colourSamples == 1;
    const bool rgb = page.photometric == PHOTOMETRIC_RGB && page.colourSamples == 3 && page.bits >= 8;
    if (errors > 0) return Status::Damaged;
    const Status status = bitsFit && interleaved && (palette || grey || rgb) && page.samples <= 8
                              ? ReadSamples(tif.get(), page, job)
                              : ReadRgba(tif.get(), page, job);
    if (status != Status::Ok) return status;
    if (errors > 0) return Status::Damaged;
    job.frames = std::max<int>(1, TIFFNumberOfDirectories(tif.get()));
    return Status::Ok;
}

namespace {

// The new file as libtiff writes it: straight into the temporary file of an OutputFile.
struct WriteHandle {
    int fd;
    int64_t position;
    int64_t size;
};

tmsize_t OnWrite(thandle_t handle, void* data, tmsize_t n) {
    auto* h = static_cast<WriteHandle*>(handle);
    const auto* in = static_cast<const uint8_t*>(data);
    tmsize_t done = 0;
    while (done < n) {
        const ssize_t wrote = pwrite(h->fd, in + done, static_cast<size_t>(n - done), h->position + done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) return -1;
        done += wrote;
    }
    h->position += n;
    h->size = std::max(h->size, h->position);
    return n;
}

tmsize_t OnReadBack(thandle_t handle, void* out, tmsize_t n) {
    auto* h = static_cast<WriteHandle*>(handle);
    const ssize_t got = pread(h->fd, out, static_cast<size_t>(n), h->position);
    if (got < 0) return -1;
    h->position += got;
    return got;
}

toff_t OnSeekWrite(thandle_t handle, toff_t offset, int whence) {
    auto* h = static_cast<WriteHandle*>(handle);
    return Seek(&h->position, h->size, offset, whence);
}

toff_t OnSizeWrite(thandle_t handle) {
    return static_cast<toff_t>(static_cast<WriteHandle*>(handle)->size);
}

bool WritePage(TIFF* tif, WriteJob& job, uint8_t* strip, int64_t rowsPerStrip) {
    const int bitCount = job.BitCount();
    const int samples = bitCount / 8;
    const auto width = static_cast<uint32_t>(job.Width());
    const auto height = static_cast<uint32_t>(job.Height());
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, samples);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_ADOBE_DEFLATE);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, static_cast<uint32_t>(rowsPerStrip));
    TIFFSetField(tif, TIFFTAG_XRESOLUTION, 72.0);
    TIFFSetField(tif, TIFFTAG_YRESOLUTION, 72.0);
    TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    if (bitCount == 8) {
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_PALETTE);
        uint16_t red[kPaletteEntries], green[kPaletteEntries], blue[kPaletteEntries];
        for (int i = 0; i < kPaletteEntries; ++i) {
            red[i] = static_cast<uint16_t>(job.palette[i].rgbRed * 257);
            green[i] = static_cast<uint16_t>(job.palette[i].rgbGreen * 257);
            blue[i] = static_cast<uint16_t>(job.palette[i].rgbBlue * 257);
        }
        TIFFSetField(tif, TIFFTAG_COLORMAP, red, green, blue);
    } else {
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        TIFFSetField(tif, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
        if (bitCount == 32) {
            const uint16_t extra[1] = {EXTRASAMPLE_UNASSALPHA};
            TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, extra);
        }
    }
    const int64_t lineBytes = job.Width() * samples;
    for (int64_t first = 0, index = 0; first < job.Height(); first += rowsPerStrip, ++index) {
        const int64_t rows = std::min(rowsPerStrip, job.Height() - first);
        for (int64_t r = 0; r < rows; ++r) {
            const uint8_t* in = job.Line(first + r);
            uint8_t* out = strip + r * lineBytes;
            if (samples == 1) {
                std::memcpy(out, in, static_cast<size_t>(lineBytes));
                continue;
            }
            for (int64_t x = 0; x < job.Width(); ++x, in += samples, out += samples) {
                out[0] = in[2];
                out[1] = in[1];
                out[2] = in[0];
                if (samples == 4) out[3] = in[3];
            }
        }
        if (TIFFWriteEncodedStrip(tif, static_cast<uint32_t>(index), strip,
                                  static_cast<tmsize_t>(rows * lineBytes)) < 0)
            return false;
        job.progress.Report(first + rows, job.Height());
    }
    return TIFFWriteDirectory(tif) == 1;
}

}  // namespace

Status WriteTiffImage(const char* path, WriteJob& job) {
    const int64_t lineBytes = job.Width() * (job.BitCount() / 8);
    const int64_t rowsPerStrip = std::clamp<int64_t>(kStripBytes / lineBytes, 1, job.Height());
    Buffer strip(static_cast<uint8_t*>(std::malloc(static_cast<size_t>(rowsPerStrip * lineBytes))));
    if (!strip) return Status::NoMemory;
    OutputFile out;
    if (!out.Create(path)) return Status::WriteFailed;
    WriteHandle handle{out.Descriptor(), 0, 0};
    TIFFOpenOptions* options = QuietOptions(nullptr);
    if (!options) return Status::NoMemory;
    TIFF* tif = TIFFClientOpenExt("picture", "w", &handle, OnReadBack, OnWrite, OnSeekWrite, OnClose,
                                  OnSizeWrite, OnNoMap, OnNoUnmap, options);
    TIFFOpenOptionsFree(options);
    if (!tif) return Status::WriteFailed;
    bool ok = WritePage(tif, job, strip.get(), rowsPerStrip);
    TIFFClose(tif);
    ok = ok && handle.size > 0 && out.Commit();
    return ok ? Status::Ok : Status::WriteFailed;
}

}  // namespace imgkit
