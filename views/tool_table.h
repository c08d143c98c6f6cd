// The table of tools: each tool's command id, texts, button picture, cursor and key, and how it is
// made. The tool palette bar, its tool tips, the tool commands and the cursors all come from here,
// in the table's order; a new tool is its class and one line in the table.
#pragma once

#include <memory>
#include <span>

#include "views/tool.h"

// What the tool-options bar shows for a tool, and whether Ctrl + click picks a colour with it.
enum ToolOptions : unsigned {
    kNoOptions = 0,
    kBrushOptions = 1,    // the brush's size and shape
    kPixelPerfect = 2,    // the brush's pixel-perfect strokes
    kFillOptions = 4,     // the fill style
    kTextOptions = 8,     // the font and smoothing
    kPicksWithCtrl = 16,  // a painting tool: Ctrl + click picks the colour under the pointer
};

struct CToolInfo {
    int id;              // the tool's command id
    const char* text;    // the command's text (translated in the context "CMainFrame")
    const char* prompt;  // the status-bar prompt, then after "\n" the tool tip; may be empty
    const char* icon;    // the button picture (and its "@2x" drawing beside it)
    CCursorArt cursor;
    const char* keys;  // the key that chooses the tool; may be empty
    unsigned options;  // ToolOptions
    std::unique_ptr<CTool> (*make)(CToolHost& host, const CToolInfo& info);
};

std::span<const CToolInfo> ToolTable();
// The tool with command id `id`; null for any other id.
const CToolInfo* FindTool(int id);

// The factory of a table line.
template <class T>
std::unique_ptr<CTool> MakeTool(CToolHost& host, const CToolInfo& info) {
    return std::make_unique<T>(host, info);
}
