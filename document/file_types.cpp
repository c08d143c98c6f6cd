#include "document/file_types.h"

#include <cctype>

namespace {

std::string_view FileName(std::string_view path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

}  // namespace

FileType FileTypeOfPath(std::string_view path) {
    const std::string_view name = FileName(path);
    const size_t dot = name.find_last_of('.');
    if (dot == std::string_view::npos) return FileType::Unknown;
    const std::string_view ext = name.substr(dot + 1);
    if (EqualsIgnoringCase(ext, "bmp")) return FileType::Bmp;
    if (EqualsIgnoringCase(ext, "pcx")) return FileType::Pcx;
    if (EqualsIgnoringCase(ext, "jpg") || EqualsIgnoringCase(ext, "jpeg")) return FileType::Jpeg;
    if (EqualsIgnoringCase(ext, "png")) return FileType::Png;
    return FileType::Unknown;
}

bool HasExtension(std::string_view path) {
    const std::string_view name = FileName(path);
    const size_t dot = name.find_last_of('.');
    return dot != std::string_view::npos && dot > 0 && dot + 1 < name.size();
}

const char* DefaultExtension(FileType type) {
    switch (type) {
        case FileType::Bmp:
            return ".bmp";
        case FileType::Pcx:
            return ".pcx";
        case FileType::Jpeg:
            return ".jpg";
        case FileType::Png:
            return ".png";
        case FileType::Unknown:
            break;
    }
    return "";
}
