// Transparency in the core: painting, filling, converting and undoing 32-bit images and 8-bit
// images with entry opacities.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "document/image_ops.h"
#include "document/pixel_routines.h"
#include "document/undo_history.h"
#include "test_image.h"

namespace {

// An entry alpha block: every entry opaque except those given.
std::vector<uint8_t> Alphas(std::initializer_list<std::pair<int, uint8_t>> entries) {
    std::vector<uint8_t> alpha(256, 255);
    for (const auto& [index, value] : entries)
        alpha[index] = value;
    return alpha;
}

}  // namespace

// Opaque painting writes alpha 255; translucent painting over an opaque pixel is exactly the 24-bit
// blend, over a transparent one the paint's colour at 1 - f, over a partly transparent one the
// colours weighed by their opacities. Runs give what single pixels give.
TEST(Transparency, PaintingThirtyTwoBitPixels) {
    std::mt19937 rng(3);
    for (const bool translucent : {false, true}) {
        TranslucencyScope scope(translucent);
        for (const int width : {1, 5, 70}) {
            TestImage a(width, 1, kTestImage32), b(width, 1, kTestImage32), c(width, 1, kImage24Bit);
            for (int x = 0; x < width; ++x) {
                const uint32_t colour = rng() & 0xFFFFFF;
                const uint32_t alpha = x % 3 == 0 ? 255 : x % 3 == 1 ? 0 : 100;
                a.Set32(x, 0, alpha << 24 | colour);
                b.Set32(x, 0, alpha << 24 | colour);
                c.Set24(x, 0, colour);
            }
            HLine24(a.bits, 0, 0, width - 1, a.stride(), 0x3080F0, 4);
            HLine24(c.bits, 0, 0, width - 1, c.stride(), 0x3080F0);
            for (int x = 0; x < width; ++x)
                PutPixel24(b.bits, x, 0, b.stride(), 0x3080F0, 4);
            EXPECT_EQ(std::memcmp(a.bits, b.bits, a.header->biSizeImage), 0) << width;
            for (int x = 0; x < width; ++x) {
                const uint32_t painted = a.At32(x, 0);
                if (!translucent || x % 3 == 0) {
                    EXPECT_EQ(painted, 0xFF000000u | c.At24(x, 0)) << x;
                } else if (x % 3 == 1) {
                    EXPECT_EQ(painted, 0x5E3080F0u) << x;  // 255 * 0.37 = 94.35
                }
            }
        }
    }
    TranslucencyScope scope(true);
    TestImage partly(1, 1, kTestImage32);
    partly.Set32(0, 0, 0x64000000);  // black at 100
    PutPixel24(partly.bits, 0, 0, partly.stride(), 0xFFFFFF, 4);
    // Weights 100 * 0.63 = 63 and 255 * 0.37 = 94.35: white at 157.35 of 157.35 + 0.
    EXPECT_EQ(partly.At32(0, 0), 0x9D999999u);
}

// Fully transparent pixels are one area whatever colour they keep; an opaque pixel of that colour
// is not part of it.
TEST(Transparency, FillTreatsTransparentPixelsAsOne) {
    TranslucencyScope scope(false);
    TestImage image(4, 1, kTestImage32);
    image.Set32(0, 0, 0x00123456);
    image.Set32(1, 0, 0x00ABCDEF);
    image.Set32(2, 0, 0);
    image.Set32(3, 0, 0xFF000000);  // opaque black, the colour of the transparent pixel before it
    FloodFill24(image.bits, image.header, 1, 0, 0x00FF00, 0, 0, 3, 0);
    for (int x = 0; x < 3; ++x)
        EXPECT_EQ(image.At32(x, 0), 0xFF00FF00u) << x;
    EXPECT_EQ(image.At32(3, 0), 0xFF000000u);
}

// An 8-bit image paints among the entries as opaque as the painting one: opaque black never turns
// into the transparent black of entry 0, and the transparent entry is written as itself.
TEST(Transparency, EightBitPaintingKeepsEntriesApart) {
    TestImage image(3, 1, kImage8Bit);
    const std::vector<uint8_t> alpha = Alphas({{0, 0}});
    const PaintTarget target{image.header, image.palette, alpha.data(), image.bits};
    {
        TranslucencyScope scope(false);
        PaintPixel(target, 0, 0, 216);  // black, as entry 0 is
        EXPECT_EQ(image.At8(0, 0), 216);
        image.At8(1, 0) = 5;
        PaintPixel(target, 1, 0, 0);
        EXPECT_EQ(image.At8(1, 0), 0);
    }
    // Over a transparent pixel there is nothing to blend with.
    TranslucencyScope scope(true);
    PaintPixel(target, 2, 0, 5);
    EXPECT_EQ(image.At8(2, 0), 5);
    EXPECT_EQ(ErasedValue(target, 9), 0u);
    EXPECT_EQ(ErasedValue(PaintTarget{image.header, image.palette, nullptr, image.bits}, 9), 9u);
}

