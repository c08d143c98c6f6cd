// Colors > Brightness / Contrast… and Posterize…: sliders with their numbers, previewed live on
// the part of the picture the Colors commands change. OK makes the change one step of the history;
// Cancel (or closing the dialog) puts the picture back as it was.
#pragma once

#include <QDialog>
#include <QTimer>

#include "document/colour_adjust.h"
#include "document/colour_preview.h"

class COrvikDoc;
class QSlider;
class QSpinBox;

class CAdjustColoursDlg : public QDialog {
    Q_OBJECT

public:
    // `kind` is BrightnessContrast or Posterize.
    CAdjustColoursDlg(COrvikDoc* doc, ColourAdjustment::Kind kind, QWidget* parent = nullptr);

    ColourAdjustment Adjustment() const;

    // Brightness and contrast (-100 to 100), or the number of levels (2 to 64), each a slider
    // and a number box that follow each other.
    QSpinBox* m_first;
    QSpinBox* m_second = nullptr;  // contrast; none for Posterize

public slots:
    void accept() override;
    void reject() override;

private:
    QSpinBox* AddRow(class QGridLayout* grid, int row, const QString& label, int id, int minimum, int maximum,
                     int value);

    COrvikDoc* m_pDocument;
    ColourAdjustment::Kind m_kind;
    CColourPreview m_preview;
    QTimer m_update;  // one preview for a burst of changes
};
