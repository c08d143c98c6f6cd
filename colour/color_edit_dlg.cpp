#include "colour/color_edit_dlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <algorithm>

#include "app/main_frame.h"
#include "app/orvik_app.h"
#include "colour/color_palette_dlg.h"
#include "document/orvik_doc.h"
#include "document/qimage_convert.h"
#include "res/resource.h"

namespace {

constexpr int kFieldStride = CColorField::kSize * 3;
constexpr int kMarkerRadius = 5;

void SetEditValue(QLineEdit* edit, int value) {
    edit->setText(QString::number(value));
}

}  // namespace

int ReadColourEdit(const QString& text, bool* clamped) {
    if (clamped) *clamped = false;
    int i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    int value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = std::min(value * 10 + (text[i].unicode() - '0'), 256);  // 256 stands for "too large"
    }
    if (value < 256) return value;
    if (clamped) *clamped = true;
    return 255;
}

// --- Swatch ----------------------------------------------------------------------------------------

CColorSwatch::CColorSwatch(QWidget* parent) : QWidget(parent) {
    setFixedSize(40, 40);
}

void CColorSwatch::SetColor(int red, int green, int blue) {
    m_brush = QColor(red & 0xFF, green & 0xFF, blue & 0xFF, m_brush.alpha());
    m_bHasBrush = true;
    update();
}

void CColorSwatch::SetAlpha(int alpha) {
    m_brush.setAlpha(std::clamp(alpha, 0, 255));
    update();
}

void CColorSwatch::paintEvent(QPaintEvent*) {
    if (!m_bHasBrush) return;
    QPainter painter(this);
    FillEntryColour(painter, rect(), m_brush, 5);
}

// --- Field -----------------------------------------------------------------------------------------

CColorField::CColorField(QWidget* parent) : QWidget(parent) {
    setObjectName(QString::number(IDC_COLOR_FIELD));
    setFixedSize(kSize, kSize);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CColorField::Init(CColorEditDlg* owner) {
    m_owner = owner;
    m_header = {};
    m_header.biSize = sizeof(BITMAPINFOHEADER);
    m_header.biWidth = kSize;
    m_header.biHeight = kSize;
    m_header.biPlanes = 1;
    m_header.biBitCount = 24;
    m_header.biXPelsPerMeter = kFieldStride;
    m_picture.assign(static_cast<size_t>(kFieldStride) * kSize, 0);
    // Stored row r (the bottom one first) holds green 255 - r, so green grows downward on screen.
    for (int r = 0; r < kSize; ++r) {
        uint8_t* row = m_picture.data() + static_cast<ptrdiff_t>(r) * kFieldStride;
        for (int c = 0; c < kSize; ++c) {
            row[3 * c + 1] = static_cast<uint8_t>(255 - r);
            row[3 * c + 2] = static_cast<uint8_t>(c);
        }
    }
    SetBlue(0);
}

void CColorField::SetBlue(int blue) {
    const auto value = static_cast<uint8_t>(blue & 0xFF);
    for (size_t i = 0; i < m_picture.size(); i += 3)
        m_picture[i] = value;
    m_image = ImageToQImage(m_header, nullptr, m_picture.data());
    Changed();
}

void CColorField::SetMarker(int x, int y) {
    m_nMarkerX = x;
    m_nMarkerY = y;
    Changed();
}

void CColorField::Changed() {
    if (m_owner && !m_picture.empty()) {
        const uint32_t colour = ColourAt(m_nMarkerX, m_nMarkerY);
        m_owner->m_currentSwatch->SetColor(int(colour >> 16), int(colour >> 8 & 0xFF), int(colour & 0xFF));
    }
    update();
}

uint32_t CColorField::ColourAt(int x, int y) const {
    if (m_picture.empty() || x < 0 || y < 0 || x >= kSize || y >= kSize) return 0;
    const uint8_t* pixel = m_picture.data() + static_cast<ptrdiff_t>(kSize - 1 - y) * kFieldStride + 3 * x;
    return uint32_t(pixel[2]) << 16 | uint32_t(pixel[1]) << 8 | pixel[0];
}

void CColorField::paintEvent(QPaintEvent*) {
    if (m_image.isNull()) return;
    QPainter painter(this);
    painter.drawImage(0, 0, m_image);
    const uint32_t colour = ColourAt(m_nMarkerX, m_nMarkerY);
    const int red = int(colour >> 16);
    const int green = int(colour >> 8 & 0xFF);
    const int blue = int(colour & 0xFF);
    painter.setPen(QPen(QColor(255 - red, 255 - green, 255 - blue), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QPoint(m_nMarkerX, m_nMarkerY), kMarkerRadius, kMarkerRadius);
}

void CColorField::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) TrackPoint(event->position().toPoint());
}

