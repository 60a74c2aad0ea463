#pragma once

#include <QTableView>

#include <memory>

class FileDropTarget;
class FrozenColumns;
class Grid;
class GridModel;
class GridSelectionSync;

// A cell in grid coordinates: row 0 is the header row. -1 marks "no cell".
struct GridCell
{
    int row = -1;
    int col = -1;

    bool isValid() const { return row >= 0 && col >= 0; }
    bool isHeaderRow() const { return row == 0 && col >= 0; }
    friend bool operator==(const GridCell&, const GridCell&) = default;
};

// Shows a Grid: the header row stays on top and the grid's label columns stay at the left while the
// rest scrolls beneath them (a second table view laid over the first shows them). The grid's current
// cell and selection follow the view and the other way round; the view is visible exactly while the
// grid is. Typing, double-clicks, right-button releases and file drops are reported as signals so
// that the window decides what they do.
class GridView : public QTableView
{
    Q_OBJECT

public:
    // Rows one wheel event scrolls when wheelScrollsThreeRows() is on.
    static constexpr int WheelRows = 3;

    // The grid must outlive the view.
    explicit GridView(Grid& grid, QWidget* parent = nullptr);
    ~GridView() override;

    Grid& grid() const { return m_grid; }
    GridModel* gridModel() const { return m_model; }

    // Label columns kept at the left: the grid's fixed columns.
    int frozenColumnCount() const;
    // Width in pixels of the label columns.
    int frozenWidth() const;
    // The view that draws the label columns; the same model and selection as this one.
    QTableView* frozenView() const;

    // Every wheel event scrolls exactly three rows (up for a positive distance, down otherwise)
    // instead of the view's own wheel behaviour.
    bool wheelScrollsThreeRows() const { return m_wheelThreeRows; }
    void setWheelScrollsThreeRows(bool on) { m_wheelThreeRows = on; }

    // Whether local files dropped on the view are accepted (and reported by filesDropped).
    bool acceptsFileDrops() const;
    void setAcceptFileDrops(bool on);

    // The grid's current cell in the coordinates of `ancestor` (global coordinates for nullptr);
    // an empty rectangle when the cell is outside the grid.
    QRect currentCellRect(const QWidget* ancestor) const;
    // The grid cell under a global position, header row included.
    GridCell cellAt(const QPoint& globalPos) const;
    GridCell cellUnderMouse() const;

    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    // True for modifiers that make a key a shortcut rather than a typed character: Meta, or exactly one
    // of Ctrl and Alt.
    static bool isShortcutChord(Qt::KeyboardModifiers modifiers);

    // Typing must never move the current cell: the typed key belongs to the cell editor.
    void keyboardSearch(const QString&) override {}

Q_SIGNALS:
    // Every key pressed while the view has the focus, before the view handles it.
    void keyPressed(int key, Qt::KeyboardModifiers modifiers);
    // Every key press that produces text (Enter, space, digits, control characters), after keyPressed.
    void characterTyped(const QString& text, int key);
    // A left double-click over the header row, with the column under the pointer.
    void headerRowDoubleClicked(int col);
    // A left double-click over a data cell (grid coordinates).
    void cellDoubleClicked(int row, int col);
    // The right button released over the grid; the press before it leaves the selection alone.
    void rightButtonReleased(const QPoint& globalPos);
    // Local files dropped on the view, in the order the drop lists them.
    void filesDropped(const QStringList& paths);

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event = nullptr) const override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void updateGeometries() override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void applyLayout();
    // Hides the rows the grid hides, in both views.
    void applyHiddenRows();
    void updateFrozenGeometry();
    void handleWheel(QWheelEvent* event);
    bool handleMouse(QMouseEvent* event);
    // The cell and header areas of the view and its label columns, whose events the view filters.
    QList<QWidget*> watchedAreas() const;
    QList<QWidget*> dropTargets();

    Grid& m_grid;
    QList<QMetaObject::Connection> m_gridConnections;
    GridModel* m_model = nullptr;
    std::unique_ptr<FrozenColumns> m_frozen;
    std::unique_ptr<GridSelectionSync> m_selection;
    std::unique_ptr<FileDropTarget> m_drops;
    bool m_wheelThreeRows = false;
};
