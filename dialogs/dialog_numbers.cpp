#include "dialogs/dialog_numbers.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QSignalBlocker>

#include <locale.h>
#include <stdlib.h>

#include <algorithm>

#include "app/messages.h"

uint64_t ReadUnsigned(const QString& text) {
    const QString digits = text.trimmed();
    if (digits.isEmpty()) return 0;
    uint64_t value = 0;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9') return 0;
        value = value * 10 + static_cast<uint64_t>(c.unicode() - u'0');
        if (value > kMaxEditNumber) value = kMaxEditNumber + 1;  // keeps reading digits without overflow
    }
    return value > kMaxEditNumber ? kMaxEditNumber : value;
}

double ReadDouble(const QString& text) {
    // The toolkit sets the C library's numeric locale from the environment; convert in the C
    // locale so "1.3333" means the same everywhere.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t{});
    const QByteArray bytes = text.left(19).toUtf8();
    return strtod_l(bytes.constData(), nullptr, cLocale);
}

uint64_t TruncToEditNumber(double value) {
    if (!(value >= 1)) return 0;  // also NaN
    if (value >= static_cast<double>(kMaxEditNumber)) return kMaxEditNumber;
    return static_cast<uint64_t>(value);
}

void SetEditText(QLineEdit* edit, const QString& text) {
    const QSignalBlocker blocker(edit);
    edit->setText(text);
}

void SetEditNumber(QLineEdit* edit, uint64_t value) {
    SetEditText(edit, QString::number(std::min(value, kMaxEditNumber)));
}

bool ApplyNewSize(QLineEdit* widthEdit, QLineEdit* heightEdit, int bitCount, const QString& action,
                  const std::function<ImageStatus(int64_t, int64_t)>& apply, QLineEdit* widthFocus,
                  QLineEdit* heightFocus) {
    const auto width = static_cast<int64_t>(ReadUnsigned(widthEdit->text()));
    const auto height = static_cast<int64_t>(ReadUnsigned(heightEdit->text()));
    ImageStatus status = CheckImageSize(width, height, bitCount);
    if (status == ImageStatus::Ok) status = apply(width, height);
    if (status == ImageStatus::Ok) return true;

    OrvikMessage(QCoreApplication::translate("ApplyNewSize", "%1 to %2 x %3: %4.")
                     .arg(action)
                     .arg(width)
                     .arg(height)
                     .arg(StatusText(status)));
    QLineEdit* culprit = width < 1 || width > kMaxImageDimension ? (widthFocus ? widthFocus : widthEdit)
                                                                 : (heightFocus ? heightFocus : heightEdit);
    culprit->setFocus();
    culprit->selectAll();
    return false;
}
