// Copy, Cut, Clear, Paste As New Selection and Paste As New Image through the real clipboard of the
// offscreen platform: the placed blocks byte by byte, the pixels they leave in the image, pictures
// of other programs (bitmaps, PNG with transparency), and what happens when there is nothing to read.
#include <QBuffer>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMessageBox>
#include <QMimeData>
#include <QTest>

#include <cstring>

#include <sys/resource.h>
#include <unistd.h>

#include "app/child_frame.h"
#include "colour/color_palette_dlg.h"
#include "dialogs/new_image_dlg.h"
#include "document/orvik_doc.h"
#include "document/pixel_routines.h"
#include "gui_test.h"
#include "res/resource.h"
#include "views/orvik_view.h"

namespace {

CColorPaletteDlg* Palette() {
    return GuiTest::Main()->m_wndPaletteDlg;
}

bool Command(int id) {
    return GuiTest::Main()->RouteCommand(id);
}

bool Enabled(int id) {
    GuiTest::Main()->UpdateCommandUI();
    return GuiTest::Main()->Action(id)->isEnabled();
}

// Pixel (x, y) counted from the top: the index of an 8-bit image, 0x00RRGGBB of a 24-bit one.
uint32_t Pixel(const BITMAPINFOHEADER* header, const uint8_t* bits, int x, int y) {
    const int row = header->biHeight - 1 - y;
    if (header->biBitCount == 8) return bits[row * header->biXPelsPerMeter + x];
    return GetPixel24(bits, x, row, header->biXPelsPerMeter);
}
uint32_t Pixel(const COrvikDoc* doc, int x, int y) {
    return Pixel(doc->m_pHeader, doc->m_pBits, x, y);
}
uint32_t FloatPixel(const COrvikDoc* doc, int x, int y) {
    return Pixel(doc->m_pFloatHeader, doc->m_pFloatBits, x, y);
}

// Every pixel different (as far as 8 bits allow), so misplaced rows and columns show.
uint32_t PatternAt(int x, int y, int bitCount) {
    if (bitCount == 8) return static_cast<uint32_t>(x * 7 + y * 31 + 1) & 0xFF;
    return static_cast<uint32_t>((x * 23 + 5) & 0xFF) << 16 |
           static_cast<uint32_t>((y * 41 + 9) & 0xFF) << 8 | static_cast<uint32_t>((x + y) * 3 & 0xFF);
}

void FillPattern(COrvikDoc* doc) {
    for (int y = 0; y < doc->Height(); ++y) {
        uint8_t* row = doc->m_pBits + (doc->Height() - 1 - y) * doc->Stride();
        for (int x = 0; x < doc->Width(); ++x) {
            const uint32_t v = PatternAt(x, y, doc->BitCount());
            if (doc->BitCount() == 8) {
                row[x] = static_cast<uint8_t>(v);
            } else {
                row[3 * x] = v & 0xFF;
                row[3 * x + 1] = (v >> 8) & 0xFF;
                row[3 * x + 2] = (v >> 16) & 0xFF;
            }
        }
    }
}

void Select(COrvikDoc* doc, RECT r) {
    doc->m_pView->m_bSelection = true;
    doc->m_pView->m_rcSelection = r;
}

const QMimeData* Clipboard() {
    return QGuiApplication::clipboard()->mimeData();
}

void SetClipboard(const QString& type, const QByteArray& bytes) {
    auto* data = new QMimeData;
    data->setData(type, bytes);
    QGuiApplication::clipboard()->setMimeData(data);
}

QByteArray Encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format));
    return bytes;
}

// The "image/bmp" block on the clipboard and its fields.
struct Placed {
    QByteArray block = Clipboard() ? Clipboard()->data("image/bmp") : QByteArray();
    uint32_t U32(int at) const {
        uint32_t v = 0;
        std::memcpy(&v, block.constData() + at, 4);
        return v;
    }
    uint16_t U16(int at) const {
        uint16_t v = 0;
        std::memcpy(&v, block.constData() + at, 2);
        return v;
    }
    int Width() const { return static_cast<int>(U32(14 + 4)); }
    int Height() const { return static_cast<int>(U32(14 + 8)); }
    int BitCount() const { return U16(14 + 14); }
    int Stride() const { return BitCount() == 8 ? (Width() + 3) / 4 * 4 : (3 * Width() + 3) / 4 * 4; }
    // Pixel (x, y) from the top, read from the bottom-up rows.
    uint32_t Pixel(int x, int y) const {
        const auto* rows = reinterpret_cast<const uint8_t*>(block.constData()) + U32(10);
        const uint8_t* p = rows + (Height() - 1 - y) * Stride() + x * (BitCount() / 8);
        return BitCount() == 8 ? p[0] : uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16;
    }
};

