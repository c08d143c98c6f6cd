// The image file types the program reads and writes, chosen by the extension of the file name.
#pragma once

#include <string_view>

enum class FileType { Unknown, Bmp, Pcx, Jpeg, Png };

// The codec library's file name.
inline constexpr char kCodecLibrary[] = "libimgkit.so";

// The type named by the text after the last '.' of the file name (not of the folders), compared
// without regard to case: "bmp", "pcx", "jpg", "jpeg" or "png". The path itself is never changed.
FileType FileTypeOfPath(std::string_view path);

// True when the file name (not the folders) has an extension of any kind.
bool HasExtension(std::string_view path);

// ".bmp", ".pcx", ".jpg" or ".png"; "" for Unknown.
const char* DefaultExtension(FileType type);

// The codec library's reader and writer for the type ("ReadBMP", "SaveBitmap", ...); null for
// Unknown.
const char* ReaderFunction(FileType type);
const char* WriterFunction(FileType type);

// Whether the type's reader delivers its rows top-down (PCX and JPEG), so that they must be
// reversed into the program's bottom-up order.
bool ReadsTopDown(FileType type);
