// Recovery of unsaved work. While a document has unsaved changes, a copy of it is kept in the
// user's state folder ($XDG_STATE_HOME/orvik/recovery, by default ~/.local/state/orvik/recovery):
// at most one interval (30 s unless set otherwise) after the first change, then at most once an
// interval while changes go on. The copy is taken in the event loop and written by a worker thread,
// so painting never waits for the disk. A save, a close without saving and a clean exit remove the
// document's file; what a crash, a killed session or a power cut leaves is offered at the next start.
#pragma once

#include <QObject>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "document/recovery_store.h"

class COrvikDoc;
class QTimer;
struct RecoveryImage;

class CRecoveryManager : public QObject {
    Q_OBJECT

public:
    // Reads the settings "Settings/Recovery" (on unless false) and "Settings/RecoverySeconds".
    CRecoveryManager();
    // Lets the writes still waiting go, carries out the removals and removes this program's lock.
    ~CRecoveryManager() override;

    // The folder of the recovery files.
    static QString Folder();

    bool Enabled() const { return m_enabled; }
    int IntervalSeconds() const { return m_seconds; }
    // From the Setup dialog: stores the settings. Turned off, the open documents' files go; turned
    // on, documents with unsaved changes get theirs within the interval.
    void SetSettings(bool enabled, int seconds);
    static constexpr int kDefaultSeconds = 30;
    static constexpr int kMaxSeconds = 3600;

    // The document changed something a save writes.
    void DocumentChanged(COrvikDoc* doc);
    // The document has no unsaved changes (saved, or undone back to its file): its file goes.
    void DocumentClean(COrvikDoc* doc);
    // The document goes away.
    void DocumentClosed(COrvikDoc* doc);

    // At start: offers the recovery files no running Orvik owns, in one dialog.
    void OfferRecovery();

signals:
    // A recovery write finished, or (`ok` false) failed or could not be started.
    void Written(bool ok);

private:
    struct Job {
        int number = 0;
        uint64_t generation = 0;
        std::string path;
        std::shared_ptr<RecoveryImage> copy;  // null: remove the file
        std::shared_ptr<std::atomic<bool>> cancel;
    };
    struct DocState {
        int number = 0;              // its file is the store's file of this number
        uint64_t generation = 0;     // counts the removals, so a write finishing after one is ignored
        bool changed = false;        // changed since the last copy was taken
        bool writing = false;        // a write is waiting or running
        bool fileExists = false;     // a write succeeded since the last removal
        std::shared_ptr<std::atomic<bool>> cancel;
        std::unique_ptr<QTimer> timer;
    };

    DocState& State(COrvikDoc* doc);
    COrvikDoc* DocumentOf(int number) const;
    // The interval is over: takes a copy of the document and hands it to the worker.
    void TakeCopy(COrvikDoc* doc);
    void WriteDone(int number, uint64_t generation, bool ok, const QString& error);
    // Says once in the status bar that a copy of `doc` could not be kept; retries after an interval.
    void Failed(COrvikDoc* doc, const QString& reason);
    void RemoveFile(DocState& state);
    // Reads an orphan, takes it over and opens it as a modified document; tells the user when that
    // fails, leaving the file for later.
    void Recover(const std::string& orphan);
    void Enqueue(Job job);
    void Work();

    CRecoveryStore m_store;
    bool m_enabled = true;
    int m_seconds = kDefaultSeconds;
    bool m_failureShown = false;  // until a write succeeds again
    int m_nextNumber = 1;
    std::map<COrvikDoc*, DocState> m_docs;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Job> m_jobs;
    bool m_stop = false;
    std::thread m_worker;
};