// A 24-bit picture as another program would place it: a BMP file image.
QImage Picture24(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, 0xFF000000u | PatternAt(x, y, 24));
    return image;
}

class ClipboardTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        QGuiApplication::clipboard()->clear();
        Palette()->m_foreIndex = 0;
        Palette()->m_backIndex = 255;
        Main()->m_currentTool = ID_TOOL_BRUSH;
    }
    void TearDown() override {
        QGuiApplication::clipboard()->clear();
        g_pasteAsNew = 0;
        GuiTest::TearDown();
    }

    // Paste As New Image, expecting no New Image dialog; the new document or null.
    static COrvikDoc* PasteAsNewImage() {
        const auto dialog = OnNextModal<CNewImageDlg>([](CNewImageDlg* d) { d->reject(); });
        const size_t before = theApp->Documents().size();
        Command(ID_EDIT_PASTE);
        ProcessEvents();
        EXPECT_FALSE(*dialog) << "the New Image dialog appeared";
        if (theApp->Documents().size() == before) return nullptr;
        return theApp->Documents().back();
    }
};

}  // namespace

TEST_F(ClipboardTest, CommandsEnabledWhereTheirHandlersAre) {
    EXPECT_TRUE(Enabled(ID_EDIT_PASTE));  // the application's, with or without a document
    for (int id : {ID_EDIT_COPY, ID_EDIT_CUT, ID_EDIT_PASTE_SELECTION, ID_IMAGE_CLEAR})
        EXPECT_FALSE(Enabled(id)) << id;
    ASSERT_NE(NewImage("8", "8", kImage8Bit), nullptr);
    for (int id : {ID_EDIT_COPY, ID_EDIT_CUT, ID_EDIT_PASTE, ID_EDIT_PASTE_SELECTION, ID_IMAGE_CLEAR})
        EXPECT_TRUE(Enabled(id)) << id;
}

