#include "dialogs/canvas_size_dlg.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

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

    // Where the picture goes: each button points from the middle to its place.
    auto* anchorBox = new QGroupBox(tr("Anchor"), this);
    auto* anchorGrid = new QGridLayout(anchorBox);
    anchorGrid->setSpacing(2);
    m_anchor = new QButtonGroup(this);
    m_anchor->setExclusive(true);
    const char* const arrows[9] = {"↖", "↑", "↗", "←", "•", "→", "↙", "↓", "↘"};
    const char* const places[9] = {
        QT_TR_NOOP("Top left"), QT_TR_NOOP("Top"),    QT_TR_NOOP("Top right"),
        QT_TR_NOOP("Left"),     QT_TR_NOOP("Centre"), QT_TR_NOOP("Right"),
        QT_TR_NOOP("Bottom left"), QT_TR_NOOP("Bottom"), QT_TR_NOOP("Bottom right"),
    };
    for (int i = 0; i < 9; ++i) {
        auto* button = new QToolButton(anchorBox);
        button->setText(QString::fromUtf8(arrows[i]));
        button->setToolTip(tr(places[i]));
        button->setAccessibleName(tr(places[i]));
        button->setObjectName(QString::number(IDC_ANCHOR_FIRST + i));
        button->setCheckable(true);
        const QSize hint = button->sizeHint();
        const int side = std::max({hint.width(), hint.height(), 24});
        button->setFixedSize(side, side);
        m_anchor->addButton(button, i);
        anchorGrid->addWidget(button, i / 3, i % 3);
    }
    m_anchor->button(static_cast<int>(CanvasAnchor::BottomLeft))->setChecked(true);

    const OkCancelButtons buttons = MakeOkCancel(this);

    auto* values = new QHBoxLayout;
    values->addWidget(dimension);
    values->addWidget(anchorBox);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(values);
    layout->addLayout(buttons.row);

    setTabOrder(buttons.ok, buttons.cancel);
    setTabOrder(buttons.cancel, m_widthEdit);
    setTabOrder(m_widthEdit, m_heightEdit);
    setTabOrder(m_heightEdit, m_anchor->button(0));
    for (int i = 1; i < 9; ++i)
        setTabOrder(m_anchor->button(i - 1), m_anchor->button(i));

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
        [this](int64_t width, int64_t height) { return m_pDocument->ResizeCanvas(width, height, Anchor()); });
    if (applied) QDialog::accept();
}

CanvasAnchor CCanvasSizeDlg::Anchor() const {
    return static_cast<CanvasAnchor>(m_anchor->checkedId());
}