void CColorField::mouseMoveEvent(QMouseEvent* event) {
    // The press grabbed the mouse, so a drag outside the field still arrives here.
    if (event->buttons() & Qt::LeftButton) TrackPoint(event->position().toPoint());
}

void CColorField::TrackPoint(QPoint point) {
    if (m_picture.empty() || !m_owner) return;
    SetMarker(std::clamp(point.x(), 0, kSize - 1), std::clamp(point.y(), 0, kSize - 1));
    const uint8_t* pixel =
        m_picture.data() + static_cast<ptrdiff_t>(m_nMarkerY) * kFieldStride + 3 * m_nMarkerX;
    // Stored row y holds red x and green 255 - y: the edits get the marker's own coordinates.
    SetEditValue(m_owner->m_redEdit, pixel[2]);
    SetEditValue(m_owner->m_greenEdit, 255 - pixel[1]);
}

// --- Blue bar --------------------------------------------------------------------------------------

CBlueBar::CBlueBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QString::number(IDC_BLUE_BAR));
    setFixedSize(kWidth, kHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CBlueBar::Init(CColorEditDlg* owner) {
    m_owner = owner;
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = kWidth;
    header.biHeight = kHeight;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biXPelsPerMeter = kWidth * 3;
    std::vector<uint8_t> bits(static_cast<size_t>(kWidth) * 3 * kHeight, 0);
    // Stored row r has blue 255 - r: blue y on screen row y.
    for (int r = 0; r < kHeight; ++r)
        for (int c = 0; c < kWidth; ++c)
            bits[static_cast<size_t>(r) * kWidth * 3 + 3 * c] = uint8_t(255 - r);
    m_bitmap = QPixmap::fromImage(ImageToQImage(header, nullptr, bits.data()));
    update();
}

void CBlueBar::paintEvent(QPaintEvent*) {
    if (m_bitmap.isNull()) return;
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_bitmap);
    painter.setPen(Qt::white);
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QPoint(kWidth / 2, m_nMarkerY), kMarkerRadius, kMarkerRadius);
}

void CBlueBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) TrackPoint(event->position().toPoint().y());
}

void CBlueBar::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton) TrackPoint(event->position().toPoint().y());
}

void CBlueBar::TrackPoint(int y) {
    if (!m_owner) return;
    m_nMarkerY = std::clamp(y, 0, kHeight - 1);
    m_owner->m_field->SetBlue(m_nMarkerY);
    update();
    SetEditValue(m_owner->m_blueEdit, m_nMarkerY);
}

// --- The dialog ------------------------------------------------------------------------------------

namespace {

QLineEdit* ColourEdit(int id, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::number(id));
    // Digits only; a number above 255 can be typed and becomes 255.
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    edit->setFixedWidth(std::max(46, edit->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 14));
    return edit;
}

QLabel* RightLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

}  // namespace

