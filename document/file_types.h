// The image file types the program reads and writes, chosen by the extension of the file name.
#pragma once

#include <string_view>

enum class FileType { Unknown, Bmp, Pcx, Jpeg, Png };

// The type named by the text after the last '.' of the file name (not of the folders), compared
// without regard to case: "bmp", "pcx", "jpg", "jpeg" or "png". The path itself is never changed.
FileType FileTypeOfPath(std::string_view path);

// True when the file name (not the folders) has an extension of any kind.
bool HasExtension(std::string_view path);

// ".bmp", ".pcx", ".jpg" or ".png"; "" for Unknown.
const char* DefaultExtension(FileType type);
