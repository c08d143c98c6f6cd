// Opening and saving through the real libimgkit.so, start-up with a file, bad files, the missing
// library, drag and drop, printing and the command line.
#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <cstring>
#include <functional>
#include <memory>

#include "app/child_frame.h"
#include "app/command_line.h"
#include "app/file_dialog.h"
#include "document/orvik_doc.h"
#include "document/pixel_routines.h"
#include "gui_test.h"
#include "res/resource.h"
#include "views/orvik_view.h"

#include <unistd.h>

namespace {

// A picture with every row and column different, at the document's depth.
void Paint(COrvikDoc* doc) {
    for (int y = 0; y < doc->Height(); ++y) {
        uint8_t* row = doc->m_pBits + static_cast<ptrdiff_t>(y) * doc->Stride();
        for (int i = 0; i < doc->Width() * doc->BitCount() / 8; ++i)
            row[i] = uint8_t(i * 5 + y * 11);
    }
}

bool SamePixels(const COrvikDoc* a, const COrvikDoc* b) {
    if (a->Width() != b->Width() || a->Height() != b->Height() || a->BitCount() != b->BitCount())
        return false;
    const size_t rowBytes = static_cast<size_t>(a->Width()) * a->BitCount() / 8;
    for (int y = 0; y < a->Height(); ++y)
        if (std::memcmp(a->m_pBits + static_cast<ptrdiff_t>(y) * a->Stride(),
                        b->m_pBits + static_cast<ptrdiff_t>(y) * b->Stride(), rowBytes))
            return false;
    return true;
}

// Runs Save As, typing `name` into the file dialog with the filter at `filter` selected.
void SaveAs(COrvikDoc* doc, const QString& folder, const QString& name, int filter = 0) {
    OnNextModal<COrvikFileDialog>([=](COrvikFileDialog* dialog) {
        dialog->setDirectory(folder);
        dialog->selectNameFilter(dialog->nameFilters().value(filter));
        dialog->selectFile(name);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    doc->OnFileSaveAs();
}

// What a file dialog shows as it opens: its filters, the selected one, its folder and the files
// selected (the name typed).
struct ShownDialog {
    QStringList filters;
    QString filter;
    QString folder;
    QStringList files;
};

// Runs `command` and reads the file dialog it opens, which is then cancelled.
ShownDialog DialogOf(const std::function<void()>& command) {
    auto shown = std::make_shared<ShownDialog>();
    OnNextModal<COrvikFileDialog>([shown](COrvikFileDialog* dialog) {
        *shown = {dialog->nameFilters(), dialog->selectedNameFilter(), dialog->directory().absolutePath(),
                  dialog->selectedFiles()};
        dialog->reject();
    });
    command();
    return *shown;
}

QString Corpus(const QString& file) {
    return QString(ORVIK_CORPUS_DIR) + "/" + file;
}

bool HaveCorpus() {
    return QFileInfo::exists(Corpus("README.md"));
}

class FileTest : public GuiTest {
protected:
    QTemporaryDir m_dir;
    QString Path(const QString& name) const { return m_dir.filePath(name); }
};

}  // namespace

TEST_F(FileTest, SaveAndOpenRoundTripsInEveryFormat) {
    struct Case {
        const char* name;
        int type;
        bool lossless;
    };
    for (const Case& c : {Case{"eight.bmp", kImage8Bit, true}, Case{"rgb.bmp", kImage24Bit, true},
                          Case{"eight.pcx", kImage8Bit, true}, Case{"rgb.pcx", kImage24Bit, true},
                          Case{"rgb.jpg", kImage24Bit, false}, Case{"eight.png", kImage8Bit, true},
                          Case{"rgb.png", kImage24Bit, true}, Case{"eight.gif", kImage8Bit, true},
                          Case{"eight.tif", kImage8Bit, true}, Case{"rgb.tiff", kImage24Bit, true},
                          Case{"rgb.webp", kImage24Bit, true}, Case{"eight.tga", kImage8Bit, true},
                          Case{"rgb.tga", kImage24Bit, true}, Case{"eight.ico", kImage8Bit, true},
                          Case{"rgb.ico", kImage24Bit, true}, Case{"rgb.ppm", kImage24Bit, true}}) {
        COrvikDoc* doc = NewImage("33", "7", c.type);
        ASSERT_NE(doc, nullptr);
        Paint(doc);
        doc->SetModifiedFlag();
        SaveAs(doc, m_dir.path(), c.name);
        EXPECT_EQ(doc->GetPathName(), Path(c.name));
        EXPECT_EQ(doc->GetTitle(), QString("%1 [1:1]").arg(c.name));
        EXPECT_FALSE(doc->IsModified());  // the file holds the document now
        EXPECT_EQ(theApp->RecentFiles().value(0), Path(c.name));
        CloseWithoutSaving(doc);

        COrvikDoc* reopened = theApp->OpenDocumentFile(Path(c.name));
        ASSERT_NE(reopened, nullptr) << c.name;
        EXPECT_EQ(reopened->GetTitle(), QString("%1 [1:1]").arg(c.name));
        EXPECT_EQ(reopened->Width(), 33);
        EXPECT_EQ(reopened->Height(), 7);
        EXPECT_FALSE(reopened->IsModified());
        if (c.lossless) {
            // Rows come back the right way up, in every format.
            COrvikDoc* original = NewImage("33", "7", c.type);
            Paint(original);
            EXPECT_TRUE(SamePixels(original, reopened)) << c.name;
            CloseWithoutSaving(original);
        } else {
            // JPEG is lossy: compare the top-left and bottom-left pixels loosely.
            const int stride = reopened->Stride();
            EXPECT_NEAR(reopened->m_pBits[(reopened->Height() - 1) * stride], uint8_t(0 * 5 + 6 * 11), 40);
        }
        // Opening the same path again activates the open document.
        EXPECT_EQ(theApp->OpenDocumentFile(Path(c.name)), reopened);
        EXPECT_EQ(theApp->Documents().size(), 1u);
        CloseWithoutSaving(reopened);
    }
}

TEST_F(FileTest, SaveCommandUsesThePathAndSaveAsAddsTheExtension) {
    COrvikDoc* doc = NewImage("10", "10", kImage8Bit);
    ASSERT_NE(doc, nullptr);
    SaveAs(doc, m_dir.path(), "plain", 1);  // no extension, "PCX Files" selected
    EXPECT_EQ(doc->GetPathName(), Path("plain.pcx"));
    EXPECT_TRUE(QFileInfo::exists(Path("plain.pcx")));
    // Save writes to the stored path without asking.
    doc->m_pBits[0] = 77;
    Main()->RouteCommand(ID_FILE_SAVE);
    COrvikDoc* copy = theApp->OpenDocumentFile(Path("plain.pcx"));
    ASSERT_EQ(copy, doc);  // already open: the same document
    CloseWithoutSaving(doc);
    copy = theApp->OpenDocumentFile(Path("plain.pcx"));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->m_pBits[0], 77);
    // PNG is the fourth filter, after the three of old.
    COrvikFileDialog dialog(false, m_dir.path());
    EXPECT_EQ(dialog.nameFilters().value(3), "PNG Files (*.png *.PNG)");
    SaveAs(copy, m_dir.path(), "plain", 3);
    EXPECT_EQ(copy->GetPathName(), Path("plain.png"));
    EXPECT_TRUE(QFileInfo::exists(Path("plain.png")));
}

TEST_F(FileTest, FileDialogsStartWithEveryPictureOrWhereThePictureIs) {
    // Open lists and selects every picture the program reads, whatever its case; the formats follow.
    const ShownDialog open = DialogOf([] { Main()->RouteCommand(ID_FILE_OPEN); });
    ASSERT_FALSE(open.filters.isEmpty());
    EXPECT_EQ(open.filter, open.filters.first());
    EXPECT_TRUE(open.filter.startsWith("All pictures (*.bmp ")) << open.filter.toStdString();
    const QStringList patterns = open.filter.mid(open.filter.indexOf('(') + 1).chopped(1).split(' ');
    for (const char* pattern : {"*.png", "*.PNG", "*.jpeg", "*.JPG", "*.gif", "*.tif", "*.webp", "*.tga", "*.ico",
                                "*.pbm", "*.pcx", "*.dib"})
        EXPECT_TRUE(patterns.contains(pattern)) << pattern;
    EXPECT_EQ(open.filters.value(1), "BMP Files (*.bmp *.dib *.BMP *.DIB)");
    EXPECT_EQ(open.folder, theApp->m_startDir);

    // An untitled picture starts in the start folder until something is saved, then in the folder
    // last saved to; with that folder gone, in the start folder again.
    COrvikDoc* untitled = NewImage("8", "6", kImage24Bit);
    ASSERT_NE(untitled, nullptr);
    ShownDialog save = DialogOf([untitled] { untitled->OnFileSaveAs(); });
    EXPECT_EQ(save.folder, theApp->m_startDir);
    EXPECT_EQ(save.filter, save.filters.first());
    ASSERT_TRUE(QDir(m_dir.path()).mkpath("png/sub") && QDir(m_dir.path()).mkpath("jpeg"));
    ASSERT_TRUE(untitled->SaveToFile(Path("png/sub/other.bmp")));
    COrvikDoc* second = NewImage("8", "6", kImage24Bit);
    ASSERT_NE(second, nullptr);
    save = DialogOf([second] { second->OnFileSaveAs(); });
    EXPECT_EQ(save.folder, Path("png/sub"));
    EXPECT_EQ(save.filter, save.filters.first());

    // A saved picture starts in its own folder with its name and its type's filter, the lossy one
    // after a lossy save. Taken as it stands, the dialog writes the same file.
    const int lossyWebP = int(save.filters.indexOf(QRegularExpression("WebP Files, lossy.*")));
    ASSERT_GT(lossyWebP, 0);
    struct Case {
        const char* name;
        int filter;  // -1: by the name's extension
        const char* shownFilter;
    };
    for (const Case& c : {Case{"png/cat.png", -1, "PNG Files (*.png *.PNG)"},
                          Case{"jpeg/photo.jpeg", -1, "Jpeg Files (*.jpg *.jpeg *.jpe *.jfif *.JPG *.JPEG *.JPE *.JFIF)"},
                          Case{"png/web.webp", lossyWebP, "WebP Files, lossy (*.webp *.WEBP)"}}) {
        const QFileInfo file(Path(c.name));
        SaveAs(second, file.absolutePath(), file.fileName(), std::max(c.filter, 0));
        ASSERT_EQ(second->GetPathName(), file.filePath());
        save = DialogOf([second] { second->OnFileSaveAs(); });
        EXPECT_EQ(save.folder, file.absolutePath()) << c.name;
        EXPECT_EQ(save.files, QStringList{file.filePath()}) << c.name;
        EXPECT_EQ(save.filter, c.shownFilter) << c.name;
    }
    const auto acceptReplacing = [](COrvikDoc* doc) {
        OnNextModal<COrvikFileDialog>([](COrvikFileDialog* dialog) {
            OnNextModal<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); });
            QMetaObject::invokeMethod(dialog, "accept");
        });
        doc->OnFileSaveAs();
    };
    acceptReplacing(second);
    EXPECT_EQ(second->GetPathName(), Path("png/web.webp"));
    save = DialogOf([second] { second->OnFileSaveAs(); });
    EXPECT_EQ(save.filter, "WebP Files, lossy (*.webp *.WEBP)");  // still lossy
    COrvikDoc* photo = theApp->OpenDocumentFile(Path("jpeg/photo.jpeg"));
    ASSERT_NE(photo, nullptr);
    acceptReplacing(photo);
    EXPECT_EQ(photo->GetPathName(), Path("jpeg/photo.jpeg"));  // not renamed to .jpg

    ASSERT_TRUE(QDir(Path("png")).removeRecursively());
    save = DialogOf([second] { second->OnFileSaveAs(); });
    EXPECT_EQ(save.folder, Path("jpeg"));  // its own is gone: the one last saved to
    ASSERT_TRUE(QDir(Path("jpeg")).removeRecursively());
    save = DialogOf([untitled] { untitled->OnFileSaveAs(); });
    EXPECT_EQ(save.folder, theApp->m_startDir);
}

