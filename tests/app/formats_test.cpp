// Saving in the formats of the table through the real dialogs: what a format cannot keep is asked
// about before anything is written; files of several frames; long opens and saves off the event loop.
#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <thread>

#include "app/child_frame.h"
#include "app/file_dialog.h"
#include "colour/color_palette_dlg.h"
#include "document/file_job.h"
#include "document/image_file.h"
#include "document/pixel_routines.h"
#include "image_test_helpers.h"
#include "res/resource.h"
#include "views/orvik_view.h"

namespace {

class FormatsTest : public GuiTest {
protected:
    QTemporaryDir m_dir;
    QString Path(const QString& name) const { return m_dir.filePath(name); }
};

// Answers the next question before a save with `button`; its text lands in the result.
std::shared_ptr<QString> AnswerLossQuestion(QMessageBox::StandardButton button) {
    auto text = std::make_shared<QString>();
    OnNextModal<QMessageBox>([text, button](QMessageBox* box) {
        *text = box->text();
        box->button(button)->click();
    });
    return text;
}

// Runs Save As with the filter whose text starts with `filter` and the name typed.
void SaveAs(COrvikDoc* doc, const QString& folder, const QString& name, const QString& filter = {}) {
    OnNextModal<COrvikFileDialog>([=](COrvikFileDialog* dialog) {
        dialog->setDirectory(folder);
        for (const QString& text : dialog->nameFilters())
            if (!filter.isEmpty() && text.startsWith(filter)) dialog->selectNameFilter(text);
        dialog->selectFile(name);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    doc->OnFileSaveAs();
}

// The depth and format of a file as the codec library reads it.
std::pair<int, int> DepthAndFormat(const QString& path) {
    ImageFileBlocks blocks;
    ImageFileInfo info;
    if (ReadImageFile(QFile::encodeName(path).toStdString(), &blocks, &info) != ImageFileStatus::Ok)
        return {0, 0};
    return {blocks.header->biBitCount, static_cast<int>(info.type)};
}

// Runs tests/app/transparent_files.py (Pillow) with the arguments; its output, trimmed.
QString Pillow(const QStringList& arguments) {
    QProcess python;
    python.start("/usr/bin/python3",
                 QStringList{QStringLiteral(ORVIK_SOURCE_DIR "/tests/app/transparent_files.py")} + arguments);
    if (!python.waitForFinished(30000) || python.exitCode() != 0)
        return "python3-pil failed: " + QString::fromUtf8(python.readAllStandardError());
    return QString::fromUtf8(python.readAllStandardOutput()).trimmed();
}

// Pixel (x, y) from the top of a file as the codec library reads it: 0xAARRGGBB, through the
// palette and entry opacities of an 8-bit picture.
uint32_t FilePixel(const QString& path, int x, int y) {
    ImageFileBlocks blocks;
    ImageFileInfo info;
    if (ReadImageFile(QFile::encodeName(path).toStdString(), &blocks, &info) != ImageFileStatus::Ok) return 1;
    const BITMAPINFOHEADER& h = *blocks.header;
    const uint8_t* p = blocks.bits + int64_t{h.biHeight - 1 - y} * h.biXPelsPerMeter + x * (h.biBitCount / 8);
    if (h.biBitCount == 8)
        return uint32_t{EntryAlpha(blocks.entryAlpha, *p)} << 24 | PaletteColour(blocks.palette[*p]);
    return uint32_t{h.biBitCount == 32 ? p[3] : uint8_t{255}} << 24 | uint32_t{p[2]} << 16 | p[1] << 8 | p[0];
}

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

TEST_F(FormatsTest, WhatAFormatCannotKeepIsAskedFirst) {
    COrvikDoc* eight = NewPatternDocument(20, 10, kImage8Bit);
    ASSERT_NE(eight, nullptr);
    // Declined: nothing is written and the document keeps its name.
    auto question = AnswerLossQuestion(QMessageBox::Cancel);
    SaveAs(eight, m_dir.path(), "palette.jpg");
    EXPECT_TRUE(
        question->contains("Pictures saved as JPEG keep no palette, and their colours change slightly"))
        << question->toStdString();
    EXPECT_FALSE(QFile::exists(Path("palette.jpg")));
    EXPECT_TRUE(eight->GetPathName().isEmpty());
    // Agreed: written.
    question = AnswerLossQuestion(QMessageBox::Save);
    SaveAs(eight, m_dir.path(), "palette.jpg");
    EXPECT_EQ(DepthAndFormat(Path("palette.jpg")), std::make_pair(24, IMGKIT_FORMAT_JPEG));
    EXPECT_EQ(eight->GetPathName(), Path("palette.jpg"));
    // WebP keeps the colours but no palette; its lossy variant, chosen in Save As, loses both.
    question = AnswerLossQuestion(QMessageBox::Save);
    SaveAs(eight, m_dir.path(), "palette.webp");
    EXPECT_TRUE(question->contains("Pictures saved as WebP keep no palette. The picture will look the same"))
        << question->toStdString();
    question = AnswerLossQuestion(QMessageBox::Save);
    SaveAs(eight, m_dir.path(), "lossy.webp", "WebP Files, lossy");
    EXPECT_TRUE(question->contains("colours change slightly")) << question->toStdString();
    EXPECT_NE(Contents(Path("lossy.webp")).indexOf("VP8 "), -1) << "a lossy bitstream";
    EXPECT_NE(Contents(Path("palette.webp")).indexOf("VP8L"), -1) << "a lossless bitstream";

    // A true-colour picture as GIF: asked, then the file gets a copy reduced to 256 colours while the
    // document stays as it is; as PNG nothing is asked.
    COrvikDoc* colour = NewPatternDocument(30, 12, kImage24Bit);
    ASSERT_NE(colour, nullptr);
    question = AnswerLossQuestion(QMessageBox::Save);
    SaveAs(colour, m_dir.path(), "reduced.gif");
    EXPECT_TRUE(question->contains("Pictures saved as GIF have at most 256 colours"))
        << question->toStdString();
    EXPECT_EQ(DepthAndFormat(Path("reduced.gif")), std::make_pair(8, IMGKIT_FORMAT_GIF));
    EXPECT_EQ(colour->BitCount(), 24);
    question = AnswerLossQuestion(QMessageBox::Cancel);
    SaveAs(colour, m_dir.path(), "kept.png");
    EXPECT_TRUE(question->isEmpty());
    EXPECT_EQ(DepthAndFormat(Path("kept.png")), std::make_pair(24, IMGKIT_FORMAT_PNG));
    // What a format cannot hold at all is refused before anything is written.
    COrvikDoc* large = NewPatternDocument(300, 20, kImage24Bit);
    auto message = ExpectMessageBox();
    EXPECT_FALSE(large->SaveToFile(Path("big.ico")));
    EXPECT_TRUE(message->contains("at most 256 x 256 pixels")) << message->toStdString();
    EXPECT_FALSE(QFile::exists(Path("big.ico")));
}

TEST_F(FormatsTest, FilesOfSeveralFramesSayWhatWasNotOpenedAndAskBeforeTheyAreReplaced) {
    // An animation of three frames made by Pillow.
    QProcess pillow;
    pillow.start("/usr/bin/python3", {"-c",
                                      "import sys\nfrom PIL import Image\n"
                                      "f=[Image.new('P',(8,6),i) for i in range(3)]\n"
                                      "f[0].save(sys.argv[1],save_all=True,append_images=f[1:],duration=50)",
                                      Path("anim.gif")});
    ASSERT_TRUE(pillow.waitForFinished(20000) && pillow.exitCode() == 0) << "python3-pil is needed";
    COrvikDoc* doc = theApp->OpenDocumentFile(Path("anim.gif"));
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(Main()->PaneText(0), "Only the first of the 3 frames of anim.gif was opened.");
    EXPECT_EQ(doc->BitCount(), 8);
    const QByteArray before = Contents(Path("anim.gif"));
    auto question = AnswerLossQuestion(QMessageBox::Cancel);
    Main()->RouteCommand(ID_FILE_SAVE);
    EXPECT_TRUE(question->contains("The file holds 3 frames and Orvik opened only the first"))
        << question->toStdString();
    EXPECT_EQ(Contents(Path("anim.gif")), before);
    // Saved elsewhere nothing is lost; saved over it, once agreed, the file holds one picture.
    question = AnswerLossQuestion(QMessageBox::Cancel);
    EXPECT_TRUE(doc->SaveToFile(Path("copy.gif")));
    EXPECT_TRUE(question->isEmpty());
    question = AnswerLossQuestion(QMessageBox::Save);
    Main()->RouteCommand(ID_FILE_SAVE);
    EXPECT_FALSE(question->isEmpty());
    EXPECT_EQ(Contents(Path("anim.gif")), Contents(Path("copy.gif")));
    question = AnswerLossQuestion(QMessageBox::Cancel);
    Main()->RouteCommand(ID_FILE_SAVE);
    EXPECT_TRUE(question->isEmpty()) << "asked again after the file held one picture";
}

// A job that takes long: the progress control shows, the windows repaint, input changes nothing,
// and a window closed meanwhile closes once the job is done.
TEST_F(FormatsTest, LongJobsRunOffTheEventLoop) {
    COrvikDoc* doc = NewPatternDocument(40, 30, kImage8Bit);
    ASSERT_NE(doc, nullptr);
    QWidget* surface = doc->m_pView->viewport();
    const QByteArray pixels(reinterpret_cast<const char*>(doc->m_pBits), doc->Stride() * doc->Height());
    struct Seen {
        bool progress = false;
        int paints = 0;
    } seen;
    struct PaintCounter : QObject {
        int* paints;
        explicit PaintCounter(int* p) : paints(p) {}
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint) ++*paints;
            return false;
        }
    } counter(&seen.paints);
    surface->installEventFilter(&counter);
    QTimer::singleShot(CFileJob::kShowProgressAfterMs + 150, [&] {
        seen.progress = Main()->m_wndProgress && Main()->m_wndProgress->isVisible();
        seen.paints = 0;
        surface->update();
        QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::keyClick(surface, Qt::Key_Delete);
        doc->m_pChildFrame->close();
    });
    const int result = CFileJob::Run([](CFileJob& job) {
        for (int i = 0; i <= 100; i += 10) {
            job.Report(i);
            std::this_thread::sleep_for(std::chrono::milliseconds(80));
        }
        return 7;
    });
    EXPECT_EQ(result, 7);
    EXPECT_TRUE(seen.progress);
    EXPECT_GT(seen.paints, 0) << "no repaint while the job ran";
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(doc->m_pBits), doc->Stride() * doc->Height()), pixels);
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(Main()->m_wndProgress, nullptr);
    surface->removeEventFilter(&counter);
    ASSERT_EQ(theApp->Documents().size(), 1u) << "closed while the job ran";
    ProcessEvents();
    EXPECT_TRUE(theApp->Documents().empty()) << "the close did not follow the job";
}

