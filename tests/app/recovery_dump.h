// A document's image, palette, zoom, path and modified flag as one block of bytes, so a test can
// compare what two processes hold.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include "document/orvik_doc.h"

inline QByteArray Dump(const COrvikDoc* doc) {
    QByteArray bytes;
    for (const int value : {doc->Width(), doc->Height(), doc->BitCount(), doc->Stride(), doc->m_nZoom,
                            doc->m_nShrink, int(doc->IsModified())})
        bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
    bytes.append(doc->GetPathName().toUtf8()).append('\0');
    bytes.append(reinterpret_cast<const char*>(doc->m_pPalette), kPaletteBytes);
    bytes.append(reinterpret_cast<const char*>(doc->m_pBits), qsizetype(doc->Stride()) * doc->Height());
    return bytes;
}

inline bool WriteDump(const COrvikDoc* doc, const QString& path) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(Dump(doc)) >= 0;
}
