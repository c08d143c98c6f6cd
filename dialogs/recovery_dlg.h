// The dialog offered at start when Orvik finds work that was not saved before it ended (a crash, a
// killed session, a power cut): every recovery file with its name, folder, size, time and a small
// picture. The checked ones are recovered or discarded; Keep for Later leaves them all for the next
// start.
#pragma once

#include <QDateTime>
#include <QDialog>
#include <QImage>
#include <QList>
#include <QSize>
#include <QString>

class QPushButton;
class QTreeWidget;

struct RecoveryEntry {
    QString name;    // the file's name, or "Untitled"; for a file that cannot be read, its own name
    QString folder;  // empty for a document never saved
    QSize size;      // the image's; empty for a file that cannot be read
    QDateTime time;  // when the copy was kept
    QImage picture;  // null for a file that cannot be read
};

class CRecoveryDlg : public QDialog {
    Q_OBJECT

public:
    enum Choice { KeepForLater, Recover, Discard };

    CRecoveryDlg(const QList<RecoveryEntry>& entries, QWidget* parent = nullptr);

    // The rows checked when the dialog closed, by their place in the list.
    QList<int> Checked() const;

    Choice m_choice = KeepForLater;
    QTreeWidget* m_list;
    QPushButton* m_recoverButton;
    QPushButton* m_discardButton;
    QPushButton* m_keepButton;

private:
    void UpdateButtons();
    // Asks before the checked files go for good.
    void OnDiscard();
};
