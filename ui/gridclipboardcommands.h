#pragma once

#include "document.h"

#include <QObject>

class EditSession;

// Copy and paste on every grid: Ctrl+C puts the selection on the clipboard (tab between cells, CR
// between rows); Ctrl+V or Shift+Insert pastes the clipboard's block at the selection, every cell
// through its column's commit rule, as one undo step, and tells what was refused or skipped.
class GridClipboardCommands : public QObject
{
    Q_OBJECT

public:
    explicit GridClipboardCommands(EditSession& session);

    void copy(TableId id);
    void paste(TableId id);

private:
    void keyPressed(TableId id, int key, Qt::KeyboardModifiers modifiers);

    EditSession& m_session;
};