TEST_F(ClipboardTest, CopyOfTwentyFourBitSelection) {
    COrvikDoc* doc = NewImage("7", "5", kImage24Bit);
    ASSERT_NE(doc, nullptr);
    FillPattern(doc);
    Select(doc, RECT{6, 4, 1, 1});  // dragged up and left: 5 x 3 from (1, 1)
    ASSERT_TRUE(Command(ID_EDIT_COPY));
    const Placed placed;
    ASSERT_EQ(placed.block.size(), 14 + 40 + 3 * 16);
    EXPECT_EQ(placed.block.left(2), "BM");
    EXPECT_EQ(placed.U32(2), 14u + 40u + 48u);
    EXPECT_EQ(placed.U32(10), 54u);
    EXPECT_EQ(placed.U32(14), 40u);
    EXPECT_EQ(placed.Width(), 5);
    EXPECT_EQ(placed.Height(), 3);
    EXPECT_EQ(placed.U16(14 + 12), 1u);
    EXPECT_EQ(placed.BitCount(), 24);
    EXPECT_EQ(placed.U32(14 + 20), 48u);
    EXPECT_EQ(placed.U32(14 + 32), 0u);
    // The first stored row is the selection's bottom row.
    const auto* first = reinterpret_cast<const uint8_t*>(placed.block.constData()) + 54;
    EXPECT_EQ(uint32_t{first[0]} | uint32_t{first[1]} << 8 | uint32_t{first[2]} << 16, PatternAt(1, 3, 24));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            ASSERT_EQ(placed.Pixel(x, y), PatternAt(x + 1, y + 1, 24)) << x << "," << y;
    // The same pixels as an ordinary image for other programs.
    ASSERT_TRUE(Clipboard()->hasImage());
    const QImage image = qvariant_cast<QImage>(Clipboard()->imageData());
    ASSERT_EQ(image.size(), QSize(5, 3));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            ASSERT_EQ(image.pixel(x, y) & 0xFFFFFF, PatternAt(x + 1, y + 1, 24));
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(ClipboardTest, CopyOfEightBitSelection) {
    COrvikDoc* doc = NewImage("9", "6", kImage8Bit);
    ASSERT_NE(doc, nullptr);
    FillPattern(doc);
    doc->m_pPalette[7] = RGBQUAD{1, 2, 3, 0};  // a palette of its own
    Select(doc, RECT{4, 2, 9, 5});
    ASSERT_TRUE(Command(ID_EDIT_COPY));
    const Placed placed;
    ASSERT_EQ(placed.block.size(), 14 + 1064 + 3 * 8);
    EXPECT_EQ(placed.U32(10), 14u + 1064u);
    EXPECT_EQ(placed.BitCount(), 8);
    EXPECT_EQ(placed.U32(14 + 20), 0u);
    EXPECT_EQ(placed.U32(14 + 32), 256u);
    EXPECT_EQ(placed.U32(14 + 36), 256u);
    EXPECT_EQ(std::memcmp(placed.block.constData() + 54, doc->m_pPalette, 1024), 0);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            ASSERT_EQ(placed.Pixel(x, y), PatternAt(x + 4, y + 2, 8));
    const QImage image = qvariant_cast<QImage>(Clipboard()->imageData());
    ASSERT_EQ(image.format(), QImage::Format_Indexed8);
    EXPECT_EQ(image.colorCount(), 256);
    EXPECT_EQ(image.color(7), qRgb(3, 2, 1));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            ASSERT_EQ(uint32_t(image.pixelIndex(x, y)), PatternAt(x + 4, y + 2, 8));
}

TEST_F(ClipboardTest, NothingSelectedCopiesAnEmptyImageAndCutsNothing) {
    COrvikDoc* doc = NewImage("6", "4", kImage24Bit);
    ASSERT_NE(doc, nullptr);
    FillPattern(doc);
    // A rectangle left behind by an earlier selection counts for nothing.
    doc->m_pView->m_rcSelection = RECT{1, 1, 4, 3};
    doc->m_pView->m_bSelection = false;
    for (int id : {ID_EDIT_COPY, ID_EDIT_CUT}) {
        QGuiApplication::clipboard()->clear();
        ASSERT_TRUE(Command(id));
        const Placed placed;
        ASSERT_EQ(placed.block.size(), 54);
        EXPECT_EQ(placed.Width(), 0);
        EXPECT_EQ(placed.Height(), 0);
        EXPECT_EQ(placed.U32(2), 54u);
    }
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            ASSERT_EQ(Pixel(doc, x, y), PatternAt(x, y, 24));
    EXPECT_FALSE(doc->IsModified());
    // An empty clipboard picture is not pasted.
    const auto message = ExpectMessageBox();
    EXPECT_EQ(PasteAsNewImage(), nullptr);
    EXPECT_TRUE(message->startsWith("Cannot paste the picture on the clipboard")) << message->toStdString();
}

TEST_F(ClipboardTest, CutFillsWithZeroAndClearWithTheBackground) {
    COrvikDoc* doc = NewImage("10", "6", kImage8Bit);
    ASSERT_NE(doc, nullptr);
    FillPattern(doc);
    Palette()->m_backIndex = 5;
    Select(doc, RECT{2, 1, 6, 4});
    ASSERT_TRUE(Command(ID_EDIT_CUT));
    const Placed placed;  // the pixels as they were
    ASSERT_EQ(placed.Width(), 4);
    EXPECT_EQ(placed.Pixel(3, 2), PatternAt(5, 3, 8));
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 10; ++x) {
            const bool inside = x >= 2 && x < 6 && y >= 1 && y < 4;
            ASSERT_EQ(Pixel(doc, x, y), inside ? 0u : PatternAt(x, y, 8)) << x << "," << y;
        }
    }
    EXPECT_TRUE(doc->IsModified());
    EXPECT_TRUE(doc->m_pView->m_bSelection);  // the selection stays

    doc->SetModifiedFlag(false);
    Select(doc, RECT{5, 3, 8, 5});
    ASSERT_TRUE(Command(ID_IMAGE_CLEAR));
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(Pixel(doc, 5, 3), 5u);
    EXPECT_EQ(Pixel(doc, 7, 4), 5u);
    EXPECT_EQ(Pixel(doc, 8, 4), PatternAt(8, 4, 8));
    EXPECT_EQ(Pixel(doc, 4, 3), 0u);
    EXPECT_EQ(Pixel(doc, 6, 5), PatternAt(6, 5, 8));
}

TEST_F(ClipboardTest, ClearWithoutSelectionPaintsTheWholeImage) {
    COrvikDoc* doc = NewImage("5", "3", kImage24Bit);
    ASSERT_NE(doc, nullptr);
    FillPattern(doc);
    ASSERT_TRUE(Command(ID_IMAGE_CLEAR));  // background index 255 of the default palette
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            ASSERT_EQ(Pixel(doc, x, y), 0xEAEAEAu) << x << "," << y;
    EXPECT_TRUE(doc->IsModified());
    // Cut of a 24-bit selection leaves black, whatever the background colour.
    Select(doc, RECT{1, 1, 3, 2});
    ASSERT_TRUE(Command(ID_EDIT_CUT));
    EXPECT_EQ(Pixel(doc, 1, 1), 0u);
    EXPECT_EQ(Pixel(doc, 2, 1), 0u);
    EXPECT_EQ(Pixel(doc, 3, 1), 0xEAEAEAu);
}

