#pragma once

#include <QObject>
#include <QString>
#include <QVector>

#include <optional>

// Horizontal alignment of a grid column; every cell is centred vertically.
enum class ColumnAlignment
{
    Default,
    Left,
    Centre,
    Right,
};

// A headless text grid: the tables fill and read it, views only show it.
//
// Row and column 0 count from the top-left corner, fixed rows and columns included. While drawing is
// off no change is announced at all; switching drawing back on announces one refresh.
class Grid : public QObject
{
    Q_OBJECT

public:
    // Width a column keeps until a table sets one (twips).
    static constexpr int DefaultColumnWidth = 960;

    explicit Grid(QObject* parent = nullptr);

    int rows() const { return m_rows; }
    int cols() const { return m_cols; }
    void setRows(int rows);
    void setCols(int cols);

    int fixedRows() const { return m_fixedRows; }
    int fixedCols() const { return m_fixedCols; }
    void setFixedRows(int rows);
    void setFixedCols(int cols);

    // Out-of-range cells read as empty text and ignore writes.
    QString text(int row, int col) const;
    void setText(int row, int col, const QString& text);

    int colWidth(int col) const;
    void setColWidth(int col, int twips);
    ColumnAlignment colAlignment(int col) const;
    void setColAlignment(int col, ColumnAlignment alignment);

    // The current cell; the selection runs from it to (rowSel, colSel). It never stands on a row a
    // filter hides: hiding its row moves it to the first shown row, a sort under a filter lets it
    // follow its record, and with no row shown there is none (row() and rowSel() are -1; the column
    // is kept for when rows show again).
    int row() const { return m_row; }
    int col() const { return m_col; }
    int rowSel() const { return m_rowSel; }
    int colSel() const { return m_colSel; }
    bool hasCurrentCell() const { return m_row >= 0; }
    // Moves the current cell and collapses the selection onto it. Every move passes here, so a row a
    // filter hides never becomes current: the cell goes to the nearest shown row below it, else above
    // it, else there is none.
    void setCurrentCell(int row, int col);
    void setRow(int row) { setCurrentCell(row, m_col); }
    void setCol(int col) { setCurrentCell(m_row, col); }
    // No current cell, as when no row is shown; for putting back a state read before.
    void clearCurrentCell();
    // Extends the selection from the current cell to (rowSel, colSel); nothing without a current cell.
    void setSelectionEnd(int rowSel, int colSel);

    // Stands the current cell on a cell for a store that reads it (an import or a take may reach a
    // record a filter hides), then puts the cell and selection back; nothing is announced either way.
    class StoreTarget
    {
    public:
        StoreTarget(Grid& grid, int row, int col);
        ~StoreTarget();
        StoreTarget(const StoreTarget&) = delete;
        StoreTarget& operator=(const StoreTarget&) = delete;

    private:
        Grid& m_grid;
        int m_row, m_col, m_rowSel, m_colSel;
    };

    // The text a cell had when the grid last matched the file (after an open or a save); sorting carries
    // it along with its row. Empty until the first markAllOriginal().
    QString originalText(int row, int col) const;
    // True when the cell's text differs from its original text.
    bool isChanged(int row, int col) const;
    // Every cell's current text becomes its original text.
    void markAllOriginal();

    // The selected block as text: tab between cells, CR between rows, nothing after the last cell.
    // Hidden rows inside the block are left out.
    QString clip() const;

    // Rows a filter hides. Views leave them out, copy skips them, paste and keyboard moves pass over
    // them; sorting carries the mark with its row. Header rows are never hidden, and a reshaped grid
    // shows every row again.
    bool isRowHidden(int row) const;
    bool hasHiddenRows() const { return m_hiddenCount > 0; }
    // Data rows not hidden.
    int shownRowCount() const;
    // One flag per row (missing ones count as shown); fixed rows stay shown whatever their flag says.
    void setHiddenRows(const QVector<bool>& hidden);
    void showAllRows();
    // The next row from `row` in the direction of `step` (+1 or -1) that is shown, fixed rows included;
    // rows() or -1 past the end.
    int nextShownRow(int row, int step) const;

    // The cell's number as sorting and filters read it: plain decimal only (sign, digits, fraction),
    // so that a hex code such as 1E10 is no exponent; nullopt for anything else.
    static std::optional<double> numberIn(const QString& text);

    QString tag() const { return m_tag; }
    void setTag(const QString& tag) { m_tag = tag; }

    bool redraw() const { return m_redraw; }
    void setRedraw(bool on);

    bool isVisible() const { return m_visible; }
    void setVisible(bool visible);

    // Reorders the non-fixed rows as whole rows by the number in `col`. Stable; cells that are not
    // numbers come after all numbers in either direction, ordered by their text in the sort's direction.
    void sortNumeric(int col, bool descending);

Q_SIGNALS:
    // One cell changed while drawing was on.
    void cellChanged(int row, int col);
    // Anything else changed (shape, widths, order), or drawing was switched back on.
    void refreshed();
    // The current cell moved (row -1: there is none now).
    void currentCellChanged(int row, int col);
    // The selection end moved while the current cell stayed.
    void selectionChanged();
    void visibilityChanged(bool visible);
    // Every cell's original text was replaced (drawing on or off alike: it changes no text).
    void originalsMarked();
    // Rows were hidden or shown again (drawing on or off alike: views must never show a hidden row).
    void hiddenRowsChanged();

private:
    int index(int row, int col) const { return row * m_cols + col; }
    bool contains(int row, int col) const { return row >= 0 && row < m_rows && col >= 0 && col < m_cols; }
    void resize(int rows, int cols);
    void announceRefresh();
    // After the shown rows changed: a current cell on a hidden row moves to the first shown row, or
    // goes when none is shown; with none, the first shown row becomes current. True when it moved.
    bool keepCurrentOnShownRow();

    int m_rows = 0;
    int m_cols = 0;
    int m_fixedRows = 1;
    int m_fixedCols = 1;
    QVector<QString> m_cells;
    // Same shape as m_cells once marked; empty before (nothing counts as changed then).
    QVector<QString> m_original;
    // Empty while every row is shown; one flag per row otherwise.
    QVector<bool> m_hidden;
    int m_hiddenCount = 0;
    QVector<int> m_widths;
    QVector<ColumnAlignment> m_alignments;
    // The first data cell of a grid with one fixed row and column.
    int m_row = 1;
    int m_col = 1;
    int m_rowSel = 1;
    int m_colSel = 1;
    QString m_tag;
    bool m_redraw = true;
    bool m_visible = true;
};

// Switches a grid's drawing off for a scope and restores the state it found, so a fill inside the
// start-up (drawing already off) does not switch drawing on early.
class RedrawSuspender
{
public:
    explicit RedrawSuspender(Grid& grid) : m_grid(grid), m_was(grid.redraw()) { m_grid.setRedraw(false); }
    ~RedrawSuspender() { m_grid.setRedraw(m_was); }
    RedrawSuspender(const RedrawSuspender&) = delete;
    RedrawSuspender& operator=(const RedrawSuspender&) = delete;

private:
    Grid& m_grid;
    bool m_was;
};
