// WebP through libwebp.
//
// Read: lossy and lossless, with or without alpha, and animations (the first frame on the canvas,
// the frames counted). A picture with alpha gives a 32-bit image, one without a 24-bit image.
//
// Written: lossless by default, with the colours under fully transparent pixels kept exactly (the
// settings of cwebp -lossless -exact); lossy at the quality asked for (90 by default). 8-bit images
// go through their palette (and entry opacities) into 24 or 32 bits. At most 16383 pixels a side.
#include <algorithm>
#include <cstring>

#include <webp/decode.h>
#include <webp/demux.h>
#include <webp/encode.h>

#include "imgkit/codec_io.h"

namespace imgkit {
namespace {

constexpr int64_t kMaxFileBytes = int64_t{1} << 30;
constexpr size_t kChunkBytes = size_t{1} << 20;
constexpr int kMaxSide = 16383;
constexpr int kLosslessEffort = 75;  // cwebp's default
constexpr int kMethod = 4;           // cwebp's default
constexpr int kLossyQuality = 90;

Status StatusOf(VP8StatusCode code) {
    switch (code) {
        case VP8_STATUS_OK:
            return Status::Ok;
        case VP8_STATUS_OUT_OF_MEMORY:
            return Status::NoMemory;
        case VP8_STATUS_UNSUPPORTED_FEATURE:
            return Status::Unsupported;
        default:
            return Status::Damaged;
    }
}

// The first frame of an animation, composed on its canvas.
Status ReadAnimation(const uint8_t* data, size_t size, ReadJob& job) {
    WebPAnimDecoderOptions options;
    if (!WebPAnimDecoderOptionsInit(&options)) return Status::NoMemory;
    options.color_mode = MODE_BGRA;
    options.use_threads = 1;
    const WebPData input{data, size};
    std::unique_ptr<WebPAnimDecoder, decltype(&WebPAnimDecoderDelete)> decoder(
        WebPAnimDecoderNew(&input, &options), WebPAnimDecoderDelete);
    WebPAnimInfo info;
    if (!decoder || !WebPAnimDecoderGetInfo(decoder.get(), &info)) return Status::Damaged;
    DecodedImage& image = job.image;
    const Status allocated = image.Allocate(info.canvas_width, info.canvas_height, 32);
    if (allocated != Status::Ok) return allocated;
    uint8_t* frame = nullptr;
    int timestamp = 0;
    if (!WebPAnimDecoderGetNext(decoder.get(), &frame, &timestamp)) return Status::Damaged;
    const size_t rowBytes = size_t{info.canvas_width} * 4;
    for (int64_t y = 0; y < image.Height(); ++y)
        std::memcpy(image.Line(y), frame + static_cast<size_t>(y) * rowBytes, rowBytes);
    job.frames = static_cast<int>(std::max<uint32_t>(info.frame_count, 1));
    return Status::Ok;
}

}  // namespace

Status ReadWebpImage(const InputFile& file, ReadJob& job) {
    if (file.Size() > kMaxFileBytes) return Status::TooLarge;
    Buffer storage;
    const uint8_t* data = file.ReadAll(&storage, kMaxFileBytes);
    if (!data) return Status::NoMemory;
    const auto size = static_cast<size_t>(file.Size());
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config)) return Status::NoMemory;
    const Status features = StatusOf(WebPGetFeatures(data, size, &config.input));
    if (features != Status::Ok) return features;
    if (config.input.has_animation) return ReadAnimation(data, size, job);

    const bool alpha = config.input.has_alpha != 0;
    DecodedImage& image = job.image;
    const Status allocated = image.Allocate(config.input.width, config.input.height, alpha ? 32 : 24);
    if (allocated != Status::Ok) return allocated;
    // Straight into the block, bottom row first.
    config.output.colorspace = alpha ? MODE_BGRA : MODE_BGR;
    config.output.is_external_memory = 1;
    config.output.u.RGBA.rgba = image.Bits();
    config.output.u.RGBA.stride = static_cast<int>(image.Stride());
    config.output.u.RGBA.size = image.Header()->biSizeImage;
    config.options.flip = 1;
    config.options.use_threads = 1;
    WebPIDecoder* decoder = WebPIDecode(nullptr, 0, &config);
    if (!decoder) return Status::NoMemory;
    VP8StatusCode code = VP8_STATUS_NOT_ENOUGH_DATA;
    for (size_t done = 0;
         done < size && (code == VP8_STATUS_NOT_ENOUGH_DATA || code == VP8_STATUS_SUSPENDED);) {
        const size_t chunk = std::min(kChunkBytes, size - done);
        code = WebPIAppend(decoder, data + done, chunk);
        done += chunk;
        job.progress.Report(static_cast<int64_t>(done), static_cast<int64_t>(size));
    }
    WebPIDelete(decoder);
    WebPFreeDecBuffer(&config.output);
    if (code == VP8_STATUS_SUSPENDED) return Status::Damaged;  // cut short
    return StatusOf(code);
}