TEST_F(ClipboardTest, SelectionsHangingOutsideTheImageAreClipped) {
    for (int type : {kImage8Bit, kImage24Bit}) {
        COrvikDoc* doc = NewImage("8", "6", type);
        ASSERT_NE(doc, nullptr);
        FillPattern(doc);
        const int bits = doc->BitCount();
        Palette()->m_backIndex = 3;
        const uint32_t back = bits == 8 ? 3u : PaletteColour(doc->m_pPalette[3]);

        Select(doc, RECT{5, 3, 12, 9});  // past the right and bottom edges
        ASSERT_TRUE(Command(ID_EDIT_CUT));
        Placed placed;
        EXPECT_EQ(placed.Width(), 3);
        EXPECT_EQ(placed.Height(), 3);
        EXPECT_EQ(placed.Pixel(0, 0), PatternAt(5, 3, bits));
        EXPECT_EQ(placed.Pixel(2, 2), PatternAt(7, 5, bits));

        Select(doc, RECT{2, 2, -3, -2});  // past the left and top edges, dragged backwards
        ASSERT_TRUE(Command(ID_IMAGE_CLEAR));
        for (int y = 0; y < 6; ++y) {
            for (int x = 0; x < 8; ++x) {
                const bool cut = x >= 5 && y >= 3;
                const bool cleared = x < 2 && y < 2;
                ASSERT_EQ(Pixel(doc, x, y), cut       ? 0u
                                            : cleared ? back
                                                      : PatternAt(x, y, bits))
                    << x << "," << y;
            }
        }
        // Wholly outside: nothing is read or written.
        Select(doc, RECT{20, 20, 30, 30});
        ASSERT_TRUE(Command(ID_EDIT_COPY));
        EXPECT_EQ(Placed().Width(), 0);
        ASSERT_TRUE(Command(ID_IMAGE_CLEAR));
        ASSERT_TRUE(Command(ID_EDIT_CUT));
        EXPECT_EQ(Pixel(doc, 7, 5), 0u);
        EXPECT_EQ(Pixel(doc, 4, 2), PatternAt(4, 2, bits));
        CloseWithoutSaving(doc);
    }
}

TEST_F(ClipboardTest, PastedTwentyFourBitPictureTakesTheNearestPaletteEntries) {
    COrvikDoc* doc = NewImage("100", "80", kImage8Bit);
    ASSERT_NE(doc, nullptr);
    doc->m_pPalette[200] = RGBQUAD{17, 99, 201, 0};
    const QImage picture = Picture24(7, 3);
    SetClipboard("image/bmp", Encoded(picture, "BMP"));
    Select(doc, RECT{1, 1, 4, 4});  // an established selection is dropped first
    ASSERT_TRUE(Command(ID_EDIT_PASTE_SELECTION));
    COrvikView* view = doc->m_pView;
    ASSERT_TRUE(doc->HasFloat());
    EXPECT_TRUE(view->m_bSelection);
    EXPECT_TRUE(view->m_bMoving);
    EXPECT_EQ(view->m_rcSelection.left, 50);
    EXPECT_EQ(view->m_rcSelection.top, 50);
    EXPECT_EQ(view->m_rcSelection.right, 57);
    EXPECT_EQ(view->m_rcSelection.bottom, 53);
    EXPECT_EQ(doc->m_pFloatHeader->biBitCount, 8);
    EXPECT_EQ(std::memcmp(HeaderPalette(doc->m_pFloatHeader), doc->m_pPalette, 1024), 0);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 7; ++x) {
            const QRgb c = picture.pixel(x, y);
            ASSERT_EQ(FloatPixel(doc, x, y),
                      uint32_t(NearestPaletteIndex(qRed(c), qGreen(c), qBlue(c), doc->m_pPalette)));
        }
    }
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(Pixel(doc, 50, 50), 0u);  // nothing in the image yet
}

