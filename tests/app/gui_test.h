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

class GuiTest : public ::testing::Test {
public:
    static CMainFrame* Main() { return theApp->m_mainFrame; }

protected:
    void SetUp() override {
        QSettings().clear();
        ASSERT_TRUE(theApp->InitInstance({}));
    }
    void TearDown() override {
        theApp->ExitInstance();
        QApplication::processEvents();
    }
};

// Lets pending events (layout, paint, deferred deletes) run.
void ProcessEvents();

// Calls `handle` with the next modal dialog of type T as soon as it is shown. The handler must
// close the dialog. Returns a flag that says whether it ran. The watch ends after five seconds, or
// with the application when a test ends sooner and no dialog came.
template <class T>
std::shared_ptr<bool> OnNextModal(std::function<void(T*)> handle) {
    auto ran = std::make_shared<bool>(false);
    auto* watch = new QTimer(qApp);
    QElapsedTimer since;
    since.start();
    const auto look = [handle, ran, since, watch] {
        if (!watch->isActive()) return;  // done already
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!dialog && since.elapsed() < 5000) return;
        watch->stop();
        if (dialog) {
            *ran = true;
            handle(dialog);
        }
        watch->deleteLater();  // after the handler, which may let deferred deletes run
    };
    QObject::connect(watch, &QTimer::timeout, watch, look);
    watch->start(5);
    QTimer::singleShot(0, watch, look);  // the first look comes before any timer's
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
