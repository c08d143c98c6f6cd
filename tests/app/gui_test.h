// Shared pieces of the GUI tests: the application runs on the offscreen platform for the whole
// test program; each test starts the main frame afresh with empty settings.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QSettings>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

#include "app/main_frame.h"
#include "app/orvik_app.h"

// Counts the tests run so far; a handler waiting for a dialog gives up when its test ends.
extern int g_testGeneration;

class GuiTest : public ::testing::Test {
public:
    static CMainFrame* Main() { return theApp->m_mainFrame; }

protected:
    void SetUp() override {
        QSettings().clear();
        ASSERT_TRUE(theApp->InitInstance({}));
    }
    void TearDown() override {
        ++g_testGeneration;
        theApp->ExitInstance();
        QApplication::processEvents();
    }
};

// Lets pending events (layout, paint, deferred deletes) run.
void ProcessEvents();

// Calls `handle` with the next modal dialog of type T as soon as it is shown, within five seconds
// and the running test. The handler must close the dialog. Returns a flag that says whether it ran.
template <class T>
std::shared_ptr<bool> OnNextModal(std::function<void(T*)> handle) {
    // Each pending poll owns a copy of this, so nothing keeps itself alive once polling stops.
    struct Poll {
        std::function<void(T*)> handle;
        std::shared_ptr<bool> ran;
        std::shared_ptr<QElapsedTimer> timer;
        int generation;
        void operator()() const {
            if (generation != g_testGeneration) return;
            if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
                *ran = true;
                handle(dialog);
            } else if (timer->elapsed() < 5000) {
                QTimer::singleShot(5, *this);
            }
        }
    };
    auto ran = std::make_shared<bool>(false);
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    QTimer::singleShot(0, Poll{std::move(handle), ran, timer, g_testGeneration});
    return ran;
}

// Captures the text of the next message box and closes it with OK.
std::shared_ptr<QString> ExpectMessageBox();

// A view's rendered pixels.
QImage Grab(QWidget* widget);

class COrvikDoc;

// Closes a document's window without the question about saving.
void CloseWithoutSaving(COrvikDoc* doc);

// File > New with the size and type typed into the New Image dialog; null when it was refused.
COrvikDoc* NewImage(const QString& width, const QString& height, int type);

// The editing view's client point over image pixel `p` (its top-left corner): a picture smaller
// than the view sits in its middle, so this is where a test presses to reach that pixel.
QPoint ViewPoint(COrvikDoc* doc, QPoint p);