// Save As of a large picture: the dialog is gone before the file is written.
TEST_F(FormatsTest, SaveAsClosesItsDialogBeforeALongSave) {
    COrvikDoc* doc = NewImage("3000", "2000", kImage24Bit);
    ASSERT_NE(doc, nullptr);
    uint32_t x = 12345;
    for (int64_t i = 0; i < int64_t{doc->Stride()} * doc->Height(); ++i) {
        x = x * 1103515245u + 12345u;
        doc->m_pBits[i] = uint8_t(x >> 24);  // noise: slow to compress
    }
    bool dialogDuringJob = false;
    bool sawJob = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!CFileJob::IsRunning()) return;
        sawJob = true;
        for (QWidget* window : QApplication::topLevelWidgets())
            dialogDuringJob =
                dialogDuringJob || (qobject_cast<COrvikFileDialog*>(window) && window->isVisible());
    });
    poll.start(5);
    SaveAs(doc, m_dir.path(), "large.png");
    poll.stop();
    EXPECT_TRUE(sawJob);
    EXPECT_FALSE(dialogDuringJob);
    EXPECT_EQ(DepthAndFormat(Path("large.png")), std::make_pair(24, IMGKIT_FORMAT_PNG));
}

// Transparent files of other programs, opened, painted in one pixel and saved in their format:
// every other pixel, palette entry and opacity is as it was.
TEST_F(FormatsTest, TransparencyRoundTripsKeepEverythingUntouched) {
    ASSERT_EQ(Pillow({"make", m_dir.path()}), "");
    Main()->m_wndPaletteDlg->m_foreIndex = 180;
    for (const char* name : {"indexed.png", "indexed.gif", "rgba.png", "rgba.tif", "rgba.webp", "rgba.tga"}) {
        SCOPED_TRACE(name);
        COrvikDoc* doc = theApp->OpenDocumentFile(Path(name));
        ASSERT_NE(doc, nullptr);
        EXPECT_TRUE(doc->HasAlpha());
        QTest::mouseClick(doc->m_pView->viewport(), Qt::LeftButton, {}, ViewPoint(doc, QPoint(3, 2)));
        const QString saved = Path(QStringLiteral("saved-") + name);
        const auto question = AnswerLossQuestion(QMessageBox::Cancel);
        ASSERT_TRUE(doc->SaveToFile(saved));
        EXPECT_TRUE(question->isEmpty()) << question->toStdString();
        EXPECT_EQ(Pillow({"same", Path(name), saved, "3", "2"}), "same");
        CloseWithoutSaving(doc);
    }
    Main()->m_wndPaletteDlg->m_foreIndex = 0;
}

