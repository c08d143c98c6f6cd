#include "document/undo_history.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <utility>

#include "document/pixel_routines.h"
#include "document/undo_tiles.h"

namespace {

size_t HeaderBlockBytes(const BITMAPINFOHEADER& header) {
    return header.biBitCount == 8 ? kHeaderBlockBytes8 : kHeaderBytes;
}

uint64_t RowBytes(const BITMAPINFOHEADER& header) {
    return static_cast<uint64_t>(header.biXPelsPerMeter) * static_cast<uint64_t>(header.biHeight);
}

bool SameEntryAlpha(const uint8_t* a, const uint8_t* b) {
    for (int i = 0; i < kPaletteEntries; ++i)
        if (EntryAlpha(a, i) != EntryAlpha(b, i)) return false;
    return true;
}

bool SamePlace(const FloatingImage& a, const FloatingImage& b) {
    return a.selected == b.selected && a.place.left == b.place.left && a.place.top == b.place.top &&
           a.place.right == b.place.right && a.place.bottom == b.place.bottom;
}

}  // namespace

// --- Image blocks --------------------------------------------------------------------------------

ImageBlocks::ImageBlocks(ImageBlocks&& other) noexcept
    : header(std::exchange(other.header, nullptr)),
      palette(std::exchange(other.palette, nullptr)),
      bits(std::exchange(other.bits, nullptr)),
      entryAlpha(std::exchange(other.entryAlpha, nullptr)) {}

ImageBlocks& ImageBlocks::operator=(ImageBlocks&& other) noexcept {
    std::swap(header, other.header);
    std::swap(palette, other.palette);
    std::swap(bits, other.bits);
    std::swap(entryAlpha, other.entryAlpha);
    return *this;
}

ImageBlocks::~ImageBlocks() {
    if (palette && (!header || palette != HeaderPalette(header))) std::free(palette);
    std::free(header);
    std::free(bits);
    std::free(entryAlpha);
}

bool ImageBlocks::CopyHeader(const BITMAPINFOHEADER* source, const RGBQUAD* sourcePalette,
                             const uint8_t* sourceAlpha) {
    const size_t headerBytes = HeaderBlockBytes(*source);
    auto* newHeader = static_cast<BITMAPINFOHEADER*>(std::malloc(headerBytes));
    RGBQUAD* newPalette = nullptr;
    uint8_t* newAlpha = nullptr;
    if (newHeader) {
        std::memcpy(newHeader, source, headerBytes);
        newPalette = source->biBitCount == 8 ? HeaderPalette(newHeader)
                                             : static_cast<RGBQUAD*>(std::malloc(kPaletteBytes));
    }
    if (!newPalette || !CopyEntryAlpha(sourceAlpha, &newAlpha)) {
        if (newPalette && newPalette != HeaderPalette(newHeader)) std::free(newPalette);
        std::free(newHeader);
        return false;
    }
    std::memcpy(newPalette, sourcePalette, kPaletteBytes);
    *this = ImageBlocks(newHeader, newPalette, nullptr, newAlpha);
    return true;
}

uint64_t ImageBlocks::Bytes() const {
    if (!header) return 0;
    const bool ownPalette = palette && palette != HeaderPalette(header);
    return HeaderBlockBytes(*header) + (ownPalette ? kPaletteBytes : 0) + (bits ? RowBytes(*header) : 0) +
           (entryAlpha ? kPaletteEntries : 0);
}

bool CopyFloatingImage(const BITMAPINFOHEADER* header, const uint8_t* bits, BITMAPINFOHEADER** copyHeader,
                       uint8_t** copyBits) {
    const size_t headerBytes = HeaderBlockBytes(*header);
    const uint64_t rowBytes = RowBytes(*header);
    auto* newHeader = static_cast<BITMAPINFOHEADER*>(std::malloc(headerBytes));
    auto* newBits = static_cast<uint8_t*>(std::malloc(std::max<uint64_t>(rowBytes, 1)));
    if (!newHeader || !newBits) {
        std::free(newHeader);
        std::free(newBits);
        return false;
    }
    std::memcpy(newHeader, header, headerBytes);
    std::memcpy(newBits, bits, rowBytes);
    *copyHeader = newHeader;
    *copyBits = newBits;
    return true;
}

