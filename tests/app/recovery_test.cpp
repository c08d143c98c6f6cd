// Recovery of unsaved work: the program killed in the middle of work and started again, programs
// side by side, recovery writes that fail, the recovery dialog's choices, and the modified flag with
// the recovery file that goes with it.
#include <QCheckBox>
#include <QDir>
#include <QMessageBox>
#include <QProcess>
#include <QScopeGuard>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <sys/resource.h>

#include "app/child_frame.h"
#include "app/recovery.h"
#include "dialogs/recovery_dlg.h"
#include "dialogs/setup_dlg.h"
#include "document/recovery_file.h"
#include "document/recovery_store.h"
#include "image_test_helpers.h"
#include "recovery_dump.h"
#include "res/resource.h"
#include "views/orvik_view.h"

namespace {

QStringList FilesIn(const QString& folder, const QString& pattern = "*.orvikrec") {
    return QDir(folder).entryList({pattern}, QDir::Files);
}

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Waits for the next recovery write of any document; its result.
bool NextWrite() {
    QSignalSpy spy(theApp->Recovery(), &CRecoveryManager::Written);
    return spy.wait(5000) && spy.first().at(0).toBool();
}

void Stroke(COrvikDoc* doc, QPoint from, QPoint to) {
    QTest::mousePress(doc->m_pView->viewport(), Qt::LeftButton, {}, ViewPoint(doc, from));
    QTest::mouseMove(doc->m_pView->viewport(), ViewPoint(doc, to));
    QTest::mouseRelease(doc->m_pView->viewport(), Qt::LeftButton, {}, ViewPoint(doc, to));
}

class RecoveryTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        theApp->Recovery()->SetSettings(true, 1);
    }
    QTemporaryDir m_dir;
};

// The program in a process of its own (tests/app/recovery_child.cpp), with the settings and state
// folders every child of the test shares.
struct Child {
    QProcess process;
    Child(const QTemporaryDir& dir, const QStringList& arguments) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("XDG_CONFIG_HOME", dir.filePath("config"));
        environment.insert("XDG_STATE_HOME", dir.filePath("state"));
        process.setProcessEnvironment(environment);
        process.start(ORVIK_RECOVERY_CHILD, arguments);
    }
    // The next line it says.
    QString Line() {
        while (!process.canReadLine() && process.waitForReadyRead(30000)) {
        }
        return QString::fromUtf8(process.readLine()).trimmed();
    }
};

}  // namespace

TEST_F(RecoveryTest, KilledWorkComesBackExactlyAndRunningProgramsKeepTheirOwn) {
    COrvikDoc* original = NewPatternDocument(40, 30, kImage8Bit);
    ASSERT_NE(original, nullptr);
    const QString file = m_dir.filePath("cat.bmp");
    ASSERT_TRUE(original->SaveToFile(file));
    CloseWithoutSaving(original);
    const QByteArray onDisk = Contents(file);
    const QString folder = m_dir.filePath("state/orvik/recovery");

    Child painter(m_dir, {"paint", file, m_dir.filePath("painted")});
    ASSERT_EQ(painter.Line(), "written");
    ASSERT_EQ(FilesIn(folder).size(), 1);
    // A program started beside it offers nothing, and leaves the file where it is.
    Child beside(m_dir, {"start", m_dir.filePath("beside")});
    EXPECT_EQ(beside.Line(), "offered 0");
    ASSERT_TRUE(beside.process.waitForFinished(30000));
    EXPECT_EQ(FilesIn(folder).size(), 1);

    painter.process.kill();  // SIGKILL
    ASSERT_TRUE(painter.process.waitForFinished(30000));
    Child again(m_dir, {"start", m_dir.filePath("recovered")});
    EXPECT_EQ(again.Line(), "offered 1");
    ASSERT_TRUE(again.process.waitForFinished(30000));
    EXPECT_EQ(again.process.exitCode(), 0);

    // Every pixel, palette entry, the zoom and the path, as last written; still modified.
    const QByteArray painted = Contents(m_dir.filePath("painted"));
    ASSERT_FALSE(painted.isEmpty());
    EXPECT_TRUE(Contents(m_dir.filePath("recovered")) == painted);
    const auto* fields = reinterpret_cast<const int*>(painted.constData());
    EXPECT_EQ(fields[4], 6);  // zoomed in
    EXPECT_EQ(fields[6], 1);  // modified
    const qsizetype palette = 7 * sizeof(int) + file.toUtf8().size() + 1;
    EXPECT_EQ(painted.mid(palette + 7 * 4, 3), QByteArray("\x03\x02\x01", 3));  // entry 7 as edited
    EXPECT_EQ(painted.at(palette + kPaletteBytes + (30 - 1 - 3) * 40 + 2), 9);  // painted at (2, 3)
    // Its clean exit removed the file it took over and its lock; the picture on disk is untouched.
    EXPECT_TRUE(FilesIn(folder, "*").isEmpty()) << FilesIn(folder, "*").join(' ').toStdString();
    EXPECT_EQ(Contents(file), onDisk);
}

