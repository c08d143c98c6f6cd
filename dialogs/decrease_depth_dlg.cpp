#include "dialogs/decrease_depth_dlg.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "dialogs/dialog_buttons.h"
#include "res/resource.h"

namespace {

// A radio button that leaves its mark to the dialog: a click only reports itself.
class CPlainRadioButton : public QRadioButton {
public:
    CPlainRadioButton(const QString& text, int id, QWidget* parent) : QRadioButton(text, parent) {
        setObjectName(QString::number(id));
        setAutoExclusive(false);
        setFocusPolicy(Qt::ClickFocus);  // no tab stop
    }

protected:
    void nextCheckState() override {}
};

}  // namespace

CDecreaseDepthDlg::CDecreaseDepthDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Decrease Color Depth"));
    setObjectName(QString::number(IDD_DECREASE_DEPTH));

    auto* palette = new QGroupBox(tr("Palette"), this);
    m_medianCut = new CPlainRadioButton(tr("Median Cut"), IDC_MEDIAN_CUT, palette);
    m_octree = new CPlainRadioButton(tr("Octree"), IDC_OCTREE, palette);
    m_standardPalette = new CPlainRadioButton(tr("Standard Palette"), IDC_STANDARD_PALETTE, palette);
    auto* paletteColumn = new QVBoxLayout(palette);
    for (QRadioButton* button : {m_medianCut, m_octree, m_standardPalette}) {
        paletteColumn->addWidget(button);
        connect(button, &QRadioButton::clicked, this, [this, button] { OnPaletteClicked(button); });
    }

    auto* dither = new QGroupBox(tr("Dither Method"), this);
    m_nearestColor = new CPlainRadioButton(tr("Nearest Color"), IDC_NEAREST_COLOR, dither);
    m_orderedDither = new CPlainRadioButton(tr("Ordered dither"), IDC_ORDERED_DITHER, dither);
    m_errorDiffusion = new CPlainRadioButton(tr("Error Diffusion"), IDC_ERROR_DIFFUSION, dither);
    auto* ditherColumn = new QVBoxLayout(dither);
    for (QRadioButton* button : {m_nearestColor, m_orderedDither, m_errorDiffusion}) {
        ditherColumn->addWidget(button);
        connect(button, &QRadioButton::clicked, this, [this, button] { OnDitherClicked(button); });
    }

    auto* groups = new QHBoxLayout;
    groups->addWidget(palette);
    groups->addWidget(dither);

    const OkCancelButtons buttons = MakeOkCancel(this);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addLayout(buttons.row);
    setTabOrder(buttons.ok, buttons.cancel);

    m_octree->setChecked(true);
    m_nearestColor->setChecked(true);
    m_orderedDither->setEnabled(false);
}

void CDecreaseDepthDlg::OnPaletteClicked(QRadioButton* chosen) {
    for (QRadioButton* button : {m_medianCut, m_octree, m_standardPalette})
        button->setChecked(button == chosen);
    if (m_orderedDither->isChecked()) {
        m_orderedDither->setChecked(false);
        m_nearestColor->setChecked(true);
    }
    m_orderedDither->setEnabled(chosen == m_standardPalette);
}

void CDecreaseDepthDlg::OnDitherClicked(QRadioButton* chosen) {
    for (QRadioButton* button : {m_nearestColor, m_orderedDither, m_errorDiffusion})
        button->setChecked(button == chosen);
}

void CDecreaseDepthDlg::accept() {
    const std::pair<QRadioButton*, int> palettes[] = {
        {m_medianCut, 1}, {m_octree, 2}, {m_standardPalette, 0}};
    const std::pair<QRadioButton*, int> dithers[] = {
        {m_nearestColor, 0}, {m_orderedDither, 1}, {m_errorDiffusion, 2}};
    for (const auto& [button, code] : palettes) {
        if (button->isChecked() && m_pPaletteMethod) *m_pPaletteMethod = code;
    }
    for (const auto& [button, code] : dithers) {
        if (button->isChecked() && m_pDitherMethod) *m_pDitherMethod = code;
    }
    QDialog::accept();
}
