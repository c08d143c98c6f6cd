// GIF through giflib.
//
// Read: GIF87a and GIF89a, interlaced or not, global or local colour tables of any size, the
// transparent index of a graphic control extension. The picture is the first frame on the logical
// screen: an 8-bit image with the frame's colour table padded to 256 entries. Screen pixels the
// frame does not cover take the transparent index when there is one, otherwise a new transparent
// entry after the table when it has room, otherwise the background colour. The transparent index
// becomes an entry opacity of 0. The other frames are counted, not decoded. A first frame cut short
// is refused; damage after it only stops the count.
//
// Written: 8-bit images only, as one frame. The colour table is the smallest power of two that holds
// every palette entry up to the last that is not black (so the palette reads back exactly) and every
// index used; the LZW code size is the smallest that holds the indices used. An entry with opacity 0
// (the first one, when there are several) becomes the transparent index of a graphic control
// extension, and the file is then GIF89a.
#include <algorithm>
#include <cstring>

#include <gif_lib.h>

#include "imgkit/codec_io.h"

namespace imgkit {
namespace {

// More frames than this are not counted further: the count is for a message, not for decoding.
constexpr int kMaxFramesCounted = 1 << 16;

int OnRead(GifFileType* gif, GifByteType* out, int n) {
    auto* reader = static_cast<ByteReader*>(gif->UserData);
    return n > 0 ? static_cast<int>(reader->Read(out, static_cast<size_t>(n))) : 0;
}

// Closes the decoder however the read ends.
struct GifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};
using GifDecoder = std::unique_ptr<GifFileType, GifCloser>;

// The rows in the order an interlaced frame stores them: every 8th from 0, every 8th from 4, every
// 4th from 2, every 2nd from 1.
int64_t InterlacedRow(int64_t i, int64_t height) {
    const int64_t pass1 = (height + 7) / 8, pass2 = (height + 3) / 8, pass3 = (height + 1) / 4;
    if (i < pass1) return i * 8;
    i -= pass1;
    if (i < pass2) return 4 + i * 8;
    i -= pass2;
    if (i < pass3) return 2 + i * 4;
    i -= pass3;
    return 1 + i * 2;
}

// Skips the LZW data of a frame that is not decoded.
bool SkipFrame(GifFileType* gif) {
    int codeSize = 0;
    GifByteType* block = nullptr;
    if (DGifGetCode(gif, &codeSize, &block) != GIF_OK) return false;
    while (block) {
        if (DGifGetCodeNext(gif, &block) != GIF_OK) return false;
    }
    return true;
}

// Gathers the sub-blocks of the frame's LZW data into one buffer; `codeSize` is its minimum code size.
bool ReadFrameData(GifFileType* gif, const InputFile& file, int* codeSize, Buffer* data, int64_t* bytes) {
    GifByteType* block = nullptr;
    if (DGifGetCode(gif, codeSize, &block) != GIF_OK || *codeSize < 1 || *codeSize > 11) return false;
    int64_t capacity = 0;
    *bytes = 0;
    while (block) {
        const int n = block[0];
        if (*bytes + n > capacity) {
            // The data cannot be larger than the file it came from.
            capacity = std::min(file.Size(), std::max<int64_t>(2 * capacity, int64_t{1} << 16));
            if (*bytes + n > capacity) return false;
            auto* grown = static_cast<uint8_t*>(std::realloc(data->get(), static_cast<size_t>(capacity)));
            if (!grown) return false;
            (void)data->release();
            data->reset(grown);
        }
        std::memcpy(data->get() + *bytes, block + 1, static_cast<size_t>(n));
        *bytes += n;
        if (DGifGetCodeNext(gif, &block) != GIF_OK) return false;
    }
    return true;
}

// GIF's variable-length LZW: `size` bytes of codes into `pixels` indices (`out` has 16 bytes of room
// beyond them). False when the codes run out before every pixel has its index, or are not codes the
// table holds. Every code's string has been written out before, where the code was made: a code is
// kept as the place and length of that copy, and its string copied from there.
bool DecodeLzw(const uint8_t* data, int64_t size, int minimumCodeSize, uint8_t* out, int64_t pixels) {
    constexpr int kCodes = 4096;
    int64_t start[kCodes];
    int32_t length[kCodes];
    const int clear = 1 << minimumCodeSize;
    const int end = clear + 1;
    int codeSize = minimumCodeSize + 1;
    int next = clear + 2;
    int previous = -1;
    uint64_t bits = 0;
    int available = 0;
    int64_t in = 0, done = 0;
    while (done < pixels) {
        if (available < codeSize) {
            // Refill with whole bytes up to 56 bits.
            while (available <= 48 && in < size) {
                bits |= uint64_t{data[in++]} << available;
                available += 8;
            }
            if (available < codeSize) return false;
        }
        const int code = static_cast<int>(bits & ((1u << codeSize) - 1));
        bits >>= codeSize;
        available -= codeSize;
        if (code < clear) {
            if (previous >= 0 && next < kCodes) {
                start[next] = start[previous];
                length[next] = length[previous] + 1;
                ++next;
            }
            start[code] = done;
            length[code] = 1;
            out[done++] = static_cast<uint8_t>(code);
        } else if (code == clear) {
            codeSize = minimumCodeSize + 1;
            next = clear + 2;
            previous = -1;
            continue;
        } else if (code == end || previous < 0 || code > next || (code == next && next >= kCodes)) {
            return false;
        } else {
            // An earlier string, or the one about to be made: the previous string and its first byte.
            const int64_t from = code < next ? start[code] : start[previous];
            const int64_t n = code < next ? length[code] : length[previous] + 1;
            if (next < kCodes) {
                start[next] = start[previous];
                length[next] = length[previous] + 1;
                ++next;
            }
            const int64_t take = std::min(n, pixels - done);
            if (take <= 16 && code != next - 1) {
                // Sixteen bytes at once: the string lies before `done`, and what is copied past it
                // is written over again.
                std::memmove(out + done, out + from, 16);
            } else {
                for (int64_t i = 0; i < take; ++i)
                    out[done + i] = out[from + i];
            }
            start[code] = done;
            length[code] = static_cast<int32_t>(n);
            done += take;
        }
        if (next == 1 << codeSize && codeSize < 12) ++codeSize;
        previous = code;
    }
    return true;
}

// Decodes the first frame onto the screen.
Status DecodeFirstFrame(GifFileType* gif, const InputFile& file, int transparent, ReadJob& job) {
    const GifImageDesc& frame = gif->Image;
    if (frame.Width < 1 || frame.Height < 1 || frame.Left < 0 || frame.Top < 0) return Status::Damaged;
    const int64_t width = std::max<int64_t>(gif->SWidth, int64_t{frame.Left} + frame.Width);
    const int64_t height = std::max<int64_t>(gif->SHeight, int64_t{frame.Top} + frame.Height);
    DecodedImage& image = job.image;
    const Status allocated = image.Allocate(width, height, 8);
    if (allocated != Status::Ok) return allocated;

    const ColorMapObject* map = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
    RGBQUAD* palette = image.Palette();
    const int colours = map ? std::min(map->ColorCount, kPaletteEntries) : 0;
    if (map) {
        for (int i = 0; i < colours; ++i)
            palette[i] = RGBQUAD{map->Colors[i].Blue, map->Colors[i].Green, map->Colors[i].Red, 0};
    } else {
        FillDefaultPalette(palette);  // a file without any colour table
    }

    // What the frame leaves of the screen uncovered.
    const bool covered = frame.Left == 0 && frame.Top == 0 && frame.Width == width && frame.Height == height;
    int fill = transparent;
    if (!covered && fill < 0) fill = map && colours < kPaletteEntries ? colours : gif->SBackGroundColor;
    const bool fillTransparent = !covered && (fill == transparent || (map && fill == colours));
    if (transparent >= 0 || fillTransparent) {
        uint8_t* alpha = image.EntryAlpha();
        if (!alpha) return Status::NoMemory;
        alpha[transparent >= 0 ? transparent : fill] = 0;
    }
    if (!covered) {
        for (int64_t y = 0; y < height; ++y)
            std::memset(image.Line(y), static_cast<uint8_t>(fill), static_cast<size_t>(width));
    }

    // The frame's LZW data, decoded here rather than by giflib, line by line, which takes longer.
    int codeSize = 0;
    Buffer data;
    int64_t dataBytes = 0;
    if (!ReadFrameData(gif, file, &codeSize, &data, &dataBytes)) return Status::Damaged;
    const int64_t pixels = int64_t{frame.Width} * frame.Height;
    Buffer indices(static_cast<uint8_t*>(std::malloc(static_cast<size_t>(pixels + 16))));
    if (!indices) return Status::NoMemory;
    if (!DecodeLzw(data.get(), dataBytes, codeSize, indices.get(), pixels)) return Status::Damaged;
    for (int64_t i = 0; i < frame.Height; ++i) {
        const int64_t y = frame.Interlace ? InterlacedRow(i, frame.Height) : i;
        std::memcpy(image.Line(frame.Top + y) + frame.Left, indices.get() + i * frame.Width,
                    static_cast<size_t>(frame.Width));
        if ((i & 255) == 0) job.progress.Report(i, frame.Height);
    }
    return Status::Ok;
}

}  // namespace