TEST_F(ClipboardTest, PastedEightBitPictureUsesItsOwnColours) {
    COrvikDoc* doc = NewImage("30", "30", kImage24Bit);
    ASSERT_NE(doc, nullptr);
    QImage picture(5, 2, QImage::Format_Indexed8);
    picture.setColorTable({qRgb(250, 10, 20), qRgb(1, 2, 3), qRgb(90, 180, 45)});
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 5; ++x)
            picture.setPixel(x, y, (x + y) % 3);
    SetClipboard("image/bmp", Encoded(picture, "BMP"));  // an 8-bit bitmap with a 3-entry table
    ASSERT_TRUE(Command(ID_EDIT_PASTE_SELECTION));
    ASSERT_TRUE(doc->HasFloat());
    EXPECT_EQ(doc->m_pFloatHeader->biBitCount, 24);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 5; ++x)
            ASSERT_EQ(FloatPixel(doc, x, y), picture.pixel(x, y) & 0xFFFFFFu);
}

TEST_F(ClipboardTest, EightBitPasteIsShownAndDroppedInTheImagesColours) {
    COrvikDoc* doc = NewImage("60", "60", kImage8Bit);
    ASSERT_NE(doc, nullptr);
    // Another table: entry 0 pure red, 1 a grey, 2 the default palette's own entry 1.
    QImage picture(5, 3, QImage::Format_Indexed8);
    picture.setColorTable({qRgb(255, 0, 0), qRgb(100, 100, 100), qRgb(0, 0, 42)});
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            picture.setPixel(x, y, x % 3);
    SetClipboard("image/bmp", Encoded(picture, "BMP"));
    ASSERT_TRUE(Command(ID_EDIT_PASTE_SELECTION));
    ASSERT_TRUE(doc->HasFloat());
    const uint32_t expected[3] = {uint32_t(NearestPaletteIndex(255, 0, 0, doc->m_pPalette)),
                                  uint32_t(NearestPaletteIndex(100, 100, 100, doc->m_pPalette)), 1};
    // What floats on screen (inside the selection frame) is what the drop will write.
    QImage shown = Grab(doc->m_pView->viewport());
    for (int x = 1; x < 4; ++x) {
        ASSERT_EQ(FloatPixel(doc, x, 1), expected[x % 3]);
        EXPECT_EQ(shown.pixel(ViewPoint(doc, {50 + x, 51})) & 0xFFFFFFu,
                  PaletteColour(doc->m_pPalette[expected[x % 3]]));
    }
    // Also after a palette edit the floating block shows through the image's palette.
    Palette()->SetEntry(int(expected[0]), 7, 8, 9);
    EXPECT_EQ(Grab(doc->m_pView->viewport()).pixel(ViewPoint(doc, {53, 51})) & 0xFFFFFFu, 0x070809u);
    ASSERT_TRUE(Command(ID_EDIT_PASTE_SELECTION));  // drops the first
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(Pixel(doc, 50 + x, 51), expected[x % 3]);

    // Inside one image, copy and paste keep the indices, even where two entries share a colour
    // (grey 216 is black like entry 0).
    CloseWithoutSaving(doc);
    doc = NewImage("60", "60", kImage8Bit);
    ASSERT_NE(doc, nullptr);
    doc->m_pBits[(doc->Height() - 1) * doc->Stride()] = 216;
    Select(doc, RECT{0, 0, 2, 1});
    ASSERT_TRUE(Command(ID_EDIT_COPY));
    ASSERT_TRUE(Command(ID_EDIT_PASTE_SELECTION));
    EXPECT_EQ(FloatPixel(doc, 0, 0), 216u);
    ASSERT_TRUE(Command(ID_EDIT_PASTE_SELECTION));
    EXPECT_EQ(Pixel(doc, 50, 50), 216u);
}

