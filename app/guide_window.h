// Help > User Guide: the user guide (Markdown, with its pictures) in a window of its own, in the
// user's language where the guide has a translation.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

class QTextBrowser;

class CGuideWindow : public QWidget {
    Q_OBJECT

public:
    explicit CGuideWindow(QWidget* parent = nullptr);

    // The guide's file for the first of `languages` ("ko-KR", "ko", ...) it has a translation for
    // ("guide.ko.md"), else the English one; searched in the installed documentation folder
    // (share/doc/orvik beside the program's bin folder), then in docs/ beside the program (its build
    // tree). Empty when there is none.
    static QString GuideFile(const QStringList& languages);
    // Shows `file` from its top.
    void Load(const QString& file);

    QTextBrowser* m_browser;
};
