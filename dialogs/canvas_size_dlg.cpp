#include "dialogs/canvas_size_dlg.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "dialogs/dialog_buttons.h"
#include "dialogs/dialog_numbers.h"
#include "document/orvik_doc.h"
#include "res/resource.h"

CCanvasSizeDlg::CCanvasSizeDlg(COrvikDoc* doc, QWidget* parent) : QDialog(parent), m_pDocument(doc) {
    setWindowTitle(tr("Change Canvas Size"));
    setObjectName(QString::number(IDD_CANVAS_SIZE));

    auto* dimension = new QGroupBox(tr("Dimension"), this);
    const auto digitsOnly =
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this);
    m_widthEdit = new QLineEdit(dimension);
    m_heightEdit = new QLineEdit(dimension);
    m_currentWidth = new QLabel(QStringLiteral("Static"), dimension);
    m_currentHeight = new QLabel(QStringLiteral("Static"), dimension);
    m_widthEdit->setObjectName(QString::number(IDC_NEW_WIDTH));
    m_heightEdit->setObjectName(QString::number(IDC_NEW_HEIGHT));
    m_currentWidth->setObjectName(QString::number(IDC_CURRENT_WIDTH));
    m_currentHeight->setObjectName(QString::number(IDC_CURRENT_HEIGHT));
    for (QLineEdit* edit : {m_widthEdit, m_heightEdit}) {
        edit->setValidator(digitsOnly);
        edit->setMaximumWidth(80);
    }
    auto* grid = new QGridLayout(dimension);
    grid->addWidget(new QLabel(tr("New Width :"), dimension), 0, 0);
    grid->addWidget(m_widthEdit, 0, 1);
    grid->addWidget(new QLabel(tr("New Height :"), dimension), 1, 0);
    grid->addWidget(m_heightEdit, 1, 1);
    grid->setRowMinimumHeight(2, 8);
    grid->addWidget(new QLabel(tr("Current Width :"), dimension), 3, 0);
    grid->addWidget(m_currentWidth, 3, 1);
    grid->addWidget(new QLabel(tr("Current Height :"), dimension), 4, 0);
    grid->addWidget(m_currentHeight, 4, 1);

    const OkCancelButtons buttons = MakeOkCancel(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(dimension);
    layout->addLayout(buttons.row);

    setTabOrder(buttons.ok, buttons.cancel);
    setTabOrder(buttons.cancel, m_widthEdit);
    setTabOrder(m_widthEdit, m_heightEdit);

    const QString width = QString::number(doc->Width());
    const QString height = QString::number(doc->Height());
    SetEditText(m_widthEdit, width);
    SetEditText(m_heightEdit, height);
    m_currentWidth->setText(width);
    m_currentHeight->setText(height);
    m_widthEdit->selectAll();
    m_widthEdit->setFocus();
}

void CCanvasSizeDlg::accept() {
    const bool applied = ApplyNewSize(
        m_widthEdit, m_heightEdit, m_pDocument->BitCount(), tr("Cannot change the canvas size"),
        [this](int64_t width, int64_t height) { return m_pDocument->ResizeCanvas(width, height); });
    if (applied) QDialog::accept();
}
