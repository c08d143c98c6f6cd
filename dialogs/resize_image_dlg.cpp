#include "dialogs/resize_image_dlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <cmath>
#include <limits>

#include "dialogs/dialog_buttons.h"
#include "dialogs/dialog_numbers.h"
#include "document/orvik_doc.h"
#include "res/resource.h"

namespace {

// trunc(value / whole x 100) in double precision.
uint64_t PercentOf(uint64_t value, int64_t whole) {
    return TruncToEditNumber(static_cast<double>(value) / static_cast<double>(whole) * 100.0);
}

// Only a ratio that is a positive finite number in single precision is used, by every handler
// alike; anything else (0, negative, "abc", "inf", 1e39, 1e-50) leaves the edits alone.
bool UsableRatio(double ratio) {
    if (!(ratio > 0 && ratio <= std::numeric_limits<float>::max())) return false;  // also NaN
    return static_cast<float>(ratio) > 0;
}

QLineEdit* NumberEdit(QWidget* parent, int id, const QValidator* validator) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::number(id));
    if (validator) edit->setValidator(validator);
    edit->setMaximumWidth(70);
    return edit;
}

}  // namespace

CResizeImageDlg::CResizeImageDlg(COrvikDoc* doc, QWidget* parent)
    : QDialog(parent), m_pDocument(doc), m_nWidth0(doc->Width()), m_nHeight0(doc->Height()) {
    setWindowTitle(tr("Resize Image"));
    setObjectName(QString::number(IDD_RESIZE_IMAGE));
    const auto digitsOnly =
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this);

    // Each group: its radio button over the top of its frame, then its width and height edits.
    const auto sizeFrame = [&](QRadioButton** radio, const QString& text, int radioId, QLineEdit** width,
                               int widthId, QLineEdit** height, int heightId) {
        auto* frame = new QGroupBox(this);
        *radio = new QRadioButton(text, frame);
        (*radio)->setObjectName(QString::number(radioId));
        *width = NumberEdit(frame, widthId, digitsOnly);
        *height = NumberEdit(frame, heightId, digitsOnly);
        auto* grid = new QGridLayout(frame);
        grid->addWidget(*radio, 0, 0, 1, 4);
        grid->addWidget(new QLabel(tr("Width :"), frame), 1, 0);
        grid->addWidget(*width, 1, 1);
        grid->addWidget(new QLabel(tr("Height :"), frame), 1, 2);
        grid->addWidget(*height, 1, 3);
        return frame;
    };
    QGroupBox* pixelFrame = sizeFrame(&m_pixelRadio, tr("Pixel Size"), IDC_PIXEL_SIZE, &m_widthEdit,
                                      IDC_WIDTH, &m_heightEdit, IDC_HEIGHT);
    QGroupBox* percentFrame =
        sizeFrame(&m_percentRadio, tr("Percentage of Original"), IDC_PERCENTAGE, &m_widthPercentEdit,
                  IDC_WIDTH_PERCENT, &m_heightPercentEdit, IDC_HEIGHT_PERCENT);

    // The two radio buttons sit in different frames but form one group.
    m_modeGroup = new QButtonGroup(this);
    m_modeGroup->setExclusive(true);
    m_modeGroup->addButton(m_pixelRadio, IDC_PIXEL_SIZE);
    m_modeGroup->addButton(m_percentRadio, IDC_PERCENTAGE);

    m_currentWidth = new QLabel(this);
    m_currentHeight = new QLabel(this);
    m_currentWidth->setObjectName(QString::number(IDC_CURRENT_WIDTH));
    m_currentHeight->setObjectName(QString::number(IDC_CURRENT_HEIGHT));
    auto* current = new QGridLayout;
    current->addWidget(new QLabel(tr("Current Width :"), this), 0, 0);
    current->addWidget(m_currentWidth, 0, 1);
    current->addWidget(new QLabel(tr("Current Height :"), this), 1, 0);
    current->addWidget(m_currentHeight, 1, 1);
    current->setColumnStretch(2, 1);

    m_aspectCheck = new QCheckBox(tr("Matain aspect ratio of"), this);
    m_aspectCheck->setObjectName(QString::number(IDC_ASPECT));
    m_ratioEdit = NumberEdit(this, IDC_RATIO, nullptr);
    m_ratioLabel = new QLabel(tr("to 1"), this);
    m_ratioLabel->setObjectName(QString::number(IDC_RATIO_LABEL));
    auto* aspect = new QHBoxLayout;
    aspect->addWidget(m_aspectCheck);
    aspect->addWidget(m_ratioEdit);
    aspect->addWidget(m_ratioLabel);
    aspect->addStretch();

    // Smooth: a box filter when shrinking, bilinear when enlarging, in linear light. An 8-bit
    // image's pixels are palette entries, which only Nearest keeps.
    m_method = new QComboBox(this);
    m_method->setObjectName(QString::number(IDC_RESIZE_METHOD));
    m_method->addItem(tr("Nearest"));
    m_method->addItem(tr("Smooth"));
    m_method->setEnabled(doc->BitCount() != 8);
    auto* methodLabel = new QLabel(tr("Method :"), this);
    methodLabel->setBuddy(m_method);
    auto* method = new QHBoxLayout;
    method->addWidget(methodLabel);
    method->addWidget(m_method);
    method->addStretch();

    const OkCancelButtons buttons = MakeOkCancel(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pixelFrame);
    layout->addWidget(percentFrame);
    layout->addLayout(current);
    layout->addLayout(aspect);
    layout->addLayout(method);
    layout->addLayout(buttons.row);

    setTabOrder(buttons.ok, buttons.cancel);
    setTabOrder(buttons.cancel, m_pixelRadio);
    setTabOrder(m_pixelRadio, m_percentRadio);
    setTabOrder(m_percentRadio, m_widthEdit);
    setTabOrder(m_widthEdit, m_heightEdit);
    setTabOrder(m_heightEdit, m_widthPercentEdit);
    setTabOrder(m_widthPercentEdit, m_heightPercentEdit);
    setTabOrder(m_heightPercentEdit, m_aspectCheck);
    setTabOrder(m_aspectCheck, m_ratioEdit);
    setTabOrder(m_ratioEdit, m_method);

    // Initial values, written before any handler is connected.
    m_currentWidth->setText(QString::number(m_nWidth0));
    m_currentHeight->setText(QString::number(m_nHeight0));
    SetEditNumber(m_widthEdit, static_cast<uint64_t>(m_nWidth0));
    SetEditNumber(m_heightEdit, static_cast<uint64_t>(m_nHeight0));
    SetEditNumber(m_widthPercentEdit, 100);
    SetEditNumber(m_heightPercentEdit, 100);
    m_pixelRadio->setChecked(true);
    ApplyMode(true);
    m_widthEdit->selectAll();
    m_widthEdit->setFocus();
    SetEditText(m_ratioEdit,
                QString::number(static_cast<double>(m_nWidth0) / static_cast<double>(m_nHeight0), 'f', 4));

    connect(m_pixelRadio, &QRadioButton::toggled, this, [this](bool on) {
        if (on) ApplyMode(true);
    });
    connect(m_percentRadio, &QRadioButton::toggled, this, [this](bool on) {
        if (on) ApplyMode(false);
    });
    connect(m_widthEdit, &QLineEdit::textChanged, this, &CResizeImageDlg::OnChangeWidth);
    connect(m_heightEdit, &QLineEdit::textChanged, this, &CResizeImageDlg::OnChangeHeight);
    connect(m_widthPercentEdit, &QLineEdit::textChanged, this, &CResizeImageDlg::OnChangeWidthPercent);
    connect(m_heightPercentEdit, &QLineEdit::textChanged, this, &CResizeImageDlg::OnChangeHeightPercent);
    connect(m_ratioEdit, &QLineEdit::textChanged, this, &CResizeImageDlg::OnChangeRatio);
    connect(m_aspectCheck, &QCheckBox::clicked, this, &CResizeImageDlg::OnAspectClicked);
}