// --- Steps ---------------------------------------------------------------------------------------

// One step: the other side of each part of the document it changed. A step changes pixels in
// place (tiles) or replaces the image, not both.
class CUndoStep {
public:
    CUndoStep() = default;
    CUndoStep(const CUndoStep&) = delete;
    CUndoStep& operator=(const CUndoStep&) = delete;
    ~CUndoStep() {
        if (m_hasFloat) ReleaseFloat(m_floating);
        std::free(m_entryAlpha);
    }

    static void ReleaseFloat(const FloatingImage& floating) {
        std::free(floating.header);
        std::free(floating.bits);
    }

    bool Empty() const { return !m_tiles && !m_fill && !m_palette && !m_image.header && !m_hasFloat; }
    // Holds more than the floating image.
    bool HasImageParts() const { return m_tiles || m_fill || m_palette || m_image.header; }

    uint64_t Bytes() const {
        uint64_t bytes = sizeof(CUndoStep) + m_image.Bytes();
        if (m_tiles) bytes += m_tiles->Bytes();
        if (m_fill) bytes += m_fill->Bytes();
        if (m_palette) bytes += kPaletteBytes + (m_entryAlpha ? kPaletteEntries : 0);
        if (m_hasFloat && m_floating.header)
            bytes += HeaderBlockBytes(*m_floating.header) + RowBytes(*m_floating.header);
        return bytes;
    }

    // False when memory ran out or the step would grow past `limit` bytes.
    bool Touch(const BITMAPINFOHEADER& header, const uint8_t* bits, const RECT& area, uint64_t limit) {
        if (!m_tiles) m_tiles.emplace(header);
        const uint64_t others = Bytes() - m_tiles->Bytes();
        return !m_tiles->Fits(header) || (others <= limit && m_tiles->Save(bits, area, limit - others));
    }

    bool FillRun(const BITMAPINFOHEADER& header, int32_t y, int32_t firstX, int32_t lastX, uint64_t limit) {
        if (!m_fill) m_fill.emplace(header);
        const uint64_t others = Bytes() - m_fill->Bytes();
        return others <= limit && m_fill->Mark(y, firstX, lastX, limit - others);
    }

    void FillDone(const uint8_t* before, const uint8_t* after) {
        if (m_fill) m_fill->Finish(before, after);
    }

    // False when memory ran out.
    bool KeepPalette(const RGBQUAD* palette, const uint8_t* entryAlpha) {
        if (m_palette) return true;
        uint8_t* alpha = nullptr;
        if (!CopyEntryAlpha(entryAlpha, &alpha)) return false;
        m_palette = std::make_unique<RGBQUAD[]>(kPaletteEntries);
        std::memcpy(m_palette.get(), palette, kPaletteBytes);
        m_entryAlpha = alpha;
        return true;
    }

    void KeepImage(ImageBlocks previous, int command) {
        if (m_image.header) return;  // the blocks in between are released with `previous`
        m_image = std::move(previous);
        m_command = command;
    }

    void KeepFloat(const FloatingImage& before, bool withPlace) {
        if (m_hasFloat) {
            ReleaseFloat(before);
            return;
        }
        m_hasFloat = true;
        m_floatPlace = withPlace;
        m_floating = before;
    }

