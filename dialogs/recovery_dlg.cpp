#include "dialogs/recovery_dlg.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "res/resource.h"

namespace {

constexpr int kPictureSide = 64;

// The picture in a square, over a checkerboard where it is transparent.
QIcon PictureIcon(const QImage& picture) {
    QPixmap square(kPictureSide, kPictureSide);
    square.fill(Qt::transparent);
    if (picture.isNull()) return QIcon(square);
    const QImage scaled = picture.scaled(kPictureSide, kPictureSide, Qt::KeepAspectRatio, Qt::FastTransformation);
    const QRect place((kPictureSide - scaled.width()) / 2, (kPictureSide - scaled.height()) / 2, scaled.width(),
                      scaled.height());
    QPainter painter(&square);
    constexpr int kCheck = 8;
    for (int y = place.top(); y <= place.bottom(); y += kCheck)
        for (int x = place.left(); x <= place.right(); x += kCheck)
            painter.fillRect(QRect(x, y, kCheck, kCheck).intersected(place),
                             ((x - place.left()) / kCheck + (y - place.top()) / kCheck) % 2 ? QColor(204, 204, 204)
                                                                                            : Qt::white);
    painter.drawImage(place.topLeft(), scaled);
    return QIcon(square);
}

}  // namespace

CRecoveryDlg::CRecoveryDlg(const QList<RecoveryEntry>& entries, QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Recover Unsaved Work"));
    setObjectName(QString::number(IDD_RECOVERY));

    auto* text = new QLabel(tr("Orvik ended before these images were saved. Recover the checked ones to go on "
                               "where you left off; their files on disk stay as they are until you save."),
                            this);
    text->setWordWrap(true);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QString::number(IDC_RECOVERY_LIST));
    m_list->setHeaderLabels({tr("Image"), tr("Folder"), tr("Size"), tr("Kept at")});
    m_list->setRootIsDecorated(false);
    m_list->setIconSize(QSize(kPictureSide, kPictureSide));
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    const QLocale locale;
    for (const RecoveryEntry& entry : entries) {
        auto* item = new QTreeWidgetItem(m_list);
        item->setIcon(0, PictureIcon(entry.picture));
        item->setText(0, entry.name);
        item->setCheckState(0, Qt::Checked);
        if (entry.size.isEmpty()) {
            item->setText(1, tr("The recovery copy cannot be read."));
        } else {
            item->setText(1, entry.folder);
            item->setText(2, tr("%1 x %2").arg(entry.size.width()).arg(entry.size.height()));
            item->setText(3, locale.toString(entry.time, QLocale::ShortFormat));
        }
    }
    for (int column = 0; column < m_list->columnCount(); ++column)
        m_list->resizeColumnToContents(column);
    m_list->setMinimumWidth(std::min(m_list->header()->length() + 8, 900));
    connect(m_list, &QTreeWidget::itemChanged, this, &CRecoveryDlg::UpdateButtons);

    m_recoverButton = new QPushButton(tr("&Recover"), this);
    m_discardButton = new QPushButton(tr("&Discard"), this);
    m_keepButton = new QPushButton(tr("&Keep for Later"), this);
    m_recoverButton->setObjectName(QString::number(IDC_RECOVER));
    m_discardButton->setObjectName(QString::number(IDC_DISCARD));
    m_keepButton->setObjectName(QString::number(IDC_KEEP_FOR_LATER));
    m_recoverButton->setDefault(true);
    connect(m_recoverButton, &QPushButton::clicked, this, [this] {
        m_choice = Recover;
        accept();
    });
    connect(m_discardButton, &QPushButton::clicked, this, &CRecoveryDlg::OnDiscard);
    connect(m_keepButton, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_recoverButton);
    buttons->addWidget(m_discardButton);
    buttons->addWidget(m_keepButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(m_list);
    layout->addLayout(buttons);
    m_recoverButton->setFocus();
}

QList<int> CRecoveryDlg::Checked() const {
    QList<int> rows;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i)
        if (m_list->topLevelItem(i)->checkState(0) == Qt::Checked) rows.append(i);
    return rows;
}

void CRecoveryDlg::UpdateButtons() {
    const bool any = !Checked().isEmpty();
    m_recoverButton->setEnabled(any);
    m_discardButton->setEnabled(any);
}

void CRecoveryDlg::OnDiscard() {
    const auto answer = QMessageBox::question(
        this, QStringLiteral("Orvik"),
        tr("Discard the unsaved changes of the checked images? They cannot be recovered afterwards."),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer != QMessageBox::Yes) return;
    m_choice = Discard;
    accept();
}
