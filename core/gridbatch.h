#pragma once

#include "grid.h"

#include <QSignalBlocker>

// Many cells of a grid change at once: its views hear one refresh at the end instead of a signal per
// cell, and the current-cell moves that every store needs are never seen by them at all.
class GridBatch
{
public:
    explicit GridBatch(Grid& grid) : m_redraw(grid), m_blocker(grid) {}

private:
    // Declared first so that it is released last: drawing comes back on once signals flow again.
    RedrawSuspender m_redraw;
    QSignalBlocker m_blocker;
};