namespace {

int OnWrite(const uint8_t* data, size_t size, const WebPPicture* picture) {
    return static_cast<OutputFile*>(picture->custom_ptr)->Write(data, size) ? 1 : 0;
}

int OnProgress(int percent, const WebPPicture* picture) {
    static_cast<Progress*>(picture->user_data)->Report(percent, 100);
    return 1;
}

struct PictureFree {
    void operator()(WebPPicture* picture) const { WebPPictureFree(picture); }
};

}  // namespace

Status WriteWebpImage(const char* path, WriteJob& job) {
    if (job.Width() > kMaxSide || job.Height() > kMaxSide) return Status::BadImage;
    const bool lossy = job.options.lossy != 0;
    WebPConfig config;
    if (!WebPConfigInit(&config)) return Status::NoMemory;
    config.lossless = lossy ? 0 : 1;
    config.quality =
        lossy ? (job.options.quality > 0 ? job.options.quality : kLossyQuality) : kLosslessEffort;
    config.method = kMethod;
    config.exact = 1;
    config.thread_level = 1;
    if (!WebPValidateConfig(&config)) return Status::BadImage;

    WebPPicture picture;
    if (!WebPPictureInit(&picture)) return Status::NoMemory;
    std::unique_ptr<WebPPicture, PictureFree> owner(&picture);
    picture.use_argb = lossy ? 0 : 1;
    picture.width = static_cast<int>(job.Width());
    picture.height = static_cast<int>(job.Height());

    // 8-bit images through their palette; the rows are handed over top row first.
    Buffer expanded;
    const uint8_t* top = job.Line(0);
    int step = -static_cast<int>(job.Stride());
    int bytes = job.BitCount() / 8;
    if (job.BitCount() == 8) {
        bytes = job.entryAlpha ? 4 : 3;
        expanded.reset(
            static_cast<uint8_t*>(std::malloc(static_cast<size_t>(job.Width() * job.Height() * bytes))));
        if (!expanded) return Status::NoMemory;
        uint8_t* out = expanded.get();
        for (int64_t y = 0; y < job.Height(); ++y) {
            const uint8_t* in = job.Line(y);
            for (int64_t x = 0; x < job.Width(); ++x, out += bytes) {
                const RGBQUAD& c = job.palette[in[x]];
                out[0] = c.rgbBlue;
                out[1] = c.rgbGreen;
                out[2] = c.rgbRed;
                if (bytes == 4) out[3] = job.entryAlpha[in[x]];
            }
        }
        top = expanded.get();
        step = static_cast<int>(job.Width() * bytes);
    }
    const int imported =
        bytes == 4 ? WebPPictureImportBGRA(&picture, top, step) : WebPPictureImportBGR(&picture, top, step);
    if (!imported) return Status::NoMemory;
    expanded.reset();

    OutputFile out;
    if (!out.Create(path)) return Status::WriteFailed;
    picture.writer = OnWrite;
    picture.custom_ptr = &out;
    picture.progress_hook = OnProgress;
    picture.user_data = &job.progress;
    if (!WebPEncode(&config, &picture))
        return picture.error_code == VP8_ENC_ERROR_OUT_OF_MEMORY ? Status::NoMemory : Status::WriteFailed;
    return out.Commit() ? Status::Ok : Status::WriteFailed;
}

}  // namespace imgkit
