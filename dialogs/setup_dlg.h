// Misc. > Option: the translucency percentage used by translucent painting, and the fill style of
// the rectangle, ellipse and polygon tools (which the tool-options bar sets too).
#pragma once

#include <QDialog>

#include <cstdint>

class QComboBox;
class QLineEdit;

// The shapes' fill style: 0 "Outlined" (the outline only), 1 "Filled" (the background colour inside
// a foreground outline), 2 "Filled without Outline" (all of it in the background colour); with the
// right button the two colours change places.
extern uint8_t g_fillStyle;

class CSetupDlg : public QDialog {
    Q_OBJECT

public:
    explicit CSetupDlg(QWidget* parent = nullptr);

    QLineEdit* m_translucentEdit;  // translucency in percent
    QComboBox* m_fillStyleList;

public slots:
    // Stores the percentage n as the factor n x 0.01 (single precision) and the fill style.
    void accept() override;
};
