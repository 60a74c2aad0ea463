#include "tablechangecommand.h"

#include "editsession.h"

TableChangeCommand::TableChangeCommand(EditSession& session, QList<TableChange> changes, const QString& text)
    : QUndoCommand(text), m_session(session), m_changes(std::move(changes))
{
}

void TableChangeCommand::undo()
{
    apply(TableChange::Side::Before);
    m_done = false;
}

void TableChangeCommand::redo()
{
    if (m_done)
        return;
    apply(TableChange::Side::After);
    m_done = true;
}

void TableChangeCommand::apply(TableChange::Side side)
{
    if (m_changes.isEmpty())
        return;
    for (const TableChange& change : m_changes)
        change.apply(m_session.document().table(change.table()), side);
    m_session.announce(m_changes);
    // The first table of the step is shown; applying it again only finds its focus row.
    const TableChange& first = m_changes.first();
    const int row = first.focusRowIn(m_session.document().table(first.table()));
    m_session.showCell(first.table(), row, first.focusColumn());
}
