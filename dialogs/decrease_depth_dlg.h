// Colors > Decrease Color Depth > "256 Colors (8 Bit)": how the 256-colour palette is made and how
// the pixels are mapped onto it. The radio buttons are plain ones: the dialog sets and clears
// every mark itself, so each group always shows exactly one.
#pragma once

#include <QDialog>

class QRadioButton;

class CDecreaseDepthDlg : public QDialog {
    Q_OBJECT

public:
    explicit CDecreaseDepthDlg(QWidget* parent = nullptr);

    // Set by the caller before the dialog runs; OK stores the codes there.
    int* m_pPaletteMethod = nullptr;  // 0 standard palette, 1 median cut, 2 octree
    int* m_pDitherMethod = nullptr;   // 0 nearest colour, 1 ordered dither, 2 error diffusion

    QRadioButton* m_medianCut;
    QRadioButton* m_octree;
    QRadioButton* m_standardPalette;
    QRadioButton* m_nearestColor;
    QRadioButton* m_orderedDither;
    QRadioButton* m_errorDiffusion;

public slots:
    void accept() override;

private:
    // A palette button was clicked: it alone is marked; a marked "Ordered dither" gives way to
    // "Nearest Color", and "Ordered dither" is enabled only with the standard palette.
    void OnPaletteClicked(QRadioButton* chosen);
    // A dither button was clicked: it alone is marked.
    void OnDitherClicked(QRadioButton* chosen);
};
