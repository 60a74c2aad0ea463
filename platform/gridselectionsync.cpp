#include "gridselectionsync.h"

#include "grid.h"
#include "gridmodel.h"

#include <QScopedValueRollback>
#include <QTableView>

#include <algorithm>

GridSelectionSync::GridSelectionSync(QTableView& view, QTableView& frozen, GridModel& model, Grid& grid)
    : m_view(view), m_frozen(frozen), m_model(model), m_grid(grid)
{
}

void GridSelectionSync::pushToGrid()
{
    // Within one of its own key or mouse steps Qt moves the current cell and the selection one after
    // the other; the grid takes the outcome once the step is done.
    if (m_syncing || m_handlingInput)
        return;
    QItemSelectionModel* model = m_view.selectionModel();
    QModelIndex current = model->currentIndex();
    if (!current.isValid())
        return;
    {
        QScopedValueRollback guard(m_syncing, true);
        pushBlock(current);
    }
    // The grid never makes a hidden row current: where it put the cell elsewhere, the view follows.
    const QModelIndex shown = model->currentIndex();
    if (!m_grid.hasCurrentCell() || GridModel::toModelRow(m_grid.row()) != shown.row() ||
        m_grid.col() != shown.column())
        pullFromGrid();
}

void GridSelectionSync::pushBlock(QModelIndex current)
{
    QItemSelectionModel* model = m_view.selectionModel();
    int rowSel = current.row();
    int colSel = current.column();
    const QItemSelection selection = model->selection();
    if (!selection.isEmpty()) {
        // The selection is one block, possibly held in several ranges.
        int top = selection.first().top(), bottom = selection.first().bottom();
        int left = selection.first().left(), right = selection.first().right();
        for (const QItemSelectionRange& range : selection) {
            top = std::min(top, range.top());
            bottom = std::max(bottom, range.bottom());
            left = std::min(left, range.left());
            right = std::max(right, range.right());
        }
        // The grid's block runs from its current cell to the opposite corner, so the current cell must
        // be a corner. Qt leaves it elsewhere: a header click puts it on the top visible row of the
        // selected column, Ctrl+A leaves it where it was, and a drag in the label columns moves it only
        // after the block. It moves onto the nearest edge from outside, onto the top row and left
        // column from inside.
        const auto edge = [](int at, int first, int last) { return at > last ? last : first; };
        const int row =
            (current.row() == top || current.row() == bottom) ? current.row() : edge(current.row(), top, bottom);
        const int col = (current.column() == left || current.column() == right) ? current.column()
                                                                                : edge(current.column(), left, right);
        if (row != current.row() || col != current.column()) {
            current = m_model.index(row, col);
            moveCurrentKeepingSelection(current);
        }
        rowSel = row == top ? bottom : top;
        colSel = col == left ? right : left;
    }
    m_grid.setCurrentCell(GridModel::toGridRow(current.row()), current.column());
    m_grid.setSelectionEnd(GridModel::toGridRow(rowSel), colSel);
}

void GridSelectionSync::withoutScrolling(const std::function<void()>& step)
{
    const bool scrolls = m_view.hasAutoScroll();
    const bool frozenScrolls = m_frozen.hasAutoScroll();
    m_view.setAutoScroll(false);
    m_frozen.setAutoScroll(false);
    step();
    m_view.setAutoScroll(scrolls);
    m_frozen.setAutoScroll(frozenScrolls);
}

// Moves the view's current cell without touching the selection and without scrolling: the user is
// looking at what was just selected.
void GridSelectionSync::moveCurrentKeepingSelection(const QModelIndex& current)
{
    withoutScrolling([&] { m_view.selectionModel()->setCurrentIndex(current, QItemSelectionModel::NoUpdate); });
}

// Qt extends a selection with Shift from an anchor of its own, which only its own clicks and moves
// set; the grid may have moved the block since. The anchor is put on the grid's selection end, the
// corner opposite the current cell, so that the block grows or shrinks from the cell the user sees.
void GridSelectionSync::anchorAtSelectionEnd()
{
    const QModelIndex anchor = m_model.index(GridModel::toModelRow(m_grid.rowSel()), m_grid.colSel());
    const QModelIndex current = m_view.selectionModel()->currentIndex();
    if (!anchor.isValid() || !current.isValid())
        return;
    const QItemSelection selection = m_view.selectionModel()->selection();
    QScopedValueRollback guard(m_syncing, true);
    {
        QScopedValueRollback anchoring(m_anchoring, true);
        withoutScrolling([&] { m_view.setCurrentIndex(anchor); });
    }
    moveCurrentKeepingSelection(current);
    m_view.selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void GridSelectionSync::pullFromGrid()
{
    if (m_syncing)
        return;
    if (!m_grid.hasCurrentCell()) {
        // No row is shown: the view shows no current cell either, so that no key acts on a hidden one.
        QScopedValueRollback guard(m_syncing, true);
        m_view.selectionModel()->clear();
        return;
    }
    const int row = GridModel::toModelRow(m_grid.row());
    const int col = m_grid.col();
    if (row < 0 || row >= m_model.rowCount() || col < 0 || col >= m_model.columnCount())
        return;
    QScopedValueRollback guard(m_syncing, true);
    const int rowSel = std::clamp(GridModel::toModelRow(m_grid.rowSel()), 0, m_model.rowCount() - 1);
    const int colSel = std::clamp(m_grid.colSel(), 0, m_model.columnCount() - 1);
    const QModelIndex current = m_model.index(row, col);
    const QItemSelection block(m_model.index(std::min(row, rowSel), std::min(col, colSel)),
                               m_model.index(std::max(row, rowSel), std::max(col, colSel)));
    m_view.selectionModel()->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    m_view.selectionModel()->select(block, QItemSelectionModel::ClearAndSelect);
}

void GridSelectionSync::handleInput(const std::function<void()>& handle)
{
    {
        QScopedValueRollback busy(m_handlingInput, true);
        handle();
    }
    pushToGrid();
}
