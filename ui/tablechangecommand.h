#pragma once

#include "tablechange.h"

#include <QUndoCommand>

class EditSession;

// One undo step: swaps a table between the two sides of a recorded change and shows where it happened.
class TableChangeCommand : public QUndoCommand
{
public:
    // The change has already been made when the command is pushed; its first redo does nothing.
    TableChangeCommand(EditSession& session, TableChange change, const QString& text);

    void undo() override;
    void redo() override;

private:
    void apply(TableChange::Side side);

    EditSession& m_session;
    TableChange m_change;
    bool m_done = true;
};
