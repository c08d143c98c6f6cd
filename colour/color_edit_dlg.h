// The "Color" dialog: edits one entry of the active document's palette. The colour shows three
// ways: a point on a 256 x 256 field of red (to the right) against green (downward) at the blue
// chosen on a vertical bar, and three edits. OK writes the colour back through the palette bar.
#pragma once

#include <QColor>
#include <QDialog>
#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <vector>

#include "document/image_buffer.h"

class CColorEditDlg;
class CColorPaletteDlg;
class COrvikDoc;
class QCheckBox;
class QLineEdit;
class QPushButton;

// The value of a colour edit: leading spaces skipped, then decimal digits up to the first other
// character; no digits read 0. Any number from 256 up, however long, reads 255 and sets *clamped.
int ReadColourEdit(const QString& text, bool* clamped = nullptr);

// A square in one colour, over the checkerboard when the colour is less than opaque; empty until a
// colour is set.
class CColorSwatch : public QWidget {
    Q_OBJECT

public:
    explicit CColorSwatch(QWidget* parent = nullptr);
    void SetColor(int red, int green, int blue);
    // The opacity the colour is shown with, 255 until set; kept by SetColor.
    void SetAlpha(int alpha);
    bool HasColor() const { return m_bHasBrush; }
    QColor Color() const { return m_brush; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_brush;
    bool m_bHasBrush = false;
};

// The red-green plane at one blue, 256 x 256 pixels; the pixel shown at (x, y) has red x and
// green y. A press or a drag with the left button moves the marker, clamped to the field.
class CColorField : public QWidget {
    Q_OBJECT

public:
    static constexpr int kSize = 256;

    explicit CColorField(QWidget* parent = nullptr);
    // Fills the picture for blue 0.
    void Init(CColorEditDlg* owner);
    // Gives every pixel the blue `blue & 0xFF`.
    void SetBlue(int blue);
    // Moves the marker to (x, y); the dialog's current swatch shows the colour under it.
    void SetMarker(int x, int y);
    // The picture's colour shown at (x, y), as 0x00RRGGBB.
    uint32_t ColourAt(int x, int y) const;

    int m_nMarkerX = 0;
    int m_nMarkerY = 0;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void TrackPoint(QPoint point);
    // The picture or the marker changed: the current swatch follows, the field repaints.
    void Changed();

    BITMAPINFOHEADER m_header{};
    std::vector<uint8_t> m_picture;  // bottom row first, blue, green, red per pixel
    QImage m_image;                  // the picture as drawn, made again only when it changes
    CColorEditDlg* m_owner = nullptr;
};

// The blue bar, 20 x 256 pixels: black at the top (blue 0) to pure blue at the bottom (blue 255).
class CBlueBar : public QWidget {
    Q_OBJECT

public:
    static constexpr int kWidth = 20;
    static constexpr int kHeight = 256;

    explicit CBlueBar(QWidget* parent = nullptr);
    void Init(CColorEditDlg* owner);
    bool HasBitmap() const { return !m_bitmap.isNull(); }

    int m_nMarkerY = 0;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void TrackPoint(int y);

    QPixmap m_bitmap;  // made by Init; none before
    CColorEditDlg* m_owner = nullptr;
};

class CColorEditDlg : public QDialog {
    Q_OBJECT

public:
    // `paletteBar` receives the new colour on OK.
    explicit CColorEditDlg(CColorPaletteDlg* paletteBar, QWidget* parent = nullptr);

    // Initialises the dialog from entry m_nIndex of the active document and runs it modally.
    int DoModal();
    // Centres the dialog over the main window and sets the markers, the swatches and the edits
    // from the entry.
    void OnInitDialog();

    int m_nIndex = 0;  // the palette entry being edited, 0..255
    CColorField* m_field;
    CBlueBar* m_bar;
    CColorSwatch* m_currentSwatch;
    CColorSwatch* m_oldSwatch;
    QLineEdit* m_redEdit;
    QLineEdit* m_greenEdit;
    QLineEdit* m_blueEdit;
    QPushButton* m_okButton;
    QPushButton* m_cancelButton;
    // "Transparent": an 8-bit image's entry fully transparent (checked) or opaque; partly checked
    // for an opacity in between, kept unless the box is changed. Disabled for other images, whose
    // palette holds only colours to paint with.
    QCheckBox* m_transparentCheck;

public slots:
    // OK: the edits' colour goes into the entry, if the document it was read from is still the
    // active one.
    void accept() override;

private:
    void OnRedGreenChanged();
    void OnBlueChanged();

    CColorPaletteDlg* m_pPaletteBar;
    QPointer<COrvikDoc> m_pDocument;  // the document whose entry was read
    int m_nOldAlpha = 255;            // the entry's opacity when the dialog opened
};
