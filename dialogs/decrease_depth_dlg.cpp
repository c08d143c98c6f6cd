#include "dialogs/decrease_depth_dlg.h"

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

#include "app/messages.h"
#include "dialogs/dialog_buttons.h"
#include "dialogs/reduction_preview.h"
#include "document/palette_file.h"
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

// Images larger than this are previewed part first: the rows in view come before the whole.
constexpr int64_t kPartFirstPixels = int64_t{1} << 21;
// Whole reductions kept for the views besides the chosen one, in bytes of rows.
constexpr int64_t kKeptWholeBytes = int64_t{256} << 20;

QString PsnrText(double psnr) {
    return std::isinf(psnr) ? CDecreaseDepthDlg::tr("exact")
                            : CDecreaseDepthDlg::tr("%1 dB").arg(psnr, 0, 'f', 2);
}

}  // namespace

CDecreaseDepthDlg::CDecreaseDepthDlg(QWidget* parent, const ReductionSource* source) : QDialog(parent) {
    const bool remap = source && source->remap;
    setWindowTitle(remap ? tr("Remap to Palette") : tr("Decrease Color Depth"));
    setObjectName(QString::number(remap ? IDD_REMAP_PALETTE : IDD_DECREASE_DEPTH));
    if (source) m_source = *source;

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
    auto* described = new QVBoxLayout;
    described->addLayout(groups);
    described->addLayout(buttons.row);
    described->addStretch();

    // The controls after the template's.
    m_colourCount = new QSpinBox(this);
    m_colourCount->setObjectName(QString::number(IDC_COLOUR_COUNT));
    m_colourCount->setRange(kMinColours, kMaxColours);
    m_colourCount->setValue(kMaxColours);
    m_paletteSource = new QComboBox(this);
    m_paletteSource->setObjectName(QString::number(IDC_PALETTE_SOURCE));
    m_paletteSource->addItems({tr("Palette Method"), tr("Current Palette"), tr("Palette File")});
    m_loadPalette = new QPushButton(tr("Load Palette File..."), this);
    m_loadPalette->setObjectName(QString::number(IDC_LOAD_PALETTE));
    m_loadPalette->setAutoDefault(false);
    m_paletteFileName = new QLabel(this);
    m_paletteFileName->setObjectName(QString::number(IDC_PALETTE_FILE_NAME));
    m_paletteFileName->setWordWrap(true);
    auto* options = new QFormLayout;
    options->addRow(tr("Colors:"), m_colourCount);
    options->addRow(tr("Reduce to:"), m_paletteSource);
    options->addRow(QString(), m_loadPalette);
    options->addRow(QString(), m_paletteFileName);
    auto* top = new QHBoxLayout;
    top->addLayout(described);
    top->addSpacing(12);
    top->addLayout(options, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    setTabOrder(buttons.ok, buttons.cancel);
    setTabOrder(buttons.cancel, m_colourCount);
    setTabOrder(m_colourCount, m_paletteSource);
    setTabOrder(m_paletteSource, m_loadPalette);

    if (m_source) {
        const ReductionImage& image = m_source->image;
        m_worker = std::make_unique<CReductionWorker>(image);
        connect(m_worker.get(), &CReductionWorker::OutcomesReady, this, &CDecreaseDepthDlg::OnOutcomes,
                Qt::QueuedConnection);
        const int width = image.header->biWidth, height = image.header->biHeight;
        m_place = new CPreviewPlace(width, height, this);
        m_place->SetCentre(QPoint(width / 2, height / 2));
        m_preview = new CPreviewView(m_place, image, this);
        m_preview->setObjectName(QString::number(IDC_PREVIEW));
        m_preview->setMinimumSize(240, 160);
        m_preview->SetPreferredSize(QSize(440, 300));
        m_zoom = new QComboBox(this);
        m_zoom->setObjectName(QString::number(IDC_PREVIEW_ZOOM));
        for (const int zoom : {0, 1, 2, 4, 8})
            m_zoom->addItem(zoom == 0 ? tr("Whole Image") : QStringLiteral("%1:1").arg(zoom), zoom);
        // As large as the picture fits the view, but never shrunk unless asked.
        int zoom = 8;
        while (zoom > 1 && (width * zoom > 440 || height * zoom > 300))
            zoom /= 2;
        m_place->SetZoom(zoom);
        m_zoom->setCurrentIndex(m_zoom->findData(zoom));
        m_psnr = new QLabel(this);
        m_psnr->setObjectName(QString::number(IDC_PREVIEW_PSNR));
        m_psnr->setMinimumWidth(160);
        m_psnr->setWordWrap(true);
        auto* side = new QFormLayout;
        side->addRow(tr("Zoom:"), m_zoom);
        side->addRow(m_psnr);
        auto* previewRow = new QHBoxLayout;
        previewRow->addWidget(m_preview, 1);
        previewRow->addLayout(side);
        auto* tiles = new QHBoxLayout;
        tiles->setSpacing(4);
        for (size_t i = 0; i < 6; ++i) {
            auto* tile = new CPreviewView(m_place, image, this);
            tile->setObjectName(QString::number(IDC_PREVIEW_TILES + 100 * int(i)));
            tile->setMinimumSize(72, 60);
            tile->SetPreferredSize(QSize(120, 96));
            tiles->addWidget(tile);
            m_tiles.push_back(tile);
            connect(tile, &CPreviewView::Clicked, this, [this, i] {
                const std::vector<Tile> all = Tiles();
                if (i == 0 || i > all.size()) return;
                const Tile& tile = all[i - 1];
                m_paletteSource->setCurrentIndex(tile.source);
                if (tile.source == kPaletteMethod) {
                    QRadioButton* button = tile.choice.paletteMethod == kQuantzMedianCut ? m_medianCut
                                           : tile.choice.paletteMethod == kQuantzOctree  ? m_octree
                                                                                         : m_standardPalette;
                    OnPaletteClicked(button);
                }
            });
        }
        layout->addLayout(previewRow, 1);
        layout->addLayout(tiles);
        setTabOrder(m_loadPalette, m_zoom);
        connect(m_zoom, &QComboBox::currentIndexChanged, this,
                [this] { m_place->SetZoom(m_zoom->currentData().toInt()); });
        connect(m_place, &CPreviewPlace::Changed, this, [this] {
            m_zoom->setCurrentIndex(m_zoom->findData(m_place->Zoom()));
            Refresh();
        });
        connect(m_preview, &CPreviewView::Resized, this, [this] { Refresh(); });
        m_waitTimer = new QTimer(this);
        m_waitTimer->setInterval(200);
        connect(m_waitTimer, &QTimer::timeout, this,
                [this] { m_psnr->setText(tr("Reducing... %1%").arg(m_worker->RunningPercent())); });
    }

    m_octree->setChecked(true);
    m_nearestColor->setChecked(true);
    m_orderedDither->setEnabled(false);
    if (!m_source || m_source->remap || !m_source->currentPalette)
        qobject_cast<QStandardItemModel*>(m_paletteSource->model())->item(kCurrentPalette)->setEnabled(false);
    connect(m_colourCount, &QSpinBox::valueChanged, this, [this] { Refresh(); });
    connect(m_paletteSource, &QComboBox::currentIndexChanged, this, [this] { OnSourceChanged(); });
    connect(m_loadPalette, &QPushButton::clicked, this, [this] { OnLoadPalette(); });
    Refresh();
}

CDecreaseDepthDlg::~CDecreaseDepthDlg() {
    m_worker.reset();  // stops and joins its thread before anything it reports to goes
}

void CDecreaseDepthDlg::OnPaletteClicked(QRadioButton* chosen) {
    for (QRadioButton* button : {m_medianCut, m_octree, m_standardPalette})
        button->setChecked(button == chosen);
    if (m_orderedDither->isChecked()) {
        m_orderedDither->setChecked(false);
        m_nearestColor->setChecked(true);
    }
    m_orderedDither->setEnabled(chosen == m_standardPalette);
    Refresh();
}

void CDecreaseDepthDlg::OnDitherClicked(QRadioButton* chosen) {
    for (QRadioButton* button : {m_nearestColor, m_orderedDither, m_errorDiffusion})
        button->setChecked(button == chosen);
    Refresh();
}

void CDecreaseDepthDlg::OnSourceChanged() {
    const int source = m_paletteSource->currentIndex();
    if (source == m_lastSource) return;
    if (source == kPaletteFile && m_filePalette.empty()) {
        OnLoadPalette();
        if (m_filePalette.empty()) {
            m_paletteSource->setCurrentIndex(m_lastSource);
            return;
        }
    }
    m_lastSource = source;
    // Back to the methods: a marked "Ordered dither" stays only with the standard palette.
    if (source == kPaletteMethod && m_orderedDither->isChecked() && !m_standardPalette->isChecked()) {
        m_orderedDither->setChecked(false);
        m_nearestColor->setChecked(true);
    }
    Refresh();
}

void CDecreaseDepthDlg::OnLoadPalette() {
    const QString path =
        QFileDialog::getOpenFileName(this, tr("Load Palette File"), QFileInfo(m_fileName).path(),
                                     tr("Palette files (*.gpl *.pal *.act *.hex);;All files (*)"));
    if (!path.isEmpty()) LoadPaletteFile(path);
}

bool CDecreaseDepthDlg::LoadPaletteFile(const QString& path) {
    const PaletteReadResult file = ReadPaletteFile(QFile::encodeName(path).toStdString());
    if (file.error != PaletteError::None) {
        OrvikMessage(tr("Cannot load %1.\n\n%2").arg(QFileInfo(path).fileName(), StatusText(file)));
        return false;
    }
    m_filePalette = file.palette.colours;
    m_fileName = path;
    const int count = static_cast<int>(m_filePalette.size());
    QString text = tr("%1: %n colours", nullptr, count).arg(QFileInfo(path).fileName());
    if (file.palette.Truncated())
        text += QLatin1Char(' ') + tr("(the first 256 of %1)").arg(qulonglong(file.palette.fileColours));
    m_paletteFileName->setText(text);
    // Reductions to an earlier file are no longer what the source means.
    for (auto it = m_cache.begin(); it != m_cache.end();)
        it = std::get<3>(it->first) == kPaletteFile ? m_cache.erase(it) : std::next(it);
    if (m_paletteSource->currentIndex() == kPaletteFile)
        Refresh();
    else
        m_paletteSource->setCurrentIndex(kPaletteFile);
    return true;
}

ReductionChoice CDecreaseDepthDlg::ChoiceFor(int paletteMethod, int source) const {
    ReductionChoice choice;
    choice.ditherMethod = m_orderedDither->isChecked()    ? kQuantzOrderedDither
                          : m_errorDiffusion->isChecked() ? kQuantzErrorDiffusion
                                                          : kQuantzNearestColour;
    if (source == kCurrentPalette && m_source && m_source->currentPalette) {
        choice.paletteMethod = kQuantzGivenPalette;
        choice.palette.assign(m_source->currentPalette, m_source->currentPalette + kPaletteEntries);
        return choice;
    }
    if (source == kPaletteFile && !m_filePalette.empty()) {
        choice.paletteMethod = kQuantzGivenPalette;
        choice.palette = m_filePalette;
        return choice;
    }
    choice.paletteMethod = paletteMethod;
    if (paletteMethod != kQuantzStandardPalette) {
        choice.colours = m_colourCount->value();
        // The template's rule: ordered dither only with the standard palette.
        if (choice.ditherMethod == kQuantzOrderedDither) choice.ditherMethod = kQuantzNearestColour;
    }
    return choice;
}

ReductionChoice CDecreaseDepthDlg::Choice() const {
    const int method = m_medianCut->isChecked() ? kQuantzMedianCut
                       : m_octree->isChecked()  ? kQuantzOctree
                                                : kQuantzStandardPalette;
    return ChoiceFor(method, m_paletteSource->currentIndex());
}

bool CDecreaseDepthDlg::IsPlainChoice() const {
    const ReductionChoice choice = Choice();
    return choice.paletteMethod != kQuantzGivenPalette && choice.colours == kPaletteEntries;
}

CDecreaseDepthDlg::Key CDecreaseDepthDlg::KeyOf(const ReductionChoice& choice, int source) const {
    return {choice.paletteMethod, choice.ditherMethod, choice.colours, source};
}

std::vector<CDecreaseDepthDlg::Tile> CDecreaseDepthDlg::Tiles() const {
    std::vector<Tile> tiles;
    tiles.push_back({ChoiceFor(kQuantzMedianCut, kPaletteMethod), kPaletteMethod, tr("Median Cut")});
    tiles.push_back({ChoiceFor(kQuantzOctree, kPaletteMethod), kPaletteMethod, tr("Octree")});
    tiles.push_back(
        {ChoiceFor(kQuantzStandardPalette, kPaletteMethod), kPaletteMethod, tr("Standard Palette")});
    if (m_source && m_source->currentPalette && !m_source->remap)
        tiles.push_back({ChoiceFor(-1, kCurrentPalette), kCurrentPalette, tr("Current Palette")});
    if (!m_filePalette.empty())
        tiles.push_back({ChoiceFor(-1, kPaletteFile), kPaletteFile, QFileInfo(m_fileName).fileName()});
    return tiles;
}

bool CDecreaseDepthDlg::Busy() const {
    if (!m_worker || !m_worker->Unavailable().isEmpty()) return false;
    const int source = m_paletteSource->currentIndex();
    const auto it = m_cache.find(KeyOf(Choice(), source));
    if (it == m_cache.end() || (!it->second.psnr && it->second.failure.isEmpty())) return true;
    for (const Tile& tile : Tiles()) {
        const auto t = m_cache.find(KeyOf(tile.choice, tile.source));
        if (t == m_cache.end() || (!t->second.psnr && t->second.failure.isEmpty())) return true;
    }
    return false;
}

void CDecreaseDepthDlg::Refresh() {
    const int source = m_paletteSource->currentIndex();
    const bool methods = source == kPaletteMethod;
    for (QRadioButton* button : {m_medianCut, m_octree, m_standardPalette})
        button->setEnabled(methods && !m_acceptWaiting);
    m_orderedDither->setEnabled(!m_acceptWaiting && (!methods || m_standardPalette->isChecked()));
    m_nearestColor->setEnabled(!m_acceptWaiting);
    m_errorDiffusion->setEnabled(!m_acceptWaiting);
    m_colourCount->setEnabled(!m_acceptWaiting && methods && !m_standardPalette->isChecked());
    m_paletteSource->setEnabled(!m_acceptWaiting);
    m_loadPalette->setEnabled(!m_acceptWaiting);
    if (!m_worker) return;
    if (m_zoom) m_zoom->setEnabled(!m_acceptWaiting);
    if (!m_worker->Unavailable().isEmpty()) {
        m_preview->Show(nullptr, tr("No preview: %1").arg(m_worker->Unavailable()));
        return;
    }

    // What the views need, the chosen reduction first; OK waiting needs that one alone.
    const ReductionImage& image = m_source->image;
    const bool partFirst =
        int64_t{image.header->biWidth} * image.header->biHeight > kPartFirstPixels && m_place->Zoom() > 0;
    const QRect rows = m_preview->Visible();
    const ReductionChoice chosen = Choice();
    std::vector<ReductionTask> tasks;
    const auto want = [&](const ReductionChoice& choice, int choiceSource, bool whole) {
        const Entry* entry = nullptr;
        if (const auto it = m_cache.find(KeyOf(choice, choiceSource)); it != m_cache.end())
            entry = &it->second;
        if (entry && !entry->failure.isEmpty()) return;
        if (whole) {
            if (!entry || !entry->psnr) tasks.push_back({choice, 0, 0, choiceSource});
            return;
        }
        const bool shown = entry && (entry->whole || (entry->part && entry->partRows.top() <= rows.top() &&
                                                      entry->partRows.bottom() >= rows.bottom()));
        if (partFirst && !shown) tasks.push_back({choice, rows.top(), rows.height(), choiceSource});
    };
    want(chosen, source, false);
    want(chosen, source, true);
    if (!m_acceptWaiting) {
        const std::vector<Tile> tiles = Tiles();
        for (const Tile& tile : tiles)
            want(tile.choice, tile.source, false);
        for (const Tile& tile : tiles)
            want(tile.choice, tile.source, true);
    }
    m_worker->Want(std::move(tasks));
    ShowViews();
}

void CDecreaseDepthDlg::OnOutcomes() {
    if (!m_worker) return;  // the dialog has ended
    for (ReductionOutcome& outcome : m_worker->TakeOutcomes()) {
        const ReductionChoice& choice = outcome.task.choice;
        const int source = outcome.task.label;
        // A reduction to a palette file loaded before the present one is of no use.
        if (choice.paletteMethod == kQuantzGivenPalette && !(ChoiceFor(-1, source) == choice)) continue;
        Entry& entry = m_cache[KeyOf(choice, source)];
        if (outcome.result != ReductionResult::Ok) {
            entry.failure = outcome.result == ReductionResult::NoMemory
                                ? StatusText(ImageStatus::NoMemory)
                                : tr("%1 could not reduce the image.").arg(QLatin1String(kColourLibrary));
            continue;
        }
        if (outcome.task.Whole()) {
            entry.psnr = outcome.psnr;
            entry.whole = std::move(outcome.image);
            entry.part.reset();
        } else if (!entry.whole) {
            entry.part = std::move(outcome.image);
            entry.partRows = QRect(0, outcome.task.firstRow, 1, outcome.task.rowCount);
        }
    }
    // Whole results of other choices are kept while they fit the budget; their PSNR stays.
    const Key chosen = KeyOf(Choice(), m_paletteSource->currentIndex());
    const ReductionImage& image = m_source->image;
    const int64_t bytes = RowStride(image.header->biWidth, 8) * image.header->biHeight;
    int64_t kept = 0;
    for (auto& [key, entry] : m_cache) {
        if (key == chosen || !entry.whole) continue;
        if ((kept += bytes) > kKeptWholeBytes) entry.whole.reset();
    }

    if (m_acceptWaiting) {
        const auto it = m_cache.find(chosen);
        if (it != m_cache.end() && (it->second.whole || !it->second.failure.isEmpty())) {
            if (it->second.whole) m_result = std::move(*it->second.whole);
            m_acceptWaiting = false;
            m_waitTimer->stop();
            QDialog::accept();
            return;
        }
    }
    Refresh();
}

void CDecreaseDepthDlg::ShowViews() {
    const QRect rows = m_preview->Visible();
    // The picture an entry can show for the rows in view, or null.
    const auto picture = [&](const Entry& entry) -> const CReducedImage* {
        if (entry.whole) return &*entry.whole;
        if (entry.part && (m_place->Zoom() > 0 && entry.partRows.top() <= rows.top() &&
                           entry.partRows.bottom() >= rows.bottom()))
            return &*entry.part;
        return nullptr;
    };
    const int source = m_paletteSource->currentIndex();
    const Key chosenKey = KeyOf(Choice(), source);
    const auto chosen = m_cache.find(chosenKey);
    if (chosen != m_cache.end() && !chosen->second.failure.isEmpty()) {
        m_preview->Show(nullptr, tr("No preview: %1").arg(chosen->second.failure));
        m_psnr->setText(QString());
    } else {
        const CReducedImage* shown = chosen == m_cache.end() ? nullptr : picture(chosen->second);
        m_preview->Show(shown, shown ? QString() : tr("Reducing..."));
        const bool ready = chosen != m_cache.end() && chosen->second.psnr;
        m_psnr->setText(m_acceptWaiting ? tr("Reducing...")
                        : ready         ? tr("PSNR: %1").arg(PsnrText(*chosen->second.psnr))
                                        : tr("PSNR: measuring..."));
    }

    m_tiles[0]->Show(nullptr);
    m_tiles[0]->SetCaption(tr("Original"));
    const std::vector<Tile> tiles = Tiles();
    for (size_t i = 1; i < m_tiles.size(); ++i) {
        CPreviewView* view = m_tiles[i];
        view->setVisible(i <= tiles.size());
        if (i > tiles.size()) continue;
        const Tile& tile = tiles[i - 1];
        const Key key = KeyOf(tile.choice, tile.source);
        const auto it = m_cache.find(key);
        QString caption = tile.name;
        if (it != m_cache.end() && it->second.psnr) caption += QLatin1Char('\n') + PsnrText(*it->second.psnr);
        view->SetCaption(caption);
        view->SetChosen(key == chosenKey);
        const CReducedImage* shown = it == m_cache.end() ? nullptr : picture(it->second);
        view->Show(shown, shown                                                  ? QString()
                          : it != m_cache.end() && !it->second.failure.isEmpty() ? it->second.failure
                                                                                 : tr("..."));
    }
}

void CDecreaseDepthDlg::done(int result) {
    if (m_waitTimer) m_waitTimer->stop();
    m_worker.reset();
    QDialog::done(result);
}

CReducedImage CDecreaseDepthDlg::TakeResult() {
    return std::move(m_result);
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
    if (!m_worker || !m_worker->Unavailable().isEmpty()) {
        QDialog::accept();
        return;
    }
    // OK takes the whole reduction of the choice, waiting for it when it is still being made.
    m_acceptWaiting = true;
    m_waitTimer->start();
    OnOutcomes();
}

void CDecreaseDepthDlg::reject() {
    m_acceptWaiting = false;
    if (m_waitTimer) m_waitTimer->stop();
    QDialog::reject();
}
