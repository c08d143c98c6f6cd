// The language of the program's texts. The program's own texts (its source texts) are those it
// was written with: Korean in the File, Edit and Window menus, the status prompts and tool tips,
// English elsewhere. They show as they are in the C and POSIX locales. A Korean desktop keeps them
// too, through a translation that gives Korean only to the messages added since; any other desktop
// language gets its translation where the program has one, otherwise English.
#pragma once

#include <QString>
#include <QStringList>

class QCoreApplication;

struct UiLanguages {
    QString program;  // the program's translation to load ("en"), empty for its own texts
    QString qt;       // the language of Qt's own translations to load, empty for none
};

// The languages for a run. `requested` is the --lang option's value (empty when not given), which
// decides alone; otherwise the messages locale (LC_ALL, LC_MESSAGES, LANG, the first that is set)
// and the desktop's preferred languages (`uiLanguages`, as QLocale::system() gives them) do.
UiLanguages ChooseUiLanguages(const QString& requested, const QStringList& uiLanguages);

// The languages the program has a translation for, besides its own texts ("en", ...).
QStringList ProgramTranslations();

// Installs the translators for `languages` into the application (replacing any installed before).
// Qt's own translations come from the system's Qt translations folder where it has them.
void InstallTranslations(const UiLanguages& languages);
