#pragma once

#include <QItemSelectionModel>

#include <functional>

class Grid;
class GridModel;
class QTableView;

// Keeps a grid's current cell and selection block and a view's selection model in step, in both
// directions, and places the view's own anchor for Shift-extended selections on the grid's block.
class GridSelectionSync
{
public:
    // `frozen` shares the view's selection model; all must outlive this object.
    GridSelectionSync(QTableView& view, QTableView& frozen, GridModel& model, Grid& grid);

    // The view's current cell and block to the grid.
    void pushToGrid();
    // The grid's current cell and block to the view.
    void pullFromGrid();
    // Puts the view's anchor on the grid's selection end, the corner opposite the current cell.
    void anchorAtSelectionEnd();
    // Runs Qt's own handling of a key or mouse event, then hands the outcome to the grid.
    void handleInput(const std::function<void()>& handle);
    // True while the anchor is being placed: the view's selection command must then take the cell.
    bool isAnchoring() const { return m_anchoring; }

private:
    // The view's current cell and block to the grid, the current cell moved onto a corner first.
    void pushBlock(QModelIndex current);
    void moveCurrentKeepingSelection(const QModelIndex& current);
    // Runs `step` with automatic scrolling off in both views.
    void withoutScrolling(const std::function<void()>& step);

    QTableView& m_view;
    QTableView& m_frozen;
    GridModel& m_model;
    Grid& m_grid;
    // Set while one side of the current-cell link updates the other.
    bool m_syncing = false;
    // Set while the view's own anchor for Shift-extended selections is being placed.
    bool m_anchoring = false;
    // Set while Qt handles a key or mouse event of the view.
    bool m_handlingInput = false;
};