TEST(Transparency, DepthConversionsCarryIt) {
    // 8 bits with transparent entries become 32 bits; fully transparent pixels are all zero.
    TestImage image(3, 1, kImage8Bit);
    image.palette = nullptr;  // in the header block, which is replaced
    image.At8(0, 0) = 5;
    image.At8(1, 0) = 7;
    image.At8(2, 0) = 9;
    const std::vector<uint8_t> alpha = Alphas({{7, 0}, {9, 128}});
    EXPECT_TRUE(HasTransparentPixels(*image.header, image.bits, alpha.data()));
    ASSERT_TRUE(Expand8To24(&image.bits, &image.header, true, alpha.data()));
    ASSERT_EQ(image.header->biBitCount, 32);
    EXPECT_EQ(image.At32(0, 0), 0xFF0000D2u);  // entry 5: blue 210
    EXPECT_EQ(image.At32(1, 0), 0u);
    EXPECT_EQ(image.At32(2, 0), 0x80002A7Eu);  // entry 9: green 42, blue 126

    // Back to 8 bits: the transparent pixel takes the first transparent entry, the others the
    // nearest opaque one (the partly transparent one over white).
    const std::vector<uint8_t> target = Alphas({{0, 0}, {3, 0}});
    auto palette = std::vector<RGBQUAD>(256);
    FillDefaultPalette(palette.data());
    std::vector<uint8_t> bits32(image.bits, image.bits + image.header->biSizeImage);
    ASSERT_TRUE(Reduce24To8(&image.bits, &image.header, palette.data(), target.data()));
    EXPECT_EQ(image.At8(0, 0), 5);
    EXPECT_EQ(image.At8(1, 0), 0);
    EXPECT_EQ(image.At8(2, 0), NearestPaletteIndex(OverWhite(0, 128), OverWhite(42, 128), OverWhite(126, 128),
                                                   palette.data()));
    image.palette = HeaderPalette(image.header);

    // 24 <-> 32: opaque on the way up, over white on the way down.
    TestImage colour(2, 1, kTestImage32);
    colour.Set32(0, 0, 0x80000000);
    colour.Set32(1, 0, 0xFF123456);
    EXPECT_TRUE(HasTransparentPixels(*colour.header, colour.bits, nullptr));
    ASSERT_TRUE(ConvertTrueColour(&colour.bits, &colour.header, 24));
    EXPECT_EQ(colour.At24(0, 0), 0x7F7F7Fu);
    EXPECT_EQ(colour.At24(1, 0), 0x123456u);
    ASSERT_TRUE(ConvertTrueColour(&colour.bits, &colour.header, 32));
    EXPECT_EQ(colour.At32(0, 0), 0xFF7F7F7Fu);
    EXPECT_FALSE(HasTransparentPixels(*colour.header, colour.bits, nullptr));
}

// A floating 8-bit block onto an image's palette: its transparent entry becomes the image's, a
// partly transparent one is matched by its colour over white when the image has none like it.
TEST(Transparency, FloatingBlocksMeetTheImagesEntries) {
    TestImage block(3, 1, kImage8Bit);
    block.palette = nullptr;
    block.At8(0, 0) = 0;
    block.At8(1, 0) = 1;
    block.At8(2, 0) = 2;
    RGBQUAD* own = HeaderPalette(block.header);
    own[0] = RGBQUAD{0, 0, 255, 0};
    own[1] = RGBQUAD{0, 0, 0, 0};
    own[2] = RGBQUAD{0, 0, 0, 0};
    const std::vector<uint8_t> ownAlpha = Alphas({{1, 0}, {2, 128}});
    std::vector<RGBQUAD> palette(256);
    FillDefaultPalette(palette.data());
    const std::vector<uint8_t> imageAlpha = Alphas({{100, 0}});
    ASSERT_TRUE(
        MapOntoPalette(&block.header, &block.bits, palette.data(), imageAlpha.data(), ownAlpha.data()));
    EXPECT_EQ(block.At8(0, 0), 180);  // pure red
    EXPECT_EQ(block.At8(1, 0), 100);
    EXPECT_EQ(block.At8(2, 0), NearestPaletteIndex(127, 127, 127, palette.data()));
}

// Resize Canvas fills the new area with the value it is given; undo brings back a palette's
// opacities with its colours.
TEST(Transparency, CanvasFillAndUndoOfEntryOpacities) {
    TestImage image(2, 1, kImage8Bit);
    image.At8(0, 0) = 1;
    image.At8(1, 0) = 2;
    ASSERT_EQ(ResizeCanvas(image.header, &image.bits, 3, 2), ImageStatus::Ok);
    uint8_t* rows = image.bits;
    ASSERT_EQ(ResizeCanvasKeepingRows(image.header, &image.bits, 4, 2, 7), ImageStatus::Ok);
    std::free(rows);
    EXPECT_EQ(std::vector<uint8_t>(image.bits, image.bits + 8),
              (std::vector<uint8_t>{1, 2, 0, 7, 0, 0, 0, 7}));

    CUndoBudget budget(1 << 20);
    CUndoHistory history(budget);
    auto* alpha = static_cast<uint8_t*>(std::malloc(256));
    std::memset(alpha, 255, 256);
    UndoTarget target{image.header, image.palette, image.bits, {}, nullptr};
    history.KeepPalette(target.palette, target.entryAlpha);  // all opaque, no block yet
    alpha[4] = 0;
    target.entryAlpha = alpha;
    ASSERT_EQ(history.EndStep(target), StepOutcome::Kept);
    history.Undo(target);
    EXPECT_EQ(target.entryAlpha, nullptr);
    history.Redo(target);
    ASSERT_EQ(target.entryAlpha, alpha);
    EXPECT_EQ(alpha[4], 0);
    // Making a block that says what the palette said before is no step.
    history.KeepPalette(target.palette, target.entryAlpha);
    EXPECT_EQ(history.EndStep(target), StepOutcome::None);
    std::free(alpha);
}
