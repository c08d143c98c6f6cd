#include "dialogs/export_scaled_dlg.h"

#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/messages.h"
#include "dialogs/dialog_buttons.h"
#include "document/orvik_doc.h"
#include "res/resource.h"

CExportScaledDlg::CExportScaledDlg(COrvikDoc* doc, QWidget* parent) : QDialog(parent), m_pDocument(doc) {
    setWindowTitle(tr("Export Scaled"));
    setObjectName(QString::number(IDD_EXPORT_SCALED));
    m_scale = new QSpinBox(this);
    m_scale->setObjectName(QString::number(IDC_SCALE));
    m_scale->setRange(2, 16);
    m_scale->setSuffix(QStringLiteral(" ×"));
    m_size = new QLabel(this);
    m_size->setObjectName(QString::number(IDC_SCALED_SIZE));
    auto* form = new QFormLayout;
    form->addRow(tr("Scale :"), m_scale);
    form->addRow(tr("Size :"), m_size);
    const OkCancelButtons buttons = MakeOkCancel(this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons.row);
    connect(m_scale, &QSpinBox::valueChanged, this, &CExportScaledDlg::ShowSize);
    ShowSize();
    m_scale->setFocus();
    m_scale->selectAll();
}

int CExportScaledDlg::Factor() const {
    return m_scale->value();
}

void CExportScaledDlg::ShowSize() {
    m_size->setText(tr("%1 x %2 pixels")
                        .arg(int64_t{m_pDocument->Width()} * Factor())
                        .arg(int64_t{m_pDocument->Height()} * Factor()));
}

void CExportScaledDlg::accept() {
    const int64_t width = int64_t{m_pDocument->Width()} * Factor();
    const int64_t height = int64_t{m_pDocument->Height()} * Factor();
    const ImageStatus status = CheckImageSize(width, height, m_pDocument->BitCount());
    if (status != ImageStatus::Ok) {
        OrvikMessage(tr("Cannot export at %1 times: %2.").arg(Factor()).arg(StatusText(status)));
        m_scale->setFocus();
        m_scale->selectAll();
        return;
    }
    QDialog::accept();
}