// Saving transparency where the format cannot hold it asks first, then puts it over white; the
// document keeps it.
TEST_F(FormatsTest, TransparencyAFormatCannotHoldIsAskedAbout) {
    ASSERT_EQ(Pillow({"make", m_dir.path()}), "");
    COrvikDoc* rgba = theApp->OpenDocumentFile(Path("rgba.png"));
    ASSERT_NE(rgba, nullptr);
    auto question = AnswerLossQuestion(QMessageBox::Cancel);
    SaveAs(rgba, m_dir.path(), "flat.jpg");
    EXPECT_TRUE(question->startsWith(
        "Pictures saved as JPEG cannot be transparent. The transparent parts will become white."))
        << question->toStdString();
    EXPECT_FALSE(QFile::exists(Path("flat.jpg")));
    question = AnswerLossQuestion(QMessageBox::Save);
    EXPECT_TRUE(rgba->SaveToFile(Path("flat.bmp")));
    EXPECT_TRUE(question->contains("Pictures saved as BMP cannot be transparent")) << question->toStdString();
    EXPECT_EQ(FilePixel(Path("flat.bmp"), 0, 0), 0xFFFFFFFFu);  // fully transparent: white
    const uint32_t half = OverWhite(32, 128);  // (2, 1): red and green 32, blue 200, alpha 128
    EXPECT_EQ(FilePixel(Path("flat.bmp"), 2, 1), 0xFF000000u | half << 16 | half << 8 | OverWhite(200, 128));
    EXPECT_EQ(rgba->BitCount(), 32);
    // As GIF: fully transparent pixels keep one transparent entry, partly transparent ones are asked
    // about.
    question = AnswerLossQuestion(QMessageBox::Save);
    EXPECT_TRUE(rgba->SaveToFile(Path("rgba.gif")));
    EXPECT_TRUE(question->contains("Pictures saved as GIF cannot be partly transparent"))
        << question->toStdString();
    EXPECT_TRUE(question->contains("at most 256 colours"));
    EXPECT_EQ(FilePixel(Path("rgba.gif"), 0, 0) >> 24, 0u);
    EXPECT_EQ(FilePixel(Path("rgba.gif"), 2, 0) >> 24, 255u);

    // An 8-bit picture of two fully and one partly transparent entry as GIF keeps the first.
    COrvikDoc* two = theApp->OpenDocumentFile(Path("two.png"));
    ASSERT_NE(two, nullptr);
    question = AnswerLossQuestion(QMessageBox::Save);
    EXPECT_TRUE(two->SaveToFile(Path("two.gif")));
    EXPECT_TRUE(question->contains("Pictures saved as GIF can have only one transparent colour"))
        << question->toStdString();
    ImageFileBlocks blocks;
    ImageFileInfo info;
    ASSERT_EQ(ReadImageFile(QFile::encodeName(Path("two.gif")).toStdString(), &blocks, &info),
              ImageFileStatus::Ok);
    EXPECT_EQ(TransparentEntry(blocks.entryAlpha), 3);
    EXPECT_EQ(EntryAlpha(blocks.entryAlpha, 4), 255);
    EXPECT_EQ(PaletteColour(blocks.palette[4]), 0xFFFFFFu);
    EXPECT_EQ(EntryAlpha(two->m_pEntryAlpha, 4), 0) << "the document keeps its transparency";
}
