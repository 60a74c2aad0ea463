#pragma once

#include "document.h"
#include "table.h"

#include <QLineEdit>

#include <optional>

class EditSession;
class QKeyEvent;

// The in-place editor `txt` of the main window, shared by the five grids. Enter or a digit typed on a
// grid opens it over the grid's current cell; Enter in it commits the text into whichever grid is
// visible at that moment, under that grid's rule; Escape or leaving it discards the text. It keeps no
// reference to the cell it was opened on, so it stays open across a view switch or an open.
class CellEditor : public QLineEdit
{
    Q_OBJECT

public:
    static constexpr int EnterKey = 13;
    static constexpr int SpaceKey = 32;

    // Listens to the typed characters of every grid of the session; lies over the grids in `parent`.
    CellEditor(EditSession& session, QWidget* parent);

    bool isEditing() const { return m_editing; }

    // A character key typed on the grid of `id`; `key` is its character code (13 for Enter).
    void beginCellEdit(TableId id, int key);
    // Puts the text through the visible grid's rule into its current cell and block, then hides.
    void commitCellEdit();
    // Ctrl+Enter: puts the text through each column's rule into every cell of the visible grid's
    // selection, as one undo step, then hides; refused or skipped cells are told in one message.
    void fillSelection();
    // Hides without changing any cell or block.
    void cancelCellEdit();

    // The character code BeginCellEdit sees for a key that produced `text`; 0 when there is none.
    static int characterCode(const QString& text, int key);

Q_SIGNALS:
    // A space typed on the officer grid: the officer grid's double-click command runs.
    void spaceTypedOnOfficerGrid();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Opens over the current cell of the grid of `id` under `rule`, with `text` and either the
    // caret after it or all of it selected.
    void open(TableId id, const EditRule& rule, const QString& text, bool selectAll);
    void applyInputMode(InputMode mode);
    void onFocusChanged(QWidget* now);
    // Hides and hands the keyboard back to the visible grid.
    void finish();

    EditSession& m_session;
    bool m_editing = false;
};