TEST_F(ClipboardTest, PastedSelectionDropsOnlyWhereItLiesOverTheImage) {
    COrvikDoc* doc = NewImage("60", "58", kImage24Bit);
    ASSERT_NE(doc, nullptr);
    const QImage picture = Picture24(20, 20);
    SetClipboard("image/bmp", Encoded(picture, "BMP"));
    ASSERT_TRUE(Command(ID_EDIT_PASTE_SELECTION));
    // Copy of the floating block takes all of it, also the part over the edge.
    ASSERT_TRUE(Command(ID_EDIT_COPY));
    const Placed placed;
    ASSERT_EQ(placed.Width(), 20);
    ASSERT_EQ(placed.Height(), 20);
    EXPECT_EQ(placed.U32(14 + 24), 0u);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(placed.Pixel(x, y), PatternAt(x, y, 24));
    EXPECT_FALSE(doc->IsModified());

    // A press outside the selection drops it: only the 10 x 8 part over the image arrives.
    Main()->RouteCommand(ID_TOOL_SELECT);
    QTest::mousePress(doc->m_pView->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(doc->m_pView->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(doc->HasFloat());
    EXPECT_FALSE(doc->m_pView->m_bSelection);
    EXPECT_TRUE(doc->IsModified());
    for (int y = 45; y < 58; ++y) {
        for (int x = 45; x < 60; ++x) {
            const bool over = x >= 50 && y >= 50;
            ASSERT_EQ(Pixel(doc, x, y), over ? PatternAt(x - 50, y - 50, 24) : 0u) << x << "," << y;
        }
    }

    // A second paste drops the one before it, which also marks the document modified.
    FillPattern(doc);
    doc->SetModifiedFlag(false);
    SetClipboard("image/png", Encoded(Picture24(4, 4).convertToFormat(QImage::Format_ARGB32), "PNG"));
    ASSERT_TRUE(Command(ID_EDIT_PASTE_SELECTION));
    EXPECT_FALSE(doc->IsModified());
    ASSERT_TRUE(Command(ID_EDIT_PASTE_SELECTION));
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(Pixel(doc, 53, 53), PatternAt(3, 3, 24));
    EXPECT_EQ(Pixel(doc, 54, 53), PatternAt(54, 53, 24));
    ASSERT_TRUE(doc->HasFloat());
}

TEST_F(ClipboardTest, PasteBeyondASmallImageDropsNothing) {
    COrvikDoc* doc = NewImage("40", "40", kImage8Bit);
    ASSERT_NE(doc, nullptr);
    SetClipboard("image/bmp", Encoded(Picture24(8, 8), "BMP"));
    ASSERT_TRUE(Command(ID_EDIT_PASTE_SELECTION));
    ASSERT_TRUE(doc->HasFloat());
    // Cut of the floating block places it whole and discards it; the image stays.
    ASSERT_TRUE(Command(ID_EDIT_CUT));
    EXPECT_EQ(Placed().Width(), 8);
    EXPECT_FALSE(doc->HasFloat());
    EXPECT_FALSE(doc->m_pView->m_bSelection);
    EXPECT_FALSE(doc->m_pView->m_bMoving);
    // Pasted again and dropped by the next paste: nothing lies over the image.
    ASSERT_TRUE(Command(ID_EDIT_PASTE_SELECTION));
    ASSERT_TRUE(Command(ID_EDIT_PASTE_SELECTION));
    EXPECT_FALSE(doc->IsModified());
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(Pixel(doc, x, y), 0u);
}

TEST_F(ClipboardTest, CopyThenPasteAsNewImageKeepsEveryPixel) {
    for (int type : {kImage8Bit, kImage24Bit}) {
        COrvikDoc* source = NewImage("13", "7", type);
        ASSERT_NE(source, nullptr);
        FillPattern(source);
        source->m_pPalette[9] = RGBQUAD{9, 8, 7, 0};
        Select(source, RECT{0, 0, 13, 7});
        ASSERT_TRUE(Command(ID_EDIT_COPY));
        COrvikDoc* pasted = PasteAsNewImage();
        ASSERT_NE(pasted, nullptr);
        EXPECT_EQ(pasted->GetTitle(), type == kImage8Bit ? "Orvik2 [1:1]" : "Orvik5 [1:1]");
        EXPECT_FALSE(pasted->IsModified());
        EXPECT_EQ(theApp->GetActiveChildDocument(), pasted);
        ASSERT_EQ(pasted->Width(), 13);
        ASSERT_EQ(pasted->Height(), 7);
        ASSERT_EQ(pasted->BitCount(), source->BitCount());
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 13; ++x)
                ASSERT_EQ(Pixel(pasted, x, y), PatternAt(x, y, source->BitCount()));
        if (type == kImage8Bit) {
            EXPECT_EQ(std::memcmp(pasted->m_pPalette, source->m_pPalette, 1024), 0);
        } else {  // a 24-bit picture paints with the default palette
            RGBQUAD defaults[256];
            FillDefaultPalette(defaults);
            EXPECT_EQ(std::memcmp(pasted->m_pPalette, defaults, 1024), 0);
        }
        EXPECT_EQ(pasted->m_hBrush[9], QColor::fromRgb(PaletteColour(pasted->m_pPalette[9])));
        // The next File > New asks for a size again.
        COrvikDoc* fresh = NewImage("3", "3", kImage24Bit);
        ASSERT_NE(fresh, nullptr);
        EXPECT_EQ(fresh->Width(), 3);
        CloseWithoutSaving(fresh);
        CloseWithoutSaving(pasted);
        CloseWithoutSaving(source);
    }
}

// A PNG keeps its transparency: a new image holds it as it is (32 bits, or 8 bits with entry
// opacities); pasted into an opaque 24-bit image it is composited over white.
TEST_F(ClipboardTest, PngWithTransparencyKeepsIt) {
    QImage picture(3, 2, QImage::Format_ARGB32);
    picture.setPixel(0, 0, qRgba(10, 20, 30, 255));
    picture.setPixel(1, 0, qRgba(10, 20, 30, 0));
    picture.setPixel(2, 0, qRgba(200, 100, 50, 128));
    picture.setPixel(0, 1, qRgba(0, 0, 0, 128));
    picture.setPixel(1, 1, qRgba(255, 0, 0, 255));
    picture.setPixel(2, 1, qRgba(0, 0, 255, 64));
    SetClipboard("image/png", Encoded(picture, "PNG"));
    COrvikDoc* doc = PasteAsNewImage();
    ASSERT_NE(doc, nullptr);
    ASSERT_EQ(doc->BitCount(), 32);
    const auto argb = [](const COrvikDoc* d, int x, int y) {
        return GetPixel32(d->m_pBits, x, d->Height() - 1 - y, d->Stride());
    };
    EXPECT_EQ(argb(doc, 0, 0), 0xFF0A141Eu);
    EXPECT_EQ(argb(doc, 1, 0), 0u);  // transparent pixels are all zero
    EXPECT_EQ(argb(doc, 2, 0), 0x80C86432u);
    EXPECT_EQ(argb(doc, 2, 1), 0x400000FFu);

    COrvikDoc* opaque = NewImage("4", "3", kImage24Bit);
    ASSERT_NE(opaque, nullptr);
    ASSERT_TRUE(Command(ID_EDIT_PASTE_SELECTION));
    ASSERT_EQ(opaque->m_pFloatHeader->biBitCount, 24);
    EXPECT_EQ(FloatPixel(opaque, 0, 0), 0x0A141Eu);
    EXPECT_EQ(FloatPixel(opaque, 1, 0), 0xFFFFFFu);
    EXPECT_EQ(FloatPixel(opaque, 2, 0), 0xE3B198u);  // 227, 177, 152
    EXPECT_EQ(FloatPixel(opaque, 0, 1), 0x7F7F7Fu);
    EXPECT_EQ(FloatPixel(opaque, 2, 1), 0xBFBFFFu);  // (255 * 191 + 127) / 255 = 191

    // A PNG with a small palette arrives as 8 bits with that palette and its opacities.
    QImage indexed(4, 1, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(12, 34, 56), qRgba(0, 0, 0, 0), qRgba(90, 80, 70, 100)});
    indexed.setPixel(0, 0, 0);
    indexed.setPixel(1, 0, 1);
    indexed.setPixel(2, 0, 2);
    indexed.setPixel(3, 0, 0);
    SetClipboard("image/png", Encoded(indexed, "PNG"));
    COrvikDoc* eight = PasteAsNewImage();
    ASSERT_NE(eight, nullptr);
    ASSERT_EQ(eight->BitCount(), 8);
    ASSERT_NE(eight->m_pEntryAlpha, nullptr);
    EXPECT_EQ(Pixel(eight, 1, 0), 1u);
    EXPECT_EQ(Pixel(eight, 2, 0), 2u);
    EXPECT_EQ(PaletteColour(eight->m_pPalette[2]), 0x5A5046u);
    EXPECT_EQ(eight->m_pEntryAlpha[0], 255);
    EXPECT_EQ(eight->m_pEntryAlpha[1], 0);
    EXPECT_EQ(eight->m_pEntryAlpha[2], 100);

    // An image placed by this process as a QImage only.
    auto* data = new QMimeData;
    data->setImageData(picture);
    QGuiApplication::clipboard()->setMimeData(data);
    COrvikDoc* third = PasteAsNewImage();
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(argb(third, 2, 0), 0x80C86432u);
}

