#include "dialogs/dialog_buttons.h"

#include <QCoreApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

#include "res/resource.h"

OkCancelButtons MakeOkCancel(QDialog* dialog) {
    auto* ok = new QPushButton(QCoreApplication::translate("OkCancelButtons", "OK"), dialog);
    auto* cancel = new QPushButton(QCoreApplication::translate("OkCancelButtons", "Cancel"), dialog);
    ok->setObjectName(QString::number(IDOK));
    cancel->setObjectName(QString::number(IDCANCEL));
    ok->setDefault(true);
    // accept() and reject() are virtual: each dialog's own checks run.
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    row->addStretch();
    return {ok, cancel, row};
}