Status ReadGifImage(const InputFile& file, ReadJob& job) {
    auto reader = std::make_unique<ByteReader>(file);
    int error = 0;
    GifDecoder gif(DGifOpen(reader.get(), OnRead, &error));
    if (!gif) return error == D_GIF_ERR_NOT_ENOUGH_MEM ? Status::NoMemory : Status::Damaged;

    int transparent = -1;  // of the frame to come
    int frames = 0;
    for (;;) {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif.get(), &record) != GIF_OK) break;
        if (record == TERMINATE_RECORD_TYPE) break;
        if (record == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif.get(), &code, &block) != GIF_OK) break;
            if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4 && frames == 0) {
                GraphicsControlBlock control;
                if (DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK)
                    transparent = control.TransparentColor;
            }
            while (block) {
                if (DGifGetExtensionNext(gif.get(), &block) != GIF_OK) break;
            }
            if (gif->Error) break;
            continue;
        }
        if (record != IMAGE_DESC_RECORD_TYPE || DGifGetImageDesc(gif.get()) != GIF_OK) break;
        if (frames == 0) {
            const Status status = DecodeFirstFrame(gif.get(), file, transparent, job);
            if (status != Status::Ok) return status;
        } else if (!SkipFrame(gif.get())) {
            break;
        }
        if (++frames >= kMaxFramesCounted) break;
        // giflib keeps a description of every frame; only the first is of use.
        if (gif->ImageCount > 1) {
            SavedImage& last = gif->SavedImages[gif->ImageCount - 1];
            GifFreeMapObject(last.ImageDesc.ColorMap);
            last.ImageDesc.ColorMap = nullptr;
        }
    }
    if (frames == 0) return Status::Damaged;
    job.frames = frames;
    return Status::Ok;
}

