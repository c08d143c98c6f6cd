// The undo history on its own: tiles of partial changes at both depths and odd sizes, the parts a
// step exchanges, what is not kept, and the budget shared by several histories.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "document/pixel_routines.h"
#include "document/undo_history.h"
#include "document/undo_tiles.h"
#include "test_image.h"

namespace {

constexpr uint64_t kMiB = uint64_t{1} << 20;

std::vector<uint8_t> Rows(const TestImage& image) {
    return {image.bits, image.bits + int64_t{image.stride()} * image.height()};
}

// Every byte of every pixel different from its neighbours; the row padding stays zero.
void Paint(TestImage& image) {
    const int used = image.width() * image.header->biBitCount / 8;
    for (int row = 0; row < image.height(); ++row)
        for (int b = 0; b < used; ++b)
            image.bits[row * image.stride() + b] = uint8_t(b * 7 + row * 13 + 1);
}

UndoTarget Target(TestImage& image) {
    return {image.header, image.palette, image.bits, {}};
}

// Undo (true) or Redo of the image's last step; a whole block may have taken the rows' place.
UndoEffect Apply(CUndoHistory& history, TestImage& image, bool undo) {
    UndoTarget target = Target(image);
    const UndoEffect effect = undo ? history.Undo(target) : history.Redo(target);
    image.bits = target.bits;
    return effect;
}

// Touches `area` (y from the top) and fills it with `value`, as a tool would.
void Write(CUndoHistory& history, TestImage& image, RECT area, uint32_t value) {
    history.Touch(*image.header, image.bits, area);
    FillBlock(image.bits, area.left, image.height() - area.bottom, image.stride(), area.right - area.left,
              area.bottom - area.top, image.header->biBitCount / 8, value);
}

}  // namespace

TEST(UndoHistory, PartialChangesComeBackExactlyAtBothDepthsAndOddSizes) {
    struct Size {
        int width, height;
    };
    for (const int type : {kImage8Bit, kImage24Bit}) {
        for (const Size size : {Size{1, 1}, Size{3, 70}, Size{5, 2}, Size{33, 65}, Size{130, 129}}) {
            SCOPED_TRACE(testing::Message() << type << " " << size.width << "x" << size.height);
            CUndoBudget budget(64 * kMiB);
            CUndoHistory history(budget);
            TestImage image(size.width, size.height, type);
            Paint(image);
            const std::vector<uint8_t> before = Rows(image);

            // Two writes of one step, the second over a tile edge where the image is large enough.
            const RECT first{0, 0, 1, 1};
            const RECT second{size.width / 2, size.height / 2, size.width, size.height};
            Write(history, image, first, 0x123456);
            Write(history, image, second, 0xABCDEF);
            EXPECT_TRUE(history.CanUndo());
            EXPECT_FALSE(history.CanRedo());
            ASSERT_EQ(history.EndStep(Target(image)), StepOutcome::Kept);
            const std::vector<uint8_t> after = Rows(image);

            const UndoEffect undone = Apply(history, image, true);
            EXPECT_EQ(Rows(image), before);
            EXPECT_FALSE(undone.image);
            EXPECT_EQ(undone.area.left, 0);
            EXPECT_EQ(undone.area.top, 0);
            EXPECT_GE(undone.area.right, second.right);
            EXPECT_GE(undone.area.bottom, second.bottom);
            EXPECT_TRUE(history.CanRedo());
            EXPECT_FALSE(history.CanUndo());

            Apply(history, image, false);
            EXPECT_EQ(Rows(image), after);
            Apply(history, image, true);
            EXPECT_EQ(Rows(image), before);
        }
    }
}

