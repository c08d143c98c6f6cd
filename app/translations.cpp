#include "app/translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QRegularExpression>
#include <QTranslator>

#include <optional>

namespace {

const char kTranslationsFolder[] = ":/translations";

// "C", "POSIX" and their variants ("C.UTF-8"), and no locale at all: the program's own texts.
bool IsPlainLocale(const QString& name) {
    const QString base = name.section(QLatin1Char('.'), 0, 0).section(QLatin1Char('@'), 0, 0);
    return base.isEmpty() || base == QLatin1String("C") || base == QLatin1String("POSIX");
}

// "de-DE", "de_DE.UTF-8" and "de" all name the language "de".
QString LanguageOf(const QString& code) {
    static const QRegularExpression separators(QStringLiteral("[-_.@]"));
    return code.section(separators, 0, 0).toLower();
}

}  // namespace

QStringList ProgramTranslations() {
    QStringList languages;
    const QStringList files =
        QDir(QLatin1String(kTranslationsFolder)).entryList({QStringLiteral("orvik_*.qm")});
    for (const QString& file : files)
        languages << file.mid(6, file.size() - 6 - 3);
    return languages;
}

UiLanguages ChooseUiLanguages(const QString& requested, const QStringList& uiLanguages) {
    const QStringList available = ProgramTranslations();
    const auto forCode = [&](const QString& code) -> std::optional<UiLanguages> {
        const QString language = LanguageOf(code);
        if (available.contains(language)) return UiLanguages{language, language};
        return std::nullopt;
    };
    const UiLanguages english{QStringLiteral("en"), QString()};

    if (!requested.isEmpty())
        return IsPlainLocale(requested) ? UiLanguages{} : forCode(requested).value_or(english);
    // The C library takes the messages locale from the first of these that is set; in the C and
    // POSIX locales it ignores LANGUAGE, and so does the program.
    QString messages;
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        messages = qEnvironmentVariable(variable);
        if (!messages.isEmpty()) break;
    }
    if (IsPlainLocale(messages)) return {};
    for (const QString& code : uiLanguages) {
        if (const auto languages = forCode(code)) return *languages;
    }
    return english;
}

void InstallTranslations(const UiLanguages& languages) {
    static QTranslator program;
    static QTranslator qt;
    QCoreApplication::removeTranslator(&program);
    QCoreApplication::removeTranslator(&qt);
    if (!languages.program.isEmpty() &&
        program.load(QStringLiteral("orvik_%1").arg(languages.program), QLatin1String(kTranslationsFolder)))
        QCoreApplication::installTranslator(&program);
    if (!languages.qt.isEmpty() && qt.load(QStringLiteral("qtbase_%1").arg(languages.qt),
                                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qt);
}
