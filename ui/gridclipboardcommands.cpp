#include "gridclipboardcommands.h"

#include "clipboard.h"
#include "editorstate.h"
#include "editsession.h"
#include "exchangereport.h"
#include "grid.h"
#include "gridview.h"
#include "okmessagebox.h"
#include "tablepaste.h"

using namespace Qt::StringLiterals;

GridClipboardCommands::GridClipboardCommands(EditSession& session) : QObject(&session), m_session(session)
{
    for (const TableId id : AllTables) {
        connect(m_session.view(id), &GridView::keyPressed, this,
                [this, id](int key, Qt::KeyboardModifiers modifiers) { keyPressed(id, key, modifiers); });
    }
}

void GridClipboardCommands::keyPressed(TableId id, int key, Qt::KeyboardModifiers modifiers)
{
    // Ctrl alone: with Shift or Alt as well the key means something else, or nothing.
    const Qt::KeyboardModifiers held = modifiers & ~Qt::KeypadModifier;
    if (key == Qt::Key_C && held == Qt::ControlModifier)
        copy(id);
    else if ((key == Qt::Key_V && held == Qt::ControlModifier) || (key == Qt::Key_Insert && held == Qt::ShiftModifier))
        paste(id);
}

void GridClipboardCommands::copy(TableId id)
{
    // A clipboard that refuses the text is not reported; the user simply finds nothing to paste.
    Clipboard::CopyTextToClipboard(m_session.document().grid(id).clip());
}

void GridClipboardCommands::paste(TableId id)
{
    Document& document = m_session.document();
    const QString text = Clipboard::text();
    // Before an image is open there is no record for a value to reach.
    if (text.isEmpty() || document.state().currentPath().isEmpty())
        return;
    ExchangeReport report;
    CellRange covered;
    m_session.record(id, u"貼り付け"_s, [&] { report = TablePaste::paste(document.table(id), text, &covered); });
    // The pasted block is selected, as in spreadsheets, from the cell where it began.
    if (!covered.isEmpty()) {
        Grid& grid = document.grid(id);
        grid.setCurrentCell(covered.top, covered.left);
        grid.setSelectionEnd(covered.bottom, covered.right);
    }
    if (report.stored() > 0)
        document.state().showCurrentPath();
    if (report.hasProblems())
        OkMessageBox::show(&m_session.window(), EditorState::applicationTitle(), report.message());
}
