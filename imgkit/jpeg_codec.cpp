// JPEG through libjpeg-turbo: ReadJpeg and SaveJpeg.
//
// Read: baseline, extended, progressive and arithmetic-coded 8-bit JPEG with restart markers.
// Greyscale gives an 8-bit image with a grey-ramp palette; YCbCr and RGB give 24 bits, and so do
// CMYK and YCCK, converted with their ink values. Damaged entropy data is decoded as far as it goes
// (libjpeg fills the rest), the way other viewers show such files. 12-bit and lossless JPEG are
// refused. Rows are delivered top-down.
//
// Written: quality 90 (or the quality asked for through ImgkitWriteImage), 4:2:0 colour from a 24-bit image
// or an 8-bit one through its palette, or greyscale when every entry an 8-bit image uses is grey.
//
// libjpeg reports fatal errors through a callback that must not return; ours longjmps back to the
// setjmp in one of the four step functions below. Those are plain C-style code: no object with a
// destructor lives in any frame the jump leaves, and the blocks they fill belong to the caller.
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include <jerror.h>
#include <jpeglib.h>

#include "imgkit/codec_io.h"
#include "imgkit/imgkit.h"

namespace imgkit {
namespace {

constexpr int kQuality = 90;
constexpr int kDotsPerInch = 72;
// What libjpeg may allocate beside the pixel block (progressive files keep every coefficient).
constexpr long kLibraryMemoryLimit = 1L << 30;
// A progressive file may hold any number of scans, each a pass over the whole picture; more than
// this is an attack, not a picture.
constexpr int kMaxScans = 1000;
// No picture within the size limits needs a larger file.
constexpr int64_t kMaxFileBytes = int64_t{1} << 30;
constexpr int kRowsPerCall = 16;
constexpr size_t kOutputBufferBytes = 1 << 16;

struct ErrorManager {
    jpeg_error_mgr pub;
    jmp_buf jump;
};

[[noreturn]] void OnError(j_common_ptr cinfo) {
    longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}
void OnMessage(j_common_ptr, int) {}  // warnings about damaged data: decode on, say nothing
void OnOutput(j_common_ptr) {}

void SetUpErrors(ErrorManager* error) {
    jpeg_std_error(&error->pub);
    error->pub.error_exit = OnError;
    error->pub.emit_message = OnMessage;
    error->pub.output_message = OnOutput;
}

void OnProgress(j_common_ptr cinfo) {
    if (cinfo->is_decompressor && reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans)
        cinfo->err->error_exit(cinfo);
}

struct Decoder {
    jpeg_decompress_struct cinfo;
    ErrorManager error;
    jpeg_progress_mgr progress;
};

// Step 1: the headers, and the colour space to decode to. The caller destroys cinfo afterwards.
bool ReadHeaders(Decoder* d, const uint8_t* data, size_t size) {
    d->cinfo.err = &d->error.pub;
    SetUpErrors(&d->error);
    if (setjmp(d->error.jump)) return false;
    jpeg_create_decompress(&d->cinfo);
    d->cinfo.mem->max_memory_to_use = kLibraryMemoryLimit;
    d->progress.progress_monitor = OnProgress;
    d->cinfo.progress = &d->progress;
    jpeg_mem_src(&d->cinfo, data, size);
    if (jpeg_read_header(&d->cinfo, TRUE) != JPEG_HEADER_OK) return false;
    switch (d->cinfo.jpeg_color_space) {
        case JCS_GRAYSCALE:
            d->cinfo.out_color_space = JCS_GRAYSCALE;
            break;
        case JCS_YCbCr:
        case JCS_RGB:
            d->cinfo.out_color_space = JCS_EXT_BGR;
            break;
        case JCS_CMYK:
        case JCS_YCCK:
            d->cinfo.out_color_space = JCS_CMYK;
            break;
        default:
            return false;
    }
    return true;
}

// Ink to light. CMYK JPEG files store the inks inverted (255 = no ink), as Adobe's programs write
// them; other decoders take every CMYK file that way, with or without the Adobe marker.
void CmykToBgr(const uint8_t* cmyk, JDIMENSION width, uint8_t* bgr) {
    for (JDIMENSION x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
        const int k = cmyk[3];
        bgr[0] = static_cast<uint8_t>((cmyk[2] * k + 127) / 255);
        bgr[1] = static_cast<uint8_t>((cmyk[1] * k + 127) / 255);
        bgr[2] = static_cast<uint8_t>((cmyk[0] * k + 127) / 255);
    }
}

// Step 2: every row into the caller's block, the top row at `top` and each next one `step` bytes on
// (negative for bottom-up rows). `cmykLine` holds one CMYK row when the file is CMYK or YCCK.
bool DecodeRows(Decoder* d, uint8_t* top, ptrdiff_t step, uint8_t* cmykLine, Progress* progress) {
    if (setjmp(d->error.jump)) return false;
    j_decompress_ptr cinfo = &d->cinfo;
    jpeg_start_decompress(cinfo);
    if (cinfo->output_width != cinfo->image_width || cinfo->output_height != cinfo->image_height)
        return false;
    while (cinfo->output_scanline < cinfo->output_height) {
        const JDIMENSION first = cinfo->output_scanline;
        JSAMPROW rows[kRowsPerCall];
        JDIMENSION count = 1;
        if (cmykLine) {
            rows[0] = cmykLine;
        } else {
            count = cinfo->output_height - first < kRowsPerCall ? cinfo->output_height - first : kRowsPerCall;
            for (JDIMENSION i = 0; i < count; ++i)
                rows[i] = top + static_cast<ptrdiff_t>(first + i) * step;
        }
        if (jpeg_read_scanlines(cinfo, rows, count) == 0) return false;
        if (cmykLine) CmykToBgr(cmykLine, cinfo->output_width, top + static_cast<ptrdiff_t>(first) * step);
        progress->Report(cinfo->output_scanline, cinfo->output_height);
    }
    // The rest of the file (normally just the end marker) is of no interest: no jpeg_finish_decompress.
    return true;
}

}  // namespace

Status ReadJpegImage(const InputFile& file, ReadJob& job) {
    if (file.Size() < 2) return Status::Damaged;
    if (file.Size() > kMaxFileBytes) return Status::TooLarge;
    Buffer storage;
    const uint8_t* data = file.ReadAll(&storage, kMaxFileBytes);
    if (!data) return Status::NoMemory;

    Decoder decoder{};
    DecodedImage& image = job.image;
    Buffer cmykLine;
    Status status =
        ReadHeaders(&decoder, data, static_cast<size_t>(file.Size())) ? Status::Ok : Status::Damaged;
    // 12-bit and lossless files are valid, but not what libjpeg's 8-bit build decodes.
    const int reason = decoder.error.pub.msg_code;
    if (status != Status::Ok && (reason == JERR_BAD_PRECISION || reason == JERR_SOF_UNSUPPORTED))
        status = Status::Unsupported;
    const bool grey = decoder.cinfo.out_color_space == JCS_GRAYSCALE;
    if (status == Status::Ok)
        status = image.Allocate(decoder.cinfo.image_width, decoder.cinfo.image_height, grey ? 8 : 24);
    if (status == Status::Ok && decoder.cinfo.out_color_space == JCS_CMYK) {
        cmykLine.reset(static_cast<uint8_t*>(std::malloc(size_t{4} * decoder.cinfo.image_width)));
        if (!cmykLine) status = Status::NoMemory;
    }
    if (status == Status::Ok) {
        const auto stride = static_cast<ptrdiff_t>(image.Stride());
        const bool topDown = image.TopDown();
        uint8_t* top = image.Line(0);
        if (!DecodeRows(&decoder, top, topDown ? stride : -stride, cmykLine.get(), &job.progress))
            status = Status::Damaged;
    }
    jpeg_destroy_decompress(&decoder.cinfo);
    if (status != Status::Ok) return status;
    if (grey) {
        RGBQUAD* colours = image.Palette();
        for (int i = 0; i < kPaletteEntries; ++i) {
            const auto level = static_cast<uint8_t>(i);
            colours[i] = RGBQUAD{level, level, level, 0};
        }
    }
    return Status::Ok;
}

namespace {

BITMAPINFOHEADER* ReadJpegFile(const char* path, uint8_t** bits, RGBQUAD** palette) {
    InputFile file;
    if (!file.Open(path)) return nullptr;
    ReadJob job;
    job.image.SetTopDown(true);
    return ReadJpegImage(file, job) == Status::Ok ? job.image.Release(bits, palette) : nullptr;
}

struct Encoder {
    jpeg_compress_struct cinfo;
    ErrorManager error;
    jpeg_destination_mgr destination;
    OutputFile* out;
    JOCTET buffer[kOutputBufferBytes];
};

Encoder* EncoderOf(j_compress_ptr cinfo) {
    return static_cast<Encoder*>(cinfo->client_data);
}

void OnStartOutput(j_compress_ptr cinfo) {
    Encoder* e = EncoderOf(cinfo);
    e->destination.next_output_byte = e->buffer;
    e->destination.free_in_buffer = kOutputBufferBytes;
}

boolean OnBufferFull(j_compress_ptr cinfo) {
    Encoder* e = EncoderOf(cinfo);
    if (!e->out->Write(e->buffer, kOutputBufferBytes))
        cinfo->err->error_exit(reinterpret_cast<j_common_ptr>(cinfo));
    OnStartOutput(cinfo);
    return TRUE;
}

void OnEndOutput(j_compress_ptr cinfo) {
    Encoder* e = EncoderOf(cinfo);
    const size_t used = kOutputBufferBytes - e->destination.free_in_buffer;
    if (!e->out->Write(e->buffer, used)) cinfo->err->error_exit(reinterpret_cast<j_common_ptr>(cinfo));
}

// An 8-bit row through the palette: grey levels, or blue, green, red.
void IndicesToLine(const uint8_t* row, JDIMENSION width, const RGBQUAD* palette, bool grey, uint8_t* line) {
    for (JDIMENSION x = 0; x < width; ++x) {
        const RGBQUAD& c = palette[row[x]];
        if (grey) {
            line[x] = c.rgbRed;
        } else {
            line[3 * x + 0] = c.rgbBlue;
            line[3 * x + 1] = c.rgbGreen;
            line[3 * x + 2] = c.rgbRed;
        }
    }
}

// The whole file, top row first. `line` holds one converted row for 8-bit images. The caller
// destroys cinfo afterwards.
bool Encode(Encoder* e, const uint8_t* bits, const BITMAPINFOHEADER* header, const RGBQUAD* palette,
            bool grey, uint8_t* line, int quality, Progress* progress) {
    e->cinfo.err = &e->error.pub;
    SetUpErrors(&e->error);
    if (setjmp(e->error.jump)) return false;
    j_compress_ptr cinfo = &e->cinfo;
    jpeg_create_compress(cinfo);
    cinfo->client_data = e;
    e->destination.init_destination = OnStartOutput;
    e->destination.empty_output_buffer = OnBufferFull;
    e->destination.term_destination = OnEndOutput;
    cinfo->dest = &e->destination;

    cinfo->image_width = static_cast<JDIMENSION>(header->biWidth);
    cinfo->image_height = static_cast<JDIMENSION>(header->biHeight);
    cinfo->input_components = grey ? 1 : 3;
    cinfo->in_color_space = grey ? JCS_GRAYSCALE : JCS_EXT_BGR;
    jpeg_set_defaults(cinfo);
    jpeg_set_quality(cinfo, quality, TRUE);
    if (!grey) {
        cinfo->comp_info[0].h_samp_factor = cinfo->comp_info[0].v_samp_factor = 2;
        for (int i = 1; i < 3; ++i)
            cinfo->comp_info[i].h_samp_factor = cinfo->comp_info[i].v_samp_factor = 1;
    }
    cinfo->density_unit = 1;
    cinfo->X_density = cinfo->Y_density = kDotsPerInch;
    jpeg_start_compress(cinfo, TRUE);

    const ptrdiff_t stride = header->biXPelsPerMeter;
    while (cinfo->next_scanline < cinfo->image_height) {
        const uint8_t* row = bits + (cinfo->image_height - 1 - cinfo->next_scanline) * stride;
        JSAMPROW rows[1] = {const_cast<uint8_t*>(row)};
        if (line) {
            IndicesToLine(row, cinfo->image_width, palette, grey, line);
            rows[0] = line;
        }
        jpeg_write_scanlines(cinfo, rows, 1);
        if ((cinfo->next_scanline & 63) == 0) progress->Report(cinfo->next_scanline, cinfo->image_height);
    }
    jpeg_finish_compress(cinfo);
    return true;
}

// True when every palette entry the image uses is grey.
bool UsesOnlyGreys(const uint8_t* bits, const BITMAPINFOHEADER& header, const RGBQUAD* palette) {
    bool used[kPaletteEntries] = {};
    for (int64_t row = 0; row < header.biHeight; ++row) {
        const uint8_t* p = bits + row * header.biXPelsPerMeter;
        for (int64_t x = 0; x < header.biWidth; ++x)
            used[p[x]] = true;
    }
    for (int i = 0; i < kPaletteEntries; ++i) {
        const RGBQUAD& c = palette[i];
        if (used[i] && (c.rgbRed != c.rgbGreen || c.rgbGreen != c.rgbBlue)) return false;
    }
    return true;
}

int SaveJpegFile(const char* path, const uint8_t* bits, const BITMAPINFOHEADER& header,
                 const RGBQUAD* palette, int quality = kQuality, Progress* progress = nullptr) {
    Progress none;
    const bool indexed = header.biBitCount == 8;
    if (!IsWritableImage(bits, header, palette, indexed)) return 0;
    const bool grey = indexed && UsesOnlyGreys(bits, header, palette);
    Buffer line;
    if (indexed) {
        line.reset(static_cast<uint8_t*>(std::malloc(size_t{3} * static_cast<size_t>(header.biWidth))));
        if (!line) return 0;
    }
    std::unique_ptr<Encoder, FreeDeleter> encoder(static_cast<Encoder*>(std::calloc(1, sizeof(Encoder))));
    OutputFile out;
    if (!encoder || !out.Create(path)) return 0;
    encoder->out = &out;
    const bool ok =
        Encode(encoder.get(), bits, &header, palette, grey, line.get(), quality, progress ? progress : &none);
    jpeg_destroy_compress(&encoder->cinfo);
    return ok && out.Commit() ? 1 : 0;
}

}  // namespace

Status WriteJpegImage(const char* path, WriteJob& job) {
    if (job.BitCount() == 32) return Status::BadImage;
    const int quality = job.options.quality > 0 ? job.options.quality : kQuality;
    return SaveJpegFile(path, job.bits, *job.header, job.palette, quality, &job.progress)
               ? Status::Ok
               : Status::WriteFailed;
}

}  // namespace imgkit

extern "C" BITMAPINFOHEADER* ReadJpeg(const char* path, uint8_t** bits, RGBQUAD** palette) {
    if (!bits || !palette) return nullptr;
    try {
        return imgkit::ReadJpegFile(path, bits, palette);
    } catch (...) {
        return nullptr;
    }
}

extern "C" int SaveJpeg(const char* path, const uint8_t* bits, BITMAPINFOHEADER header,
                        const RGBQUAD* palette) {
    try {
        return imgkit::SaveJpegFile(path, bits, header, palette);
    } catch (...) {
        return 0;
    }
}
