#include "dialogs/new_image_dlg.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "app/messages.h"
#include "dialogs/dialog_buttons.h"
#include "dialogs/dialog_numbers.h"
#include "document/orvik_doc.h"
#include "res/resource.h"

namespace {

QLineEdit* DigitsEdit(const QString& text, QWidget* parent) {
    auto* edit = new QLineEdit(text, parent);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    edit->setMaximumWidth(80);
    return edit;
}

}  // namespace

CNewImageDlg::CNewImageDlg(COrvikDoc* doc, QWidget* parent) : QDialog(parent), m_pDocument(doc) {
    setWindowTitle(tr("New Image"));

    auto* dimension = new QGroupBox(tr("Image Demension"), this);
    m_widthEdit = DigitsEdit(QStringLiteral("300"), dimension);
    m_heightEdit = DigitsEdit(QStringLiteral("300"), dimension);
    m_widthEdit->setObjectName(QString::number(IDC_WIDTH));
    m_heightEdit->setObjectName(QString::number(IDC_HEIGHT));
    auto* sizeGrid = new QGridLayout(dimension);
    sizeGrid->addWidget(new QLabel(tr("Width"), dimension), 0, 0);
    sizeGrid->addWidget(m_widthEdit, 0, 1);
    sizeGrid->addWidget(new QLabel(tr("Height"), dimension), 1, 0);
    sizeGrid->addWidget(m_heightEdit, 1, 1);

    auto* characteristics = new QGroupBox(tr("Image Characteristics"), this);
    m_backgroundList = new QComboBox(characteristics);
    m_backgroundList->setEnabled(false);
    m_typeList = new QComboBox(characteristics);
    m_typeList->addItems({tr("256 Colors (8 Bit)"), tr("16 Million (24 Bit)")});
    m_typeList->setCurrentIndex(0);
    auto* typeGrid = new QGridLayout(characteristics);
    typeGrid->addWidget(new QLabel(tr("Background Color"), characteristics), 0, 0);
    typeGrid->addWidget(m_backgroundList, 0, 1);
    typeGrid->addWidget(new QLabel(tr("Image Type"), characteristics), 1, 0);
    typeGrid->addWidget(m_typeList, 1, 1);

    const OkCancelButtons buttons = MakeOkCancel(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(dimension);
    layout->addWidget(characteristics);
    layout->addLayout(buttons.row);

    setTabOrder(m_widthEdit, m_heightEdit);
    setTabOrder(m_heightEdit, m_typeList);
    m_widthEdit->selectAll();
    m_widthEdit->setFocus();
}

void CNewImageDlg::accept() {
    // The whole value of each field counts ("0000000000001" is 1); numbers past the limits are
    // refused by the size check.
    const auto width = static_cast<int64_t>(ReadUnsigned(m_widthEdit->text()));
    const auto height = static_cast<int64_t>(ReadUnsigned(m_heightEdit->text()));
    const int type = m_typeList->currentIndex();
    QLineEdit* culprit = (width < 1 || width > kMaxImageDimension) ? m_widthEdit : m_heightEdit;
    QString problem;
    if (m_widthEdit->text().trimmed().isEmpty())
        problem = tr("Cannot make the image: type its width.");
    else if (m_heightEdit->text().trimmed().isEmpty())
        problem = tr("Cannot make the image: type its height.");
    else {
        ImageStatus status = CheckImageSize(width, height, type == kImage8Bit ? 8 : 24);
        if (status == ImageStatus::Ok) status = m_pDocument->CreateBlankImage(int(width), int(height), type);
        if (status != ImageStatus::Ok)
            problem = tr("Cannot make a %1 x %2 image: %3.").arg(width).arg(height).arg(StatusText(status));
    }
    if (!problem.isEmpty()) {
        OrvikMessage(problem);
        culprit->selectAll();
        culprit->setFocus();
        return;
    }
    QDialog::accept();
}
