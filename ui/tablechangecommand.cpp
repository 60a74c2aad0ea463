#include "tablechangecommand.h"

#include "editsession.h"

TableChangeCommand::TableChangeCommand(EditSession& session, TableChange change, const QString& text)
    : QUndoCommand(text), m_session(session), m_change(std::move(change))
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
    const TableId id = m_change.table();
    const int row = m_change.apply(m_session.document().table(id), side);
    m_session.showCell(id, row, m_change.focusColumn());
}
