#include "views/scroll_client.h"

#include <QAbstractScrollArea>
#include <QStyle>

QSize ClientSizeFor(const QAbstractScrollArea* area, int64_t contentWidth, int64_t contentHeight) {
    const QMargins frame = area->contentsMargins();
    const int width = area->width() - frame.left() - frame.right();
    const int height = area->height() - frame.top() - frame.bottom();
    const int bar = area->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, area);
    bool horizontal = false;
    bool vertical = false;
    // A bar takes room from the other direction, so decide twice.
    for (int pass = 0; pass < 2; ++pass) {
        horizontal = contentWidth > width - (vertical ? bar : 0);
        vertical = contentHeight > height - (horizontal ? bar : 0);
    }
    return {std::max(width - (vertical ? bar : 0), 0), std::max(height - (horizontal ? bar : 0), 0)};
}
