#include "editorsession.h"
#include "officerwar.h"
#include "testregistry.h"

#include <QBrush>

using namespace Qt::StringLiterals;

namespace {

QModelIndex cellIndex(EditorSession& session, TableId id, int row, int col)
{
    return session.view(id)->model()->index(GridModel::toModelRow(row), col);
}

bool isTinted(const QModelIndex& index)
{
    const QVariant background = index.data(Qt::BackgroundRole);
    return background.isValid() && background.value<QBrush>().color() == GridModel::changedCellTint();
}

} // namespace

// Cells that differ from the file are tinted and tell their old value; undo and save take that away.
class ChangedCellsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void commit_tintsTheCellAndShowsTheOldValue()
    {
        EditorSession session;
        QVERIFY(session.active);
        constexpr int Row = 6;
        const QString old = session.grid(TableId::Officer).text(Row, WarColumn);
        QVERIFY(old != u"120"_s);
        QVERIFY(!isTinted(cellIndex(session, TableId::Officer, Row, WarColumn)));
        session.select(TableId::Officer, Row, WarColumn);
        EditorSession::type(u"120\r"_s);
        const QModelIndex cell = cellIndex(session, TableId::Officer, Row, WarColumn);
        QVERIFY(isTinted(cell));
        QCOMPARE(cell.data(Qt::ToolTipRole).toString(), QString(u"元の値: "_s + old));
        // Neighbours, and the label column of the row, are left alone.
        QVERIFY(!isTinted(cellIndex(session, TableId::Officer, Row, WarColumn + 1)));
        QVERIFY(!isTinted(cellIndex(session, TableId::Officer, Row + 1, WarColumn)));
        QVERIFY(!cellIndex(session, TableId::Officer, Row, WarColumn + 1).data(Qt::ToolTipRole).isValid());

        // Away from the current cell, whose highlight would cover the tint.
        session.select(TableId::Officer, Row + 3, WarColumn + 2);
        const QImage shot = session.view(TableId::Officer)->grab().toImage();
        if (qEnvironmentVariableIsSet("TAVRIN_SCREENSHOTS"))
            shot.save(qEnvironmentVariable("TAVRIN_SCREENSHOTS") + u"/changed-cell.png"_s);
    }

    void undo_removesTheTint()
    {
        EditorSession session;
        QVERIFY(session.active);
        session.select(TableId::City, 4, 3);
        EditorSession::type(u"9\r"_s);
        QVERIFY(isTinted(cellIndex(session, TableId::City, 4, 3)));
        session.main().undoAction()->trigger();
        QVERIFY(!isTinted(cellIndex(session, TableId::City, 4, 3)));
        session.main().redoAction()->trigger();
        QVERIFY(isTinted(cellIndex(session, TableId::City, 4, 3)));
    }

    void save_clearsEveryTint()
    {
        EditorSession session;
        QVERIFY(session.active);
        session.main().busyoItem(2)->trigger();
        int tinted = 0;
        for (int row = 1; row < session.grid(TableId::Officer).rows(); ++row)
            tinted += isTinted(cellIndex(session, TableId::Officer, row, OfficerTable::LifespanColumn));
        QVERIFY(tinted > 0);
        QVERIFY(session.save());
        for (int row = 1; row < session.grid(TableId::Officer).rows(); ++row)
            QVERIFY(!isTinted(cellIndex(session, TableId::Officer, row, OfficerTable::LifespanColumn)));
    }

    void sort_carriesTheTintWithItsRow()
    {
        EditorSession session;
        QVERIFY(session.active);
        constexpr int Row = 20;
        const int record = session.recordOfRow(TableId::Officer, Row);
        session.select(TableId::Officer, Row, WarColumn);
        EditorSession::type(u"0\r"_s);
        session.main().document().officers().sortGrid(WarColumn);
        Grid& grid = session.grid(TableId::Officer);
        for (int row = 1; row < grid.rows(); ++row)
            QCOMPARE(isTinted(cellIndex(session, TableId::Officer, row, WarColumn)),
                     grid.text(row, 0).toInt() == record);
    }
};

TAVRIN_TEST(ChangedCellsTest)
#include "changedcellstest.moc"
