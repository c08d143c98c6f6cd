#include "app/convert_command.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSet>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "app/command_line.h"
#include "app/messages.h"
#include "app/translations.h"
#include "document/colour_reduction.h"
#include "document/file_types.h"
#include "document/image_file.h"
#include "document/palette_file.h"
#include "document/pixel_routines.h"
#include "document/plugin_library.h"
#include "imgkit/imgkit.h"

// Outside any namespace, as Q_INIT_RESOURCE needs.
static void InitTranslationResources() {
    Q_INIT_RESOURCE(orvik_translations);
}

namespace {

const char kCodecLibrary[] = "libimgkit.so";

// The extensions of every format the program writes ("bmp, pcx, jpg, ..."), the first of each.
QString WrittenExtensions() {
    QStringList names;
    for (const FileFormat& format : FileFormats())
        if (format.writes) names << QString::fromStdString(DefaultExtension(format.type)).mid(1);
    return names.join(QLatin1String(", "));
}

// Whether the file name ends in the extension of a format the program writes.
bool WritesType(const QString& path) {
    const FileFormat* format = FormatOf(FileTypeOfPath(QFile::encodeName(path).toStdString()));
    return format && format->writes;
}

QString FileStatusText(ImageFileStatus status) {
    return QCoreApplication::translate("ImageFileStatus", ImageFileStatusText(status));
}

class CConvertCommand {
    Q_DECLARE_TR_FUNCTIONS(CConvertCommand)

public:
    // Reads the command line's arguments (the program's name left out; --lang is passed over); false,
    // with the reason said, when it cannot be run.
    bool Parse(const QStringList& arguments);
    // Converts every file; false when any failed (each failure said).
    bool Run();

private:
    struct Job {
        QString input;
        QString output;
    };

    bool Convert(const Job& job, QuantzReduce reduce, ImgkitReadFn read, ImgkitWriteFn write);
    bool TakeValue(const QStringList& arguments, int* i, const QString& option, QString* value);

    QStringList m_inputs;
    QString m_folder;
    QString m_format;
    ReductionChoice m_choice;
    std::vector<Job> m_jobs;
};

void Say(const QString& text) {
    std::fprintf(stderr, "orvik: %s\n", text.toLocal8Bit().constData());
}

bool CConvertCommand::TakeValue(const QStringList& arguments, int* i, const QString& option, QString* value) {
    const QString& argument = arguments.at(*i);
    if (!value->isNull()) {
        Say(tr("%1 is given more than once.").arg(option));
        return false;
    }
    if (argument.size() > option.size()) {  // --option=value
        *value = argument.mid(option.size() + 1);
    } else if (*i + 1 < arguments.size()) {
        *value = arguments.at(++*i);
    } else {
        Say(tr("%1 needs a value.").arg(option));
        return false;
    }
    return true;
}

bool CConvertCommand::Parse(const QStringList& arguments) {
    QString colours, palette, dither;
    bool convert = false;
    bool filesOnly = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        const auto is = [&](const char* option) {
            return argument == QLatin1String(option) || argument.startsWith(QLatin1String(option) + '=');
        };
        if (filesOnly || !argument.startsWith(QLatin1String("--"))) {
            m_inputs << argument;
        } else if (argument == QLatin1String("--")) {
            filesOnly = true;
        } else if (argument == QLatin1String("--lang")) {
            ++i;  // taken by the start-up already
        } else if (argument.startsWith(QLatin1String("--lang="))) {
        } else if (argument == QLatin1String("--convert")) {
            convert = true;
        } else if (is("--colors")) {
            if (!TakeValue(arguments, &i, QStringLiteral("--colors"), &colours)) return false;
        } else if (is("--palette")) {
            if (!TakeValue(arguments, &i, QStringLiteral("--palette"), &palette)) return false;
        } else if (is("--dither")) {
            if (!TakeValue(arguments, &i, QStringLiteral("--dither"), &dither)) return false;
        } else if (is("--to")) {
            if (!TakeValue(arguments, &i, QStringLiteral("--to"), &m_folder)) return false;
        } else if (is("--format")) {
            if (!TakeValue(arguments, &i, QStringLiteral("--format"), &m_format)) return false;
        } else {
            Say(tr("unknown option %1 (orvik --help lists the options).").arg(argument));
            return false;
        }
    }
    if (!convert) return false;

