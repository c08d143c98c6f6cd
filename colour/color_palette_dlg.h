// The palette bar's contents: the grid of the active document's 256 colours and the foreground and
// background swatches. It holds the current colours, as palette indices.
#pragma once

#include <QWidget>

class CColorPaletteDlg : public QWidget {
    Q_OBJECT

public:
    explicit CColorPaletteDlg(QWidget* parent = nullptr);

    // Repaints the grid and both swatches from the active document at once.
    void Refresh();

    int m_foreIndex = 0;
    int m_backIndex = 255;
};
