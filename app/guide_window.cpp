#include "app/guide_window.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

CGuideWindow::CGuideWindow(QWidget* parent) : QWidget(parent, Qt::Window), m_browser(new QTextBrowser(this)) {
    setWindowTitle(tr("Orvik User Guide"));
    m_browser->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    resize(760, 640);
}

QString CGuideWindow::GuideFile(const QStringList& languages) {
    const QString bin = QCoreApplication::applicationDirPath();
    const QStringList folders{bin + QStringLiteral("/../share/doc/orvik"), bin + QStringLiteral("/docs")};
    // "ko-KR" is tried as "ko_KR", then as "ko".
    QStringList names;
    for (const QString& language : languages) {
        const QString code = QString(language).replace(QLatin1Char('-'), QLatin1Char('_'));
        names << QStringLiteral("guide.%1.md").arg(code)
              << QStringLiteral("guide.%1.md").arg(code.section('_', 0, 0));
    }
    names << QStringLiteral("guide.md");
    for (const QString& folder : folders)
        for (const QString& name : names)
            if (const QFileInfo file(QDir(folder).filePath(name)); file.isFile())
                return file.canonicalFilePath();
    return {};
}

void CGuideWindow::Load(const QString& file) {
    // Its pictures are found beside it, as the Markdown names them.
    m_browser->setSource(QUrl::fromLocalFile(file), QTextDocument::MarkdownResource);
}