TEST(UndoHistory, KeepsOnlyTheTilesThatChanged) {
    CUndoBudget budget(256 * kMiB);
    CUndoHistory history(budget);
    TestImage image(1000, 700, kImage24Bit);
    // A fill announces the whole image but changes one pixel here.
    history.Touch(*image.header, image.bits, RECT{0, 0, 1000, 700});
    image.Set24(500, 300, 0xFFFFFF);
    ASSERT_EQ(history.EndStep(Target(image)), StepOutcome::Kept);
    constexpr uint64_t tile = uint64_t{CTileStore::kTileSize} * CTileStore::kTileSize * 3;
    EXPECT_GE(history.Bytes(), tile);
    EXPECT_LT(history.Bytes(), 2 * tile);
    EXPECT_EQ(budget.Bytes(), history.Bytes());

    // When most of it changed, the copy stays whole and is exchanged with the rows.
    const std::vector<uint8_t> before = Rows(image);
    const uint64_t held = history.Bytes();
    Write(history, image, RECT{0, 0, 1000, 700}, 0x010203);
    history.EndStep(Target(image));
    EXPECT_GE(history.Bytes() - held, uint64_t{1000} * 700 * 3);
    const uint8_t* rows = image.bits;
    Apply(history, image, true);
    EXPECT_NE(image.bits, rows);
    EXPECT_EQ(Rows(image), before);
    Apply(history, image, false);
    EXPECT_EQ(image.bits, rows);

    // A write that leaves every pixel as it was is no step at all; nor is a floating image that
    // is missing before and after, in the same place.
    Write(history, image, RECT{10, 10, 20, 20}, 0x010203);
    history.KeepFloat(FloatingImage{nullptr, nullptr, true, RECT{1, 2, 3, 4}}, true);
    UndoTarget now = Target(image);
    now.floating = FloatingImage{nullptr, nullptr, true, RECT{1, 2, 3, 4}};
    EXPECT_EQ(history.EndStep(now), StepOutcome::None);
    EXPECT_EQ(history.UndoCount(), 2u);
    EXPECT_EQ(history.EndStep(now), StepOutcome::None);  // nothing open
}

TEST(UndoHistory, ANewStepEmptiesTheRedoList) {
    CUndoBudget budget(64 * kMiB);
    CUndoHistory history(budget);
    TestImage image(40, 40, kImage8Bit);
    for (uint32_t value = 1; value <= 3; ++value) {
        Write(history, image, RECT{0, 0, 10, 10}, value);
        history.EndStep(Target(image));
    }
    Apply(history, image, true);
    Apply(history, image, true);
    EXPECT_EQ(history.RedoCount(), 2u);
    EXPECT_EQ(image.At8(0, 39), 1);
    // While a new step records, redo is no longer offered; once kept, the redo list is gone.
    Write(history, image, RECT{30, 30, 40, 40}, 9);
    EXPECT_FALSE(history.CanRedo());
    history.EndStep(Target(image));
    EXPECT_EQ(history.RedoCount(), 0u);
    EXPECT_EQ(history.UndoCount(), 2u);
}

