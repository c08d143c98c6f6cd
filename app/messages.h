// The program's own message box: caption "Orvik", a warning icon and an OK button.
#pragma once

#include <QString>

#include "document/dib_parser.h"
#include "document/image_buffer.h"
#include "document/palette_file.h"
#include "document/plugin_library.h"

void OrvikMessage(const QString& text);

// The core's reason for a failure, in the user's language.
QString StatusText(ImageStatus status);
QString StatusText(DibStatus status);
// Why a palette file was refused, with the line at fault where there is one.
QString StatusText(const PaletteReadResult& result);

// Why the function `name` of a plug-in library cannot be had: "Can't Find <file>" when the library
// is missing, the loader's reason when it is there but does not load, another text when it lacks
// the function; empty when it is there.
QString MissingExportText(const CPluginLibrary& library, const char* fileName, const char* name);

// The function `name` of a plug-in library loaded for one operation. When the library is missing
// ("Can't Find <file>"), is there but does not load (with the loader's reason) or lacks the
// function, a message says so and the result is null.
void* RequireExport(const CPluginLibrary& library, const char* fileName, const char* name);

template <class Function>
Function RequireExport(const CPluginLibrary& library, const char* fileName, const char* name) {
    return reinterpret_cast<Function>(RequireExport(library, fileName, name));
}
