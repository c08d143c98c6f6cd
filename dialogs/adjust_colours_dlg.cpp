#include "dialogs/adjust_colours_dlg.h"

#include <QGridLayout>
#include <QLabel>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include "dialogs/dialog_buttons.h"
#include "document/orvik_doc.h"
#include "res/resource.h"

CAdjustColoursDlg::CAdjustColoursDlg(COrvikDoc* doc, ColourAdjustment::Kind kind, QWidget* parent)
    : QDialog(parent), m_pDocument(doc), m_kind(kind), m_preview(doc) {
    const bool posterize = kind == ColourAdjustment::Posterize;
    setWindowTitle(posterize ? tr("Posterize") : tr("Brightness / Contrast"));
    setObjectName(QString::number(posterize ? IDD_POSTERIZE : IDD_BRIGHTNESS_CONTRAST));
    auto* grid = new QGridLayout;
    grid->setColumnMinimumWidth(1, 200);
    if (posterize) {
        m_first = AddRow(grid, 0, tr("Levels :"), IDC_LEVELS, 2, 64, 4);
    } else {
        m_first = AddRow(grid, 0, tr("Brightness :"), IDC_BRIGHTNESS, -100, 100, 0);
        m_second = AddRow(grid, 1, tr("Contrast :"), IDC_CONTRAST, -100, 100, 0);
    }
    const OkCancelButtons buttons = MakeOkCancel(this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons.row);

    m_update.setSingleShot(true);
    m_update.setInterval(0);
    connect(&m_update, &QTimer::timeout, this, [this] { m_preview.Show(Adjustment()); });
    // Posterize changes the picture at its first value already.
    if (posterize) m_update.start();
    m_first->setFocus();
    m_first->selectAll();
}

QSpinBox* CAdjustColoursDlg::AddRow(QGridLayout* grid, int row, const QString& label, int id, int minimum,
                                    int maximum, int value) {
    auto* slider = new QSlider(Qt::Horizontal, this);
    auto* number = new QSpinBox(this);
    number->setObjectName(QString::number(id));
    slider->setRange(minimum, maximum);
    number->setRange(minimum, maximum);
    slider->setValue(value);
    number->setValue(value);
    auto* text = new QLabel(label, this);
    text->setBuddy(number);
    grid->addWidget(text, row, 0);
    grid->addWidget(slider, row, 1);
    grid->addWidget(number, row, 2);
    connect(slider, &QSlider::valueChanged, number, &QSpinBox::setValue);
    connect(number, &QSpinBox::valueChanged, slider, &QSlider::setValue);
    connect(number, &QSpinBox::valueChanged, this, [this] { m_update.start(); });
    return number;
}

ColourAdjustment CAdjustColoursDlg::Adjustment() const {
    ColourAdjustment adjustment;
    adjustment.kind = m_kind;
    if (m_kind == ColourAdjustment::Posterize) {
        adjustment.levels = m_first->value();
    } else {
        adjustment.brightness = m_first->value();
        adjustment.contrast = m_second->value();
    }
    return adjustment;
}

void CAdjustColoursDlg::accept() {
    m_update.stop();
    m_preview.Restore();
    m_pDocument->AdjustColours(Adjustment());
    QDialog::accept();
}

void CAdjustColoursDlg::reject() {
    m_update.stop();
    m_preview.Restore();
    QDialog::reject();
}
