// The undo history on its own: partial changes at both depths and odd sizes, and what a step keeps.
// (Each kind of step, and the budget shared by all documents, are tested through the program.)
#include <gtest/gtest.h>

#include <vector>

#include "document/pixel_routines.h"
#include "document/undo_history.h"
#include "document/undo_tiles.h"
#include "test_image.h"

namespace {

std::vector<uint8_t> Rows(const TestImage& image) {
    return {image.bits, image.bits + int64_t{image.stride()} * image.height()};
}

UndoTarget Target(TestImage& image) {
    return {image.header, image.palette, image.bits, {}};
}

// Touches `area` (y from the top) and fills it with `value`, as a tool would; the step ends.
StepOutcome Step(CUndoHistory& history, TestImage& image, RECT area, uint32_t value) {
    history.Touch(*image.header, image.bits, area);
    FillBlock(image.bits, area.left, image.height() - area.bottom, image.stride(), area.right - area.left,
              area.bottom - area.top, image.header->biBitCount / 8, value);
    return history.EndStep(Target(image));
}

// The fill tool's fill at (x, y) in palette entry `index`; the step ends.
StepOutcome Fill(CUndoHistory& history, TestImage& image, int x, int y, int index) {
    RecordedFloodFill(history, PaintTarget{image.header, image.palette, nullptr, image.bits}, x, y, index);
    return history.EndStep(Target(image));
}

// Undo (true) or Redo; a whole block may take the rows' place.
void Apply(CUndoHistory& history, TestImage& image, bool undo) {
    UndoTarget target = Target(image);
    undo ? history.Undo(target) : history.Redo(target);
    image.bits = target.bits;
}

}  // namespace

TEST(UndoHistory, ChangesComeBackExactlyAndOnlyWhatChangedIsKept) {
    struct Case {
        int width, height;
        RECT area;
    };
    const Case cases[] = {
        {1, 1, {0, 0, 1, 1}},           {3, 70, {1, 35, 3, 70}},        {5, 2, {2, 1, 5, 2}},
        {33, 65, {16, 32, 33, 65}},     {130, 129, {60, 60, 130, 129}},  // over tile edges
        {1000, 700, {0, 0, 1000, 700}},                                  // the whole image at once
    };
    for (const int type : {int{kImage8Bit}, int{kImage24Bit}, kTestImage32}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << type << " " << c.width << "x" << c.height);
            CUndoBudget budget(uint64_t{64} << 20);
            CUndoHistory history(budget);
            TestImage image(c.width, c.height, type);
            const int64_t bytes = int64_t{image.stride()} * image.height();
            for (int64_t i = 0; i < bytes; ++i)
                image.bits[i] = uint8_t(i * 7 + 1);
            const std::vector<uint8_t> before = Rows(image);
            ASSERT_EQ(Step(history, image, c.area, 0xABCDEF), StepOutcome::Kept);
            const std::vector<uint8_t> after = Rows(image);
            for (int round = 0; round < 2; ++round) {
                Apply(history, image, true);
                EXPECT_EQ(Rows(image), before);
                EXPECT_FALSE(history.CanUndo());
                Apply(history, image, false);
                EXPECT_EQ(Rows(image), after);
            }
            // Writing what is there already is no step.
            EXPECT_EQ(Step(history, image, c.area, 0xABCDEF), StepOutcome::None);
            EXPECT_EQ(history.UndoCount(), 1u);
        }
    }

    // A change announced for the whole image keeps one tile for one pixel, and the whole block,
    // which changes places with the rows, when everything changed.
    CUndoBudget budget(uint64_t{64} << 20);
    CUndoHistory history(budget);
    TestImage image(1000, 700, kImage24Bit);
    history.Touch(*image.header, image.bits, RECT{0, 0, 1000, 700});
    image.Set24(500, 300, 0xFFFFFF);
    history.EndStep(Target(image));
    constexpr uint64_t kTile = uint64_t{CTileStore::kTileSize} * CTileStore::kTileSize * 3;
    EXPECT_GE(history.Bytes(), kTile);
    EXPECT_LT(history.Bytes(), 2 * kTile);
    Step(history, image, RECT{0, 0, 1000, 700}, 1);
    EXPECT_GE(history.Bytes(), kTile + uint64_t{1000} * 700 * 3);
    const uint8_t* rows = image.bits;
    Apply(history, image, true);
    EXPECT_NE(image.bits, rows);
    EXPECT_EQ(image.At24(500, 300), 0xFFFFFFu);
}

