// Misc. > Option: the translucency percentage used by translucent painting, and a fill style that
// is kept but not yet used by any tool (its list is disabled).
#pragma once

#include <QDialog>

#include <cstdint>

class QComboBox;
class QLineEdit;

// The fill style chosen in the Setup dialog: 0 "Outlined", 1 "Filled". Only the dialog uses it.
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
