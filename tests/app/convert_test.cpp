// `orvik --convert`, run as its own process without a display or Qt platform plug-in: the bytes
// the dialog gives for the same choice, batches into a folder, and command lines it refuses.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>

#include <cstring>
#include <vector>

#include "dialogs/decrease_depth_dlg.h"
#include "document/image_file.h"
#include "image_test_helpers.h"
#include "res/resource.h"

namespace {

class ConvertTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        ASSERT_TRUE(m_dir.isValid());
        COrvikDoc* doc = NewPatternDocument(90, 70, kImage24Bit);
        ASSERT_NE(doc, nullptr);
        ASSERT_TRUE(doc->SaveToFile(Path("in.png")));
        ASSERT_TRUE(doc->SaveToFile(Path("in.bmp")));
        CloseWithoutSaving(doc);
    }
    QString Path(const QString& name) const { return m_dir.filePath(name); }

    struct Run {
        int status;
        QString output;  // stdout and stderr
    };
    // Runs the program with the arguments in the folder, with neither DISPLAY, WAYLAND_DISPLAY
    // nor QT_QPA_PLATFORM set.
    Run Orvik(const QStringList& arguments) const {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(name);
        env.insert("LANG", "C.UTF-8");
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(m_dir.path());
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(ORVIK_PROGRAM, arguments);
        if (!process.waitForFinished(60000)) return {-1, "did not finish"};
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromLocal8Bit(process.readAll())};
    }

    QTemporaryDir m_dir;
};

}  // namespace

// 16 colours by median cut with error diffusion: the file the command line writes holds exactly
// the palette and pixels the dialog gives the same image; it says nothing on success.
TEST_F(ConvertTest, SameBytesAsTheDialog) {
    const Run run = Orvik({"--convert", "in.png", "out.png", "--colors", "16", "--palette", "median-cut",
                           "--dither=error-diffusion"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "");
    COrvikDoc* converted = theApp->OpenDocumentFile(Path("out.png"));
    ASSERT_NE(converted, nullptr);
    COrvikDoc* doc = theApp->OpenDocumentFile(Path("in.png"));
    ASSERT_NE(doc, nullptr);
    OnNextModal<CDecreaseDepthDlg>([](CDecreaseDepthDlg* dialog) {
        QTest::mouseClick(dialog->m_medianCut, Qt::LeftButton, {}, QPoint(6, 6));
        QTest::mouseClick(dialog->m_errorDiffusion, Qt::LeftButton, {}, QPoint(6, 6));
        dialog->m_colourCount->setValue(16);
        QTest::mouseClick(dialog->findChild<QPushButton*>("1"), Qt::LeftButton);
    });
    Main()->RouteCommand(ID_COLORS_DECREASE);
    ASSERT_EQ(doc->BitCount(), 8);
    ASSERT_EQ(converted->BitCount(), 8);
    EXPECT_EQ(std::memcmp(doc->m_pPalette, converted->m_pPalette, kPaletteBytes), 0);
    EXPECT_EQ(std::memcmp(doc->m_pBits, converted->m_pBits, size_t(doc->Stride()) * doc->Height()), 0);

    // A batch into a folder, each file under its own name and type, or of the type --format names.
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("out"));
    EXPECT_EQ(Orvik({"--convert", "in.png", "in.bmp", "--to", "out", "--palette", "standard", "--dither",
                     "ordered"})
                  .status,
              0);
    EXPECT_EQ(Orvik({"--convert", "in.png", "--to", "out", "--format", "pcx", "--colors", "8"}).status, 0);
    for (const char* name : {"out/in.png", "out/in.bmp", "out/in.pcx"})
        EXPECT_TRUE(QFile::exists(Path(name))) << name;
}

