#pragma once

#include "tablechange.h"

#include <QUndoCommand>

class EditSession;

// One undo step: swaps the tables an edit changed (one, or several for an import) between the two sides
// of the recorded change and shows where it happened.
class TableChangeCommand : public QUndoCommand
{
public:
    // The change has already been made when the command is pushed; its first redo does nothing.
    TableChangeCommand(EditSession& session, QList<TableChange> changes, const QString& text);

    void undo() override;
    void redo() override;

private:
    void apply(TableChange::Side side);

    EditSession& m_session;
    QList<TableChange> m_changes;
    bool m_done = true;
};