TEST(UndoHistory, AFillKeepsOnlyWhichPixelsItPaintedWithinTheBudget) {
    for (const int type : {int{kImage8Bit}, int{kImage24Bit}, kTestImage32}) {
        SCOPED_TRACE(type);
        // 1 MiB, less than the image: only what changes is weighed against it.
        CUndoBudget budget(uint64_t{1} << 20);
        CUndoHistory history(budget);
        TestImage image(1000, 700, type);
        const int bytes = image.header->biBitCount / 8;
        if (bytes == 4) FillBlock(image.bits, 0, 0, image.stride(), 1000, 700, 4, 0xFF102030);  // opaque
        ASSERT_EQ(Step(history, image, RECT{900, 600, 910, 610}, 3), StepOutcome::Kept);
        // A wall with a gap across rows 0-199, and pixels of the new colour inside the area (not
        // part of it, and the same after an undo).
        const uint32_t ground = bytes == 1   ? image.At8(0, 0)
                                : bytes == 3 ? image.At24(0, 0)
                                             : image.At32(0, 0);
        FillBlock(image.bits, 130, 500, image.stride(), 1, 200, bytes, 9);
        FillBlock(image.bits, 130, 550, image.stride(), 1, 5, bytes, ground);
        const uint32_t fresh =
            bytes == 1 ? 5 : PaletteColour(image.palette[5]) | (bytes == 4 ? 0xFF000000 : 0);
        FillBlock(image.bits, 20, 600, image.stride(), 3, 3, bytes, fresh);
        const std::vector<uint8_t> before = Rows(image);
        ASSERT_EQ(Fill(history, image, 0, 0, 5), StepOutcome::Kept);
        const std::vector<uint8_t> after = Rows(image);
        EXPECT_NE(after, before);
        EXPECT_EQ(history.UndoCount(), 2u);
        // One bit a pixel: far less than a copy of the 8-bit rows.
        EXPECT_LT(history.Bytes(), uint64_t{1000} * 700 / 6);
        for (int round = 0; round < 2; ++round) {
            Apply(history, image, true);
            EXPECT_EQ(Rows(image), before);
            Apply(history, image, false);
            EXPECT_EQ(Rows(image), after);
        }

        // A step larger than the budget empties the history, without copying past it.
        CUndoBudget small(uint64_t{32} << 10);
        CUndoHistory tight(small);
        ASSERT_EQ(Step(tight, image, RECT{0, 0, 10, 10}, 1), StepOutcome::Kept);
        EXPECT_EQ(Fill(tight, image, 500, 600, 6), StepOutcome::TooLarge);
        EXPECT_EQ(Step(tight, image, RECT{0, 0, 1000, 700}, 7), StepOutcome::TooLarge);
        EXPECT_FALSE(tight.CanUndo());
    }

    // Fully transparent pixels are one area whatever colours they keep; an undo gives each its own.
    CUndoBudget budget(uint64_t{1} << 20);
    CUndoHistory history(budget);
    TestImage image(300, 200, kTestImage32);
    FillBlock(image.bits, 100, 0, image.stride(), 1, 200, 4, 0xFF000000);
    for (int x = 0; x < 100; x += 7)
        image.Set32(x, 150, 0x00ABCDEF - x);
    const std::vector<uint8_t> before = Rows(image);
    ASSERT_EQ(Fill(history, image, 0, 0, 5), StepOutcome::Kept);
    EXPECT_EQ(image.At32(7, 150), PaletteColour(image.palette[5]) | 0xFF000000);
    EXPECT_EQ(image.At32(101, 150), 0u);
    const std::vector<uint8_t> after = Rows(image);
    Apply(history, image, true);
    EXPECT_EQ(Rows(image), before);
    Apply(history, image, false);
    EXPECT_EQ(Rows(image), after);
}

// (Undo and Redo to and from the saved state after each kind of step are tested through the program.)
TEST(UndoHistory, TheSavedStateIsFoundAgainUntilItsStepIsGone) {
    CUndoBudget budget(uint64_t{64} << 20);
    CUndoHistory history(budget);
    TestImage image(20, 10, kImage24Bit);
    // A step that changes what a save writes, and one that does not (as a floating image's).
    const auto change = [&](uint32_t value) {
        history.NoteChange();
        return Step(history, image, RECT{0, 0, 4, 4}, value);
    };
    const auto aside = [&](uint32_t value) { return Step(history, image, RECT{5, 5, 6, 6}, value); };

    // A new change after an undo past the saved state discards it with the redo list.
    ASSERT_EQ(change(1), StepOutcome::Kept);
    history.MarkSaved();
    Apply(history, image, true);
    ASSERT_EQ(change(2), StepOutcome::Kept);
    Apply(history, image, true);
    EXPECT_TRUE(history.Modified());

    // The oldest step dropped for memory: the next state stands in when only a step that left the
    // file's part alone lies between; with a change between, the saved state is gone.
    history.Clear();
    history.MarkSaved();
    ASSERT_EQ(aside(3), StepOutcome::Kept);
    ASSERT_EQ(change(4), StepOutcome::Kept);
    budget.SetLimit(history.Bytes() - 1);
    ASSERT_EQ(history.UndoCount(), 1u);
    Apply(history, image, true);
    EXPECT_FALSE(history.Modified());
    Apply(history, image, false);
    history.MarkSaved();
    Apply(history, image, true);
    budget.SetLimit(1);  // the redo step goes
    EXPECT_TRUE(history.Modified());
    history.MarkSaved();
    // A change too large to keep empties the history, the file behind it.
    ASSERT_EQ(change(5), StepOutcome::TooLarge);
    EXPECT_TRUE(history.Modified());
}
