#include "app/command_line.h"

#include <algorithm>
#include <iterator>

const char kUsage[] =
    "Usage: orvik [--lang CODE] [FILE...]\n"
    "       orvik --convert IN OUT [OPTIONS]    (see below)\n"
    "A small paint and image-editing program for BMP, PCX, JPEG, PNG, GIF, TIFF, WebP,\n"
    "TGA, ICO and PNM images.\n"
    "\n"
    "Opens each FILE in a window of its own; with no FILE it starts with no image.\n"
    "A FILE that cannot be opened is reported and the others still open; Orvik ends\n"
    "only when none of them opened.\n"
    "\n"
    "  --lang CODE    show the program in the language CODE (en, ko, C, ...) instead of the\n"
    "                 desktop's language\n"
    "  -h, --help     show this help and exit\n"
    "  -v, --version  show the version and exit\n";

namespace {

struct Option {
    const char* name;       // "--lang"
    const char* shortName;  // "-h", or null
    bool takesValue;        // "--name VALUE" or "--name=VALUE"
    void (*apply)(CommandLine& line, const QString& value);
};

const Option kOptions[] = {
    {"--lang", nullptr, true, [](CommandLine& line, const QString& value) { line.language = value; }},
    {"--help", "-h", false,
     [](CommandLine& line, const QString&) { line.action = CommandLine::Action::Help; }},
    {"--version", "-v", false,
     [](CommandLine& line, const QString&) { line.action = CommandLine::Action::Version; }},
};

// The toolkit's own options, with one dash or two; the toolkit takes them out of the arguments
// itself once it starts.
const char* const kToolkitOptionsWithValue[] = {
    "platform",      "platformpluginpath",
    "platformtheme", "plugin",
    "qmljsdebugger", "qwindowgeometry",
    "qwindowicon",   "qwindowtitle",
    "session",       "style",
    "stylesheet",    "display",
    "geometry",      "title",
    "name",
};
const char* const kToolkitFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

// How many arguments a toolkit option at `argument` takes up (1 or 2), or 0 when it is none.
int ToolkitOptionLength(const QString& argument) {
    if (argument.size() < 2 || argument[0] != QLatin1Char('-')) return 0;
    const QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
    for (const char* flag : kToolkitFlags) {
        if (name == QLatin1String(flag)) return 1;
    }
    for (const char* option : kToolkitOptionsWithValue) {
        if (name == QLatin1String(option)) return 2;
        if (name.startsWith(QLatin1String(option) + QLatin1Char('='))) return 1;
    }
    return 0;
}

}  // namespace

CommandLine ParseCommandLine(const QStringList& arguments) {
    CommandLine line;
    const auto refuse = [&line](const QString& error) {
        line.action = CommandLine::Action::Refuse;
        line.error = error;
        return line;
    };
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--")) {
            line.files += arguments.mid(i + 1);
            break;
        }
        // A lone "-" is a file name, as is anything without a leading dash.
        if (!argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-")) {
            line.files << argument;
            continue;
        }
        if (const int length = ToolkitOptionLength(argument)) {
            i += length - 1;
            continue;
        }
        const QString name = argument.section(QLatin1Char('='), 0, 0);
        const bool hasValue = argument.contains(QLatin1Char('=')) && argument.startsWith(QLatin1String("--"));
        const auto option = std::find_if(std::begin(kOptions), std::end(kOptions), [&](const Option& o) {
            return name == QLatin1String(o.name) || (o.shortName && argument == QLatin1String(o.shortName));
        });
        if (option == std::end(kOptions)) {
            if (argument.startsWith(QLatin1String("--")))
                return refuse(QStringLiteral("unrecognized option '%1'").arg(argument));
            return refuse(QStringLiteral("invalid option -- '%1'").arg(argument.mid(1)));
        }
        QString value;
        if (option->takesValue) {
            if (hasValue) {
                value = argument.section(QLatin1Char('='), 1);
            } else if (i + 1 < arguments.size()) {
                value = arguments[++i];
            } else {
                return refuse(
                    QStringLiteral("option '%1' requires an argument").arg(QLatin1String(option->name)));
            }
        } else if (hasValue) {
            return refuse(
                QStringLiteral("option '%1' doesn't allow an argument").arg(QLatin1String(option->name)));
        }
        option->apply(line, value);
        if (line.action != CommandLine::Action::Run) return line;
    }
    return line;
}