namespace {

struct GifOutput {
    OutputFile file;
    size_t used = 0;
    bool failed = false;
    uint8_t buffer[size_t{1} << 16];

    bool Flush() {
        failed = failed || !file.Write(buffer, used);
        used = 0;
        return !failed;
    }
};

int OnWrite(GifFileType* gif, const GifByteType* data, int n) {
    auto* out = static_cast<GifOutput*>(gif->UserData);
    for (int done = 0; done < n;) {
        if (out->used == sizeof out->buffer && !out->Flush()) return 0;
        const size_t take = std::min(static_cast<size_t>(n - done), sizeof out->buffer - out->used);
        std::memcpy(out->buffer + out->used, data + done, take);
        out->used += take;
        done += static_cast<int>(take);
    }
    return n;
}

int BitsFor(int count) {
    int bits = 1;
    while ((1 << bits) < count)
        ++bits;
    return bits;
}

}  // namespace

Status WriteGifImage(const char* path, WriteJob& job) {
    if (job.BitCount() != 8) return Status::BadImage;
    bool used[kPaletteEntries];
    const int highest = UsedIndices(job, used);
    int transparent = -1;
    for (int i = 0; job.entryAlpha && i < kPaletteEntries && transparent < 0; ++i)
        if (job.entryAlpha[i] == 0) transparent = i;
    const int tableBits = BitsFor(std::max({PaletteLength(job.palette), highest + 1, transparent + 1, 2}));
    const int codeBits = std::max(BitsFor(highest + 1), 2);

    GifColorType colours[kPaletteEntries];
    for (int i = 0; i < kPaletteEntries; ++i)
        colours[i] = GifColorType{job.palette[i].rgbRed, job.palette[i].rgbGreen, job.palette[i].rgbBlue};
    ColorMapObject* map = GifMakeMapObject(1 << tableBits, colours);
    Buffer line(static_cast<uint8_t*>(std::malloc(static_cast<size_t>(job.Width()))));
    auto out = std::make_unique<GifOutput>();
    if (!map || !line) {
        GifFreeMapObject(map);
        return Status::NoMemory;
    }
    if (!out->file.Create(path)) {
        GifFreeMapObject(map);
        return Status::WriteFailed;
    }
    int error = 0;
    GifFileType* gif = EGifOpen(out.get(), OnWrite, &error);
    bool ok = gif != nullptr;
    if (ok) {
        EGifSetGifVersion(gif, transparent >= 0);
        ok = EGifPutScreenDesc(gif, static_cast<int>(job.Width()), static_cast<int>(job.Height()), tableBits,
                               0, map) == GIF_OK;
    }
    GifFreeMapObject(map);
    if (ok && transparent >= 0) {
        GraphicsControlBlock control{DISPOSAL_UNSPECIFIED, false, 0, transparent};
        GifByteType extension[4];
        EGifGCBToExtension(&control, extension);
        ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, sizeof extension, extension) == GIF_OK;
    }
    if (ok) {
        // giflib takes the LZW code size from the colour table's depth: the indices may need fewer
        // bits than the palette, so the screen's table (already written) reports the indices' depth.
        gif->SColorMap->BitsPerPixel = codeBits;
        ok = EGifPutImageDesc(gif, 0, 0, static_cast<int>(job.Width()), static_cast<int>(job.Height()), false,
                              nullptr) == GIF_OK;
    }
    for (int64_t y = 0; ok && y < job.Height(); ++y) {
        // giflib masks the indices in the row it is given, so it gets a copy.
        std::memcpy(line.get(), job.Line(y), static_cast<size_t>(job.Width()));
        ok = EGifPutLine(gif, line.get(), static_cast<int>(job.Width())) == GIF_OK;
        if ((y & 63) == 0) job.progress.Report(y, job.Height());
    }
    if (gif) ok = EGifCloseFile(gif, &error) == GIF_OK && ok;
    ok = ok && out->Flush() && out->file.Commit();
    return ok ? Status::Ok : Status::WriteFailed;
}

}  // namespace imgkit
