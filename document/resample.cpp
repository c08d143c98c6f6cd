#include "document/resample.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

// The standard sRGB curve, in double precision.
double ToLinear(double s) {
    return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
}
double ToSrgb(double l) {
    return l <= 0.0031308 ? l * 12.92 : 1.055 * std::pow(l, 1.0 / 2.4) - 0.055;
}

// Both conversions as tables: 256 linear values, and the sRGB byte of every linear value in steps
// of 1/65535, fine enough that a value decoded and encoded again comes back unchanged.
constexpr int kEncodeSteps = 65535;

struct SrgbTables {
    float decode[256];
    uint8_t encode[kEncodeSteps + 1];
    SrgbTables() {
        for (int i = 0; i < 256; ++i)
            decode[i] = static_cast<float>(ToLinear(i / 255.0));
        for (int i = 0; i <= kEncodeSteps; ++i)
            encode[i] = static_cast<uint8_t>(std::lround(ToSrgb(double(i) / kEncodeSteps) * 255.0));
    }
};

const SrgbTables& Tables() {
    static const SrgbTables tables;
    return tables;
}

inline uint8_t Encode(const SrgbTables& t, float linear) {
    const float scaled = linear * float(kEncodeSteps) + 0.5f;
    if (!(scaled > 0.0f)) return t.encode[0];  // also NaN
    if (scaled >= float(kEncodeSteps)) return t.encode[kEncodeSteps];
    return t.encode[static_cast<int>(scaled)];
}

// For each output pixel of one axis, the input pixels it takes and their weights (summing to 1).
struct Taps {
    std::vector<int32_t> first;
    std::vector<int32_t> count;
    std::vector<int32_t> offset;  // into weights
    std::vector<float> weights;

    Taps(int srcLength, int dstLength) {
        first.resize(size_t(dstLength));
        count.resize(size_t(dstLength));
        offset.resize(size_t(dstLength));
        for (int i = 0; i < dstLength; ++i) {
            offset[size_t(i)] = static_cast<int32_t>(weights.size());
            if (dstLength < srcLength) {
                // In units of 1 / dstLength of an input pixel, output i covers
                // [i * srcLength, (i + 1) * srcLength) and input j covers [j * dstLength, (j + 1) *
                // dstLength).
                const int64_t lo = int64_t{i} * srcLength;
                const int64_t hi = lo + srcLength;
                const int64_t j0 = lo / dstLength;
                const int64_t j1 = (hi - 1) / dstLength;
                first[size_t(i)] = static_cast<int32_t>(j0);
                count[size_t(i)] = static_cast<int32_t>(j1 - j0 + 1);
                for (int64_t j = j0; j <= j1; ++j) {
                    const int64_t covered = std::min(hi, (j + 1) * dstLength) - std::max(lo, j * dstLength);
                    weights.push_back(static_cast<float>(double(covered) / double(srcLength)));
                }
            } else if (dstLength > srcLength) {
                const double centre = (i + 0.5) * srcLength / dstLength - 0.5;
                int64_t j = static_cast<int64_t>(std::floor(centre));
                double f = centre - double(j);
                if (j < 0) {
                    j = 0;
                    f = 0;
                }
                if (j >= srcLength - 1) {
                    j = srcLength - 1;
                    f = 0;
                }
                first[size_t(i)] = static_cast<int32_t>(j);
                count[size_t(i)] = f > 0 ? 2 : 1;
                weights.push_back(static_cast<float>(1.0 - f));
                if (f > 0) weights.push_back(static_cast<float>(f));
            } else {
                first[size_t(i)] = i;
                count[size_t(i)] = 1;
                weights.push_back(1.0f);
            }
        }
    }
};

// One input row filtered horizontally, in linear light with C channels (colour premultiplied by
// opacity when C is 4), for the vertical pass. The two rows made last are kept: consecutive output
// rows share their edge rows.
template <int C>
class RowFilter {
public:
    RowFilter(const uint8_t* src, int srcWidth, ptrdiff_t srcStride, const Taps& taps, int dstWidth)
        : m_src(src),
          m_srcStride(srcStride),
          m_srcWidth(srcWidth),
          m_dstWidth(dstWidth),
          m_taps(taps),
          m_linear(size_t(srcWidth) * C) {
        for (auto& slot : m_slots)
            slot.values.resize(size_t(dstWidth) * C);
    }

    const float* Row(int row) {
        for (auto& slot : m_slots) {
            if (slot.row == row) return slot.values.data();
        }
        Slot& slot = m_slots[m_next];
        m_next ^= 1;
        slot.row = row;
        Filter(m_src + row * m_srcStride, slot.values.data());
        return slot.values.data();
    }

private:
    struct Slot {
        int row = -1;
        std::vector<float> values;
    };

