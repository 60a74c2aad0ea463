#pragma once

#include <QObject>

class EditSession;
class Grid;
class GridView;
class OfficerTable;
class QMenu;
struct GridCell;

// The commands only the officer grid `fg` has: the right button shows the pop-up `mnuBusyo`, and a
// double-click (or a space) sorts from the header row or opens the officer dialog for the current row.
class OfficerGridCommands : public QObject
{
    Q_OBJECT

public:
    // `busyoMenu` is the pop-up the right button shows.
    OfficerGridCommands(EditSession& session, QMenu& busyoMenu);

    // OfficerGridDoubleClick as the space bar runs it: the cell under the mouse pointer decides.
    void officerGridDoubleClick();
    // Over the header row sorts by the column of `underPointer`; elsewhere edits the current row.
    void officerGridDoubleClick(const GridCell& underPointer);

private:
    void popupCommand(const QPoint& globalPos);
    // Shows the officer dialog for the current row, then stores the row whatever the dialog did.
    void editCurrentRow();

    GridView& view() const;
    Grid& grid() const;
    OfficerTable& officers() const;

    EditSession& m_session;
    QMenu& m_busyoMenu;
};
