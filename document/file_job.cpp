#include "document/file_job.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMdiSubWindow>
#include <QTimer>

#include <thread>

#include "app/main_frame.h"
#include "app/orvik_app.h"

int CFileJob::s_running = 0;

int CFileJob::OnCodecProgress(void* context, int percent) {
    static_cast<CFileJob*>(context)->Report(percent);
    return 0;
}

void CFileJob::Report(int percent, int from, int to) {
    const int whole = from + (to - from) * std::clamp(percent, 0, 100) / 100;
    // Never backwards: the parts of a job report one after the other.
    int seen = m_percent.load();
    while (whole > seen && !m_percent.compare_exchange_weak(seen, whole)) {
    }
}

bool CFileJob::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::Close:
            // The window (a document's, or the program's) closes once the job is done, asking as it
            // always does.
            if (auto* widget = qobject_cast<QWidget*>(watched);
                widget && (widget->isWindow() || qobject_cast<QMdiSubWindow*>(widget))) {
                m_closeLater.emplace_back(widget);
                event->ignore();
                return true;
            }
            return false;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletMove:
        case QEvent::TabletRelease:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            event->ignore();
            return true;
        default:
            return false;
    }
}

int CFileJob::Run(const Work& work) {
    CFileJob job;
    QEventLoop loop;
    std::atomic<bool> done{false};
    int result = 0;
    qApp->installEventFilter(&job);
    ++s_running;
    std::thread worker([&] {
        result = work(job);
        done = true;
        QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
    });

    // The progress control once the job has taken long enough to be noticed.
    CMainFrame* main = theApp ? theApp->m_mainFrame : nullptr;
    bool shown = false;
    QElapsedTimer clock;
    clock.start();
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (!shown && clock.elapsed() >= kShowProgressAfterMs && !done) {
            shown = true;
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
            if (main) main->BeginProgress();
        }
        if (shown && main) ProgressCallback(job.m_percent.load());
    });
    timer.start(30);
    loop.exec();
    worker.join();
    timer.stop();
    --s_running;
    qApp->removeEventFilter(&job);
    if (shown) {
        if (main && theApp->m_mainFrame == main) main->EndProgress();
        QGuiApplication::restoreOverrideCursor();
    }
    for (const QPointer<QWidget>& window : job.m_closeLater) {
        if (window) QTimer::singleShot(0, window, [window] { window->close(); });
    }
    return result;
}
