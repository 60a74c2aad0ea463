#include "officergridcommands.h"

#include "frmedit.h"
#include "editsession.h"
#include "grid.h"
#include "gridview.h"
#include "officertable.h"

#include <QMenu>

using namespace Qt::StringLiterals;

OfficerGridCommands::OfficerGridCommands(EditSession& session, QMenu& busyoMenu)
    : QObject(&session), m_session(session), m_busyoMenu(busyoMenu)
{
    GridView* fg = &view();
    connect(fg, &GridView::rightButtonReleased, this, &OfficerGridCommands::popupCommand);
    connect(fg, &GridView::headerRowDoubleClicked, this, [this](int col) { officerGridDoubleClick(GridCell{0, col}); });
    connect(fg, &GridView::cellDoubleClicked, this, [this](int row, int col) {
        officerGridDoubleClick(GridCell{row, col});
    });
}

GridView& OfficerGridCommands::view() const
{
    return *m_session.view(TableId::Officer);
}

Grid& OfficerGridCommands::grid() const
{
    return m_session.document().grid(TableId::Officer);
}

OfficerTable& OfficerGridCommands::officers() const
{
    return m_session.document().officers();
}

void OfficerGridCommands::popupCommand(const QPoint& globalPos)
{
    m_busyoMenu.popup(globalPos);
}

void OfficerGridCommands::officerGridDoubleClick()
{
    officerGridDoubleClick(view().cellUnderMouse());
}

void OfficerGridCommands::officerGridDoubleClick(const GridCell& underPointer)
{
    if (underPointer.isHeaderRow())
        officers().sortGrid(underPointer.col);
    else
        editCurrentRow();
}

void OfficerGridCommands::editCurrentRow()
{
    // Only a row that names a record has an officer to edit.
    if (grid().row() < grid().fixedRows() || grid().text(grid().row(), 0).isEmpty())
        return;
    // Only OK stores the row: Cancel, Escape and the close box leave the record as it is. What OK wrote
    // into the cells and the bytes it stored are one undo step.
    m_session.record(TableId::Officer, u"武将の編集"_s, [this] {
        bool accepted = false;
        {
            frmEdit dialog(grid(), &m_session.window());
            accepted = dialog.exec() == QDialog::Accepted;
        }
        if (accepted)
            officers().storeRow();
    });
    m_session.document().state().showCurrentPath();
}
