#include "views/tool.h"

#include "document/pixel_routines.h"
#include "views/tool_table.h"

const CCursorArt* CTool::Cursor() const {
    return &m_info.cursor;
}

bool CTool::StatusRect(RECT* rect) const {
    if (!State().m_bDragging && !State().m_bMoving) return false;
    *rect = NormalizeRect(State().m_rcDrag);
    return true;
}
