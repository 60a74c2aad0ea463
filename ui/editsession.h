#pragma once

#include "document.h"
#include "tablechange.h"

#include <QObject>
#include <QUndoStack>

#include <array>
#include <deque>
#include <memory>
#include <optional>

class GridView;
class QWidget;

// The editing state the window, the cell editor and the grid commands share: the document, its undo
// history, the five views and which of them is shown. Every change of block bytes the user makes goes
// through record(), so that it becomes exactly one undo step.
class EditSession : public QObject
{
    Q_OBJECT

public:
    // `window` parents the dialogs and message boxes the commands show.
    explicit EditSession(QWidget& window);
    ~EditSession() override;

    Document& document() const { return *m_document; }
    QUndoStack& undoStack() { return m_undoStack; }
    QWidget& window() const { return m_window; }

    void setView(TableId id, GridView* view) { m_views[index(id)] = view; }
    GridView* view(TableId id) const { return m_views[index(id)]; }
    // The first visible grid in the order officers, cities, items, forces, placement.
    std::optional<TableId> visibleTable() const;
    GridView* visibleView() const;
    // Hides every grid, then shows the one of `id` (none for nullopt). The keyboard follows the view
    // unless it is elsewhere (in the cell editor, say).
    void showTable(std::optional<TableId> id);
    // Shows the grid of `id` and makes (row, col) its current cell, scrolled into view; a filter that
    // hides the row is cleared first.
    void showCell(TableId id, int row, int col);

    // Runs `edit` on the tables of `ids` and records what it changed to bytes and cells as one undo
    // step named `text`. An edit that changed no byte leaves no step.
    template <typename Edit> void record(const QList<TableId>& ids, const QString& text, Edit&& edit)
    {
        std::deque<ChangeRecorder> recorders;
        for (const TableId id : ids)
            recorders.emplace_back(m_document->table(id), id);
        edit();
        QList<TableChange> changes;
        for (const ChangeRecorder& recorder : recorders)
            if (TableChange change = recorder.finish(); change.changesBytes())
                changes.push_back(std::move(change));
        push(std::move(changes), text);
    }
    template <typename Edit> void record(TableId id, const QString& text, Edit&& edit)
    {
        record(QList<TableId>{id}, text, std::forward<Edit>(edit));
    }

    // True while the blocks differ from what was last opened or saved.
    bool isModified() const { return !m_undoStack.isClean(); }
    // After an open: a new history, and the grids as filled are what the file holds.
    void startHistory();
    // After a save: the history stays, and the grids as they are now match the file.
    void markSaved();
    // Shows the changed tables' computed cells as their bytes now are, then tells whoever follows the
    // tables' bytes that these changes were just made or put back.
    void announce(const QList<TableChange>& changes);

Q_SIGNALS:
    // The bytes of these tables changed: an edit, an undo or a redo.
    void tablesChanged(const QList<TableId>& ids);
    // An image was opened: what was derived from the one before no longer holds.
    void historyStarted();
    // The document was saved: the file now holds what the grids show.
    void saved();

private:
    static constexpr std::size_t index(TableId id) { return static_cast<std::size_t>(id); }
    void push(QList<TableChange> changes, const QString& text);
    void markGridsOriginal();

    QWidget& m_window;
    std::unique_ptr<Document> m_document;
    QUndoStack m_undoStack;
    std::array<GridView*, 5> m_views{};
};