void CResizeImageDlg::ApplyMode(bool pixels) {
    for (QWidget* widget : {static_cast<QWidget*>(m_widthEdit), static_cast<QWidget*>(m_heightEdit),
                            static_cast<QWidget*>(m_aspectCheck), static_cast<QWidget*>(m_ratioEdit),
                            static_cast<QWidget*>(m_ratioLabel)})
        widget->setEnabled(pixels);
    m_widthPercentEdit->setEnabled(!pixels);
    m_heightPercentEdit->setEnabled(!pixels);
}

void CResizeImageDlg::OnChangeWidth() {
    const uint64_t width = ReadUnsigned(m_widthEdit->text());
    SetEditNumber(m_widthPercentEdit, PercentOf(width, m_nWidth0));
    if (!m_aspectCheck->isChecked()) return;
    const double ratio = ReadDouble(m_ratioEdit->text());
    if (!UsableRatio(ratio)) return;
    // The width in single precision, divided by the ratio in double precision.
    const uint64_t height = TruncToEditNumber(static_cast<float>(width) / ratio);
    SetEditNumber(m_heightEdit, height);
    SetEditNumber(m_heightPercentEdit, PercentOf(height, m_nHeight0));
}

void CResizeImageDlg::OnChangeHeight() {
    const uint64_t height = ReadUnsigned(m_heightEdit->text());
    SetEditNumber(m_heightPercentEdit, PercentOf(height, m_nHeight0));
    if (!m_aspectCheck->isChecked()) return;
    const double ratio = ReadDouble(m_ratioEdit->text());
    if (!UsableRatio(ratio)) return;
    const uint64_t width = TruncToEditNumber(ratio * static_cast<double>(height));
    SetEditNumber(m_widthEdit, width);
    SetEditNumber(m_widthPercentEdit, PercentOf(width, m_nWidth0));
}

