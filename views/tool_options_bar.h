// The tool-options bar: the options of the current tool, and nothing else: the brush's size (1 to
// 32, also stepped by the keys [ and ]) and shape and its pixel-perfect strokes, the shapes' fill
// style (the Setup dialog's too), the text tool's font and smoothing. It holds the settings the
// tools read, and answers their commands on the main frame's command route.
#pragma once

#include <QToolBar>

#include <vector>

#include "app/command_target.h"
#include "views/tool.h"

class CMainFrame;
class QSpinBox;
struct CToolInfo;

class CToolOptionsBar : public QToolBar, public CCommandTarget {
    Q_OBJECT

public:
    // Builds the bar from the main frame's option commands (created before it).
    explicit CToolOptionsBar(CMainFrame* main);

    const CToolSettings& Settings() const { return m_settings; }
    // Shows the options of `tool` (null: none).
    void ShowOptionsOf(const CToolInfo* tool);
    // Sets the brush size, kept within 1..kMaxBrushSize.
    void SetBrushSize(int size);

    QSpinBox* m_sizeBox = nullptr;

private:
    void ChooseFont();
    // The bar keeps the size it has with every option shown (its height, or in a side area its
    // width), so the windows beside it do not move when the tool changes.
    void KeepSize();

    CToolSettings m_settings;
    const CToolInfo* m_shown = nullptr;
    bool m_bShownOnce = false;
    // The bar's actions for each kind of option (widget actions included).
    std::vector<QAction*> m_brushItems;
    std::vector<QAction*> m_pixelPerfectItems;
    std::vector<QAction*> m_fillItems;
    std::vector<QAction*> m_textItems;
};
