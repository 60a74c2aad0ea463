#include "cellblock.h"
#include "exchangefixture.h"
#include "grid.h"
#include "officertable.h"
#include "officerwar.h"
#include "table.h"
#include "tablepaste.h"
#include "testregistry.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

constexpr int WarCol = 3;
constexpr int LandCol = 4;
constexpr qsizetype LandOffset = 5;

quint8 officerByte(const OpenedImage& image, int record, qsizetype offset)
{
    return quint8(image.block(BlockId::Officer)[qsizetype(record) * OfficerTable::RecordSize + offset]);
}

} // namespace

// Paste: clipboard blocks into a grid, each cell through the column's commit rule and the table's store.
class TablePasteTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parse_splitsRowsAtEveryLineEnd_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<QStringList>>("rows");
        const QList<QStringList> twoByTwo{{u"1"_s, u"2"_s}, {u"3"_s, u"4"_s}};
        QTest::newRow("CR LF") << u"1\t2\r\n3\t4"_s << twoByTwo;
        QTest::newRow("LF") << u"1\t2\n3\t4"_s << twoByTwo;
        QTest::newRow("CR") << u"1\t2\r3\t4"_s << twoByTwo;
        QTest::newRow("trailing CR LF ignored") << u"1\t2\r\n3\t4\r\n"_s << twoByTwo;
        QTest::newRow("trailing LF ignored") << u"1\t2\n3\t4\n"_s << twoByTwo;
        QTest::newRow("trailing CR ignored") << u"1\t2\r3\t4\r"_s << twoByTwo;
        QTest::newRow("only one trailing line end ignored") << u"1\n\n"_s << QList<QStringList>{{u"1"_s}, {u""_s}};
        QTest::newRow("empty middle row") << u"1\n\n2"_s << QList<QStringList>{{u"1"_s}, {u""_s}, {u"2"_s}};
        QTest::newRow("empty cells kept") << u"\t5\t"_s << QList<QStringList>{{u""_s, u"5"_s, u""_s}};
        QTest::newRow("nothing") << QString() << QList<QStringList>{};
        QTest::newRow("line end only") << u"\r\n"_s << QList<QStringList>{};
    }

    void parse_splitsRowsAtEveryLineEnd()
    {
        QFETCH(QString, text);
        QFETCH(QList<QStringList>, rows);
        QCOMPARE(CellBlock::parse(text).rows(), rows);
    }

    void paste_capsAndStoresEveryCell()
    {
        OpenedImage image;
        QVERIFY(image.openSample());
        Grid& grid = image.doc.grid(TableId::Officer);
        grid.setCurrentCell(5, WarCol);
        const ExchangeReport report = TablePaste::paste(image.doc.officers(), u"300\t20\r\n7\t999\r\n"_s);
        QCOMPARE(report.stored(), 4);
        QVERIFY(!report.hasProblems());
        QVERIFY(report.message().isEmpty());
        QCOMPARE(grid.text(5, WarCol), u"255"_s);
        QCOMPARE(grid.text(5, LandCol), u"20"_s);
        QCOMPARE(grid.text(6, WarCol), u"7"_s);
        QCOMPARE(grid.text(6, LandCol), u"255"_s);
        QCOMPARE(officerByte(image, 4, WarOffset), quint8(255));
        QCOMPARE(officerByte(image, 4, LandOffset), quint8(20));
        QCOMPARE(officerByte(image, 5, WarOffset), quint8(7));
        QCOMPARE(officerByte(image, 5, LandOffset), quint8(255));
    }

    void paste_refusedCellChangesNothingAndIsReported()
    {
        OpenedImage image;
        QVERIFY(image.openSample());
        Grid& grid = image.doc.grid(TableId::Officer);
        const QString before = grid.text(10, WarCol);
        const QByteArray block = image.block(BlockId::Officer);
        grid.setCurrentCell(10, WarCol);
        const ExchangeReport report = TablePaste::paste(image.doc.officers(), u"abc\t12"_s);
        QCOMPARE(report.refused(), 1);
        QCOMPARE(report.stored(), 1);
        QCOMPARE(grid.text(10, WarCol), before);
        QCOMPARE(officerByte(image, 9, WarOffset), quint8(block[9 * 30 + WarOffset]));
        QCOMPARE(report.problemCells().size(), 1);
        const ExchangeReport::Cell cell = report.problemCells().front();
        QCOMPARE(cell.rowLabel, u"9"_s);
        QCOMPARE(cell.header, u"武力"_s);
        QCOMPARE(cell.text, u"abc"_s);
        QVERIFY(report.message().contains(u"武力"_s));
        QVERIFY(report.message().contains(u"「abc」"_s));
    }

    void paste_skipsLabelColumnsHeaderAndCellsOutsideTheGrid()
    {
        OpenedImage image;
        QVERIFY(image.openSample());
        Grid& grid = image.doc.grid(TableId::City);
        // City columns 0 and 1 are labels; the block also reaches past the last column (22).
        grid.setCurrentCell(1, 0);
        TablePaste::pasteAt(image.doc.table(TableId::City), CellBlock::parse(u"9\tX\t5"_s), 1, 0);
        QCOMPARE(grid.text(1, 0), u"0"_s);
        QCOMPARE(grid.text(1, 2), u"5"_s);
        const ExchangeReport wide =
            TablePaste::pasteAt(image.doc.table(TableId::City), CellBlock::parse(u"1\t2\t3"_s), 2, 21);
        // Columns 21 and 22 are not typed over, and column 23 does not exist.
        QCOMPARE(wide.skipped(), 3);
        QCOMPARE(wide.refused(), 0);
        QCOMPARE(wide.problemCells().last().header, u"表の外"_s);
        const ExchangeReport header =
            TablePaste::pasteAt(image.doc.table(TableId::City), CellBlock::parse(u"1"_s), 0, 2);
        QCOMPARE(header.skipped(), 1);
        QCOMPARE(grid.text(0, 2), u"人口*10000"_s);
        const ExchangeReport below =
            TablePaste::pasteAt(image.doc.table(TableId::City), CellBlock::parse(u"1\n2"_s), 276, 2);
        QCOMPARE(below.stored(), 1);
        QCOMPARE(below.skipped(), 1);
        QCOMPARE(below.problemCells().front().rowLabel, u"表の外"_s);
    }

    void paste_ofAWholeSheetOffTheGrid_keepsOnlyTheCellsItNames()
    {
        OpenedImage image;
        QVERIFY(image.openSample());
        // 100 rows of 100 cells put on the last city row: nearly all fall outside the grid.
        QStringList lines;
        for (int r = 0; r < 100; ++r)
            lines << QStringList(100, u"1"_s).join(u'\t');
        const ExchangeReport report =
            TablePaste::pasteAt(image.doc.table(TableId::City), CellBlock::parse(lines.join(u'\n')), 276, 2);
        QCOMPARE(report.stored() + report.skipped() + report.refused(), 10000);
        QCOMPARE(report.problemCells().size(), ExchangeReport::ListedCells);
        const int more = report.skipped() + report.refused() - ExchangeReport::ListedCells;
        QVERIFY(report.message().contains(u"ほか %1 個"_s.arg(more)));
    }

    void paste_singleValueFillsTheSelection()
    {
        OpenedImage image;
        QVERIFY(image.openSample());
        Grid& grid = image.doc.grid(TableId::Placement);
        const QString belowBefore = grid.text(13, 2);
        const QString rightBefore = grid.text(10, 6);
        // Selected from the bottom right up: the fill covers the rectangle whatever the direction.
        grid.setCurrentCell(12, 5);
        grid.setSelectionEnd(10, 2);
        const ExchangeReport report = TablePaste::paste(image.doc.table(TableId::Placement), u"300\r\n"_s);
        QCOMPARE(report.stored(), 12);
        const QByteArray block = image.block(BlockId::Placement);
        for (int row = 10; row <= 12; ++row) {
            for (int col = 2; col <= 5; ++col) {
                QCOMPARE(grid.text(row, col), u"255"_s);
                QCOMPARE(quint8(block[4 * (row - 1) + (col - 2)]), quint8(255));
            }
        }
        QCOMPARE(grid.text(13, 2), belowBefore);
        QCOMPARE(grid.text(10, 6), rightBefore);
        // A block of several cells starts at the selection's top-left and ignores its size.
        const ExchangeReport block2 = TablePaste::paste(image.doc.table(TableId::Placement), u"1\t2"_s);
        QCOMPARE(block2.stored(), 2);
        QCOMPARE(grid.text(10, 2), u"1"_s);
        QCOMPARE(grid.text(10, 3), u"2"_s);
        QCOMPARE(grid.text(10, 4), u"255"_s);
    }

    void paste_findsRecordsThroughColumnZeroAfterASort()
    {
        OpenedImage image;
        QVERIFY(image.openSample());
        OfficerTable& officers = image.doc.officers();
        Grid& grid = image.doc.grid(TableId::Officer);
        officers.sortGrid(WarCol);
        const int record = grid.text(1, 0).toInt();
        QVERIFY(record != 0);
        grid.setCurrentCell(1, WarCol);
        TablePaste::paste(officers, u"1"_s);
        QCOMPARE(officerByte(image, record, WarOffset), quint8(1));
    }

    void paste_keepsCurrentCellAndSelectionAndRefreshesOnce()
    {
        OpenedImage image;
        QVERIFY(image.openSample());
        Grid& grid = image.doc.grid(TableId::Officer);
        grid.setCurrentCell(3, 5);
        grid.setSelectionEnd(4, 6);
        QSignalSpy moved(&grid, &Grid::currentCellChanged);
        QSignalSpy changed(&grid, &Grid::cellChanged);
        QSignalSpy refreshed(&grid, &Grid::refreshed);
        TablePaste::pasteAt(image.doc.officers(), CellBlock::parse(u"1\t2\n3\t4"_s), 100, 3);
        QCOMPARE(grid.row(), 3);
        QCOMPARE(grid.col(), 5);
        QCOMPARE(grid.rowSel(), 4);
        QCOMPARE(grid.colSel(), 6);
        QCOMPARE(moved.count(), 0);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(refreshed.count(), 1);
        QVERIFY(grid.redraw());
    }

    void commitText_outcomesOnEveryTable_data()
    {
        QTest::addColumn<int>("table");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("shown");
        const int stored = int(CommitOutcome::Stored);
        const int refused = int(CommitOutcome::Refused);
        const int skipped = int(CommitOutcome::Skipped);
        QTest::newRow("officer name accepted")
            << int(TableId::Officer) << 1 << 1 << u"0a0b0c0d0e0f"_s << stored << u"0a0b0c0d0e0f"_s;
        QTest::newRow("officer name too short") << int(TableId::Officer) << 1 << 1 << u"0A0B"_s << refused << QString();
        QTest::newRow("officer record number") << int(TableId::Officer) << 1 << 0 << u"5"_s << skipped << QString();
        QTest::newRow("officer header row") << int(TableId::Officer) << 0 << 3 << u"5"_s << skipped << QString();
        QTest::newRow("officer negative") << int(TableId::Officer) << 1 << 3 << u"-5"_s << refused << QString();
        QTest::newRow("officer empty") << int(TableId::Officer) << 1 << 3 << QString() << refused << QString();
        QTest::newRow("city population capped") << int(TableId::City) << 1 << 2 << u"301"_s << stored << u"300"_s;
        QTest::newRow("city name column") << int(TableId::City) << 1 << 1 << u"5"_s << skipped << QString();
        QTest::newRow("city unnamed byte") << int(TableId::City) << 1 << 18 << u"5"_s << skipped << QString();
        QTest::newRow("item label") << int(TableId::Item) << 1 << 0 << u"5"_s << skipped << QString();
        QTest::newRow("item loyalty capped") << int(TableId::Item) << 1 << 1 << u"256"_s << stored << u"255"_s;
        QTest::newRow("force ruler above last officer")
            << int(TableId::Force) << 1 << 1 << u"532"_s << stored << u"65535"_s;
        QTest::newRow("placement letter") << int(TableId::Placement) << 1 << 2 << u"x"_s << refused << QString();
        QTest::newRow("placement past last column")
            << int(TableId::Placement) << 1 << 26 << u"1"_s << skipped << QString();
    }

    void commitText_outcomesOnEveryTable()
    {
        QFETCH(int, table);
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(QString, text);
        QFETCH(int, outcome);
        QFETCH(QString, shown);
        OpenedImage image;
        QVERIFY(image.openSample());
        const TableId id = TableId(table);
        Grid& grid = image.doc.grid(id);
        const QString before = grid.text(row, col);
        QCOMPARE(int(image.doc.table(id).commitText(row, col, text)), outcome);
        QCOMPARE(grid.text(row, col), outcome == int(CommitOutcome::Stored) ? shown : before);
    }

    void message_listsTheFirstFewAndCountsTheRest()
    {
        OpenedImage image;
        QVERIFY(image.openSample());
        Grid& grid = image.doc.grid(TableId::Force);
        grid.setCurrentCell(1, 1);
        grid.setSelectionEnd(8, 1);
        const ExchangeReport report = TablePaste::paste(image.doc.table(TableId::Force), u"x"_s);
        QCOMPARE(report.refused(), 8);
        const QString message = report.message();
        QVERIFY(message.contains(u"8 個のセルは値が受け付けられませんでした"_s));
        QCOMPARE(message.count(u"君主"_s), ExchangeReport::ListedCells);
        QVERIFY(message.contains(u"ほか 3 個"_s));
        // A tab or line end in a refused text would break the message's lines.
        grid.setCurrentCell(1, 1);
        const ExchangeReport control =
            TablePaste::pasteAt(image.doc.table(TableId::Force), CellBlock::parse(u"a\u0001b"_s), 1, 1);
        QVERIFY(control.message().contains(u"a\u2401b"_s));
    }
};

TAVRIN_TEST(TablePasteTest)
#include "tablepastetest.moc"