TEST_F(RecoveryTest, AFailedWriteSaysSoOnceAndDisturbsNothing) {
    COrvikDoc* doc = NewPatternDocument(150, 150, kImage24Bit);
    ASSERT_NE(doc, nullptr);
    for (int i = 0; i < doc->Stride() * doc->Height(); ++i)
        doc->m_pBits[i] = uint8_t(i * 2654435761u >> 13);  // does not compress below the limit
    const QString file = m_dir.filePath("photo.bmp");
    ASSERT_TRUE(doc->SaveToFile(file));
    doc->SetPathName(file);
    const QByteArray onDisk = Contents(file);
    Stroke(doc, QPoint(3, 3), QPoint(60, 40));
    const QByteArray image = Dump(doc);

    // Files may grow to 8 KiB only: the write fails as on a full disk.
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit small{8192, limit.rlim_max};
    setrlimit(RLIMIT_FSIZE, &small);
    EXPECT_FALSE(NextWrite());
    const QString said = Main()->statusBar()->currentMessage();
    EXPECT_TRUE(said.startsWith("Could not keep a recovery copy of photo.bmp [1:1] (File too large)"))
        << said.toStdString();
    Main()->statusBar()->clearMessage();
    EXPECT_FALSE(NextWrite());  // tried again, and said nothing more
    EXPECT_TRUE(Main()->statusBar()->currentMessage().isEmpty());
    setrlimit(RLIMIT_FSIZE, &limit);
    EXPECT_TRUE(Dump(doc) == image);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(Contents(file), onDisk);
    EXPECT_TRUE(FilesIn(CRecoveryManager::Folder(), "*.tmp").isEmpty());
    EXPECT_TRUE(NextWrite());  // room again
    CloseWithoutSaving(doc);

    // A state folder that cannot be made.
    theApp->ExitInstance();
    const QByteArray state = qgetenv("XDG_STATE_HOME");
    const auto restore = qScopeGuard([&] { qputenv("XDG_STATE_HOME", state); });
    qputenv("XDG_STATE_HOME", file.toUtf8());
    ASSERT_TRUE(theApp->InitInstance({}));
    theApp->Recovery()->SetSettings(true, 1);
    doc = NewPatternDocument(10, 10, kImage8Bit);
    Stroke(doc, QPoint(1, 1), QPoint(5, 5));
    EXPECT_FALSE(NextWrite());
    EXPECT_TRUE(Main()->statusBar()->currentMessage().contains("(Not a directory)"));
}

TEST_F(RecoveryTest, TheModifiedFlagTellsTheTruthAndTheCopyGoesWithIt) {
    const QString folder = CRecoveryManager::Folder();
    const auto recoveryFiles = [&](int expected) {
        for (int i = 0; i < 200 && FilesIn(folder).size() != expected; ++i)
            QTest::qWait(10);
        return FilesIn(folder).size();
    };
    COrvikDoc* doc = NewPatternDocument(20, 10, kImage8Bit);
    ASSERT_NE(doc, nullptr);
    CChildFrame* frame = doc->m_pChildFrame;
    Stroke(doc, QPoint(1, 1), QPoint(8, 1));
    EXPECT_TRUE(doc->IsModified());
    EXPECT_TRUE(frame->isWindowModified());
    EXPECT_TRUE(Main()->isWindowModified());
    ASSERT_TRUE(NextWrite());
    EXPECT_EQ(recoveryFiles(1), 1);

    // Saved: not modified, and the copy goes. Save writes again when nothing changed.
    const QString file = m_dir.filePath("a.bmp");
    ASSERT_TRUE(doc->SaveToFile(file));
    doc->SetPathName(file);
    EXPECT_FALSE(doc->IsModified());
    EXPECT_FALSE(frame->isWindowModified());
    EXPECT_EQ(recoveryFiles(0), 0);
    QFile::remove(file);
    ASSERT_TRUE(Main()->RouteCommand(ID_FILE_SAVE));
    EXPECT_TRUE(QFile::exists(file));

    // Undo back to the saved state, and Redo away from it.
    Stroke(doc, QPoint(1, 5), QPoint(8, 5));
    ASSERT_TRUE(NextWrite());
    ASSERT_TRUE(Main()->RouteCommand(ID_EDIT_UNDO));
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(recoveryFiles(0), 0);
    ASSERT_TRUE(Main()->RouteCommand(ID_EDIT_REDO));
    EXPECT_TRUE(doc->IsModified());

    // A save that fails changes nothing.
    const auto message = ExpectMessageBox();
    EXPECT_FALSE(doc->SaveToFile(m_dir.filePath("missing/a.bmp")));
    EXPECT_TRUE(message->startsWith("Could not save")) << message->toStdString();
    EXPECT_TRUE(doc->IsModified());

    // Turned off in Setup, the copies go; the setting stays for the next start.
    Stroke(doc, QPoint(2, 7), QPoint(9, 7));
    ASSERT_TRUE(NextWrite());
    EXPECT_EQ(recoveryFiles(1), 1);
    OnNextModal<CSetupDlg>([](CSetupDlg* dialog) {
        EXPECT_TRUE(dialog->m_recoveryCheck->isChecked());
        QTest::mouseClick(dialog->m_recoveryCheck, Qt::LeftButton);
        EXPECT_FALSE(dialog->m_intervalSpin->isEnabled());
        dialog->accept();
    });
    Main()->RouteCommand(ID_MISC_OPTION);
    EXPECT_EQ(recoveryFiles(0), 0);
    EXPECT_FALSE(QSettings().value("Settings/Recovery").toBool());
    theApp->Recovery()->SetSettings(true, 1);

    // Closing asks only while something is unsaved; a No takes the copy with it.
    ASSERT_TRUE(NextWrite());
    auto asked = std::make_shared<QString>();
    OnNextModal<QMessageBox>([asked](QMessageBox* box) {
        *asked = box->text();
        box->button(QMessageBox::No)->click();
    });
    frame->close();
    ProcessEvents();
    EXPECT_TRUE(asked->contains("a.bmp [1:1]")) << asked->toStdString();
    EXPECT_EQ(recoveryFiles(0), 0);
    doc = NewPatternDocument(5, 5, kImage8Bit);
    const auto again = OnNextModal<QMessageBox>([](QMessageBox* box) { box->reject(); });
    doc->m_pChildFrame->close();
    ProcessEvents();
    EXPECT_FALSE(*again);
}

