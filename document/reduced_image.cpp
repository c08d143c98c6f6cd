#include "document/reduced_image.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>
#include <type_traits>

#include "document/pixel_routines.h"

namespace {

// The three channels of a pixel side by side in one word, 21 bits each, so a block's sums take one
// addition a pixel: 1024 pixels of 255 still fit a field.
constexpr uint64_t Pack(uint8_t blue, uint8_t green, uint8_t red) {
    return uint64_t{blue} | uint64_t{green} << 21 | uint64_t{red} << 42;
}
constexpr uint64_t kField = (uint64_t{1} << 21) - 1;

// The rounded mean (sum + count / 2) / count as a multiply and a shift, exact for sums below 2^19
// and counts up to 8192; a channel of a 32 x 32 block stays below 2^18.
class BlockMean {
public:
    explicit BlockMean(uint32_t count)
        : m_factor(((uint64_t{1} << 32) + count - 1) / count), m_half(count / 2) {}
    uint32_t operator()(uint64_t sum) const {
        return static_cast<uint32_t>(((sum + m_half) * m_factor) >> 32);
    }
    uint32_t Pixel(uint64_t sums) const {
        return 0xFF000000u | (*this)(sums >> 42) << 16 | (*this)(sums >> 21 & kField) << 8 |
               (*this)(sums & kField);
    }

private:
    uint64_t m_factor;
    uint32_t m_half;
};

// The sums of a block whose pixels may be transparent: each colour times its alpha, and the alphas.
// 1024 pixels of 255 * 255 stay far below 2^32.
struct Weighted {
    uint32_t blue, green, red, alpha;

    Weighted& operator+=(const Weighted& o) {
        blue += o.blue;
        green += o.green;
        red += o.red;
        alpha += o.alpha;
        return *this;
    }
    static Weighted Of(uint8_t blue, uint8_t green, uint8_t red, uint8_t alpha) {
        return {uint32_t{blue} * alpha, uint32_t{green} * alpha, uint32_t{red} * alpha, alpha};
    }
    // The block's pixel of `count` image pixels; transparent all through is all zero.
    uint32_t Pixel(uint32_t count) const {
        if (alpha == 0) return 0;
        const auto colour = [this](uint32_t sum) { return (sum + alpha / 2) / alpha; };
        return (alpha + count / 2) / count << 24 | colour(red) << 16 | colour(green) << 8 | colour(blue);
    }
};

// One source of pixels: a bottom-up block and, for 8 bits, its colours packed (and weighed).
struct Source {
    const uint8_t* bits;
    ptrdiff_t stride;
    int height;
    int bytes;
    bool transparent;  // some pixel may be less than opaque
    uint64_t colours[kPaletteEntries];
    Weighted weighted[kPaletteEntries];

