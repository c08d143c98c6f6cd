#include <QLocale>
#include <QStringList>

#include <cstdio>
#include <cstring>

#include "app/convert_command.h"
#include "app/orvik_app.h"
#include "app/translations.h"

namespace {

const char kUsage[] =
    "Usage: orvik [--lang CODE] [FILE...]\n"
    "       orvik --convert IN OUT [OPTIONS]    (see below)\n"
    "A small paint and image-editing program for BMP, PCX, JPEG and PNG images.\n"
    "\n"
    "Opens each FILE in a window of its own; with no FILE it starts with no image.\n"
    "A FILE that cannot be opened is reported and the others still open; Orvik ends\n"
    "only when none of them opened.\n"
    "\n"
    "  --lang CODE    show the program in the language CODE (en, ko, C, ...) instead of the\n"
    "                 desktop's language\n"
    "  -h, --help     show this help and exit\n"
    "  -v, --version  show the version and exit\n"
    "\n";

}  // namespace

int main(int argc, char* argv[]) {
    // Answered before the toolkit starts, so they work without a display.
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--")) break;
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
            std::fputs(kUsage, stdout);
            std::fputs(ConvertUsage(), stdout);
            return 0;
        }
        if (!std::strcmp(argv[i], "--version") || !std::strcmp(argv[i], "-v")) {
            std::puts("Orvik 0.2");
            return 0;
        }
    }
    // A conversion needs no window system: it makes no GUI application.
    if (WantsConvert(argc, argv)) return RunConvert(argc, argv);
    COrvikApp app(argc, argv);
    QStringList files = QCoreApplication::arguments().mid(1);
    const QString language = TakeLanguageOption(&files);
    InstallTranslations(ChooseUiLanguages(language, QLocale::system().uiLanguages()));
    if (!app.InitInstance(files)) return 1;
    return COrvikApp::exec();
}
