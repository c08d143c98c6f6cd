// The OK and Cancel buttons every image dialog ends with.
#pragma once

class QDialog;
class QHBoxLayout;
class QPushButton;

struct OkCancelButtons {
    QPushButton* ok;
    QPushButton* cancel;
    QHBoxLayout* row;  // both, centred
};

// OK (the default button) and Cancel, wired to the dialog's accept and reject.
OkCancelButtons MakeOkCancel(QDialog* dialog);
