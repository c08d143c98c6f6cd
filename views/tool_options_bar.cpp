#include "views/tool_options_bar.h"

#include <QFontDialog>
#include <QLabel>
#include <QSpinBox>

#include "app/main_frame.h"
#include "dialogs/setup_dlg.h"
#include "res/resource.h"
#include "views/tool_table.h"

CToolOptionsBar::CToolOptionsBar(CMainFrame* main) : QToolBar(tr("Tool Options"), main) {
    setObjectName(QStringLiteral("Tool Options"));
    setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_settings.font.setPointSize(12);
    const auto separator = [this](std::vector<QAction*>& group) { group.push_back(addSeparator()); };
    auto* label = new QLabel(tr("Size:"), this);
    m_brushItems.push_back(addWidget(label));
    m_sizeBox = new QSpinBox(this);
    m_sizeBox->setObjectName(QString::number(IDC_BRUSH_SIZE));
    m_sizeBox->setRange(1, kMaxBrushSize);
    m_sizeBox->setToolTip(tr("Brush size in pixels ([ and ] step it)"));
    m_sizeBox->setFocusPolicy(Qt::ClickFocus);
    label->setBuddy(m_sizeBox);
    m_brushItems.push_back(addWidget(m_sizeBox));
    connect(m_sizeBox, qOverload<int>(&QSpinBox::valueChanged), this,
            [this](int size) { m_settings.brushSize = size; });
    for (const int id : {ID_BRUSH_ROUND, ID_BRUSH_SQUARE})
        m_brushItems.push_back(main->Action(id));
    addActions({main->Action(ID_BRUSH_ROUND), main->Action(ID_BRUSH_SQUARE)});
    separator(m_pixelPerfectItems);
    m_pixelPerfectItems.push_back(main->Action(ID_BRUSH_PIXEL_PERFECT));
    addAction(main->Action(ID_BRUSH_PIXEL_PERFECT));
    separator(m_fillItems);
    for (const int id : {ID_FILL_OUTLINED, ID_FILL_FILLED, ID_FILL_WITHOUT_OUTLINE}) {
        m_fillItems.push_back(main->Action(id));
        addAction(main->Action(id));
    }
    separator(m_textItems);
    for (const int id : {ID_TEXT_FONT, ID_TEXT_SMOOTH}) {
        m_textItems.push_back(main->Action(id));
        addAction(main->Action(id));
    }

    const auto always = [](CCmdUI& ui) { ui.Enable(); };
    OnCommand(ID_BRUSH_SMALLER, [this] { SetBrushSize(m_settings.brushSize - 1); });
    OnCommand(ID_BRUSH_LARGER, [this] { SetBrushSize(m_settings.brushSize + 1); });
    OnUpdate(ID_BRUSH_SMALLER, [this](CCmdUI& ui) { ui.Enable(m_settings.brushSize > 1); });
    OnUpdate(ID_BRUSH_LARGER, [this](CCmdUI& ui) { ui.Enable(m_settings.brushSize < kMaxBrushSize); });
    for (const auto& [id, shape] :
         {std::pair{ID_BRUSH_ROUND, BrushShape::Round}, std::pair{ID_BRUSH_SQUARE, BrushShape::Square}}) {
        OnCommand(id, [this, shape = shape] { m_settings.brushShape = shape; });
        OnUpdate(id, [this, shape = shape](CCmdUI& ui) {
            ui.Enable();
            ui.SetCheck(m_settings.brushShape == shape);
        });
    }
    OnCommand(ID_BRUSH_PIXEL_PERFECT, [this] { m_settings.pixelPerfect = !m_settings.pixelPerfect; });
    OnUpdate(ID_BRUSH_PIXEL_PERFECT, [this](CCmdUI& ui) {
        // A stroke of one pixel only.
        ui.Enable(m_settings.brushSize == 1);
        ui.SetCheck(m_settings.pixelPerfect);
    });
    const std::pair<int, FillStyle> styles[] = {{ID_FILL_OUTLINED, kOutlined},
                                                {ID_FILL_FILLED, kFilled},
                                                {ID_FILL_WITHOUT_OUTLINE, kFilledWithoutOutline}};
    for (const auto& [id, style] : styles) {
        OnCommand(id, [style = style] { g_fillStyle = style; });
        OnUpdate(id, [style = style](CCmdUI& ui) {
            ui.Enable();
            ui.SetCheck(g_fillStyle == style);
        });
    }
    OnCommand(ID_TEXT_FONT, [this] { ChooseFont(); });
    OnUpdate(ID_TEXT_FONT, always);
    OnCommand(ID_TEXT_SMOOTH, [this] { m_settings.smooth = !m_settings.smooth; });
    OnUpdate(ID_TEXT_SMOOTH, [this](CCmdUI& ui) {
        ui.Enable();
        ui.SetCheck(m_settings.smooth);
    });
    connect(this, &QToolBar::orientationChanged, this, [this] { KeepSize(); });
    KeepSize();
}

void CToolOptionsBar::KeepSize() {
    // Measured with every option shown.
    for (const auto* items : {&m_brushItems, &m_pixelPerfectItems, &m_fillItems, &m_textItems})
        for (QAction* item : *items)
            item->setVisible(true);
    setMinimumSize(0, 0);
    const QSize full = sizeHint();
    if (orientation() == Qt::Horizontal)
        setMinimumHeight(full.height());
    else
        setMinimumWidth(full.width());
    m_bShownOnce = false;
    ShowOptionsOf(m_shown);
}

void CToolOptionsBar::SetBrushSize(int size) {
    m_sizeBox->setValue(std::clamp(size, 1, kMaxBrushSize));
}

void CToolOptionsBar::ShowOptionsOf(const CToolInfo* tool) {
    if (tool == m_shown && m_bShownOnce) return;
    m_shown = tool;
    m_bShownOnce = true;
    const unsigned options = tool ? tool->options : kNoOptions;
    const auto show = [](const std::vector<QAction*>& items, bool on) {
        for (QAction* item : items)
            item->setVisible(on);
    };
    show(m_brushItems, options & kBrushOptions);
    show(m_pixelPerfectItems, options & kPixelPerfect);
    show(m_fillItems, options & kFillOptions);
    show(m_textItems, options & kTextOptions);
}

void CToolOptionsBar::ChooseFont() {
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, m_settings.font, window(), tr("Text Font"));
    if (ok) m_settings.font = font;
}
