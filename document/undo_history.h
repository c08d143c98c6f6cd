// The undo history of a document, and the memory budget all histories share.
//
// A step is one user action. While it runs, whatever it is about to change is handed to the open
// step: the tiles of the pixels it overwrites (Touch), the palette before an entry changes, the
// whole previous image when an operation replaces it, the floating image with its place. A step
// holds the other side of its change: applying it exchanges that with the document, so the same
// exchange undoes it and, applied again, redoes it. Undo and redo move steps between the two lists
// of a history; recording a new step empties the redo list.
//
// All histories together keep to a budget of memory. Past it the oldest steps of all documents
// are dropped: a history gives up its oldest undo step or, when it has none left, its farthest
// redo step. A step larger than the whole budget is not kept, and its history is emptied, since
// the steps before it no longer lead to the image; what would pass the budget is never copied.
//
// A history also knows which of its states is the one on disk (the saved state), so the document
// can tell whether it has unsaved changes: a step counts when it changed what a save writes (the
// rows, the size and depth, an 8-bit palette), not when it only moved or replaced the floating
// image. The saved state may be dropped with its step, or discarded with the redo list: from then
// on no undo or redo leads back to it.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "document/image_buffer.h"
#include "document/pixel_routines.h"

// An image's blocks, owned and released together. An 8-bit palette lives inside the header block;
// a 24 or 32-bit one is a block of its own. An 8-bit image's entry alpha block is null when every
// entry is opaque.
struct ImageBlocks {
    BITMAPINFOHEADER* header = nullptr;
    RGBQUAD* palette = nullptr;
    uint8_t* bits = nullptr;
    uint8_t* entryAlpha = nullptr;

    ImageBlocks() = default;
    ImageBlocks(BITMAPINFOHEADER* header, RGBQUAD* palette, uint8_t* bits, uint8_t* entryAlpha = nullptr)
        : header(header), palette(palette), bits(bits), entryAlpha(entryAlpha) {}
    ImageBlocks(ImageBlocks&& other) noexcept;
    ImageBlocks& operator=(ImageBlocks&& other) noexcept;
    ~ImageBlocks();

    // Makes copies of an image's header block, palette and entry alpha; the rows stay null. False,
    // with nothing made, when memory is short.
    bool CopyHeader(const BITMAPINFOHEADER* header, const RGBQUAD* palette,
                    const uint8_t* entryAlpha = nullptr);
    uint64_t Bytes() const;
};

// Copies a floating image's header block (with its colour table for 8 bit) and rows; false, with
// nothing made, when memory is short.
bool CopyFloatingImage(const BITMAPINFOHEADER* header, const uint8_t* bits, BITMAPINFOHEADER** copyHeader,
                       uint8_t** copyBits);

// The floating image and the selection that places it.
struct FloatingImage {
    BITMAPINFOHEADER* header = nullptr;  // with `bits`; both null when there is no floating image
    uint8_t* bits = nullptr;
    bool selected = false;   // a selection is established
    RECT place{0, 0, 0, 0};  // the selection rectangle as the editing view holds it
};

// What a step changes, as the document holds it at the moment. Applying a step exchanges parts of
// it with the step's.
struct UndoTarget {
    BITMAPINFOHEADER* header = nullptr;
    RGBQUAD* palette = nullptr;
    uint8_t* bits = nullptr;
    FloatingImage floating;
    uint8_t* entryAlpha = nullptr;  // goes with the palette, and with the image blocks
};

// What applying a step exchanged, so the document knows what to bring up to date.
struct UndoEffect {
    bool image = false;     // the image blocks: its size, depth, palette and every pixel
    bool palette = false;   // palette entries, with their opacities
    bool floating = false;  // the floating image, and (unless only its pixels changed) its place
    RECT area{0, 0, 0, 0};  // pixels exchanged in place (y from the top); empty when none
    int command = 0;        // the command id the step was recorded with (0 for painting)
};

enum class StepOutcome {
    None,      // nothing was open, or nothing had changed
    Kept,      // the step went onto the undo list
    TooLarge,  // larger than the budget: not kept, and the history was emptied
};

class CUndoBudget;
class CUndoStep;

class CUndoHistory {
public:
    explicit CUndoHistory(CUndoBudget& budget);
    ~CUndoHistory();
    CUndoHistory(const CUndoHistory&) = delete;
    CUndoHistory& operator=(const CUndoHistory&) = delete;

