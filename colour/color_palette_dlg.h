// The palette bar's contents: the grid of the active document's 256 colours and the foreground and
// background swatches. It holds the current colours, as palette indices: a left click on the grid
// picks the foreground, a right click the background, a double click edits the entry.
#pragma once

#include <QWidget>

class CColorPaletteDlg;

// The 8 x 32 grid of 10 x 10 cells; entry i at column i mod 8, row i div 8.
class CPaletteGrid : public QWidget {
    Q_OBJECT

public:
    explicit CPaletteGrid(CColorPaletteDlg* owner);
    // The entry under a point of the grid, or -1 outside the 256 cells.
    static int IndexAt(QPoint point);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    CColorPaletteDlg* m_owner;
};

// A 30 x 30 square in the colour of the foreground or the background entry.
class CPaletteSwatch : public QWidget {
    Q_OBJECT

public:
    CPaletteSwatch(CColorPaletteDlg* owner, bool foreground);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CColorPaletteDlg* m_owner;
    bool m_bForeground;
};

class CColorPaletteDlg : public QWidget {
    Q_OBJECT

public:
    explicit CColorPaletteDlg(QWidget* parent = nullptr);

    // Repaints the grid and both swatches from the active document at once.
    void Refresh();
    // Rewrites entry `index` of the active document's palette (each value clamped to 0..255) and,
    // for an 8-bit image when `alpha` is not -1, its opacity, as one step of its history; remakes its
    // brush and repaints. An 8-bit image is redrawn in the new colour and counts as modified, since
    // its palette is saved with it.
    void SetEntry(int index, int red, int green, int blue, int alpha = -1);
    // Runs the colour dialog modally on entry `index` (0..255) of the active document's palette;
    // nothing without an active document.
    void EditEntry(int index);

    int m_foreIndex = 0;
    int m_backIndex = 255;

    CPaletteGrid* m_grid;
    CPaletteSwatch* m_foreSwatch;
    CPaletteSwatch* m_backSwatch;
};

// The grey box with a black cross shown while no document is active.
void DrawPlaceholder(QPainter& painter, const QRect& rect);
// Fills `rect` with a colour that may be transparent: over grey and white squares of `square`
// pixels when its alpha is below 255, so a transparent entry shows as the checkerboard the image
// is shown over.
void FillEntryColour(QPainter& painter, const QRect& rect, const QColor& colour, int square);
