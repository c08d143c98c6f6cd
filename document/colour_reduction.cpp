#include "document/colour_reduction.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "document/image_ops.h"

bool ReductionChoice::operator==(const ReductionChoice& other) const {
    return paletteMethod == other.paletteMethod && ditherMethod == other.ditherMethod &&
           colours == other.colours && palette.size() == other.palette.size() &&
           (palette.empty() ||
            std::memcmp(palette.data(), other.palette.data(), palette.size() * sizeof(RGBQUAD)) == 0);
}

CReducedImage::~CReducedImage() {
    Reset();
}

CReducedImage::CReducedImage(CReducedImage&& other) noexcept {
    *this = std::move(other);
}

CReducedImage& CReducedImage::operator=(CReducedImage&& other) noexcept {
    if (this != &other) {
        Reset();
        m_header = std::exchange(other.m_header, nullptr);
        m_bits = std::exchange(other.m_bits, nullptr);
        std::memcpy(m_entryAlpha, other.m_entryAlpha, sizeof m_entryAlpha);
        m_transparentEntry = std::exchange(other.m_transparentEntry, -1);
    }
    return *this;
}

void CReducedImage::Reset() {
    std::free(m_header);
    std::free(m_bits);
    m_header = nullptr;
    m_bits = nullptr;
    m_transparentEntry = -1;
}

void CReducedImage::Release(BITMAPINFOHEADER** header, uint8_t** bits) {
    *header = std::exchange(m_header, nullptr);
    *bits = std::exchange(m_bits, nullptr);
    m_transparentEntry = -1;
}

ReductionResult ReductionRun::Run(QuantzReduce reduce, CReducedImage* out) const {
    QuantzRequest request{};
    request.size = sizeof request;
    request.paletteMethod = choice.paletteMethod;
    request.ditherMethod = choice.ditherMethod;
    request.colours = choice.colours;
    request.palette = choice.palette.empty() ? nullptr : choice.palette.data();
    request.paletteCount = static_cast<int32_t>(choice.palette.size());
    request.entryAlpha = entryAlpha;
    request.progress = progress;
    request.progressContext = progressContext;
    request.firstRow = firstRow;
    request.rowCount = rowCount;
    request.plan = plan;
    CReducedImage result;
    request.resultAlpha = result.m_entryAlpha;
    uint8_t* newBits = const_cast<uint8_t*>(bits);  // the library stores its own rows through it
    result.m_header = reduce(&newBits, header, &request);
    if (!result.m_header) {
        switch (request.status) {
            case kQuantzNoMemory:
                return ReductionResult::NoMemory;
            case kQuantzCancelled:
                return ReductionResult::Cancelled;
            default:
                return ReductionResult::Refused;
        }
    }
    if (newBits != bits) result.m_bits = newBits;
    if (!IsReducedImage(result.m_header, result.m_bits, *header, bits) || request.transparentEntry < -1 ||
        request.transparentEntry >= kPaletteEntries)
        return ReductionResult::Malformed;
    result.m_transparentEntry = request.transparentEntry;
    *out = std::move(result);
    return ReductionResult::Ok;
}

double ReductionPsnr(const BITMAPINFOHEADER* source, const uint8_t* sourceBits, const uint8_t* sourceAlpha,
                     const CReducedImage& reduced, int firstY, int endY) {
    const int width = source->biWidth, height = source->biHeight;
    if (endY < 0 || endY > height) endY = height;
    const int bytes = source->biBitCount / 8;
    const RGBQUAD* sourcePalette = bytes == 1 ? HeaderPalette(source) : nullptr;
    const RGBQUAD* palette = reduced.Palette();
    const int64_t stride = source->biXPelsPerMeter, reducedStride = reduced.Header()->biXPelsPerMeter;
    double sum = 0;
    int64_t samples = 0;
    for (int y = firstY; y < endY; ++y) {
        const uint8_t* in = sourceBits + (height - 1 - y) * stride;
        const uint8_t* out = reduced.Bits() + (height - 1 - y) * reducedStride;
        for (int x = 0; x < width; ++x, in += bytes) {
            uint8_t blue, green, red;
            if (bytes == 1) {
                if (sourceAlpha && sourceAlpha[*in] == 0) continue;
                const RGBQUAD& e = sourcePalette[*in];
                blue = e.rgbBlue, green = e.rgbGreen, red = e.rgbRed;
            } else {
                if (bytes == 4 && in[3] == 0) continue;
                blue = in[0], green = in[1], red = in[2];
            }
            const RGBQUAD& e = palette[out[x]];
            const int db = blue - e.rgbBlue, dg = green - e.rgbGreen, dr = red - e.rgbRed;
            sum += db * db + dg * dg + dr * dr;
            samples += 3;
        }
    }
    if (samples == 0 || sum == 0) return INFINITY;
    return 10 * std::log10(255.0 * 255.0 * static_cast<double>(samples) / sum);
}

int PaletteMethodOfWord(std::string_view word) {
    if (word == "median-cut") return kQuantzMedianCut;
    if (word == "octree") return kQuantzOctree;
    if (word == "standard") return kQuantzStandardPalette;
    return -1;
}

int DitherMethodOfWord(std::string_view word) {
    if (word == "none") return kQuantzNearestColour;
    if (word == "ordered") return kQuantzOrderedDither;
    if (word == "error-diffusion") return kQuantzErrorDiffusion;
    return -1;
}