TEST(UndoHistory, ImagePaletteAndFloatingImageAreExchanged) {
    CUndoBudget budget(64 * kMiB);
    CUndoHistory history(budget);
    TestImage image(8, 4, kImage8Bit);
    UndoTarget doc = Target(image);

    // A whole replacement: the step takes the old blocks, the document gets new ones.
    ImageBlocks previous(image.header, image.palette, image.bits);
    image.header = nullptr;  // the history and `doc` own the blocks from here
    image.palette = nullptr;
    image.bits = nullptr;
    BITMAPINFOHEADER* header = nullptr;
    RGBQUAD* palette = nullptr;
    uint8_t* bits = nullptr;
    ASSERT_EQ(CreateBlankImage(20, 10, kImage24Bit, &header, &palette, &bits), ImageStatus::Ok);
    const BITMAPINFOHEADER* oldHeader = previous.header;
    history.KeepImage(std::move(previous), 42);
    doc = UndoTarget{header, palette, bits, {}};
    ASSERT_EQ(history.EndStep(doc), StepOutcome::Kept);
    UndoEffect effect = history.Undo(doc);
    EXPECT_TRUE(effect.image);
    EXPECT_EQ(effect.command, 42);
    EXPECT_EQ(doc.header, oldHeader);
    EXPECT_EQ(doc.palette, HeaderPalette(doc.header));
    history.Redo(doc);
    EXPECT_EQ(doc.header, header);

    // A palette entry, and a floating image with its place and without.
    history.KeepPalette(doc.palette);
    doc.palette[7] = RGBQUAD{1, 2, 3, 0};
    BITMAPINFOHEADER* floatHeader = nullptr;
    uint8_t* floatBits = nullptr;
    ASSERT_EQ(AllocateImage(3, 3, 24, &floatHeader, &floatBits), ImageStatus::Ok);
    history.KeepFloat(FloatingImage{nullptr, nullptr, true, RECT{5, 5, 6, 6}}, true);
    doc.floating = FloatingImage{floatHeader, floatBits, true, RECT{0, 0, 3, 3}};
    ASSERT_EQ(history.EndStep(doc), StepOutcome::Kept);
    effect = history.Undo(doc);
    EXPECT_TRUE(effect.palette);
    EXPECT_TRUE(effect.floating);
    EXPECT_EQ(doc.palette[7].rgbRed, 0);
    EXPECT_EQ(doc.floating.header, nullptr);
    EXPECT_EQ(doc.floating.place.left, 5);
    history.Redo(doc);
    EXPECT_EQ(doc.palette[7].rgbRed, 3);
    EXPECT_EQ(doc.floating.header, floatHeader);

    BITMAPINFOHEADER* copyHeader = nullptr;
    uint8_t* copyBits = nullptr;
    ASSERT_TRUE(CopyFloatingImage(floatHeader, floatBits, &copyHeader, &copyBits));
    history.KeepFloat(FloatingImage{copyHeader, copyBits}, false);
    doc.floating.place = RECT{9, 9, 12, 12};  // moved since: the place is not the step's
    ASSERT_EQ(history.EndStep(doc), StepOutcome::Kept);
    history.Undo(doc);
    EXPECT_EQ(doc.floating.header, copyHeader);
    EXPECT_EQ(doc.floating.place.left, 9);
    history.Redo(doc);

    ImageBlocks owned(doc.header, doc.palette, doc.bits);
    std::free(doc.floating.header);
    std::free(doc.floating.bits);
}

TEST(UndoHistory, BudgetDropsTheOldestStepsOfAllHistoriesAndRefusesOversizedOnes) {
    TestImage first(256, 256, kImage8Bit);  // each step below changes one 64 x 64 tile: 4 KiB
    TestImage second(256, 256, kImage8Bit);
    CUndoBudget budget(40 * 1024);
    CUndoHistory a(budget);
    {
        CUndoHistory b(budget);
        for (int i = 0; i < 5; ++i) {
            Write(a, first, RECT{64 * (i % 4), 0, 64 * (i % 4) + 1, 1}, uint32_t(i + 1));
            a.EndStep(Target(first));
            Write(b, second, RECT{64 * (i % 4), 0, 64 * (i % 4) + 1, 1}, uint32_t(i + 1));
            b.EndStep(Target(second));
        }
        EXPECT_LE(budget.Bytes(), budget.Limit());
        EXPECT_EQ(budget.Bytes(), a.Bytes() + b.Bytes());
        // The oldest went first, whichever history they were in: a's and b's alternate.
        EXPECT_GE(b.UndoCount(), a.UndoCount());
        EXPECT_LE(b.UndoCount() - a.UndoCount(), 1u);
        EXPECT_LT(a.UndoCount() + b.UndoCount(), 10u);

        // A lower limit drops more at once.
        budget.SetLimit(12 * 1024);
        EXPECT_LE(budget.Bytes(), 12u * 1024);
    }
    // A closed history gives its memory back.
    EXPECT_EQ(budget.Bytes(), a.Bytes());

    // A step larger than the whole budget is not kept and empties its history; recording it
    // stopped copying once it grew past the budget.
    ASSERT_GE(a.UndoCount(), 1u);
    Write(a, first, RECT{0, 0, 256, 256}, 77);
    EXPECT_EQ(a.EndStep(Target(first)), StepOutcome::TooLarge);
    EXPECT_FALSE(a.CanUndo());
    EXPECT_EQ(budget.Bytes(), 0u);
}