void CResizeImageDlg::OnChangeWidthPercent() {
    // The product in floating point, truncated, then divided by 100 as an integer. It stays below
    // 65535 x 4294967295 < 2^53, so the double holds it exactly.
    const uint64_t percent = ReadUnsigned(m_widthPercentEdit->text());
    const double product = std::trunc(static_cast<double>(m_nWidth0) * static_cast<double>(percent));
    SetEditNumber(m_widthEdit, static_cast<uint64_t>(product) / 100);
}

void CResizeImageDlg::OnChangeHeightPercent() {
    // In 64-bit integers: 65535 x 4294967295 fits, so a large percentage never wraps around.
    const uint64_t percent = ReadUnsigned(m_heightPercentEdit->text());
    SetEditNumber(m_heightEdit, static_cast<uint64_t>(m_nHeight0) * percent / 100);
}

void CResizeImageDlg::OnChangeRatio() {
    const double ratio = ReadDouble(m_ratioEdit->text());
    if (!UsableRatio(ratio)) return;
    // Both in single precision; the height percentage is left as it is.
    const float width = static_cast<float>(ReadUnsigned(m_widthEdit->text()));
    SetEditNumber(m_heightEdit, TruncToEditNumber(width / static_cast<float>(ratio)));
}

void CResizeImageDlg::OnAspectClicked() {
    const double ratio = ReadDouble(m_ratioEdit->text());
    if (!UsableRatio(ratio)) return;
    const uint64_t width = ReadUnsigned(m_widthEdit->text());
    const float height = static_cast<float>(ReadUnsigned(m_heightEdit->text()));
    if (TruncToEditNumber(height * static_cast<float>(ratio)) != width) OnChangeWidth();
}

void CResizeImageDlg::accept() {
    const bool pixels = m_pixelRadio->isChecked();
    const bool applied = ApplyNewSize(
        m_widthEdit, m_heightEdit, m_pDocument->BitCount(), tr("Cannot resize the image"),
        [this](int64_t width, int64_t height) {
            return m_pDocument->ResizeImage(width, height, m_method->currentIndex() == 1);
        },
        pixels ? nullptr : m_widthPercentEdit, pixels ? nullptr : m_heightPercentEdit);
    if (applied) QDialog::accept();
}
