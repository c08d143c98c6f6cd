// Colors > Decrease Color Depth > "256 Colors (8 Bit)", and Colors > Remap to Palette for 8-bit
// images: how the palette is made and how the pixels are mapped onto it.
//
// The template's controls come first: the palette methods, the dither methods, OK and Cancel. The
// radio buttons are plain ones: the dialog sets and clears every mark itself, so each group always
// shows exactly one. After them come the number of colours, what to reduce to (the palette method,
// the current palette or a palette file) and, given an image, a preview: the chosen reduction of a
// part of the picture with its PSNR against the original, and beside it the original and the
// other palettes with the same count and dither. OK takes the reduction the preview shows.
#pragma once

#include <QDialog>

#include <map>
#include <memory>
#include <optional>
#include <tuple>
#include <vector>

#include "dialogs/reduction_worker.h"

class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTimer;
class CPreviewPlace;
class CPreviewView;

// The image a dialog previews and the palettes it offers beside the methods.
struct ReductionSource {
    ReductionImage image;
    const RGBQUAD* currentPalette = nullptr;  // a 24-bit image's palette; null: none is offered
    bool remap = false;                       // Remap to Palette (an 8-bit image)
};

class CDecreaseDepthDlg : public QDialog {
    Q_OBJECT

public:
    // What the result is reduced to, as the palette source list holds it.
    enum Source { kPaletteMethod = 0, kCurrentPalette = 1, kPaletteFile = 2 };

    // Without a source the dialog only collects the choice.
    explicit CDecreaseDepthDlg(QWidget* parent = nullptr, const ReductionSource* source = nullptr);
    ~CDecreaseDepthDlg() override;

    // Set by the caller before the dialog runs; OK stores the codes there.
    int* m_pPaletteMethod = nullptr;  // 0 standard palette, 1 median cut, 2 octree
    int* m_pDitherMethod = nullptr;   // 0 nearest colour, 1 ordered dither, 2 error diffusion

    QRadioButton* m_medianCut;
    QRadioButton* m_octree;
    QRadioButton* m_standardPalette;
    QRadioButton* m_nearestColor;
    QRadioButton* m_orderedDither;
    QRadioButton* m_errorDiffusion;
    QSpinBox* m_colourCount;
    QComboBox* m_paletteSource;
    QPushButton* m_loadPalette;
    QLabel* m_paletteFileName;
    QComboBox* m_zoom = nullptr;
    QLabel* m_psnr = nullptr;
    CPreviewView* m_preview = nullptr;
    std::vector<CPreviewView*> m_tiles;  // the original, then each palette

    // The reduction the controls describe.
    ReductionChoice Choice() const;
    // Whether the choice is one of the template's alone (a palette method, 256 colours).
    bool IsPlainChoice() const;
    // After OK: the reduction the preview made for the choice, which the caller takes; empty when
    // there is no preview or the library could not make it (the caller then reduces and reports).
    CReducedImage TakeResult();

    // Loads a palette file and makes it the palette to reduce to; false, after a message, when it
    // cannot be read (the previous choice stays).
    bool LoadPaletteFile(const QString& path);
    // True while a preview or PSNR is still being made.
    bool Busy() const;

public slots:
    void accept() override;
    void reject() override;
    // Either way the dialog ends, the reductions stop first: what the dialog's caller does next
    // may change the image they read.
    void done(int result) override;

private:
    // A palette button was clicked: it alone is marked; a marked "Ordered dither" gives way to
    // "Nearest Color", and "Ordered dither" is enabled only with the standard palette.
    void OnPaletteClicked(QRadioButton* chosen);
    // A dither button was clicked: it alone is marked.
    void OnDitherClicked(QRadioButton* chosen);
    void OnSourceChanged();
    void OnLoadPalette();

    // A choice as the cache knows it: palette method, dither, colours, source.
    using Key = std::tuple<int, int, int, int>;
    Key KeyOf(const ReductionChoice& choice, int source) const;
    ReductionChoice ChoiceFor(int paletteMethod, int source) const;
    // The choices the tiles show, each with its key and source.
    struct Tile {
        ReductionChoice choice;
        int source;
        QString name;
    };
    std::vector<Tile> Tiles() const;
    // Brings the controls' enabled states, the views and the worker's tasks up to date.
    void Refresh();
    void OnOutcomes();
    void ShowViews();

    struct Entry {
        std::optional<CReducedImage> whole;
        std::optional<double> psnr;
        std::optional<CReducedImage> part;
        QRect partRows;  // the rows `part` holds, counted from the top (full width)
        QString failure;
    };

    std::optional<ReductionSource> m_source;
    std::vector<RGBQUAD> m_filePalette;
    QString m_fileName;
    int m_lastSource = kPaletteMethod;
    CPreviewPlace* m_place = nullptr;
    std::unique_ptr<CReductionWorker> m_worker;
    std::map<Key, Entry> m_cache;
    bool m_acceptWaiting = false;
    QTimer* m_waitTimer = nullptr;  // shows how far the reduction OK waits for has come
    CReducedImage m_result;
};
