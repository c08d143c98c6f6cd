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

#include "dialogs/decrease_depth_dlg.h"
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
        {{"in.png", "o.xyz"}, 2, "o.xyz does not end in a type Orvik writes"},
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
