// The client area a scrolling view will have once its scroll bars are shown or hidden for content
// of a given size, so scroll ranges never depend on which bars happened to be visible before.
#pragma once

#include <QSize>

#include <cstdint>

class QAbstractScrollArea;

QSize ClientSizeFor(const QAbstractScrollArea* area, int64_t contentWidth, int64_t contentHeight);
