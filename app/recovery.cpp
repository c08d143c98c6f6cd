#include "app/recovery.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>

#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "app/main_frame.h"
#include "app/messages.h"
#include "app/orvik_app.h"
#include "dialogs/recovery_dlg.h"
#include "document/orvik_doc.h"
#include "document/recovery_file.h"

namespace {

const char kEnabledKey[] = "Settings/Recovery";
const char kSecondsKey[] = "Settings/RecoverySeconds";

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// What the dialog shows of one file.
RecoveryEntry EntryOf(const std::string& file) {
    RecoveryEntry entry;
    RecoveryInfo info;
    if (ReadRecoveryFile(file, &info, nullptr) != RecoveryStatus::Ok) {
        entry.name = QFileInfo(FromUtf8(file)).fileName();
        return entry;
    }
    const QString path = FromUtf8(info.path);
    entry.name = path.isEmpty() ? CRecoveryDlg::tr("Untitled") : QFileInfo(path).fileName();
    entry.folder = path.isEmpty() ? QString() : QDir::toNativeSeparators(QFileInfo(path).path());
    entry.time = QDateTime::fromMSecsSinceEpoch(info.time);
    entry.size = QSize(info.width, info.height);
    entry.picture = QImage(info.picture.data(), info.pictureWidth, info.pictureHeight, info.pictureWidth * 4,
                           QImage::Format_ARGB32)
                        .copy();
    return entry;
}

}  // namespace

CRecoveryManager::CRecoveryManager() : m_store(QFile::encodeName(Folder()).toStdString()) {
    const QSettings settings;
    m_enabled = settings.value(QLatin1String(kEnabledKey), true).toBool();
    bool ok = false;
    const int seconds = settings.value(QLatin1String(kSecondsKey)).toInt(&ok);
    m_seconds = ok && seconds > 0 ? std::min(seconds, kMaxSeconds) : kDefaultSeconds;
    m_worker = std::thread([this] { Work(); });
}

CRecoveryManager::~CRecoveryManager() {
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
        for (Job& job : m_jobs)
            if (job.cancel) *job.cancel = true;
    }
    m_wake.notify_one();
    m_worker.join();
    m_store.Close();
}

QString CRecoveryManager::Folder() {
    // A state folder that is not an absolute path is to be ignored.
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(state)) state = QDir::homePath() + QStringLiteral("/.local/state");
    return QDir::cleanPath(state + QStringLiteral("/orvik/recovery"));
}

void CRecoveryManager::SetSettings(bool enabled, int seconds) {
    m_seconds = std::clamp(seconds, 1, kMaxSeconds);
    QSettings settings;
    settings.setValue(QLatin1String(kEnabledKey), enabled);
    settings.setValue(QLatin1String(kSecondsKey), m_seconds);
    if (enabled == m_enabled) return;
    m_enabled = enabled;
    for (auto& [doc, state] : m_docs) {
        if (!enabled) {
            state.timer->stop();
            RemoveFile(state);
        } else if (doc->IsModified()) {
            DocumentChanged(doc);
        }
    }
}

// --- Writing ---------------------------------------------------------------------------------------

CRecoveryManager::DocState& CRecoveryManager::State(COrvikDoc* doc) {
    const auto found = m_docs.find(doc);
    if (found != m_docs.end()) return found->second;
    DocState& state = m_docs[doc];
    state.number = m_nextNumber++;
    state.timer = std::make_unique<QTimer>();
    state.timer->setSingleShot(true);
    connect(state.timer.get(), &QTimer::timeout, this, [this, doc] { TakeCopy(doc); });
    return state;
}

COrvikDoc* CRecoveryManager::DocumentOf(int number) const {
    for (const auto& [doc, state] : m_docs)
        if (state.number == number) return doc;
    return nullptr;
}

void CRecoveryManager::DocumentChanged(COrvikDoc* doc) {
    if (!m_enabled) return;
    DocState& state = State(doc);
    state.changed = true;
    if (!state.writing && !state.timer->isActive()) state.timer->start(m_seconds * 1000);
}

void CRecoveryManager::DocumentClean(COrvikDoc* doc) {
    const auto found = m_docs.find(doc);
    if (found == m_docs.end()) return;
    DocState& state = found->second;
    state.timer->stop();
    state.changed = false;
    RemoveFile(state);
}

void CRecoveryManager::DocumentClosed(COrvikDoc* doc) {
    DocumentClean(doc);
    m_docs.erase(doc);
}

void CRecoveryManager::RemoveFile(DocState& state) {
    if (!state.writing && !state.fileExists) return;
    // A write still going on stops; one that finishes all the same is removed right after.
    if (state.cancel) *state.cancel = true;
    ++state.generation;
    state.writing = false;
    state.fileExists = false;
    Enqueue(Job{state.number, state.generation, m_store.PathFor(state.number), nullptr, nullptr});
}

