// Misc. > Option: the translucency percentage used by translucent painting, the fill style of the
// rectangle, ellipse and polygon tools (which the tool-options bar sets too), and whether and how
// often copies of unsaved work are kept for recovery.
#pragma once

#include <QDialog>

#include <cstdint>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;

// The shapes' fill style: 0 "Outlined" (the outline only), 1 "Filled" (the background colour inside
// a foreground outline), 2 "Filled without Outline" (all of it in the background colour); with the
// right button the two colours change places.
extern uint8_t g_fillStyle;

class CSetupDlg : public QDialog {
    Q_OBJECT

public:
    explicit CSetupDlg(QWidget* parent = nullptr);

    // The recovery settings the dialog starts with; after OK, the ones chosen.
    void SetRecovery(bool enabled, int seconds);

    QLineEdit* m_translucentEdit;  // translucency in percent
    QComboBox* m_fillStyleList;
    QCheckBox* m_recoveryCheck;  // keep copies of unsaved work
    QSpinBox* m_intervalSpin;    // seconds between the copies
    bool m_bRecovery = true;
    int m_nRecoverySeconds = 30;

public slots:
    // Stores the percentage n as the factor n x 0.01 (single precision) and the fill style, and
    // takes the recovery settings into m_bRecovery and m_nRecoverySeconds.
    void accept() override;
};