CColorEditDlg::CColorEditDlg(CColorPaletteDlg* paletteBar, QWidget* parent)
    : QDialog(parent), m_pPaletteBar(paletteBar) {
    setObjectName(QString::number(IDD_COLOR_EDIT));
    setWindowTitle(tr("Color"));

    m_okButton = new QPushButton(tr("OK"), this);
    m_cancelButton = new QPushButton(tr("Cancel"), this);
    m_okButton->setObjectName(QString::number(IDOK));
    m_cancelButton->setObjectName(QString::number(IDCANCEL));
    m_okButton->setDefault(true);
    m_okButton->setAutoDefault(true);
    m_cancelButton->setAutoDefault(false);
    connect(m_okButton, &QPushButton::clicked, this, &CColorEditDlg::accept);
    connect(m_cancelButton, &QPushButton::clicked, this, &CColorEditDlg::reject);

    m_field = new CColorField(this);
    m_bar = new CBlueBar(this);

    auto* current = new QGroupBox(tr("Current Color"), this);
    m_redEdit = ColourEdit(IDC_RED, current);
    m_greenEdit = ColourEdit(IDC_GREEN, current);
    m_blueEdit = ColourEdit(IDC_BLUE, current);
    m_currentSwatch = new CColorSwatch(current);
    m_currentSwatch->setObjectName(QString::number(IDC_CURRENT_COLOR));
    auto* grid = new QGridLayout(current);
    grid->setVerticalSpacing(2);
    grid->addWidget(RightLabel(tr("Red :"), current), 0, 0);
    grid->addWidget(RightLabel(tr("Green :"), current), 1, 0);
    grid->addWidget(RightLabel(tr("Blue :"), current), 2, 0);
    grid->addWidget(m_redEdit, 0, 1);
    grid->addWidget(m_greenEdit, 1, 1);
    grid->addWidget(m_blueEdit, 2, 1);
    grid->addWidget(m_currentSwatch, 0, 2, 3, 1, Qt::AlignCenter);
    grid->setColumnMinimumWidth(2, 52);

    m_oldSwatch = new CColorSwatch(this);
    m_oldSwatch->setObjectName(QString::number(IDC_OLD_COLOR));
    m_oldSwatch->setFocusPolicy(Qt::TabFocus);
    m_transparentCheck = new QCheckBox(tr("Transparent"), this);
    m_transparentCheck->setObjectName(QString::number(IDC_TRANSPARENT_ENTRY));
    auto* old = new QVBoxLayout;
    old->addSpacing(8);
    old->addWidget(new QLabel(tr("Old Color"), this), 0, Qt::AlignHCenter);
    old->addWidget(m_oldSwatch, 0, Qt::AlignHCenter);
    old->addStretch();
    old->addWidget(m_transparentCheck, 0, Qt::AlignHCenter);

    auto* pictures = new QHBoxLayout;
    pictures->setSpacing(16);
    pictures->addWidget(m_field, 0, Qt::AlignTop);
    pictures->addWidget(m_bar, 0, Qt::AlignTop);
    pictures->addStretch();

    auto* values = new QHBoxLayout;
    values->addWidget(current);
    values->addSpacing(8);
    values->addLayout(old);
    values->addStretch();

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_okButton);
    buttons->addSpacing(12);
    buttons->addWidget(m_cancelButton);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(34, 14, 24, 12);
    layout->setSpacing(8);
    layout->addLayout(pictures);
    layout->addLayout(values);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Tab order of the template: the buttons, the three edits, the old swatch.
    setTabOrder(m_okButton, m_cancelButton);
    setTabOrder(m_cancelButton, m_redEdit);
    setTabOrder(m_redEdit, m_greenEdit);
    setTabOrder(m_greenEdit, m_blueEdit);
    setTabOrder(m_blueEdit, m_oldSwatch);
    setTabOrder(m_oldSwatch, m_transparentCheck);
    // A partly transparent entry becomes fully transparent or opaque once the box is clicked.
    connect(m_transparentCheck, &QCheckBox::clicked, this, [this] {
        m_transparentCheck->setTristate(false);
        m_currentSwatch->SetAlpha(m_transparentCheck->isChecked() ? 0 : 255);
    });

    connect(m_redEdit, &QLineEdit::textChanged, this, &CColorEditDlg::OnRedGreenChanged);
    connect(m_greenEdit, &QLineEdit::textChanged, this, &CColorEditDlg::OnRedGreenChanged);
    connect(m_blueEdit, &QLineEdit::textChanged, this, &CColorEditDlg::OnBlueChanged);
}

