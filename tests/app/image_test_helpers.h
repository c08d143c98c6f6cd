// Documents and command states for the tests of the image operations and their dialogs.
#pragma once

#include <QLineEdit>
#include <QTest>

#include "document/orvik_doc.h"
#include "gui_test.h"

// File > New with the given size and type, its rows filled with a pattern that tells pixels
// apart: 8 bit index (x + 3 * row) mod 256, 24 bit blue x, green row, red x + row.
inline COrvikDoc* NewPatternDocument(int width, int height, int type) {
    COrvikDoc* doc = NewImage(QString::number(width), QString::number(height), type);
    if (!doc) return nullptr;
    for (int row = 0; row < height; ++row) {
        uint8_t* p = doc->m_pBits + int64_t{row} * doc->Stride();
        for (int x = 0; x < width; ++x) {
            if (type == kImage8Bit) {
                p[x] = uint8_t(x + 3 * row);
            } else {
                p[3 * x] = uint8_t(x);
                p[3 * x + 1] = uint8_t(row);
                p[3 * x + 2] = uint8_t(x + row);
            }
        }
    }
    return doc;
}

inline bool CommandEnabled(int id) {
    GuiTest::Main()->UpdateCommandUI();
    return GuiTest::Main()->Action(id)->isEnabled();
}

// Replaces an edit's text the way a user does: select everything, then type.
inline void TypeInto(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Backspace);
    else
        QTest::keyClicks(edit, text);
}

// The object names of the widgets Tab visits, starting after `start` and ending with it. A widget
// whose focus goes to a part of it (a spin box's edit) is named once, by its own name.
inline QStringList TabOrder(QWidget* start) {
    QStringList names;
    QWidget* w = start;
    do {
        w = w->nextInFocusChain();
        QWidget* parent = w->parentWidget();
        const QString name = parent && parent->focusProxy() == w ? parent->objectName() : w->objectName();
        if ((w->focusPolicy() & Qt::TabFocus) && !w->focusProxy() && w->isEnabled() &&
            w->isVisibleTo(start->window()))
            names << name;
    } while (w != start && names.size() < 50);
    return names;
}
