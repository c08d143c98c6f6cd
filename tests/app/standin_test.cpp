// Decrease Color Depth against a stand-in libquantz.so (tests/app/quantz_standin.cpp) that sits
// beside this test program, where the program's loader looks first. Two cases need another
// folder: a copy of this program runs alone (no library at all) or beside the stand-in that lacks
// SetProgressFunction.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "image_test_helpers.h"
#include "res/resource.h"

namespace {

class StandInTest : public GuiTest {
protected:
    void TearDown() override {
        qunsetenv("ORVIK_STANDIN");
        qunsetenv("ORVIK_STANDIN_LOG");
        GuiTest::TearDown();
    }
};

// What must stay as it was when a reduction is refused.
struct Before {
    BITMAPINFOHEADER* header;
    BITMAPINFOHEADER headerBytes;
    RGBQUAD* palette;
    uint8_t* bits;
    std::vector<uint8_t> rows;
    explicit Before(const COrvikDoc* doc)
        : header(doc->m_pHeader),
          headerBytes(*doc->m_pHeader),
          palette(doc->m_pPalette),
          bits(doc->m_pBits),
          rows(doc->m_pBits, doc->m_pBits + int64_t{doc->Stride()} * doc->Height()) {}
    void ExpectUnchanged(const COrvikDoc* doc) const {
        EXPECT_EQ(doc->m_pHeader, header);
        EXPECT_EQ(std::memcmp(doc->m_pHeader, &headerBytes, sizeof headerBytes), 0);
        EXPECT_EQ(doc->m_pPalette, palette);
        EXPECT_EQ(doc->m_pBits, bits);
        EXPECT_EQ(std::memcmp(doc->m_pBits, rows.data(), rows.size()), 0);
        EXPECT_FALSE(doc->IsModified());
    }
};

// After every reduction, successful or not: no progress bar, no wait cursor, pane 1 empty.
void ExpectProgressGone() {
    EXPECT_EQ(GuiTest::Main()->m_wndProgress, nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(GuiTest::Main()->PaneText(1).trimmed().isEmpty());
}

}  // namespace

TEST_F(StandInTest, AFailedOrMalformedResultLeavesTheImageAsItWas) {
    struct Case {
        const char* mode;
        const char* message;
    };
    const Case cases[] = {
        {"null", "failed"},
        {"depth", "returned an image Orvik cannot hold"},
        {"size", "returned an image Orvik cannot hold"},
        {"stride", "returned an image Orvik cannot hold"},
        {"rows", "returned an image Orvik cannot hold"},
        {"input", "returned an image Orvik cannot hold"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        qputenv("ORVIK_STANDIN", c.mode);
        COrvikDoc* doc = NewPatternDocument(7, 5, kImage24Bit);
        ASSERT_NE(doc, nullptr);
        const Before before(doc);
        auto message = ExpectMessageBox();
        EXPECT_FALSE(doc->ReduceColorDepth(2, 0));
        EXPECT_TRUE(message->contains(c.message)) << message->toStdString();
        EXPECT_TRUE(message->contains("left as it was"));
        before.ExpectUnchanged(doc);
        ExpectProgressGone();
        EXPECT_TRUE(CommandEnabled(ID_COLORS_DECREASE));
    }
}

TEST_F(StandInTest, ProgressRunsInTheStatusBarDuringTheCall) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString log = dir.filePath("progress.log");
    qputenv("ORVIK_STANDIN", "ok");
    qputenv("ORVIK_STANDIN_LOG", QFile::encodeName(log));
    COrvikDoc* doc = NewPatternDocument(7, 5, kImage24Bit);
    ASSERT_NE(doc, nullptr);
    Main()->SetPaneText(1, QString(35, ' '));
    ASSERT_TRUE(doc->ReduceColorDepth(0, 0));
    // Each call returned the position set before it: the bar existed throughout, from 0.
    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "0 0\n50 0\n100 50\n");
    ExpectProgressGone();
    // The stand-in's grey ramp is now the palette; x + row etc. became the grey average.
    EXPECT_EQ(doc->BitCount(), 8);
    EXPECT_EQ(doc->m_pPalette[200].rgbRed, 200);
    EXPECT_EQ(doc->m_hBrush[200], QColor(200, 200, 200));
    EXPECT_EQ(doc->m_pBits[doc->Stride() * 2 + 3], (3 + 2 + 5) / 3);
    EXPECT_TRUE(doc->IsModified());
}