    explicit Source(const PixelBlock& block) : bits(block.bits), stride(block.header->biXPelsPerMeter) {
        height = block.header->biHeight;
        bytes = block.header->biBitCount / 8;
        transparent = bytes == 4 || (bytes == 1 && !EntriesOpaque(block.entryAlpha));
        if (bytes == 1) {
            for (int i = 0; i < kPaletteEntries; ++i) {
                const RGBQUAD& c = block.palette[i];
                colours[i] = Pack(c.rgbBlue, c.rgbGreen, c.rgbRed);
                weighted[i] = Weighted::Of(c.rgbBlue, c.rgbGreen, c.rgbRed, EntryAlpha(block.entryAlpha, i));
            }
        }
    }
    const uint8_t* RowFromTop(int y) const { return bits + static_cast<ptrdiff_t>(height - 1 - y) * stride; }
};

// Adds the pixels of image columns from..to-1 to the sums of their blocks (sums[0] is block
// `firstBlock`); image column x is pixel x - shift of `row`.
template <int kBytes>
void AddColumns(uint64_t* sums, const Source& source, const uint8_t* row, int from, int to, int shift, int n,
                int firstBlock) {
    const uint8_t* p = row + static_cast<ptrdiff_t>(from - shift) * kBytes;
    uint64_t* blockSum = sums + (from / n - firstBlock);
    int stop = (from / n + 1) * n;
    for (int x = from; x < to; stop += n, ++blockSum) {
        uint64_t sum = 0;
        for (const int end = std::min(stop, to); x < end; ++x, p += kBytes) {
            if constexpr (kBytes == 1)
                sum += source.colours[*p];
            else
                sum += Pack(p[0], p[1], p[2]);
        }
        *blockSum += sum;
    }
}

void AddColumns(uint64_t* sums, const Source& source, const uint8_t* row, int from, int to, int shift, int n,
                int firstBlock) {
    if (from >= to) return;
    if (source.bytes == 1)
        AddColumns<1>(sums, source, row, from, to, shift, n, firstBlock);
    else
        AddColumns<3>(sums, source, row, from, to, shift, n, firstBlock);
}

// The same with the alphas: any depth, an opaque one counting with alpha 255.
void AddColumns(Weighted* sums, const Source& source, const uint8_t* row, int from, int to, int shift, int n,
                int firstBlock) {
    const int bytes = source.bytes;
    const uint8_t* p = row + static_cast<ptrdiff_t>(from - shift) * bytes;
    for (int x = from; x < to; ++x, p += bytes) {
        Weighted& sum = sums[x / n - firstBlock];
        if (bytes == 1)
            sum += source.weighted[*p];
        else
            sum += Weighted::Of(p[0], p[1], p[2], bytes == 4 ? p[3] : 255);
    }
}

// The rows of blocks of ReduceBlocks, with the sums of opaque pixels (uint64_t) or of transparent
// ones (Weighted).
template <class Sum>
void ReduceRows(const Source& picture, const std::optional<Source>& over, const FloatingBlock* floating,
                const RECT& span, int n, int width, int height, const RECT& floatArea, uint32_t* out,
                ptrdiff_t stride) {
    const int left = span.left, right = span.right;
    const int firstColumn = left * n;
    const int endColumn = std::min(right * n, width);
    const int lastColumns = endColumn - (right - 1) * n;  // columns of the last block
    std::vector<Sum> sums(right - left);
    for (int by = span.top; by < span.bottom; ++by, out += stride) {
        std::fill(sums.begin(), sums.end(), Sum{});
        const int endRow = std::min(by * n + n, height);
        for (int y = by * n; y < endRow; ++y) {
            const uint8_t* row = picture.RowFromTop(y);
            if (over && y >= floatArea.top && y < floatArea.bottom) {
                const int a = std::clamp<int>(floatArea.left, firstColumn, endColumn);
                const int b = std::clamp<int>(floatArea.right, firstColumn, endColumn);
                AddColumns(sums.data(), picture, row, firstColumn, a, 0, n, left);
                AddColumns(sums.data(), *over, over->RowFromTop(y - floating->y), a, b, floating->x, n, left);
                AddColumns(sums.data(), picture, row, b, endColumn, 0, n, left);
            } else {
                AddColumns(sums.data(), picture, row, firstColumn, endColumn, 0, n, left);
            }
        }
        const int rows = endRow - by * n;
        if constexpr (std::is_same_v<Sum, Weighted>) {
            for (int bx = left; bx < right - 1; ++bx)
                out[bx - left] = sums[bx - left].Pixel(static_cast<uint32_t>(rows * n));
            out[right - 1 - left] = sums[right - 1 - left].Pixel(static_cast<uint32_t>(rows * lastColumns));
        } else {
            const BlockMean whole(rows * n);
            const BlockMean last(rows * lastColumns);
            for (int bx = left; bx < right - 1; ++bx)
                out[bx - left] = whole.Pixel(sums[bx - left]);
            out[right - 1 - left] = last.Pixel(sums[right - 1 - left]);
        }
    }
}

}  // namespace