int CColorEditDlg::DoModal() {
    OnInitDialog();
    return exec();
}

void CColorEditDlg::OnInitDialog() {
    ensurePolished();
    adjustSize();
    if (theApp && theApp->m_mainFrame) {
        QRect placed(QPoint(0, 0), size());
        placed.moveCenter(theApp->m_mainFrame->frameGeometry().center());
        move(placed.topLeft());
    }
    m_field->Init(this);
    m_bar->Init(this);

    int red = 0, green = 0, blue = 0;
    COrvikDoc* doc = g_activeDoc;
    m_pDocument = nullptr;
    m_nOldAlpha = 255;
    bool eightBit = false;
    if (doc && doc->HasImage() && m_nIndex >= 0 && m_nIndex <= 255) {
        m_pDocument = doc;
        const RGBQUAD& entry = doc->m_pPalette[m_nIndex];
        red = entry.rgbRed;
        green = entry.rgbGreen;
        blue = entry.rgbBlue;
        eightBit = doc->BitCount() == 8;
        if (eightBit) m_nOldAlpha = EntryAlpha(doc->m_pEntryAlpha, m_nIndex);
    }
    m_transparentCheck->setEnabled(eightBit);
    m_transparentCheck->setTristate(m_nOldAlpha != 0 && m_nOldAlpha != 255);
    m_transparentCheck->setCheckState(m_nOldAlpha == 0     ? Qt::Checked
                                      : m_nOldAlpha == 255 ? Qt::Unchecked
                                                           : Qt::PartiallyChecked);
    for (CColorSwatch* swatch : {m_oldSwatch, m_currentSwatch}) {
        swatch->SetAlpha(m_nOldAlpha);
        swatch->SetColor(red, green, blue);
    }
    // Each edit's change handler moves the markers and sets the field's blue.
    SetEditValue(m_redEdit, red);
    SetEditValue(m_greenEdit, green);
    SetEditValue(m_blueEdit, blue);
    m_okButton->setFocus();
}

void CColorEditDlg::OnRedGreenChanged() {
    bool clamped = false;
    const int red = ReadColourEdit(m_redEdit->text(), &clamped);
    if (clamped) SetEditValue(m_redEdit, red);
    const int green = ReadColourEdit(m_greenEdit->text(), &clamped);
    if (clamped) SetEditValue(m_greenEdit, green);
    m_field->SetMarker(red, green);
}

void CColorEditDlg::OnBlueChanged() {
    bool clamped = false;
    const int blue = ReadColourEdit(m_blueEdit->text(), &clamped);
    if (clamped) SetEditValue(m_blueEdit, blue);
    m_bar->m_nMarkerY = blue;
    m_field->SetBlue(blue);
    m_bar->update();
}

void CColorEditDlg::accept() {
    const int red = ReadColourEdit(m_redEdit->text());
    const int green = ReadColourEdit(m_greenEdit->text());
    const int blue = ReadColourEdit(m_blueEdit->text());
    const Qt::CheckState state = m_transparentCheck->checkState();
    const int alpha = !m_transparentCheck->isEnabled() ? -1
                      : state == Qt::Checked           ? 0
                      : state == Qt::Unchecked         ? 255
                                                       : m_nOldAlpha;
    // Modal, so the document cannot change underneath; should it have, nothing is written.
    if (m_pPaletteBar && m_pDocument && m_pDocument == g_activeDoc)
        m_pPaletteBar->SetEntry(m_nIndex, red, green, blue, alpha);
    QDialog::accept();
}
