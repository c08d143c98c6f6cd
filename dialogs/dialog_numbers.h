// Numbers in the edits of the image dialogs: read and written the same way under every locale,
// written by the dialogs without setting off their own change handlers, and sizes checked before
// anything is done with them.
#pragma once

#include <QString>

#include <cstdint>
#include <functional>

#include "document/image_buffer.h"

class QLineEdit;

// The largest number an edit holds: readings and results past it stop there.
constexpr uint64_t kMaxEditNumber = 4294967295u;

// An edit's text as an unsigned number: decimal digits, with spaces allowed around them. Any other
// text reads 0; a number past kMaxEditNumber reads kMaxEditNumber.
uint64_t ReadUnsigned(const QString& text);

// The C library's text-to-number conversion of the text's first 19 characters, always with '.' as
// the decimal point whatever the locale: the longest leading number, 0 when there is none.
double ReadDouble(const QString& text);

// A floating-point result as an edit number: truncated toward zero; NaN and anything below 1 give
// 0, anything from kMaxEditNumber up gives kMaxEditNumber.
uint64_t TruncToEditNumber(double value);

// The dialog's own writes into its edits: the edits' change notifications are blocked meanwhile,
// so no handler runs for them and none can take the user's next keystroke for the dialog's write.
void SetEditText(QLineEdit* edit, const QString& text);
void SetEditNumber(QLineEdit* edit, uint64_t value);

// The OK step of a dialog that gives the image a new size: reads the width and height edits, checks
// the size (1 to 65535 each, a pixel block of at most 1 GiB, all in 64 bits) and runs `apply`. A
// size that is refused, or an `apply` that fails, is reported in a message that starts with
// `action` ("Cannot resize the canvas"), and the edit at fault gets the focus with its text
// selected: `widthFocus` or `heightFocus` when given, otherwise the width or height edit. True
// when the size was applied.
bool ApplyNewSize(QLineEdit* widthEdit, QLineEdit* heightEdit, int bitCount, const QString& action,
                  const std::function<ImageStatus(int64_t, int64_t)>& apply, QLineEdit* widthFocus = nullptr,
                  QLineEdit* heightFocus = nullptr);
