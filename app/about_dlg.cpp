#include "app/about_dlg.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setFixedSize(292, 370);
    auto* picture = new QLabel(this);
    picture->setPixmap(QPixmap(QStringLiteral(":/about.png")));
    picture->setGeometry(0, 0, 290, 370);
    auto* version = new QLabel(tr("Orvik Version 0.2"), this);
    version->setGeometry(93, 304, 120, 14);
    auto* ok = new QPushButton(tr("OK"), this);
    ok->setGeometry(101, 349, 87, 21);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