    void Filter(const uint8_t* in, float* out) {
        const float* decode = Tables().decode;
        float* lin = m_linear.data();
        for (int x = 0; x < m_srcWidth; ++x, in += C, lin += C) {
            if constexpr (C == 4) {
                const float alpha = in[3] * (1.0f / 255.0f);
                lin[0] = decode[in[0]] * alpha;
                lin[1] = decode[in[1]] * alpha;
                lin[2] = decode[in[2]] * alpha;
                lin[3] = alpha;
            } else {
                lin[0] = decode[in[0]];
                lin[1] = decode[in[1]];
                lin[2] = decode[in[2]];
            }
        }
        if (m_srcWidth == m_dstWidth) {
            std::memcpy(out, m_linear.data(), m_linear.size() * sizeof(float));
            return;
        }
        for (int x = 0; x < m_dstWidth; ++x, out += C) {
            const float* w = &m_taps.weights[size_t(m_taps.offset[size_t(x)])];
            const float* p = &m_linear[size_t(m_taps.first[size_t(x)]) * C];
            float acc[C] = {};
            for (int t = 0; t < m_taps.count[size_t(x)]; ++t, p += C) {
                for (int c = 0; c < C; ++c)
                    acc[c] += w[t] * p[c];
            }
            for (int c = 0; c < C; ++c)
                out[c] = acc[c];
        }
    }

    const uint8_t* m_src;
    ptrdiff_t m_srcStride;
    int m_srcWidth;
    int m_dstWidth;
    const Taps& m_taps;
    std::vector<float> m_linear;
    Slot m_slots[2];
    int m_next = 0;
};

template <int C>
void Resample(const uint8_t* src, int srcWidth, int srcHeight, ptrdiff_t srcStride, uint8_t* dst,
              int dstWidth, int dstHeight, ptrdiff_t dstStride) {
    const SrgbTables& tables = Tables();
    const Taps across(srcWidth, dstWidth);
    const Taps down(srcHeight, dstHeight);
    RowFilter<C> rows(src, srcWidth, srcStride, across, dstWidth);
    const size_t values = size_t(dstWidth) * C;
    std::vector<float> sum(values);
    for (int y = 0; y < dstHeight; ++y) {
        const float* w = &down.weights[size_t(down.offset[size_t(y)])];
        const int first = down.first[size_t(y)];
        const int count = down.count[size_t(y)];
        const float* acc = rows.Row(first);
        if (count > 1 || w[0] != 1.0f) {
            // Made before the next rows are asked for, since those may take the first one's slot.
            for (size_t i = 0; i < values; ++i)
                sum[i] = w[0] * acc[i];
            for (int t = 1; t < count; ++t) {
                const float* row = rows.Row(first + t);
                const float weight = w[t];
                for (size_t i = 0; i < values; ++i)
                    sum[i] += weight * row[i];
            }
            acc = sum.data();
        }
        uint8_t* out = dst + y * dstStride;
        for (int x = 0; x < dstWidth; ++x, acc += C, out += C) {
            if constexpr (C == 4) {
                const float alpha = acc[3];
                const float a = alpha * 255.0f + 0.5f;
                out[3] = a >= 255.0f ? 255 : a > 0.0f ? static_cast<uint8_t>(a) : 0;
                // A transparent pixel is all zero bytes, whatever colours were weighed into it.
                const float scale = out[3] > 0 ? 1.0f / alpha : 0.0f;
                out[0] = Encode(tables, acc[0] * scale);
                out[1] = Encode(tables, acc[1] * scale);
                out[2] = Encode(tables, acc[2] * scale);
            } else {
                out[0] = Encode(tables, acc[0]);
                out[1] = Encode(tables, acc[1]);
                out[2] = Encode(tables, acc[2]);
            }
        }
    }
}

}  // namespace

uint8_t EncodeSrgb(float linear) {
    return Encode(Tables(), linear);
}

float DecodeSrgb(uint8_t value) {
    return Tables().decode[value];
}

void ResampleSmooth(const uint8_t* src, int srcWidth, int srcHeight, ptrdiff_t srcStride, uint8_t* dst,
                    int dstWidth, int dstHeight, ptrdiff_t dstStride, int bytesPerPixel) {
    if (srcWidth < 1 || srcHeight < 1 || dstWidth < 1 || dstHeight < 1) return;
    if (bytesPerPixel == 3)
        Resample<3>(src, srcWidth, srcHeight, srcStride, dst, dstWidth, dstHeight, dstStride);
    else if (bytesPerPixel == 4)
        Resample<4>(src, srcWidth, srcHeight, srcStride, dst, dstWidth, dstHeight, dstStride);
}