TEST_F(ClipboardTest, NoPictureMeansNoDocument) {
    EXPECT_EQ(PasteAsNewImage(), nullptr);  // empty clipboard: nothing, silently
    QGuiApplication::clipboard()->setText("not a picture");
    EXPECT_EQ(PasteAsNewImage(), nullptr);
    EXPECT_TRUE(theApp->Documents().empty());
    // The picture went away between the command and the new document: no document, and the next
    // File > New asks as usual.
    g_pasteAsNew = 1;
    EXPECT_EQ(theApp->OnFileNew(), nullptr);
    EXPECT_EQ(g_pasteAsNew, 0);
    EXPECT_TRUE(theApp->Documents().empty());
    COrvikDoc* doc = NewImage("4", "4", kImage8Bit);
    ASSERT_NE(doc, nullptr);
    // Paste As New Selection with no picture leaves everything as it was.
    ASSERT_TRUE(Command(ID_EDIT_PASTE_SELECTION));
    EXPECT_FALSE(doc->HasFloat());
    EXPECT_FALSE(doc->m_pView->m_bSelection);
}

TEST_F(ClipboardTest, UnreadablePicturesAreRefusedWithAReason) {
    // A bitmap whose rows run past its end. The platform may offer a QImage that Qt decoded from
    // it as well; that is not taken either.
    QByteArray block = Encoded(Picture24(16, 16), "BMP");
    block.chop(100);
    auto* data = new QMimeData;
    data->setData("image/bmp", block);
    data->setImageData(QImage::fromData(block));
    QGuiApplication::clipboard()->setMimeData(data);
    auto message = ExpectMessageBox();
    EXPECT_EQ(PasteAsNewImage(), nullptr);
    EXPECT_EQ(*message, "Cannot paste the picture on the clipboard: the bitmap's pixel rows are incomplete.")
        << message->toStdString();
    EXPECT_TRUE(theApp->Documents().empty());

    COrvikDoc* doc = NewImage("20", "20", kImage24Bit);
    ASSERT_NE(doc, nullptr);
    SetClipboard("image/png", QByteArray("\x89PNG\r\n\x1a\n garbage", 17));
    message = ExpectMessageBox();
    ASSERT_TRUE(Command(ID_EDIT_PASTE_SELECTION));
    EXPECT_EQ(*message, "Cannot paste the picture on the clipboard: the picture could not be decoded.");
    EXPECT_FALSE(doc->HasFloat());
    EXPECT_FALSE(doc->m_pView->m_bSelection);
}

