#include "editsession.h"

#include "grid.h"
#include "table.h"
#include "gridview.h"
#include "tablechangecommand.h"

#include <QApplication>

EditSession::EditSession(QWidget& window) : QObject(&window), m_window(window), m_document(std::make_unique<Document>())
{
}

EditSession::~EditSession() = default;

std::optional<TableId> EditSession::visibleTable() const
{
    for (const TableId id : AllTables)
        if (m_document->grid(id).isVisible())
            return id;
    return std::nullopt;
}

GridView* EditSession::visibleView() const
{
    const std::optional<TableId> id = visibleTable();
    return id ? view(*id) : nullptr;
}

void EditSession::showTable(std::optional<TableId> id)
{
    QWidget* focus = QApplication::focusWidget();
    const bool gridHadFocus = !focus || focus == &m_window || qobject_cast<GridView*>(focus);
    for (const TableId each : AllTables)
        m_document->grid(each).setVisible(each == id);
    if (id && gridHadFocus && view(*id))
        view(*id)->setFocus();
}

void EditSession::showCell(TableId id, int row, int col)
{
    if (visibleTable() != id)
        showTable(id);
    Grid& grid = m_document->grid(id);
    if (row < grid.fixedRows() || row >= grid.rows() || col < 0 || col >= grid.cols())
        return;
    // The user must see the cell: a filter that hides its row goes.
    if (grid.isRowHidden(row))
        grid.showAllRows();
    grid.setCurrentCell(row, col);
    if (GridView* shown = view(id))
        shown->scrollTo(shown->currentIndex());
}

void EditSession::push(QList<TableChange> changes, const QString& text)
{
    if (changes.isEmpty())
        return;
    announce(changes);
    m_undoStack.push(new TableChangeCommand(*this, std::move(changes), text));
}

void EditSession::announce(const QList<TableChange>& changes)
{
    QList<TableId> ids;
    for (const TableChange& change : changes)
        if (!ids.contains(change.table()))
            ids.append(change.table());
    // Every edit, take, undo and redo passes here: cells computed from the bytes show the bytes as
    // they are now, whichever way the bytes changed.
    for (const TableId id : std::as_const(ids))
        m_document->table(id).showComputedCells();
    Q_EMIT tablesChanged(ids);
}

void EditSession::startHistory()
{
    m_undoStack.clear();
    markGridsOriginal();
    Q_EMIT historyStarted();
}

void EditSession::markSaved()
{
    m_undoStack.setClean();
    markGridsOriginal();
    Q_EMIT saved();
}

void EditSession::markGridsOriginal()
{
    for (const TableId id : AllTables)
        m_document->grid(id).markAllOriginal();
}
