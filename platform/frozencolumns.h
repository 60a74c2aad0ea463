#pragma once

class Grid;
class GridModel;
class QTableView;

// The grid's label columns, kept at the left of a grid view: a second table view laid over the first,
// with the same model and selection, that scrolls rows in step with it but never sideways.
class FrozenColumns
{
public:
    // Creates the overlay as a child of `host`; both must outlive this object.
    FrozenColumns(QTableView& host, GridModel& model, const Grid& grid);

    QTableView* view() const { return m_view; }
    // Label columns: the grid's fixed columns, as far as the model has them.
    int count() const;
    // Width in pixels of the label columns.
    int width() const;
    // Gives the overlay the host's column widths and hides every column after the label columns.
    void applyWidths();
    // Widens each label column of the host that is narrower than one of its labels needs to show
    // whole (a record number must never end in "…"); applyWidths() passes that on to the overlay.
    // Labels change only with a refresh of the grid (fill, sort, undo), which lays the view out again.
    void fitLabels();
    // Lays the overlay over the host's left edge, header included, at the host's row position.
    void updateGeometry();

private:
    QTableView& m_host;
    GridModel& m_model;
    const Grid& m_grid;
    QTableView* m_view = nullptr;
};
