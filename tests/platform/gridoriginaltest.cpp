#include "grid.h"
#include "testregistry.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

// The original text each cell keeps for telling a changed value from the file's.
class GridOriginalTest : public QObject
{
    Q_OBJECT

    static void fill(Grid& grid)
    {
        grid.setRows(5);
        grid.setCols(3);
        for (int r = 1; r < 5; ++r) {
            grid.setText(r, 0, QString::number(r));
            grid.setText(r, 1, QString::number(10 * (5 - r)));
            grid.setText(r, 2, u"x"_s + QString::number(r));
        }
    }

private Q_SLOTS:
    void beforeMarking_nothingCountsAsChanged()
    {
        Grid grid;
        fill(grid);
        grid.setText(2, 1, u"99"_s);
        QVERIFY(!grid.isChanged(2, 1));
        QCOMPARE(grid.originalText(2, 1), QString());
    }

    void afterMarking_onlyCellsWithAnotherTextAreChanged()
    {
        Grid grid;
        fill(grid);
        QSignalSpy marked(&grid, &Grid::originalsMarked);
        grid.markAllOriginal();
        QCOMPARE(marked.size(), 1);
        grid.setText(2, 1, u"99"_s);
        grid.setText(3, 1, grid.text(3, 1));
        QVERIFY(grid.isChanged(2, 1));
        QCOMPARE(grid.originalText(2, 1), u"30"_s);
        QVERIFY(!grid.isChanged(3, 1));
        QVERIFY(!grid.isChanged(2, 2));
        // Setting the old text back is no change any more.
        grid.setText(2, 1, u"30"_s);
        QVERIFY(!grid.isChanged(2, 1));
        QVERIFY(!grid.isChanged(-1, 0));
        QVERIFY(!grid.isChanged(9, 9));
    }

    void sort_carriesOriginalsWithTheirRows()
    {
        Grid grid;
        fill(grid);
        grid.markAllOriginal();
        grid.setText(1, 2, u"changed"_s);
        grid.sortNumeric(1, false);
        // Row 1 (value 40) is now last.
        QCOMPARE(grid.text(4, 0), u"1"_s);
        QVERIFY(grid.isChanged(4, 2));
        QCOMPARE(grid.originalText(4, 2), u"x1"_s);
        for (int r = 1; r < 4; ++r)
            QVERIFY(!grid.isChanged(r, 2));
    }

    void reshape_forgetsOriginals()
    {
        Grid grid;
        fill(grid);
        grid.markAllOriginal();
        grid.setRows(6);
        grid.setText(1, 1, u"7"_s);
        QVERIFY(!grid.isChanged(1, 1));
    }
};

TAVRIN_TEST(GridOriginalTest)
#include "gridoriginaltest.moc"