    // Recording into the open step, which the first of these calls opens.
    // The pixels of the image inside `area` (y from the top, right and bottom exclusive) are about
    // to change.
    void Touch(const BITMAPINFOHEADER& header, const uint8_t* bits, const RECT& area);
    // A flood fill, as a step of its own (nothing else is recorded into it): each run it paints (row
    // y from the top, columns inclusive), then the value every painted pixel had before and has now
    // (one pixel's bytes each). The step keeps one bit per painted pixel.
    void FillRun(const BITMAPINFOHEADER& header, int32_t y, int32_t firstX, int32_t lastX);
    void FillDone(const uint8_t* before, const uint8_t* after);
    // The 256 palette entries (and their opacities; `entryAlpha` may be null) are about to change.
    void KeepPalette(const RGBQUAD* palette, const uint8_t* entryAlpha = nullptr);
    // An operation, `command`, replaced the image: the step takes the blocks it replaced.
    void KeepImage(ImageBlocks previous, int command);
    // The floating image is about to change: the step takes `before`'s blocks and, with `withPlace`,
    // notes its place (without, undo leaves the place as it is then). Only the first call of a step
    // counts; the blocks of later ones are released, being an intermediate state.
    void KeepFloat(const FloatingImage& before, bool withPlace);

    // Closes the open step, comparing it with the document as it is now: tiles, palette or floating
    // image that ended as they began are dropped, and a step left with nothing is not kept.
    StepOutcome EndStep(const UndoTarget& now);

    // The open step (also one not yet opened) changes what a save writes. Without it a step counts
    // only as a change of the floating image or the painting colours.
    void NoteChange() { m_changing = true; }
    // The document as it is now is what its file holds (it was saved, or just opened or made).
    void MarkSaved();
    // No state of the history is what the file holds (a recovered document).
    void ForgetSaved() { m_saved = kSavedLost; }
    // Whether the document differs from its file: a kept step that changed what a save writes lies
    // between the current state and the saved one, or the saved state can no longer be reached. The
    // open step is not looked at.
    bool Modified() const;

    // A step is open (something was recorded since the last EndStep).
    bool Recording() const { return m_open != nullptr; }
    bool CanUndo() const { return !m_undo.empty() || m_open; }
    // Not while a step is open, since ending it will empty the redo list.
    bool CanRedo() const { return !m_redo.empty() && !m_open; }
    // Exchange the latest step (the next undone one) with `target`. Nothing may be open, and there
    // must be a step to apply.
    UndoEffect Undo(UndoTarget& target);
    UndoEffect Redo(UndoTarget& target);

    size_t UndoCount() const { return m_undo.size(); }
    size_t RedoCount() const { return m_redo.size(); }
    // The memory of the kept steps (the open one not counted).
    uint64_t Bytes() const { return m_bytes; }
    void Clear();

private:
    friend class CUndoBudget;
    using Steps = std::deque<std::unique_ptr<CUndoStep>>;

    CUndoStep& Open();
    // The open step has grown past the budget: it is replaced by one that records nothing more and
    // empties the history when it ends.
    void Overflow();
    // Moves the last step of `from` to the end of `to`, exchanging it with `target` on the way.
    UndoEffect Move(Steps& from, Steps& to, UndoTarget& target);
    // The step the budget drops first: the oldest undo step, else the farthest redo step.
    const CUndoStep* Oldest() const;
    void DropOldest();
    void DropAll(Steps& steps);
    // The step that leads from state `position` to the next one; states are counted from the oldest
    // kept, the current one being UndoCount().
    const CUndoStep& StepAfter(size_t position) const;
    // Whether a step between the two states changed what a save writes.
    bool ChangesBetween(size_t a, size_t b) const;
    // The saved state is about to lose the states after the current one (a new step, or Clear).
    void KeepSavedAtCurrent();

    static constexpr int64_t kSavedLost = -1;

    CUndoBudget& m_budget;
    Steps m_undo;  // oldest first
    Steps m_redo;  // farthest first: the next to redo is the last
    std::unique_ptr<CUndoStep> m_open;
    uint64_t m_bytes = 0;
    int64_t m_saved = 0;      // the saved state, or kSavedLost
    bool m_changing = false;  // NoteChange for the open step
};

// The fill tool's fill at image pixel (x, y from the top) in palette entry `index` of an 8, 24 or
// 32-bit image, recorded into `history` (which must have no step open) as a step of its own; the
// step is left for the caller to end. Returns the area of the pixels it painted (empty when none).
RECT RecordedFloodFill(CUndoHistory& history, const PaintTarget& image, int x, int y, int index);

class CUndoBudget {
public:
    explicit CUndoBudget(uint64_t limit) : m_limit(limit) {}
    CUndoBudget(const CUndoBudget&) = delete;
    CUndoBudget& operator=(const CUndoBudget&) = delete;

    uint64_t Limit() const { return m_limit; }
    // A new limit; steps past it are dropped at once.
    void SetLimit(uint64_t limit);
    // The memory held by the kept steps of all histories.
    uint64_t Bytes() const;
    // Drops the oldest steps of all histories until they fit the limit.
    void Enforce();

private:
    friend class CUndoHistory;

    uint64_t m_limit;
    uint64_t m_nextSequence = 0;  // orders the steps of all histories by the time they were kept
    std::vector<CUndoHistory*> m_histories;
};
