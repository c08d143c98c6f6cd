#include <QLocale>
#include <QStringList>

#include <cstdio>

#include "app/command_line.h"
#include "app/convert_command.h"
#include "app/orvik_app.h"
#include "app/translations.h"

int main(int argc, char* argv[]) {
    // A conversion needs no window system: it makes no GUI application and reads its own options.
    if (WantsConvert(argc, argv)) return RunConvert(argc, argv);
    // Read before the toolkit starts, so --help, --version and mistakes need no display.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine line = ParseCommandLine(arguments);
    switch (line.action) {
        case CommandLine::Action::Help:
            std::fputs(kUsage, stdout);
            std::fputs(ConvertUsage(), stdout);
            return 0;
        case CommandLine::Action::Version:
            std::puts("Orvik 0.2");
            return 0;
        case CommandLine::Action::Refuse:
            std::fprintf(stderr, "orvik: %s\nTry 'orvik --help' for more information.\n",
                         line.error.toLocal8Bit().constData());
            return 2;
        case CommandLine::Action::Run:
            break;
    }
    COrvikApp app(argc, argv);
    InstallTranslations(ChooseUiLanguages(line.language, QLocale::system().uiLanguages()));
    if (!app.InitInstance(line.files)) return 1;
    return COrvikApp::exec();
}
