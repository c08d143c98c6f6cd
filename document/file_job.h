// Opening and saving off the event loop. The codec library (and, for a GIF of a true-colour picture,
// the colour-reduction library) runs on a worker thread while the windows keep repainting. Input to
// the program is held back meanwhile, so nothing can change the picture being written; a window
// closed meanwhile (the program quit) closes once the job is done. A job that takes longer than a
// third of a second shows the wait cursor and its progress in the status bar's progress control.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <atomic>
#include <functional>
#include <vector>

class CFileJob : public QObject {
public:
    // Runs on the worker thread. It may report its progress (0..100) through `report`, which may be
    // called from any thread.
    using Work = std::function<int(CFileJob& job)>;

    // Runs the work to its end and returns its result.
    static int Run(const Work& work);
    // True while a job runs (input is held back then).
    static bool IsRunning() { return s_running > 0; }

    // The codec library's progress function: `context` is the job.
    static int OnCodecProgress(void* context, int percent);
    // Reports `percent` of the part of the job that lies between `from` and `to` percent.
    void Report(int percent, int from = 0, int to = 100);

    // How long a job may take before its progress shows, in milliseconds.
    static constexpr int kShowProgressAfterMs = 333;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CFileJob() = default;

    std::atomic<int> m_percent{0};
    std::vector<QPointer<QWidget>> m_closeLater;
    static int s_running;
};