// Each command line that cannot be run is refused with a message that says why, status 2, and
// nothing written; a file that cannot be read fails with status 1.
TEST_F(ConvertTest, BadOptionsAreRefusedClearly) {
    QFile bad(Path("bad.gpl"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("GIMP Palette\n1 2\n");
    bad.close();
    struct Case {
        QStringList arguments;
        int status;
        const char* message;
    };
    const Case cases[] = {
        {{"in.png", "o.png", "--colors", "1"},
         2,
         "--colors must be a whole number from 2 to 256, not \"1\"."},
        {{"in.png", "o.png", "--colors=many"}, 2, "--colors must be a whole number from 2 to 256"},
        {{"in.png", "o.png", "--dither", "zigzag"}, 2, "--dither must be none, ordered or error-diffusion"},
        {{"in.png", "o.png", "--palette", "nosuch.gpl"}, 2, "there is no file \"nosuch.gpl\""},
        {{"in.png", "o.png", "--palette", "bad.gpl"}, 2, "cannot load the palette file bad.gpl: "},
        {{"in.png", "o.png", "--palette", "standard", "--colors", "16"}, 2, "always has 256 colours"},
        {{"in.png", "o.png", "--palette"}, 2, "--palette needs a value."},
        {{"in.png", "o.png", "--colors", "8", "--colors", "9"}, 2, "--colors is given more than once."},
        {{"in.png", "o.png", "--frobnicate"}, 2, "unknown option --frobnicate"},
        {{"in.png"}, 2, "needs an input file and an output file"},
        {{"in.png", "in.png"}, 2, "in.png would be written over the input in.png."},
        {{"in.png", "o.xyz"}, 2, "o.xyz does not end in the extension of a type Orvik writes (bmp, "},
        {{"in.png", "in.bmp", "--to", ".", "--format", "pcx"}, 2, "two inputs would both be written to"},
        {{"in.png", "--to", "nowhere"}, 2, "nowhere is not a folder."},
        {{"missing.png", "o.png"}, 1, "cannot open missing.png"},
    };
    for (const Case& c : cases) {
        const Run run = Orvik(QStringList{"--convert"} + c.arguments);
        EXPECT_EQ(run.status, c.status) << c.message;
        EXPECT_TRUE(run.output.startsWith("orvik: ")) << run.output.toStdString();
        EXPECT_TRUE(run.output.contains(c.message)) << run.output.toStdString();
        EXPECT_EQ(run.output.count('\n'), 1) << run.output.toStdString();
        EXPECT_FALSE(QFile::exists(Path("o.png")));
    }
    EXPECT_TRUE(Orvik({"--help"}).output.contains("orvik --convert IN... --to FOLDER"));
}

// A picture is read by its content, whatever its name, with its transparency: its fully
// transparent pixels, and only they, become the one transparent entry of a PNG and of a GIF.
TEST_F(ConvertTest, ReadsByContentAndKeepsTransparency) {
    COrvikDoc* doc = NewPatternDocument(30, 20, kImage8Bit);
    ASSERT_NE(doc, nullptr);
    for (int row = 5; row < 10; ++row)
        std::memset(doc->m_pBits + int64_t{row} * doc->Stride() + 4, 7, 10);
    ASSERT_TRUE(doc->WriteEntryAlpha(7, 0));
    ASSERT_TRUE(Main()->RouteCommand(ID_COLORS_INCREASE));
    ASSERT_EQ(doc->BitCount(), 32);
    ASSERT_TRUE(doc->SaveToFile(Path("clear.png")));
    const std::vector<uint8_t> source(doc->m_pBits, doc->m_pBits + int64_t{doc->Stride()} * doc->Height());
    const int width = doc->Width(), height = doc->Height();
    CloseWithoutSaving(doc);
    ASSERT_TRUE(QFile::copy(Path("clear.png"), Path("named.bmp")));

    for (const char* name : {"out.png", "out.gif"}) {
        const Run run = Orvik({"--convert", "named.bmp", name, "--colors", "8"});
        ASSERT_EQ(run.status, 0) << run.output.toStdString();
        ImageFileBlocks out;
        ImageFileInfo info;
        ASSERT_EQ(ReadImageFile(QFile::encodeName(Path(name)).toStdString(), &out, &info),
                  ImageFileStatus::Ok);
        ASSERT_EQ(out.header->biBitCount, 8) << name;
        const int clear = TransparentEntry(out.entryAlpha);
        ASSERT_GE(clear, 0) << name;
        for (int row = 0; row < height; ++row)
            for (int x = 0; x < width; ++x)
                ASSERT_EQ(out.bits[int64_t{row} * out.header->biXPelsPerMeter + x] == clear,
                          source[size_t(row) * 4 * width + 4 * x + 3] == 0)
                    << name << " " << x << "," << row;
    }
}