void ReduceBlocks(const PixelBlock& image, const FloatingBlock* floating, int n, const RECT& blocks,
                  uint32_t* out, ptrdiff_t stride) {
    const int width = image.header->biWidth;
    const int height = image.header->biHeight;
    const int left = std::max(blocks.left, 0);
    const int top = std::max(blocks.top, 0);
    const int right = std::min<int64_t>(blocks.right, (int64_t{width} + n - 1) / n);
    const int bottom = std::min<int64_t>(blocks.bottom, (int64_t{height} + n - 1) / n);
    if (left >= right || top >= bottom) return;
    out += (top - blocks.top) * stride + (left - blocks.left);

    const Source picture(image);
    // The floating block's columns and rows over the image.
    int floatLeft = 0, floatRight = 0, floatTop = 0, floatBottom = 0;
    std::optional<Source> over;
    if (floating) {
        const BITMAPINFOHEADER& header = *floating->block.header;
        floatLeft = std::clamp<int64_t>(floating->x, 0, width);
        floatRight = std::clamp<int64_t>(int64_t{floating->x} + header.biWidth, 0, width);
        floatTop = std::clamp<int64_t>(floating->y, 0, height);
        floatBottom = std::clamp<int64_t>(int64_t{floating->y} + header.biHeight, 0, height);
        if (floatLeft < floatRight && floatTop < floatBottom) over.emplace(floating->block);
    }
    const RECT span{left, top, right, bottom};
    const RECT floatArea{floatLeft, floatTop, floatRight, floatBottom};
    if (picture.transparent || (over && over->transparent))
        ReduceRows<Weighted>(picture, over, floating, span, n, width, height, floatArea, out, stride);
    else
        ReduceRows<uint64_t>(picture, over, floating, span, n, width, height, floatArea, out, stride);
}

bool CReducedCopies::SameImage(const PixelBlock& image) const {
    const BITMAPINFOHEADER& h = *image.header;
    if (image.bits != m_bits || h.biWidth != m_header.biWidth || h.biHeight != m_header.biHeight ||
        h.biBitCount != m_header.biBitCount || h.biXPelsPerMeter != m_header.biXPelsPerMeter)
        return false;
    if (h.biBitCount != 8) return true;
    for (int i = 0; i < kPaletteEntries; ++i)
        if (EntryAlpha(image.entryAlpha, i) != m_entryAlpha[i]) return false;
    return std::memcmp(image.palette, m_palette, kPaletteBytes) == 0;
}

namespace {

struct Registry {
    std::vector<CReducedCopies*> all;
    uint64_t clock = 0;  // counts the drawings
    uint64_t limit = CReducedCopies::kDefaultLimit;
};
Registry& Copies() {
    static Registry registry;
    return registry;
}

}  // namespace

CReducedCopies::CReducedCopies() {
    Copies().all.push_back(this);
}

CReducedCopies::~CReducedCopies() {
    auto& all = Copies().all;
    all.erase(std::remove(all.begin(), all.end(), this), all.end());
}

uint64_t CReducedCopies::AllBytes() {
    uint64_t bytes = 0;
    for (const CReducedCopies* copies : Copies().all)
        bytes += copies->m_bytes;
    return bytes;
}

uint64_t CReducedCopies::Limit() {
    return Copies().limit;
}

void CReducedCopies::SetLimit(uint64_t bytes) {
    Copies().limit = bytes;
    Enforce(Copies().clock + 1);
}

void CReducedCopies::Drop(size_t index) {
    const Tile& tile = m_tiles[index];
    m_bytes -= uint64_t(tile.width) * tile.height * sizeof(uint32_t);
    m_tiles.erase(m_tiles.begin() + static_cast<ptrdiff_t>(index));
}

void CReducedCopies::Enforce(uint64_t keepFrom) {
    while (AllBytes() > Limit()) {
        CReducedCopies* owner = nullptr;
        size_t oldest = 0;
        for (CReducedCopies* copies : Copies().all) {
            for (size_t i = 0; i < copies->m_tiles.size(); ++i) {
                const uint64_t use = copies->m_tiles[i].lastUse;
                if (use < keepFrom && (!owner || use < owner->m_tiles[oldest].lastUse)) {
                    owner = copies;
                    oldest = i;
                }
            }
        }
        if (!owner) return;
        owner->Drop(oldest);
    }
}