    if (!dither.isNull()) {
        m_choice.ditherMethod = DitherMethodOfWord(dither.toStdString());
        if (m_choice.ditherMethod < 0) {
            Say(tr("--dither must be none, ordered or error-diffusion, not \"%1\".").arg(dither));
            return false;
        }
    }
    if (!palette.isNull()) {
        m_choice.paletteMethod = PaletteMethodOfWord(palette.toStdString());
        if (m_choice.paletteMethod < 0) {
            if (!QFileInfo(palette).isFile()) {
                Say(tr("--palette must be median-cut, octree, standard or a palette file; there is no file "
                       "\"%1\".")
                        .arg(palette));
                return false;
            }
            const PaletteReadResult file = ReadPaletteFile(QFile::encodeName(palette).toStdString());
            if (file.error != PaletteError::None) {
                Say(tr("cannot load the palette file %1: %2").arg(palette, StatusText(file)));
                return false;
            }
            m_choice.palette = file.palette.colours;
            m_choice.paletteMethod = kQuantzGivenPalette;
        }
    }
    if (!colours.isNull()) {
        bool ok = false;
        const int count = colours.toInt(&ok);
        if (!ok || count < kMinColours || count > kMaxColours) {
            Say(tr("--colors must be a whole number from %1 to %2, not \"%3\".")
                    .arg(kMinColours)
                    .arg(kMaxColours)
                    .arg(colours));
            return false;
        }
        if (m_choice.paletteMethod == kQuantzStandardPalette && count != kPaletteEntries) {
            Say(tr("the standard palette always has 256 colours; --colors %1 cannot be used with it.")
                    .arg(count));
            return false;
        }
        if (m_choice.paletteMethod == kQuantzGivenPalette) {
            Say(tr("a palette file brings its own colours; --colors cannot be used with it."));
            return false;
        }
        m_choice.colours = count;
    }

    if (!m_format.isNull() && m_folder.isNull()) {
        Say(tr("--format goes with --to FOLDER; with one output file its extension gives the type."));
        return false;
    }
    if (!m_format.isNull() && !WritesType("x." + m_format)) {
        Say(tr("--format must be the extension of a type Orvik writes (%1), not \"%2\".")
                .arg(WrittenExtensions(), m_format));
        return false;
    }
    if (m_folder.isNull()) {
        if (m_inputs.size() != 2) {
            Say(tr("--convert needs an input file and an output file, or input files and --to FOLDER."));
            return false;
        }
        m_jobs.push_back({m_inputs[0], m_inputs[1]});
    } else {
        if (m_inputs.isEmpty()) {
            Say(tr("--convert needs at least one input file before --to FOLDER."));
            return false;
        }
        if (!QFileInfo(m_folder).isDir()) {
            Say(tr("%1 is not a folder.").arg(m_folder));
            return false;
        }
        for (const QString& input : m_inputs) {
            const QFileInfo info(input);
            const QString suffix = m_format.isNull() ? info.suffix() : m_format;
            m_jobs.push_back({input, QDir(m_folder).filePath(info.completeBaseName() + '.' + suffix)});
        }
    }
    // Nothing may be written over an input, nor twice to one file.
    QSet<QString> outputs;
    for (const Job& job : m_jobs) {
        if (!WritesType(job.output)) {
            Say(tr("%1 does not end in the extension of a type Orvik writes (%2).")
                    .arg(job.output, WrittenExtensions()));
            return false;
        }
        const QFileInfo outputInfo(job.output);
        const QString output = outputInfo.absoluteFilePath();
        for (const Job& other : m_jobs) {
            const QFileInfo input(other.input);
            // The same file, also under another name (a link) when both exist.
            const bool same = input.absoluteFilePath() == output ||
                              (input.exists() && outputInfo.exists() &&
                               input.canonicalFilePath() == outputInfo.canonicalFilePath());
            if (same) {
                Say(tr("%1 would be written over the input %2.").arg(job.output, other.input));
                return false;
            }
        }
        if (outputs.contains(output)) {
            Say(tr("two inputs would both be written to %1.").arg(job.output));
            return false;
        }
        outputs.insert(output);
    }
    return true;
}

bool CConvertCommand::Run() {
    const CPluginLibrary quantz(kColourLibrary);
    const CPluginLibrary codec(kCodecLibrary);
    for (const auto& [library, file, function] : {std::tuple{&quantz, kColourLibrary, "ReduceColours"},
                                                  std::tuple{&codec, kCodecLibrary, "ImgkitReadImage"},
                                                  std::tuple{&codec, kCodecLibrary, "ImgkitWriteImage"}}) {
        const QString missing = MissingExportText(*library, file, function);
        if (!missing.isEmpty()) {
            Say(missing);
            return false;
        }
    }
    const auto reduce = quantz.Symbol<QuantzReduce>("ReduceColours");
    const auto read = codec.Symbol<ImgkitReadFn>("ImgkitReadImage");
    const auto write = codec.Symbol<ImgkitWriteFn>("ImgkitWriteImage");
    bool all = true;
    for (const Job& job : m_jobs)
        all = Convert(job, reduce, read, write) && all;
    return all;
}