// Under a limit of the address space Copy cannot make its block. AddressSanitizer reserves its
// memory up front and cannot run under such a limit.
TEST_F(ClipboardTest, CopyAndCutThatCannotMakeTheirBlockSaySoAndChangeNothing) {
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
    GTEST_SKIP() << "not under AddressSanitizer";
#endif
#endif
    COrvikDoc* doc = NewImage("6000", "6000", kImage24Bit);  // a 108 MB block to copy
    ASSERT_NE(doc, nullptr);
    doc->m_pBits[0] = 7;
    Select(doc, RECT{0, 0, 6000, 6000});
    QGuiApplication::clipboard()->setText("before");
    for (const int command : {ID_EDIT_COPY, ID_EDIT_CUT}) {
        rlimit saved{};
        getrlimit(RLIMIT_AS, &saved);
        QFile statm("/proc/self/statm");
        ASSERT_TRUE(statm.open(QIODevice::ReadOnly));
        const rlim_t used = statm.readAll().split(' ').value(0).toULongLong() * sysconf(_SC_PAGESIZE);
        rlimit tight = saved;
        tight.rlim_cur = used + (rlim_t{48} << 20);
        const auto message = ExpectMessageBox();
        setrlimit(RLIMIT_AS, &tight);
        Command(command);
        setrlimit(RLIMIT_AS, &saved);
        EXPECT_TRUE(
            message->startsWith("Cannot place the picture on the clipboard: there is not enough memory."))
            << message->toStdString();
        EXPECT_EQ(QGuiApplication::clipboard()->text(), "before");
        EXPECT_EQ(doc->m_pBits[0], 7);
        EXPECT_FALSE(doc->History().CanUndo());
    }
}

TEST_F(ClipboardTest, KeysReachTheCommands) {
    SetClipboard("image/bmp", Encoded(Picture24(3, 3), "BMP"));
    QApplication::setActiveWindow(Main());
    ASSERT_TRUE(QTest::qWaitForWindowActive(Main()));
    QTest::keyClick(Main(), Qt::Key_V, Qt::ControlModifier);
    ProcessEvents();
    ASSERT_EQ(theApp->Documents().size(), 1u);
    QTest::keyClick(Main(), Qt::Key_Insert, Qt::ShiftModifier);
    ProcessEvents();
    EXPECT_EQ(theApp->Documents().size(), 2u);
    QTest::keyClick(Main(), Qt::Key_E, Qt::ControlModifier);
    ProcessEvents();
    EXPECT_TRUE(theApp->Documents().back()->HasFloat());
}
