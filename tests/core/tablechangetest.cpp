#include "officertable.h"
#include "officerwar.h"
#include "placementtable.h"
#include "tablechange.h"
#include "tablefixture.h"
#include "testregistry.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QStringList allTexts(const Grid& grid)
{
    QStringList texts;
    for (int r = 0; r < grid.rows(); ++r)
        for (int c = 0; c < grid.cols(); ++c)
            texts << grid.text(r, c);
    return texts;
}

} // namespace

// A recorded change holds exactly the bytes and cells an edit changed, and puts either side back.
class TableChangeTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void recorder_holdsOnlyWhatTheEditChanged()
    {
        TableFixture<OfficerTable> f(BlockId::Officer);
        f.table.fillGrid();
        const ChangeRecorder recorder(f.table, TableId::Officer);
        QVERIFY(f.commit(5, WarColumn, u"120"_s));
        const TableChange change = recorder.finish();
        const int record = f.grid.text(5, 0).toInt();
        QCOMPARE(change.bytes().size(), 1);
        QCOMPARE(change.bytes().first().offset, qsizetype(record) * OfficerTable::RecordSize + WarOffset);
        QCOMPARE(change.bytes().first().after, 120);
        for (const TableChange::Cell& cell : change.cells()) {
            QCOMPARE(cell.row, 5);
            QVERIFY(cell.col == WarColumn || cell.col == OfficerTable::MarkerColumn);
            QVERIFY(cell.before != cell.after);
        }
        QCOMPARE(change.cells().first().after, u"120"_s);
    }

    void recorder_noEdit_changesNoBytes()
    {
        TableFixture<OfficerTable> f(BlockId::Officer);
        f.table.fillGrid();
        const ChangeRecorder recorder(f.table, TableId::Officer);
        const TableChange change = recorder.finish();
        QVERIFY(!change.changesBytes());
        QVERIFY(change.cells().isEmpty());
    }

    void apply_bothSides_isByteAndTextExact()
    {
        TableFixture<OfficerTable> f(BlockId::Officer);
        f.table.fillGrid();
        const QByteArray blockBefore = f.table.block();
        const QStringList textsBefore = allTexts(f.grid);
        const ChangeRecorder recorder(f.table, TableId::Officer);
        f.table.setAllLifespans();
        const TableChange change = recorder.finish();
        const QByteArray blockAfter = f.table.block();
        const QStringList textsAfter = allTexts(f.grid);

        change.apply(f.table, TableChange::Side::Before);
        QCOMPARE(f.table.block(), blockBefore);
        QCOMPARE(allTexts(f.grid), textsBefore);
        change.apply(f.table, TableChange::Side::After);
        QCOMPARE(f.table.block(), blockAfter);
        QCOMPARE(allTexts(f.grid), textsAfter);
    }

    void apply_afterSort_findsCellsThroughTheirRecord()
    {
        TableFixture<OfficerTable> f(BlockId::Officer);
        f.table.fillGrid();
        const int record = f.grid.text(7, 0).toInt();
        const QString before = f.grid.text(7, WarColumn);
        // The cell an edit is made on is the current one when recording starts, as in the window.
        f.grid.setCurrentCell(7, WarColumn);
        const ChangeRecorder recorder(f.table, TableId::Officer);
        QVERIFY(f.commit(7, WarColumn, u"3"_s));
        const TableChange change = recorder.finish();
        f.table.sortGrid(WarColumn);
        int row = -1;
        for (int r = 1; r < f.grid.rows(); ++r)
            if (f.grid.text(r, 0).toInt() == record && row < 0)
                row = r;
        QVERIFY(row != 7);

        QCOMPARE(change.apply(f.table, TableChange::Side::Before), row);
        QCOMPARE(f.grid.text(row, WarColumn), before);
        QCOMPARE(change.focusColumn(), WarColumn);
        // No other row took the old value by position.
        QCOMPARE(f.grid.text(7, WarColumn) == before, f.grid.text(7, 0).toInt() == record);
    }

    void apply_rowOfAVanishedRecord_writesNoCell()
    {
        TableFixture<PlacementTable> f(BlockId::Placement);
        f.table.fillGrid();
        f.grid.setCurrentCell(3, 2);
        const ChangeRecorder recorder(f.table, TableId::Placement);
        QVERIFY(f.commit(3, 2, u"1"_s));
        const TableChange change = recorder.finish();
        QVERIFY(change.changesBytes());
        // A grid whose column 0 no longer names the record (a refill of other data, say).
        f.grid.setText(3, 0, u"not a record"_s);
        const QStringList texts = allTexts(f.grid);
        QCOMPARE(change.apply(f.table, TableChange::Side::Before), -1);
        QCOMPARE(allTexts(f.grid), texts);
    }
};

TAVRIN_TEST(TableChangeTest)
#include "tablechangetest.moc"