void CRecoveryManager::TakeCopy(COrvikDoc* doc) {
    DocState& state = State(doc);
    if (!m_enabled || !doc->IsModified() || !state.changed || state.writing) return;
    auto copy = std::make_shared<RecoveryImage>();
    if (!doc->CopyForRecovery(copy.get())) {
        Failed(doc, StatusText(ImageStatus::NoMemory));
        return;
    }
    std::string error;
    if (!m_store.Open(&error)) {
        Failed(doc, FromUtf8(error));
        return;
    }
    state.changed = false;
    state.writing = true;
    state.cancel = std::make_shared<std::atomic<bool>>(false);
    Enqueue(Job{state.number, state.generation, m_store.PathFor(state.number), std::move(copy), state.cancel});
}

void CRecoveryManager::WriteDone(int number, uint64_t generation, bool ok, const QString& error) {
    COrvikDoc* doc = DocumentOf(number);
    if (!doc) return;
    DocState& state = m_docs[doc];
    if (generation != state.generation) return;  // removed meanwhile
    state.writing = false;
    if (!ok && error.isEmpty()) return;  // cancelled
    if (!ok) {
        Failed(doc, error);
        return;
    }
    state.fileExists = true;
    m_failureShown = false;
    if (state.changed && m_enabled && doc->IsModified()) state.timer->start(m_seconds * 1000);
    emit Written(true);
}

void CRecoveryManager::Failed(COrvikDoc* doc, const QString& reason) {
    DocState& state = State(doc);
    state.changed = true;
    state.timer->start(m_seconds * 1000);
    if (!m_failureShown && theApp && theApp->m_mainFrame) {
        m_failureShown = true;
        theApp->m_mainFrame->statusBar()->showMessage(
            tr("Could not keep a recovery copy of %1 (%2). The image is unchanged; save it to keep your work.")
                .arg(doc->GetTitle(), reason));
    }
    emit Written(false);
}

void CRecoveryManager::Enqueue(Job job) {
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_jobs.push_back(std::move(job));
    }
    m_wake.notify_one();
}

void CRecoveryManager::Work() {
    LowerWriterPriority();
    for (;;) {
        Job job;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stop || !m_jobs.empty(); });
            if (m_jobs.empty()) return;
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
        }
        if (!job.copy) {
            unlink(job.path.c_str());
            continue;
        }
        std::string error;
        const bool ok = WriteRecoveryFile(job.path, *job.copy, &error, job.cancel.get());
        job.copy.reset();  // the memory goes back here, not in the event loop
        QMetaObject::invokeMethod(
            this, [this, number = job.number, generation = job.generation, ok, text = FromUtf8(error)] {
                WriteDone(number, generation, ok, text);
            },
            Qt::QueuedConnection);
    }
}

// --- Recovering ------------------------------------------------------------------------------------

void CRecoveryManager::OfferRecovery() {
    const std::vector<std::string> orphans = m_store.Orphans();
    if (!orphans.empty()) {
        QList<RecoveryEntry> entries;
        for (const std::string& file : orphans)
            entries.append(EntryOf(file));
        CRecoveryDlg dialog(entries, theApp->m_mainFrame);
        dialog.exec();
        for (const int index : dialog.Checked()) {
            if (dialog.m_choice == CRecoveryDlg::Recover)
                Recover(orphans[static_cast<size_t>(index)]);
            else if (dialog.m_choice == CRecoveryDlg::Discard)
                unlink(orphans[static_cast<size_t>(index)].c_str());
        }
    }
    m_store.Tidy();
}

void CRecoveryManager::Recover(const std::string& orphan) {
    RecoveryInfo info;
    RecoveryImage image;
    const RecoveryStatus status = ReadRecoveryFile(orphan, &info, &image);
    const QString name = info.path.empty() ? CRecoveryDlg::tr("Untitled") : QFileInfo(FromUtf8(info.path)).fileName();
    if (status == RecoveryStatus::CannotOpen) return;  // another Orvik took it meanwhile
    if (status != RecoveryStatus::Ok) {
        OrvikMessage(status == RecoveryStatus::NoMemory
                         ? tr("Could not recover %1: %2.").arg(name, StatusText(ImageStatus::NoMemory))
                         : tr("Could not recover %1: its recovery copy is damaged.")
                               .arg(QFileInfo(FromUtf8(orphan)).fileName()));
        return;
    }
    std::string error;
    if (!m_store.Open(&error)) {
        OrvikMessage(tr("Could not recover %1: %2.").arg(name, FromUtf8(error)));
        return;
    }
    const int number = m_nextNumber++;
    if (!m_store.Claim(orphan, number)) return;
    COrvikDoc* doc = theApp->OpenRecoveredDocument(image);
    if (!doc) {
        // Given back under its former name, for another try.
        std::rename(m_store.PathFor(number).c_str(), orphan.c_str());
        return;
    }
    // Its file is the copy it came from, until it changes.
    DocState& state = State(doc);
    state.number = number;
    state.fileExists = true;
}