TEST_F(FileTest, NamesAreUsedAsTheyStand) {
    // The type comes from the last '.' of the file name, whatever the folders are called and
    // whatever the case; the path is kept as it is.
    QDir(m_dir.path()).mkdir("my.pics");
    COrvikDoc* doc = NewImage("5", "3", kImage24Bit);
    ASSERT_NE(doc, nullptr);
    ASSERT_TRUE(doc->SaveToFile(Path("my.pics/CAT.Old.BMP")));
    CloseWithoutSaving(doc);
    COrvikDoc* cat = theApp->OpenDocumentFile(Path("my.pics/CAT.Old.BMP"));
    ASSERT_NE(cat, nullptr);
    EXPECT_EQ(cat->GetPathName(), Path("my.pics/CAT.Old.BMP"));
    EXPECT_EQ(cat->GetTitle(), "CAT.Old.BMP [1:1]");
    ASSERT_TRUE(cat->SaveToFile(Path("photo.jpeg")));
    EXPECT_NE(theApp->OpenDocumentFile(Path("photo.jpeg")), nullptr);

    // The content decides how a file is read, whatever its name: a PNG named photo.jpg, a BMP
    // without an extension.
    ASSERT_TRUE(cat->SaveToFile(Path("real.png")));
    QFile::copy(Path("real.png"), Path("photo.jpg"));
    QFile::copy(Path("my.pics/CAT.Old.BMP"), Path("my.pics/cat"));
    for (const char* name : {"photo.jpg", "my.pics/cat"}) {
        COrvikDoc* opened = theApp->OpenDocumentFile(Path(name));
        ASSERT_NE(opened, nullptr) << name;
        EXPECT_EQ(opened->Width(), 5);
    }
    // A damaged file says so, whatever its name claims; a file of no known kind names the formats.
    QFile damaged(Path("cut.gif"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    {
        QFile png(Path("real.png"));
        ASSERT_TRUE(png.open(QIODevice::ReadOnly));
        damaged.write(png.read(40));  // inside the first chunk of pixel data
    }
    damaged.close();
    auto message = ExpectMessageBox();
    EXPECT_EQ(theApp->OpenDocumentFile(Path("cut.gif")), nullptr);
    EXPECT_TRUE(message->contains("damaged")) << message->toStdString();
    EXPECT_FALSE(message->contains("GIF")) << message->toStdString();
    QFile text(Path("notes.png"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a picture at all\n");
    text.close();
    message = ExpectMessageBox();
    EXPECT_EQ(theApp->OpenDocumentFile(Path("notes.png")), nullptr);
    for (const char* format : {"BMP", "PCX", "JPEG", "PNG", "GIF", "TIFF", "WebP", "TGA", "ICO", "PNM"})
        EXPECT_TRUE(message->contains(format)) << format << ": " << message->toStdString();
    // Saving goes by the typed extension; one of no format is refused, naming the types.
    message = ExpectMessageBox();
    EXPECT_FALSE(cat->SaveToFile(Path("picture.3dt")));
    EXPECT_FALSE(QFileInfo::exists(Path("picture.3dt")));
    EXPECT_TRUE(message->contains(".tiff")) << message->toStdString();
}

TEST_F(FileTest, FailedSaveIsReportedAndChangesNothing) {
    COrvikDoc* doc = NewImage("8", "8", kImage8Bit);
    ASSERT_NE(doc, nullptr);
    ASSERT_TRUE(doc->SaveToFile(Path("keep.bmp")));
    doc->SetPathName(Path("keep.bmp"));
    const QByteArray before = [&] {
        QFile f(Path("keep.bmp"));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    // A target that is a folder cannot be written.
    QDir(m_dir.path()).mkdir("folder.bmp");
    auto message = ExpectMessageBox();
    EXPECT_FALSE(doc->SaveToFile(Path("folder.bmp")));
    EXPECT_TRUE(message->contains("folder.bmp")) << message->toStdString();
    EXPECT_TRUE(QFileInfo(Path("folder.bmp")).isDir());
    // Save As into a folder nobody may write to (not even root): the message names the file, the
    // document keeps its path and title. (Not /proc itself: the file dialog peeks into the files it
    // lists, and reading /proc/kmsg waits for ever.)
    message = ExpectMessageBox();
    SaveAs(doc, "/proc/self/fdinfo", "nowhere.bmp");
    EXPECT_TRUE(message->contains("nowhere.bmp")) << message->toStdString();
    EXPECT_EQ(doc->GetPathName(), Path("keep.bmp"));
    EXPECT_EQ(doc->GetTitle(), "keep.bmp [1:1]");
    // A folder that cannot be written to: the old file stays as it was, no temporary file is left.
    if (geteuid() != 0) {
        QFile(m_dir.path()).setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        doc->m_pBits[0] = 9;
        message = ExpectMessageBox();
        Main()->RouteCommand(ID_FILE_SAVE);
        EXPECT_TRUE(message->contains("keep.bmp"));
        QFile(m_dir.path()).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QFile f(Path("keep.bmp"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"keep.bmp"});
}

TEST_F(FileTest, StartUpWithAFileAndWithABadOne) {
    COrvikDoc* doc = NewImage("12", "9", kImage24Bit);
    ASSERT_NE(doc, nullptr);
    ASSERT_TRUE(doc->SaveToFile(Path("start.bmp")));
    theApp->ExitInstance();

    ASSERT_TRUE(theApp->InitInstance({Path("start.bmp")}));
    ProcessEvents();
    ASSERT_EQ(theApp->Documents().size(), 1u);
    EXPECT_EQ(theApp->Documents()[0]->GetTitle(), "start.bmp [1:1]");
    EXPECT_EQ(Main()->m_mdiArea->subWindowList().size(), 1);
    theApp->ExitInstance();

    // A file the codec refuses: a message naming the file, and start-up ends.
    QFile bad(Path("broken.bmp"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("BM this is not a bitmap at all");
    bad.close();
    auto message = ExpectMessageBox();
    EXPECT_FALSE(theApp->InitInstance({Path("broken.bmp")}));
    EXPECT_TRUE(message->contains("broken.bmp")) << message->toStdString();
    EXPECT_TRUE(theApp->Documents().empty());
    theApp->ExitInstance();
    // A missing file likewise.
    message = ExpectMessageBox();
    EXPECT_FALSE(theApp->InitInstance({Path("nowhere.pcx")}));
    EXPECT_TRUE(message->contains("nowhere.pcx"));
    theApp->ExitInstance();

    // Several files: each one opens; the bad one gives its message and the others still open.
    ASSERT_TRUE(theApp->InitInstance({}));
    doc = NewImage("5", "4", kImage8Bit);
    ASSERT_TRUE(doc->SaveToFile(Path("second.png")));
    theApp->ExitInstance();
    message = ExpectMessageBox();
    ASSERT_TRUE(theApp->InitInstance({Path("start.bmp"), Path("broken.bmp"), Path("second.png")}));
    ProcessEvents();
    EXPECT_TRUE(message->contains("broken.bmp")) << message->toStdString();
    ASSERT_EQ(theApp->Documents().size(), 2u);
    EXPECT_EQ(theApp->Documents()[1]->GetTitle(), "second.png [1:1]");
    EXPECT_EQ(Main()->m_mdiArea->subWindowList().size(), 2);
    theApp->ExitInstance();
    // None of them opens: start-up ends after both messages.
    message = ExpectMessageBox();
    auto second = ExpectMessageBox();
    EXPECT_FALSE(theApp->InitInstance({Path("broken.bmp"), Path("nowhere.png")}));
    EXPECT_TRUE(message->contains("broken.bmp") || second->contains("broken.bmp"));
    EXPECT_TRUE(message->contains("nowhere.png") || second->contains("nowhere.png"));
    theApp->ExitInstance();
    ASSERT_TRUE(theApp->InitInstance({}));
}

TEST_F(FileTest, CorpusFilesOpenAndBadOnesAreRefused) {
    if (!HaveCorpus()) GTEST_SKIP() << "no image corpus";
    for (const char* good : {"bmp/bmpsuite/g/pal8.bmp", "bmp/bmpsuite/g/rgb24.bmp", "photos/kodim23.png",
                             "pcx/zigimg/test-bpp8.pcx", "pcx/zigimg/test-bpp24.pcx",
                             "jpeg/libjpeg-turbo/testorig.jpg", "jpeg/libjpeg-turbo/testimggray.jpg"}) {
        COrvikDoc* doc = theApp->OpenDocumentFile(Corpus(good));
        ASSERT_NE(doc, nullptr) << good;
        EXPECT_TRUE(IsModelHeader(*doc->m_pHeader));
        CloseWithoutSaving(doc);
    }
    for (const char* bad : {"bmp/bmpsuite/b/reallybig.bmp", "bmp/bmpsuite/b/shortfile.bmp",
                            "pcx/generated/bad/empty.pcx", "jpeg/jpeg-decoder/crashtest/empty.jpg"}) {
        if (!QFileInfo::exists(Corpus(bad))) continue;
        auto message = ExpectMessageBox();
        EXPECT_EQ(theApp->OpenDocumentFile(Corpus(bad)), nullptr) << bad;
        EXPECT_TRUE(message->contains(QFileInfo(bad).fileName())) << message->toStdString();
    }
    EXPECT_TRUE(theApp->Documents().empty());
}

TEST_F(FileTest, DroppedFilesOpen) {
    COrvikDoc* doc = NewImage("6", "6", kImage8Bit);
    ASSERT_NE(doc, nullptr);
    ASSERT_TRUE(doc->SaveToFile(Path("a.bmp")));
    ASSERT_TRUE(doc->SaveToFile(Path("b.pcx")));
    ASSERT_TRUE(doc->SaveToFile(Path("c.png")));
    CloseWithoutSaving(doc);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(Path("a.bmp")), QUrl::fromLocalFile(Path("b.pcx")),
                  QUrl::fromLocalFile(Path("c.png"))});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Main(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Main(), &drop);
    // The drop returns first; the files open afterwards.
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_TRUE(theApp->Documents().empty());
    ProcessEvents();
    ASSERT_EQ(theApp->Documents().size(), 3u);
    EXPECT_EQ(theApp->Documents()[0]->GetTitle(), "a.bmp [1:1]");
    EXPECT_EQ(theApp->Documents()[1]->GetTitle(), "b.pcx [1:1]");
    EXPECT_EQ(theApp->Documents()[2]->GetTitle(), "c.png [1:1]");
}

TEST_F(FileTest, PrintingPutsTheWholeImageOnOnePageWithItsExactPixels) {
    for (const int type : {kImage8Bit, kImage24Bit}) {
        COrvikDoc* doc = NewImage("40", "20", type);
        ASSERT_NE(doc, nullptr);
        // Sharp edges and single pixels, which lossy compression would smear.
        for (int row = 0; row < 20; ++row)
            for (int x = 0; x < 40; ++x) {
                const int v = (x * 7 + row * 13) % 256;
                uint8_t* p = doc->m_pBits + row * doc->Stride() + x * (doc->BitCount() / 8);
                for (int c = 0; c < doc->BitCount() / 8; ++c)
                    p[c] = uint8_t(v * (c + 1));
            }
        QPrinter printer(QPrinter::ScreenResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(Path("page.pdf"));
        doc->m_pView->PrintImage(&printer);
        QFile pdf(Path("page.pdf"));
        ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
        const QByteArray content = pdf.readAll();
        EXPECT_TRUE(content.startsWith("%PDF"));
        EXPECT_EQ(content.count("/Type /Page\n") + content.count("/Type /Page\r"), 1);

        // The page holds the image itself, pixel for pixel.
        QProcess extract;
        extract.start("pdfimages", {"-png", Path("page.pdf"), Path("printed")});
        ASSERT_TRUE(extract.waitForFinished(20000)) << "pdfimages (poppler-utils) is needed";
        ASSERT_EQ(extract.exitCode(), 0);
        const QImage printed(Path("printed-000.png"));
        ASSERT_EQ(printed.size(), QSize(40, 20));
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 40; ++x) {
                const int row = 19 - y;
                const uint32_t expected =
                    doc->BitCount() == 8
                        ? PaletteColour(doc->m_pPalette[doc->m_pBits[row * doc->Stride() + x]])
                        : GetPixel24(doc->m_pBits, x, row, doc->Stride());
                ASSERT_EQ(printed.pixel(x, y) & 0xFFFFFFu, expected) << x << "," << y;
            }
        // A print that cannot start says why.
        printer.setOutputFileName(Path("missing/page.pdf"));
        const auto message = ExpectMessageBox();
        doc->m_pView->PrintImage(&printer);
        EXPECT_EQ(*message,
                  "The image could not be printed: " + Path("missing/page.pdf") + " could not be written.");
        CloseWithoutSaving(doc);
    }
}

TEST_F(FileTest, ACancelledNewOrAFailedOpenLeavesTheActiveWindowActive) {
    COrvikDoc* first = NewImage("20", "20", kImage8Bit);
    COrvikDoc* second = NewImage("30", "30", kImage8Bit);
    ASSERT_TRUE(first && second);
    const auto active = [] { return theApp->GetActiveChildDocument(); };
    ASSERT_EQ(active(), second);
    OnNextModal<QDialog>([](QDialog* dialog) { dialog->reject(); });
    EXPECT_EQ(theApp->OnFileNew(), nullptr);
    ProcessEvents();
    EXPECT_EQ(active(), second);
    EXPECT_EQ(g_activeDoc, second);

    QFile bad(Path("bad.bmp"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("BM not a bitmap");
    bad.close();
    const auto message = ExpectMessageBox();
    EXPECT_EQ(theApp->OpenDocumentFile(Path("bad.bmp")), nullptr);
    ProcessEvents();
    EXPECT_FALSE(message->isEmpty());
    EXPECT_EQ(active(), second);
    EXPECT_EQ(theApp->Documents().size(), 2u);
}

TEST_F(FileTest, NamesWithAmpersandsShowAsTheyAreInMenus) {
    COrvikDoc* doc = NewImage("6", "6", kImage8Bit);
    ASSERT_NE(doc, nullptr);
    ASSERT_TRUE(doc->SaveToFile(Path("tom&jerry.bmp")));
    CloseWithoutSaving(doc);
    ASSERT_NE(theApp->OpenDocumentFile(Path("tom&jerry.bmp")), nullptr);
    // A menu shows "&&" as one '&' and no underlined letter.
    EXPECT_EQ(Main()->Action(ID_FILE_MRU_FILE1)->text(),
              "&1 " + QString(Path("tom&jerry.bmp")).replace("&", "&&"));
    QMenu* window = nullptr;
    for (QAction* action : Main()->menuBar()->actions()) {
        if (action->menu() && action->text() == "Window(&W)") window = action->menu();
    }
    ASSERT_NE(window, nullptr);
    emit window->aboutToShow();
    EXPECT_EQ(window->actions().last()->text(), "&1 tom&&jerry.bmp [1:1]");
}

TEST_F(FileTest, CommandLineHelpAndVersionNeedNoDisplay) {
    const QString program = QCoreApplication::applicationDirPath() + "/orvik";
    if (!QFileInfo::exists(program)) GTEST_SKIP() << "the program is built beside the tests";
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.insert("QT_QPA_PLATFORM", "xcb");  // would fail if the toolkit started
    process.setProcessEnvironment(env);
    process.start(program, {"--help"});
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitCode(), 0);
    const QByteArray usage = process.readAllStandardOutput();
    EXPECT_TRUE(usage.startsWith("Usage: orvik"));
    EXPECT_TRUE(usage.contains("PNG"));
    process.start(program, {"--version"});
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.readAllStandardOutput().trimmed(), "Orvik 0.2");
    // An option the program does not know is no file name.
    process.start(program, {"a.png", "--bogus"});
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitCode(), 2);
    EXPECT_EQ(process.readAllStandardError(),
              "orvik: unrecognized option '--bogus'\nTry 'orvik --help' for more information.\n");
}

TEST(CommandLine, OptionsFilesAndMistakes) {
    using Action = CommandLine::Action;
    CommandLine line = ParseCommandLine({"a.bmp", "--lang", "en", "-", "-platform", "xcb", "--style=fusion",
                                         "b.pcx", "--", "--lang=ko", "-x"});
    EXPECT_EQ(line.action, Action::Run);
    EXPECT_EQ(line.language, "en");
    EXPECT_EQ(line.files, (QStringList{"a.bmp", "-", "b.pcx", "--lang=ko", "-x"}));
    EXPECT_EQ(ParseCommandLine({"--lang=ko", "c.jpg"}).language, "ko");
    EXPECT_EQ(ParseCommandLine({"x.png", "-h", "--bogus"}).action, Action::Help);
    EXPECT_EQ(ParseCommandLine({"--version"}).action, Action::Version);
    for (const auto& [arguments, error] : std::initializer_list<std::pair<QStringList, QString>>{
             {{"--bogus", "--help"}, "unrecognized option '--bogus'"},
             {{"-x"}, "invalid option -- 'x'"},
             {{"a.png", "--lang"}, "option '--lang' requires an argument"},
             {{"--help=all"}, "option '--help' doesn't allow an argument"},
         }) {
        line = ParseCommandLine(arguments);
        EXPECT_EQ(line.action, Action::Refuse) << error.toStdString();
        EXPECT_EQ(line.error, error);
    }
}

// Run by MissingCodecLibrary below in a copy of this program that has no libimgkit.so beside it
// and none on the library search path, or a damaged one beside it.
TEST_F(FileTest, MissingCodecLibraryIsReported) {
    if (qgetenv("ORVIK_TEST_WITHOUT_CODEC") != "1")
        GTEST_SKIP() << "runs in a copy without the codec library";
    const QString file = qEnvironmentVariable("ORVIK_TEST_FILE");
    auto message = ExpectMessageBox();
    EXPECT_EQ(theApp->OpenDocumentFile(file), nullptr);
    EXPECT_EQ(*message, qEnvironmentVariable("ORVIK_TEST_MESSAGE"));
    EXPECT_TRUE(theApp->Documents().empty());
}

TEST_F(FileTest, MissingCodecLibrary) {
    if (qgetenv("ORVIK_TEST_WITHOUT_CODEC") == "1") GTEST_SKIP();
    COrvikDoc* doc = NewImage("4", "4", kImage8Bit);
    ASSERT_NE(doc, nullptr);
    ASSERT_TRUE(doc->SaveToFile(Path("x.bmp")));
    const QString copy = Path("gui_tests");
    ASSERT_TRUE(QFile::copy(QCoreApplication::applicationFilePath(), copy));
    QFile(copy).setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    const QString damaged = Path("libimgkit.so");
    // Missing, then there but not a library: the loader's reason names it.
    for (const QString& expected :
         {QString("Can't Find libimgkit.so"),
          "libimgkit.so is there but could not be loaded:\n\n" + damaged + ": file too short"}) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("ORVIK_TEST_WITHOUT_CODEC", "1");
        env.insert("ORVIK_TEST_FILE", Path("x.bmp"));
        env.insert("ORVIK_TEST_MESSAGE", expected);
        env.insert("XDG_CONFIG_HOME", Path("config"));
        env.insert("LC_ALL", "C");
        env.remove("LD_LIBRARY_PATH");
        process.setProcessEnvironment(env);
        process.start(copy, {"--gtest_filter=FileTest.MissingCodecLibraryIsReported"});
        ASSERT_TRUE(process.waitForFinished(60000));
        const QByteArray output = process.readAllStandardOutput();
        EXPECT_EQ(process.exitCode(), 0) << output.toStdString();
        EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
        QFile(damaged).open(QIODevice::WriteOnly);
    }
}
