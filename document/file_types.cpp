#include "document/file_types.h"

#include <cctype>

#include "document/translatable.h"

namespace {

using P = PaletteKept;
using T = EntryTransparency;
using F = FramesKind;

// The four formats of old first, in their order, then the others alphabetically.
constexpr FileFormat kFormats[] = {
    {FileType::Bmp, "BMP", QT_TRANSLATE_NOOP("FileFormat", "BMP Files"), "bmp dib", "image/bmp image/x-bmp",
     true, true, P::Always, true, false, T::None, false, F::None, 65535, nullptr},
    {FileType::Pcx, "PCX", QT_TRANSLATE_NOOP("FileFormat", "PCX Files"), "pcx",
     "image/vnd.zbrush.pcx image/x-pcx", true, true, P::Always, true, false, T::None, false, F::None, 65535,
     nullptr},
    {FileType::Jpeg, "JPEG", QT_TRANSLATE_NOOP("FileFormat", "Jpeg Files"), "jpg jpeg jpe jfif", "image/jpeg",
     true, true, P::Never, true, true, T::None, false, F::None, 65535, nullptr},
    {FileType::Png, "PNG", QT_TRANSLATE_NOOP("FileFormat", "PNG Files"), "png", "image/png", true, true,
     P::Always, true, false, T::PerEntry, true, F::None, 65535, nullptr},
    {FileType::Gif, "GIF", QT_TRANSLATE_NOOP("FileFormat", "GIF Files"), "gif", "image/gif", true, true,
     P::Always, false, false, T::OneIndex, false, F::Frames, 65535, nullptr},
    {FileType::Ico, "ICO", QT_TRANSLATE_NOOP("FileFormat", "Icon Files"), "ico",
     "image/vnd.microsoft.icon image/x-icon", true, true, P::Always, true, false, T::Binary, true, F::Images,
     256, nullptr},
    {FileType::Pnm, "PNM", QT_TRANSLATE_NOOP("FileFormat", "PNM Files"), "ppm pgm pbm pnm",
     "image/x-portable-anymap image/x-portable-bitmap image/x-portable-graymap image/x-portable-pixmap", true,
     true, P::GreyRampOnly, true, false, T::None, false, F::None, 65535, nullptr},
    {FileType::Tga, "TGA", QT_TRANSLATE_NOOP("FileFormat", "TGA Files"), "tga", "image/x-tga", true, true,
     P::Always, true, false, T::PerEntry, true, F::None, 65535, nullptr},
    {FileType::Tiff, "TIFF", QT_TRANSLATE_NOOP("FileFormat", "TIFF Files"), "tif tiff", "image/tiff", true,
     true, P::Always, true, false, T::None, true, F::Pages, 65535, nullptr},
    {FileType::WebP, "WebP", QT_TRANSLATE_NOOP("FileFormat", "WebP Files"), "webp", "image/webp", true, true,
     P::Never, true, false, T::PerEntry, true, F::Frames, 16383,
     QT_TRANSLATE_NOOP("FileFormat", "WebP Files, lossy")},
};

std::string_view FileName(std::string_view path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

std::span<const FileFormat> FileFormats() {
    return kFormats;
}

const FileFormat* FormatOf(FileType type) {
    for (const FileFormat& format : kFormats)
        if (format.type == type) return &format;
    return nullptr;
}

std::vector<std::string> Words(const char* list) {
    std::vector<std::string> words;
    std::string word;
    for (const char* p = list; p && *p; ++p) {
        if (*p == ' ') {
            if (!word.empty()) words.push_back(word);
            word.clear();
        } else {
            word += *p;
        }
    }
    if (!word.empty()) words.push_back(word);
    return words;
}

FileType FileTypeOfPath(std::string_view path) {
    const std::string_view name = FileName(path);
    const size_t dot = name.find_last_of('.');
    if (dot == std::string_view::npos) return FileType::Unknown;
    const std::string ext = Lower(name.substr(dot + 1));
    for (const FileFormat& format : kFormats)
        for (const std::string& known : Words(format.extensions))
            if (known == ext) return format.type;
    return FileType::Unknown;
}

bool HasExtension(std::string_view path) {
    const std::string_view name = FileName(path);
    const size_t dot = name.find_last_of('.');
    return dot != std::string_view::npos && dot > 0 && dot + 1 < name.size();
}

std::string DefaultExtension(FileType type) {
    const FileFormat* format = FormatOf(type);
    return format ? "." + Words(format->extensions).front() : std::string();
}

std::vector<std::string> ReadableMimeTypes() {
    std::vector<std::string> types;
    for (const FileFormat& format : kFormats) {
        if (!format.reads) continue;
        for (const std::string& type : Words(format.mimeTypes))
            types.push_back(type);
    }
    return types;
}