    // False when memory ran out on the way.
    bool DropUnchanged(const UndoTarget& now) {
        if (m_tiles && now.header && m_tiles->Fits(*now.header) && !m_tiles->DropUnchanged(now.bits))
            return false;
        if (m_tiles && m_tiles->Empty()) m_tiles.reset();
        if (m_fill && m_fill->Empty()) m_fill.reset();
        if (m_palette && now.palette && std::memcmp(m_palette.get(), now.palette, kPaletteBytes) == 0 &&
            SameEntryAlpha(m_entryAlpha, now.entryAlpha)) {
            m_palette.reset();
            std::free(std::exchange(m_entryAlpha, nullptr));
        }
        if (m_hasFloat && !m_floating.header && !now.floating.header &&
            (!m_floatPlace || SamePlace(m_floating, now.floating)))
            m_hasFloat = false;
        return true;
    }

    UndoEffect Apply(UndoTarget& target) {
        UndoEffect effect;
        effect.command = m_command;
        if (m_image.header) {
            std::swap(target.header, m_image.header);
            std::swap(target.palette, m_image.palette);
            std::swap(target.bits, m_image.bits);
            std::swap(target.entryAlpha, m_image.entryAlpha);
            effect.image = true;
        }
        if (m_palette) {
            std::swap_ranges(m_palette.get(), m_palette.get() + kPaletteEntries, target.palette);
            std::swap(target.entryAlpha, m_entryAlpha);
            effect.palette = true;
        }
        // Tiles apply only to the image they were taken from; the history never offers another.
        if (m_tiles && m_tiles->Fits(*target.header)) effect.area = m_tiles->Swap(&target.bits);
        if (m_fill && m_fill->Fits(*target.header))
            effect.area = UnionRect(effect.area, m_fill->Swap(target.bits));
        if (m_hasFloat) {
            std::swap(target.floating.header, m_floating.header);
            std::swap(target.floating.bits, m_floating.bits);
            if (m_floatPlace) {
                std::swap(target.floating.selected, m_floating.selected);
                std::swap(target.floating.place, m_floating.place);
            }
            effect.floating = true;
        }
        return effect;
    }

    uint64_t m_sequence = 0;
    bool m_changes = false;   // changed what a save writes
    bool m_overflow = false;  // grew past the budget while recording; its tiles were released

private:
    int m_command = 0;
    std::optional<CTileStore> m_tiles;
    std::optional<CFillMask> m_fill;  // a fill is a step of its own, never with tiles
    std::unique_ptr<RGBQUAD[]> m_palette;
    uint8_t* m_entryAlpha = nullptr;  // with m_palette; null when every entry was opaque
    ImageBlocks m_image;
    bool m_hasFloat = false;
    bool m_floatPlace = false;
    FloatingImage m_floating;  // owns its blocks while m_hasFloat is set
};

// --- History -------------------------------------------------------------------------------------

CUndoHistory::CUndoHistory(CUndoBudget& budget) : m_budget(budget) {
    m_budget.m_histories.push_back(this);
}

CUndoHistory::~CUndoHistory() {
    auto& histories = m_budget.m_histories;
    histories.erase(std::remove(histories.begin(), histories.end(), this), histories.end());
}

CUndoStep& CUndoHistory::Open() {
    if (!m_open) m_open = std::make_unique<CUndoStep>();
    return *m_open;
}

void CUndoHistory::Touch(const BITMAPINFOHEADER& header, const uint8_t* bits, const RECT& area) {
    CUndoStep& step = Open();
    if (step.m_overflow) return;
    // A step that can never be kept copies nothing more, so it holds no more memory than the
    // budget while the change goes on.
    if (!step.Touch(header, bits, area, m_budget.Limit())) Overflow();
}

void CUndoHistory::FillRun(const BITMAPINFOHEADER& header, int32_t y, int32_t firstX, int32_t lastX) {
    CUndoStep& step = Open();
    if (!step.m_overflow && !step.FillRun(header, y, firstX, lastX, m_budget.Limit())) Overflow();
}

void CUndoHistory::FillDone(const uint8_t* before, const uint8_t* after) {
    if (m_open) m_open->FillDone(before, after);
}

