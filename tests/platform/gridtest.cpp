#include "grid.h"
#include "testregistry.h"

#include <QHash>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class GridTest : public QObject
{
    Q_OBJECT

private:
    static void fillColumn(Grid& grid, int col, const QStringList& texts)
    {
        grid.setRows(int(texts.size()) + 1);
        for (int i = 0; i < texts.size(); ++i)
            grid.setText(i + 1, col, texts[i]);
    }
    static QStringList column(const Grid& grid, int col)
    {
        QStringList out;
        for (int r = grid.fixedRows(); r < grid.rows(); ++r)
            out << grid.text(r, col);
        return out;
    }

private Q_SLOTS:
    void resize_keepsTextAndIgnoresOutOfRange()
    {
        Grid grid;
        grid.setRows(3);
        grid.setCols(3);
        grid.setText(1, 1, u"x"_s);
        grid.setText(5, 1, u"lost"_s);
        grid.setCols(5);
        QCOMPARE(grid.text(1, 1), u"x"_s);
        QCOMPARE(grid.text(5, 1), QString());
        QCOMPARE(grid.text(-1, 0), QString());
        QCOMPARE(grid.colWidth(4), Grid::DefaultColumnWidth);
    }

    void redrawOff_announcesNothingUntilSwitchedOn()
    {
        Grid grid;
        grid.setRows(3);
        grid.setCols(3);
        QSignalSpy cells(&grid, &Grid::cellChanged);
        QSignalSpy refreshes(&grid, &Grid::refreshed);
        grid.setRedraw(false);
        grid.setText(1, 1, u"a"_s);
        grid.setColWidth(1, 500);
        grid.setRows(10);
        QCOMPARE(cells.count(), 0);
        QCOMPARE(refreshes.count(), 0);
        grid.setRedraw(true);
        QCOMPARE(refreshes.count(), 1);
        grid.setText(1, 1, u"b"_s);
        QCOMPARE(cells.count(), 1);
    }

    void redrawSuspender_restoresTheStateItFound()
    {
        Grid grid;
        grid.setRedraw(false);
        {
            RedrawSuspender off(grid);
        }
        QVERIFY(!grid.redraw());
        grid.setRedraw(true);
        {
            RedrawSuspender off(grid);
            QVERIFY(!grid.redraw());
        }
        QVERIFY(grid.redraw());
    }

    void sortNumeric_data()
    {
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<bool>("descending");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("descending") << QStringList{u"5"_s, u"70"_s, u"8"_s} << true
                                    << QStringList{u"70"_s, u"8"_s, u"5"_s};
        QTest::newRow("ascending") << QStringList{u"5"_s, u"70"_s, u"8"_s} << false
                                   << QStringList{u"5"_s, u"8"_s, u"70"_s};
        QTest::newRow("text after numbers, descending")
            << QStringList{u"B"_s, u"3"_s, u"A"_s, u"12"_s} << true << QStringList{u"12"_s, u"3"_s, u"B"_s, u"A"_s};
        QTest::newRow("text after numbers, ascending")
            << QStringList{u"B"_s, u"3"_s, u"A"_s, u"12"_s} << false << QStringList{u"3"_s, u"12"_s, u"A"_s, u"B"_s};
        QTest::newRow("exponent-like hex is text")
            << QStringList{u"1E10"_s, u"20"_s, u"00FF"_s} << true << QStringList{u"20"_s, u"1E10"_s, u"00FF"_s};
        QTest::newRow("fractions and signs") << QStringList{u"-1"_s, u"2.5"_s, u" 2 "_s} << false
                                             << QStringList{u"-1"_s, u" 2 "_s, u"2.5"_s};
    }

    void sortNumeric()
    {
        QFETCH(QStringList, cells);
        QFETCH(bool, descending);
        QFETCH(QStringList, expected);
        Grid grid;
        grid.setCols(2);
        fillColumn(grid, 1, cells);
        grid.setText(0, 1, u"header"_s);
        grid.sortNumeric(1, descending);
        QCOMPARE(column(grid, 1), expected);
        QCOMPARE(grid.text(0, 1), u"header"_s);
    }

    void sortNumeric_movesWholeRowsAndIsStable()
    {
        Grid grid;
        grid.setCols(2);
        fillColumn(grid, 1, {u"1"_s, u"2"_s, u"1"_s, u"2"_s});
        for (int r = 1; r <= 4; ++r)
            grid.setText(r, 0, QString::number(r));
        grid.sortNumeric(1, true);
        QCOMPARE(column(grid, 0), (QStringList{u"2"_s, u"4"_s, u"1"_s, u"3"_s}));
    }

    // Small inputs say little: below 17 rows the library's unstable sort keeps ties in order too. Here
    // 600 rows share twelve keys, numbers written in several ways ("5", "05", "5.0") and two texts, and
    // each sort must keep every run of tied rows in the order the rows had before it.
    void sortNumeric_largeGridWithManyTies_keepsTiedRowsInTheirEarlierOrder()
    {
        constexpr int Rows = 600;
        Grid grid;
        grid.setCols(2);
        grid.setRows(Rows + 1);
        for (int i = 0; i < Rows; ++i) {
            // Column 0 names the row; the names are not in sorted order to begin with.
            grid.setText(i + 1, 0, QString::number((i * 389) % Rows));
            const int key = (i * 7) % 12;
            QString text = key == 10 ? u"x"_s : key == 11 ? u"y"_s : QString::number(key);
            if (key < 10 && i % 3 == 1)
                text = u'0' + text;
            else if (key < 10 && i % 3 == 2)
                text += u".0"_s;
            grid.setText(i + 1, 1, text);
        }
        const auto sameKey = [](const QString& a, const QString& b) {
            bool aNumber = false, bNumber = false;
            const double x = a.toDouble(&aNumber), y = b.toDouble(&bNumber);
            return aNumber && bNumber ? x == y : !aNumber && !bNumber && a == b;
        };
        for (const bool descending : {true, false, true}) {
            QHash<QString, int> before;
            for (int r = 1; r <= Rows; ++r)
                before.insert(grid.text(r, 0), r);
            grid.sortNumeric(1, descending);
            int ties = 0;
            for (int r = 2; r <= Rows; ++r) {
                if (!sameKey(grid.text(r - 1, 1), grid.text(r, 1)))
                    continue;
                ++ties;
                QVERIFY2(before.value(grid.text(r - 1, 0)) < before.value(grid.text(r, 0)),
                         qPrintable(u"rows %1 and %2 swapped"_s.arg(grid.text(r - 1, 0), grid.text(r, 0))));
            }
            QCOMPARE(ties, Rows - 12);
        }
    }

    void clip_tabsBetweenCellsAndCarriageReturnsBetweenRows()
    {
        Grid grid;
        grid.setRows(4);
        grid.setCols(3);
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 3; ++c)
                grid.setText(r, c, QString::number(r * 10 + c));
        grid.setCurrentCell(2, 1);
        QCOMPARE(grid.clip(), u"21"_s);
        grid.setSelectionEnd(1, 0);
        QCOMPARE(grid.clip(), u"10\t11\r20\t21"_s);
    }

    // Six records 0-5 in rows 1-6, column 1 holding 10, 50, 20, 40, 30, 60. The current cell starts on
    // `start`; the rows `hidden` are hidden, then those of `hiddenAfter` when given, then column 1 is
    // sorted when `sort` is 1 (descending) or 0 (ascending). `record` is the record the current cell
    // ends on, -1 for no current cell at all.
    void currentCell_isAShownRowOrNone_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<QList<int>>("hidden");
        QTest::addColumn<QList<int>>("hiddenAfter");
        QTest::addColumn<int>("sort");
        QTest::addColumn<int>("record");
        const QList<int> none;
        const QList<int> all{1, 2, 3, 4, 5, 6};
        QTest::newRow("a filter keeps a shown current row") << 4 << QList<int>{1, 3} << none << -1 << 3;
        QTest::newRow("a filter moves a hidden one to the first shown row") << 3 << QList<int>{1, 3} << none << -1 << 1;
        QTest::newRow("no row shown, no current cell") << 2 << all << none << -1 << -1;
        QTest::newRow("rows shown again, the first shown row") << 2 << all << QList<int>{1} << -1 << 1;
        QTest::newRow("filter cleared, the first row") << 2 << all << QList<int>{0} << -1 << 0;
        QTest::newRow("sort under a filter follows the record") << 4 << QList<int>{1, 6} << none << 1 << 3;
        QTest::newRow("ascending too") << 5 << QList<int>{2, 4} << none << 0 << 4;
        QTest::newRow("sort without a filter keeps the position") << 3 << none << none << 1 << 3;
        QTest::newRow("sort with no row shown") << 2 << all << none << 1 << -1;
    }

    void currentCell_isAShownRowOrNone()
    {
        QFETCH(int, start);
        QFETCH(QList<int>, hidden);
        QFETCH(QList<int>, hiddenAfter);
        QFETCH(int, sort);
        QFETCH(int, record);
        Grid grid;
        grid.setCols(3);
        fillColumn(grid, 1, {u"10"_s, u"50"_s, u"20"_s, u"40"_s, u"30"_s, u"60"_s});
        for (int r = 1; r < grid.rows(); ++r)
            grid.setText(r, 0, QString::number(r - 1));
        grid.setCurrentCell(start, 2);
        grid.setSelectionEnd(start + 1, 1);
        const auto flags = [&grid](const QList<int>& rows) {
            QVector<bool> out(grid.rows(), false);
            for (const int r : rows)
                out[r] = true;
            return out;
        };
        QSignalSpy moved(&grid, &Grid::currentCellChanged);
        grid.setHiddenRows(flags(hidden));
        // The header row is never hidden: {0} clears the filter.
        if (!hiddenAfter.isEmpty())
            grid.setHiddenRows(flags(hiddenAfter));
        if (sort >= 0)
            grid.sortNumeric(1, sort == 1);

        QCOMPARE(grid.hasCurrentCell(), record >= 0);
        if (record < 0) {
            QCOMPARE(grid.row(), -1);
            QCOMPARE(grid.clip(), QString());
            return;
        }
        QVERIFY(!grid.isRowHidden(grid.row()));
        QCOMPARE(grid.text(grid.row(), 0), QString::number(record));
        QCOMPARE(grid.col(), 2);
        // The view hears of every move.
        if (grid.row() != start)
            QVERIFY(!moved.isEmpty());
    }

    void currentCell_staysInsideTheGrid()
    {
        Grid grid;
        grid.setRows(3);
        grid.setCols(3);
        QCOMPARE(grid.row(), 1);
        QCOMPARE(grid.col(), 1);
        grid.setCurrentCell(7, 0);
        QCOMPARE(grid.row(), 1);
        grid.setCurrentCell(2, 2);
        grid.setRows(2);
        QCOMPARE(grid.row(), 1);
    }
};

TAVRIN_TEST(GridTest)
#include "gridtest.moc"