TEST_F(StandInTest, AFloatingBlockThatCannotBePlacedStopsTheReduction) {
    // A floating header the program cannot hold: the reduction must not go ahead without it.
    qputenv("ORVIK_STANDIN", "ok");
    COrvikDoc* doc = NewPatternDocument(7, 5, kImage24Bit);
    ASSERT_NE(doc, nullptr);
    auto* header = static_cast<BITMAPINFOHEADER*>(std::calloc(1, kHeaderBytes));
    *header = *doc->m_pHeader;
    header->biWidth = 2;
    header->biHeight = 2;
    header->biXPelsPerMeter = 2;  // should be 8
    doc->m_pFloatHeader = header;
    doc->m_pFloatBits = static_cast<uint8_t*>(std::calloc(1, 16));
    const Before before(doc);
    auto message = ExpectMessageBox();
    EXPECT_FALSE(doc->ReduceColorDepth(2, 0));
    EXPECT_TRUE(message->contains("left as it was")) << message->toStdString();
    before.ExpectUnchanged(doc);
    EXPECT_EQ(doc->m_pFloatHeader, header);
    EXPECT_EQ(header->biBitCount, 24);
}

// Runs a copy of this program in a folder of its own, beside `library` (copied as libquantz.so)
// or alone, where it checks that a reduction reports `expected` and changes nothing.
void RunCopyExpecting(const QString& library, const QString& expected) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString program = dir.filePath("standin_tests");
    ASSERT_TRUE(QFile::copy(QCoreApplication::applicationFilePath(), program));
    QFile::setPermissions(program, QFile::permissions(program) | QFile::ExeOwner);
    if (!library.isEmpty()) {
        ASSERT_TRUE(QFile::copy(library, dir.filePath("libquantz.so")));
    }
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("ORVIK_CHILD_EXPECT", expected);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
    env.remove("LD_LIBRARY_PATH");
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(program, {"--gtest_filter=StandInChild.ReductionIsRefused"});
    ASSERT_TRUE(child.waitForFinished(60000));
    const QString output = QString::fromLocal8Bit(child.readAll());
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test.")) << output.toStdString();
    EXPECT_FALSE(output.contains("SKIPPED")) << output.toStdString();
}

TEST_F(StandInTest, AMissingLibraryIsReported) {
    RunCopyExpecting({}, "Can't Find libquantz.so");
}

TEST_F(StandInTest, ALibraryWithoutBothExportsIsNotCalled) {
    // Had the program called Convert24To256 anyway, the stand-in's good result would have been
    // taken and the child would fail.
    RunCopyExpecting(QDir(QCoreApplication::applicationDirPath()).filePath("libquantz_partial.so"),
                     "libquantz.so has no function SetProgressFunction: it may be an old or damaged copy.");
}

// The child side of the two tests above; skipped when run directly.
class StandInChild : public StandInTest {};

TEST_F(StandInChild, ReductionIsRefused) {
    const QString expected = qEnvironmentVariable("ORVIK_CHILD_EXPECT");
    if (expected.isEmpty())
        GTEST_SKIP() << "runs as the child of the AMissingLibrary and WithoutBothExports tests";
    COrvikDoc* doc = NewPatternDocument(7, 5, kImage24Bit);
    ASSERT_NE(doc, nullptr);
    const Before before(doc);
    auto message = ExpectMessageBox();
    EXPECT_FALSE(doc->ReduceColorDepth(2, 0));
    EXPECT_EQ(*message, expected);
    before.ExpectUnchanged(doc);
    ExpectProgressGone();
}