void CUndoHistory::Overflow() {
    m_open = std::make_unique<CUndoStep>();
    m_open->m_overflow = true;
}

void CUndoHistory::KeepPalette(const RGBQUAD* palette, const uint8_t* entryAlpha) {
    CUndoStep& step = Open();
    if (!step.m_overflow && !step.KeepPalette(palette, entryAlpha)) Overflow();
}

void CUndoHistory::KeepImage(ImageBlocks previous, int command) {
    Open().KeepImage(std::move(previous), command);
}

void CUndoHistory::KeepFloat(const FloatingImage& before, bool withPlace) {
    Open().KeepFloat(before, withPlace);
}

StepOutcome CUndoHistory::EndStep(const UndoTarget& now) {
    const bool changing = std::exchange(m_changing, false);
    if (!m_open) return StepOutcome::None;
    std::unique_ptr<CUndoStep> step = std::move(m_open);
    if (!step->m_overflow) {
        step->m_overflow = !step->DropUnchanged(now);
        if (!step->m_overflow && step->Empty()) return StepOutcome::None;
    }
    if (step->m_overflow || step->Bytes() > m_budget.Limit()) {
        Clear();
        if (changing) m_saved = kSavedLost;
        return StepOutcome::TooLarge;
    }
    step->m_changes = changing && step->HasImageParts();
    KeepSavedAtCurrent();
    DropAll(m_redo);
    step->m_sequence = m_budget.m_nextSequence++;
    m_bytes += step->Bytes();
    m_undo.push_back(std::move(step));
    m_budget.Enforce();
    return StepOutcome::Kept;
}

UndoEffect CUndoHistory::Move(Steps& from, Steps& to, UndoTarget& target) {
    std::unique_ptr<CUndoStep> step = std::move(from.back());
    from.pop_back();
    m_bytes -= step->Bytes();
    const UndoEffect effect = step->Apply(target);
    m_bytes += step->Bytes();  // an exchanged image may be larger or smaller than before
    to.push_back(std::move(step));
    m_budget.Enforce();
    return effect;
}

UndoEffect CUndoHistory::Undo(UndoTarget& target) {
    return Move(m_undo, m_redo, target);
}

UndoEffect CUndoHistory::Redo(UndoTarget& target) {
    return Move(m_redo, m_undo, target);
}

const CUndoStep* CUndoHistory::Oldest() const {
    if (!m_undo.empty()) return m_undo.front().get();
    if (!m_redo.empty()) return m_redo.front().get();
    return nullptr;
}

void CUndoHistory::DropOldest() {
    Steps& steps = m_undo.empty() ? m_redo : m_undo;
    if (steps.empty()) return;
    // The state at the dropped end goes; a saved state there lives on in its neighbour only when
    // the step between them left the file's part alone.
    const int64_t end = m_undo.empty() ? static_cast<int64_t>(m_redo.size()) : 0;
    if (m_saved == end && steps.front()->m_changes) m_saved = kSavedLost;
    if (!m_undo.empty() && m_saved > 0) --m_saved;
    if (m_undo.empty() && m_saved == end) --m_saved;
    m_bytes -= steps.front()->Bytes();
    steps.pop_front();
}

void CUndoHistory::DropAll(Steps& steps) {
    for (const auto& step : steps)
        m_bytes -= step->Bytes();
    steps.clear();
}

void CUndoHistory::Clear() {
    // The current state stays, as the only one.
    KeepSavedAtCurrent();
    if (m_saved != kSavedLost)
        m_saved = ChangesBetween(static_cast<size_t>(m_saved), m_undo.size()) ? kSavedLost : 0;
    m_changing = false;
    DropAll(m_undo);
    DropAll(m_redo);
    m_open.reset();
}

// --- Fills ---------------------------------------------------------------------------------------

