#include "dialogs/setup_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>

#include "dialogs/dialog_buttons.h"
#include "dialogs/dialog_numbers.h"
#include "document/pixel_routines.h"
#include "res/resource.h"

uint8_t g_fillStyle = 0;

CSetupDlg::CSetupDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Setup"));
    setObjectName(QString::number(IDD_SETUP));

    auto* fillLabel = new QLabel(tr("Fill Style :"), this);
    m_fillStyleList = new QComboBox(this);
    m_fillStyleList->setObjectName(QString::number(IDC_FILL_STYLE));
    m_fillStyleList->addItems({tr("Outlined"), tr("Filled"), tr("Filled without Outline")});
    fillLabel->setBuddy(m_fillStyleList);
    m_translucentEdit = new QLineEdit(this);
    m_translucentEdit->setObjectName(QString::number(IDC_TRANSLUCENT));
    m_translucentEdit->setMaximumWidth(60);

    auto* grid = new QGridLayout;
    grid->addWidget(fillLabel, 0, 0);
    grid->addWidget(m_fillStyleList, 0, 1, 1, 2);
    grid->addWidget(new QLabel(tr("Translucent : "), this), 1, 0);
    grid->addWidget(m_translucentEdit, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("%"), this), 1, 2);

    m_recoveryCheck = new QCheckBox(tr("Keep a copy of unsaved work for recovery"), this);
    m_recoveryCheck->setObjectName(QString::number(IDC_RECOVERY_ON));
    m_intervalSpin = new QSpinBox(this);
    m_intervalSpin->setObjectName(QString::number(IDC_RECOVERY_INTERVAL));
    m_intervalSpin->setRange(1, 3600);
    auto* every = new QLabel(tr("Every :"), this);
    every->setBuddy(m_intervalSpin);
    auto* seconds = new QLabel(tr("seconds"), this);
    connect(m_recoveryCheck, &QCheckBox::toggled, this, [this, every, seconds](bool on) {
        for (QWidget* widget : {static_cast<QWidget*>(every), static_cast<QWidget*>(m_intervalSpin),
                                static_cast<QWidget*>(seconds)})
            widget->setEnabled(on);
    });
    grid->addWidget(m_recoveryCheck, 2, 0, 1, 3);
    grid->addWidget(every, 3, 0);
    grid->addWidget(m_intervalSpin, 3, 1);
    grid->addWidget(seconds, 3, 2);
    SetRecovery(m_bRecovery, m_nRecoverySeconds);

    const OkCancelButtons buttons = MakeOkCancel(this);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons.row);
    setTabOrder(buttons.ok, buttons.cancel);
    setTabOrder(buttons.cancel, m_fillStyleList);
    setTabOrder(m_fillStyleList, m_translucentEdit);
    setTabOrder(m_translucentEdit, m_recoveryCheck);
    setTabOrder(m_recoveryCheck, m_intervalSpin);

    m_fillStyleList->setCurrentIndex(g_fillStyle < m_fillStyleList->count() ? g_fillStyle : 0);
    // The factor as a whole percentage, so a factor stored from n shows as n again.
    SetEditNumber(m_translucentEdit,
                  TruncToEditNumber(std::round(static_cast<double>(g_fTranslucency) * 100.0)));
    m_translucentEdit->selectAll();
    m_translucentEdit->setFocus();
}

void CSetupDlg::accept() {
    const uint64_t percent = ReadUnsigned(m_translucentEdit->text());
    g_fTranslucency = static_cast<float>(percent) * 0.01f;
    g_fillStyle = static_cast<uint8_t>(std::max(m_fillStyleList->currentIndex(), 0));
    m_bRecovery = m_recoveryCheck->isChecked();
    m_nRecoverySeconds = m_intervalSpin->value();
    QDialog::accept();
}

void CSetupDlg::SetRecovery(bool enabled, int seconds) {
    m_recoveryCheck->setChecked(enabled);
    m_recoveryCheck->toggled(enabled);  // the interval's controls follow even when nothing changed
    m_intervalSpin->setValue(seconds);
}