TEST_F(RecoveryTest, TheDialogRecoversDiscardsOrKeepsForLater) {
    // Two files of a program that is gone: one of a saved picture, one untitled.
    COrvikDoc* doc = NewPatternDocument(30, 20, kImage24Bit);
    ASSERT_NE(doc, nullptr);
    {
        CRecoveryStore gone(QFile::encodeName(CRecoveryManager::Folder()).toStdString());
        std::string error;
        ASSERT_TRUE(gone.Open(&error));
        RecoveryImage copy;
        ASSERT_TRUE(doc->CopyForRecovery(&copy));
        ASSERT_TRUE(WriteRecoveryFile(gone.PathFor(1), copy, &error));
        copy.path = QFile::encodeName(m_dir.filePath("dog.bmp")).toStdString();
        ASSERT_TRUE(WriteRecoveryFile(gone.PathFor(2), copy, &error));
    }
    CloseWithoutSaving(doc);
    const QString folder = CRecoveryManager::Folder();
    const auto offer = [](const std::function<void(CRecoveryDlg*)>& handle) {
        OnNextModal<CRecoveryDlg>(handle);
        theApp->Recovery()->OfferRecovery();
    };

    offer([](CRecoveryDlg* dialog) {
        ASSERT_EQ(dialog->m_list->topLevelItemCount(), 2);
        EXPECT_EQ(dialog->m_list->topLevelItem(0)->text(0), "Untitled");
        EXPECT_EQ(dialog->m_list->topLevelItem(1)->text(0), "dog.bmp");
        EXPECT_EQ(dialog->m_list->topLevelItem(1)->text(2), "30 x 20");
        EXPECT_FALSE(dialog->m_list->topLevelItem(1)->icon(0).isNull());
        QTest::keyClick(dialog, Qt::Key_Escape);  // keep for later
    });
    EXPECT_EQ(FilesIn(folder).size(), 2);

    offer([](CRecoveryDlg* dialog) {
        dialog->m_list->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
        QTest::mouseClick(dialog->m_recoverButton, Qt::LeftButton);
    });
    ASSERT_EQ(theApp->Documents().size(), 1u);
    COrvikDoc* recovered = theApp->Documents().front();
    EXPECT_EQ(recovered->GetPathName(), m_dir.filePath("dog.bmp"));
    EXPECT_TRUE(recovered->IsModified());
    EXPECT_EQ(FilesIn(folder).size(), 2);  // one now this program's own

    offer([](CRecoveryDlg* dialog) {
        ASSERT_EQ(dialog->m_list->topLevelItemCount(), 1);
        OnNextModal<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); });
        QTest::mouseClick(dialog->m_discardButton, Qt::LeftButton);
    });
    EXPECT_EQ(FilesIn(folder).size(), 1);
    EXPECT_EQ(FilesIn(folder, "*.lock").size(), 1);  // the gone program's lock went with its files
}