namespace {

// Hands each run a fill is about to paint to the history, rows counted from the top, and notes
// their area. Where all the pixels it paints hold one value the history keeps only which pixels
// they are; fully transparent 32-bit pixels count as one value whatever colours they keep, so a
// fill over them has the tiles under its runs copied instead.
class CFillRecording final : public CFillRuns {
public:
    CFillRecording(CUndoHistory& history, const PaintTarget& image, bool oneValue)
        : m_history(history), m_image(image), m_oneValue(oneValue) {}
    void Run(int row, int firstX, int lastX) override {
        const int y = m_image.header->biHeight - 1 - row;
        const RECT run{firstX, y, lastX + 1, y + 1};
        if (m_oneValue)
            m_history.FillRun(*m_image.header, y, firstX, lastX);
        else
            m_history.Touch(*m_image.header, m_image.bits, run);
        m_area = UnionRect(m_area, run);
    }
    RECT Area() const { return m_area; }

private:
    CUndoHistory& m_history;
    const PaintTarget& m_image;
    const bool m_oneValue;
    RECT m_area{0, 0, 0, 0};
};

}  // namespace

RECT RecordedFloodFill(CUndoHistory& history, const PaintTarget& image, int x, int y, int index) {
    const BITMAPINFOHEADER& header = *image.header;
    const int bytes = header.biBitCount / 8;
    if ((bytes != 1 && bytes != 3 && bytes != 4) || x < 0 || y < 0 || x >= header.biWidth ||
        y >= header.biHeight)
        return {};
    const int row = header.biHeight - 1 - y;
    const uint8_t* start = image.bits + int64_t{row} * header.biXPelsPerMeter + int64_t{x} * bytes;
    uint8_t before[4];
    std::memcpy(before, start, bytes);
    const bool oneValue = bytes != 4 || before[3] != 0;
    CFillRecording recording(history, image, oneValue);
    PaintFill(image, x, row, index, &recording);
    if (oneValue) history.FillDone(before, start);
    return recording.Area();
}

// --- The saved state ------------------------------------------------------------------------------

void CUndoHistory::MarkSaved() {
    m_saved = static_cast<int64_t>(m_undo.size());
}

const CUndoStep& CUndoHistory::StepAfter(size_t position) const {
    return position < m_undo.size() ? *m_undo[position] : *m_redo[m_redo.size() - 1 - (position - m_undo.size())];
}

bool CUndoHistory::ChangesBetween(size_t a, size_t b) const {
    for (size_t position = std::min(a, b); position < std::max(a, b); ++position)
        if (StepAfter(position).m_changes) return true;
    return false;
}

bool CUndoHistory::Modified() const {
    return m_saved == kSavedLost || ChangesBetween(static_cast<size_t>(m_saved), m_undo.size());
}

void CUndoHistory::KeepSavedAtCurrent() {
    const auto current = static_cast<int64_t>(m_undo.size());
    if (m_saved <= current) return;
    m_saved = ChangesBetween(m_undo.size(), static_cast<size_t>(m_saved)) ? kSavedLost : current;
}

// --- Budget --------------------------------------------------------------------------------------

void CUndoBudget::SetLimit(uint64_t limit) {
    m_limit = limit;
    Enforce();
}

uint64_t CUndoBudget::Bytes() const {
    uint64_t bytes = 0;
    for (const CUndoHistory* history : m_histories)
        bytes += history->Bytes();
    return bytes;
}

void CUndoBudget::Enforce() {
    while (Bytes() > m_limit) {
        CUndoHistory* oldest = nullptr;
        uint64_t sequence = std::numeric_limits<uint64_t>::max();
        for (CUndoHistory* history : m_histories) {
            const CUndoStep* step = history->Oldest();
            if (step && step->m_sequence < sequence) {
                sequence = step->m_sequence;
                oldest = history;
            }
        }
        if (!oldest) return;
        oldest->DropOldest();
    }
}