void CReducedCopies::Draw(const PixelBlock& image, int n, const RECT& blocks, uint32_t* out,
                          ptrdiff_t stride) {
    if (!SameImage(image)) {
        Clear();
        m_header = *image.header;
        m_bits = image.bits;
        if (image.header->biBitCount == 8) {
            std::memcpy(m_palette, image.palette, kPaletteBytes);
            for (int i = 0; i < kPaletteEntries; ++i)
                m_entryAlpha[i] = EntryAlpha(image.entryAlpha, i);
        }
    }
    if (!IsEmptyRect(m_stale)) {
        for (Tile& tile : m_tiles) {
            const int side = kTileSide * tile.shrink;  // at most 8192 image pixels
            const RECT under{std::max(m_stale.left, tile.column * side),
                             std::max(m_stale.top, tile.row * side),
                             std::min(m_stale.right, (tile.column + 1) * side),
                             std::min(m_stale.bottom, (tile.row + 1) * side)};
            if (!IsEmptyRect(under)) tile.stale = UnionRect(tile.stale, under);
        }
        m_stale = RECT{0, 0, 0, 0};
    }
    const uint64_t drawing = ++Copies().clock;
    const int levelWidth = static_cast<int>((int64_t{image.header->biWidth} + n - 1) / n);
    const int levelHeight = static_cast<int>((int64_t{image.header->biHeight} + n - 1) / n);
    const RECT wanted{std::max(blocks.left, 0), std::max(blocks.top, 0), std::min(blocks.right, levelWidth),
                      std::min(blocks.bottom, levelHeight)};
    if (IsEmptyRect(wanted)) return;
    for (int row = wanted.top / kTileSide; row <= (wanted.bottom - 1) / kTileSide; ++row) {
        for (int column = wanted.left / kTileSide; column <= (wanted.right - 1) / kTileSide; ++column) {
            const RECT place{column * kTileSide, row * kTileSide,
                             std::min(column * kTileSide + kTileSide, levelWidth),
                             std::min(row * kTileSide + kTileSide, levelHeight)};
            const RECT part{std::max(place.left, wanted.left), std::max(place.top, wanted.top),
                            std::min(place.right, wanted.right), std::min(place.bottom, wanted.bottom)};
            uint32_t* target = out + (part.top - blocks.top) * stride + (part.left - blocks.left);
            auto found = std::find_if(m_tiles.begin(), m_tiles.end(), [&](const Tile& t) {
                return t.shrink == n && t.column == column && t.row == row;
            });
            if (found == m_tiles.end()) {
                // All of it to make.
                const RECT all{place.left * n, place.top * n, place.right * n, place.bottom * n};
                Tile tile{n,       column, row,    place.right - place.left, place.bottom - place.top,
                          drawing, all,    nullptr};
                tile.pixels.reset(new (std::nothrow) uint32_t[size_t(tile.width) * tile.height]);
                if (!tile.pixels) {
                    ReduceBlocks(image, nullptr, n, part, target, stride);
                    continue;
                }
                m_bytes += uint64_t(tile.width) * tile.height * sizeof(uint32_t);
                m_tiles.push_back(std::move(tile));
                found = m_tiles.end() - 1;
            }
            Tile& tile = *found;
            if (!IsEmptyRect(tile.stale)) {
                // The blocks over the changed pixels, within the tile.
                const RECT redo{std::max(tile.stale.left / n, place.left),
                                std::max(tile.stale.top / n, place.top),
                                std::min((tile.stale.right + n - 1) / n, place.right),
                                std::min((tile.stale.bottom + n - 1) / n, place.bottom)};
                ReduceBlocks(
                    image, nullptr, n, redo,
                    tile.pixels.get() + size_t(redo.top - place.top) * tile.width + (redo.left - place.left),
                    tile.width);
                tile.stale = RECT{0, 0, 0, 0};
            }
            tile.lastUse = drawing;
            for (int y = part.top; y < part.bottom; ++y)
                std::memcpy(target + (y - part.top) * stride,
                            tile.pixels.get() + size_t(y - place.top) * tile.width + (part.left - place.left),
                            sizeof(uint32_t) * size_t(part.right - part.left));
        }
    }
    Enforce(drawing);
}

void CReducedCopies::Touch(const RECT& area) {
    const RECT clipped{std::max(area.left, 0), std::max(area.top, 0), area.right, area.bottom};
    if (!IsEmptyRect(clipped)) m_stale = UnionRect(m_stale, clipped);
}

void CReducedCopies::Clear() {
    m_tiles.clear();
    m_bytes = 0;
    m_stale = RECT{0, 0, 0, 0};
    m_bits = nullptr;
}