bool CConvertCommand::Convert(const Job& job, QuantzReduce reduce, ImgkitReadFn read, ImgkitWriteFn write) {
    const std::string input = QFile::encodeName(job.input).toStdString();
    const std::string output = QFile::encodeName(job.output).toStdString();
    const FileType outType = FileTypeOfPath(output);

    // Whatever the name says, the content decides how the file is read; transparency comes along.
    ImageFileBlocks picture;
    ImageFileInfo info;
    const ImageFileStatus status = ReadImageFile(read, input, &picture, &info);
    if (status != ImageFileStatus::Ok) {
        Say(tr("cannot open %1: %2").arg(job.input, FileStatusText(status)));
        return false;
    }

    ReductionRun run;
    run.header = picture.header;
    run.bits = picture.bits;
    run.entryAlpha = picture.entryAlpha;
    run.choice = m_choice;
    CReducedImage reduced;
    switch (run.Run(reduce, &reduced)) {
        case ReductionResult::Ok:
            break;
        case ReductionResult::NoMemory:
            Say(tr("cannot reduce %1: %2.").arg(job.input, StatusText(ImageStatus::NoMemory)));
            return false;
        case ReductionResult::Malformed:
            Say(tr("cannot reduce %1: %2 returned an image Orvik cannot hold.")
                    .arg(job.input, QLatin1String(kColourLibrary)));
            return false;
        default:
            Say(tr("cannot reduce %1: %2 refused it.").arg(job.input, QLatin1String(kColourLibrary)));
            return false;
    }
    // The reduced picture with its transparent entry, as the output's format can keep it.
    ImageFileBlocks result;
    if (!EntriesOpaque(reduced.EntryAlpha())) {
        result.entryAlpha = static_cast<uint8_t*>(std::malloc(kPaletteEntries));
        if (!result.entryAlpha) {
            Say(tr("cannot reduce %1: %2.").arg(job.input, StatusText(ImageStatus::NoMemory)));
            return false;
        }
        std::memcpy(result.entryAlpha, reduced.EntryAlpha(), kPaletteEntries);
    }
    reduced.Release(&result.header, &result.bits);
    result.palette = HeaderPalette(result.header);
    if (!FitForFormat(*FormatOf(outType), &result)) {
        Say(tr("could not write %1: %2; the file on disk was left as it was.")
                .arg(job.output, StatusText(ImageStatus::NoMemory)));
        return false;
    }
    const ImgkitPicture out{result.header, result.bits, result.palette, result.entryAlpha};
    const ImageFileStatus written = WriteImageFile(write, output, outType, ImgkitWriteOptions{}, out);
    if (written != ImageFileStatus::Ok) {
        Say(tr("could not write %1: %2; the file on disk was left as it was.")
                .arg(job.output, FileStatusText(written)));
        return false;
    }
    return true;
}

}  // namespace

bool WantsConvert(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--")) return false;
        if (!std::strcmp(argv[i], "--convert")) return true;
    }
    return false;
}

int RunConvert(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    InitTranslationResources();
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    // --help and --lang before any "--", as for the program itself.
    QString language;
    for (qsizetype i = 0; i < arguments.size() && arguments[i] != QLatin1String("--"); ++i) {
        if (arguments[i] == QLatin1String("--help") || arguments[i] == QLatin1String("-h")) {
            std::fputs(kUsage, stdout);
            std::fputs(ConvertUsage(), stdout);
            return 0;
        }
        if (arguments[i] == QLatin1String("--lang") && i + 1 < arguments.size())
            language = arguments[i + 1];
        else if (arguments[i].startsWith(QLatin1String("--lang=")))
            language = arguments[i].mid(7);
    }
    InstallTranslations(ChooseUiLanguages(language, QLocale::system().uiLanguages()));
    CConvertCommand command;
    if (!command.Parse(arguments)) return 2;
    return command.Run() ? 0 : 1;
}

const char* ConvertUsage() {
    return "\nColour reduction without a window (no display needed):\n"
           "  orvik --convert IN OUT [OPTIONS]\n"
           "  orvik --convert IN... --to FOLDER [--format EXT] [OPTIONS]\n"
           "Reads IN (any picture Orvik opens, whatever its name), reduces it to a palette and\n"
           "writes OUT, of the type its extension names (any type Orvik saves); transparent pixels\n"
           "keep one transparent entry where that type can hold it. With --to, each IN goes into\n"
           "FOLDER under its own name, with its own extension or EXT. Nothing is ever written over\n"
           "an input. Errors are reported on stderr; the exit status is 0 when every file was\n"
           "converted, 1 when any failed and 2 for a command line that cannot be run.\n"
           "  --colors N     at most N colours, 2 to 256 (default 256; median cut and octree only)\n"
           "  --palette P    median-cut, octree (default), standard (the fixed 256-colour palette of\n"
           "                 new images), or a palette FILE to reduce to (GIMP .gpl, JASC or RIFF\n"
           "                 .pal, Photoshop .act, .hex)\n"
           "  --dither D     none (default), ordered or error-diffusion\n";
}
