#include "exchangefixture.h"
#include "filebytes.h"
#include "grid.h"
#include "gridfind.h"
#include "officertable.h"
#include "rowfilter.h"
#include "tablepaste.h"
#include "testregistry.h"
#include "textmatch.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>

#include <variant>

using namespace Qt::StringLiterals;

namespace {

// A header row and five records: No, a reading, 武力, 寿命, a hex code.
void fillSmallGrid(Grid& grid)
{
    grid.setRows(6);
    grid.setCols(5);
    const QStringList header{u"No"_s, u"ルビ"_s, u"武力"_s, u"寿命"_s, u"顔"_s};
    const QList<QStringList> rows{
        {u"0"_s, u"ｿｳｿｳ"_s, u"95"_s, u"0"_s, u"1A"_s}, {u"1"_s, u"ﾘｭｳﾋﾞ"_s, u"75"_s, u"3"_s, u"2B"_s},
        {u"2"_s, u"ｶﾝｳ"_s, u"99"_s, u"0"_s, u"3c"_s},  {u"3"_s, u"ｿﾝｹﾝ"_s, u"88"_s, u"x"_s, u"4D"_s},
        {u"4"_s, u"ﾁｮｳﾋ"_s, u"97"_s, u"5"_s, u"ab"_s},
    };
    for (int c = 0; c < header.size(); ++c)
        grid.setText(0, c, header[c]);
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            grid.setText(r + 1, c, rows[r][c]);
}

// The records (column 0) of the rows a filter text leaves shown, or the error it gives.
QString shownRecords(const Grid& grid, const QString& text, const TextMatch::CellExtra& extra = {},
                     const RowFilter::RowTest& differs = {})
{
    const auto parsed = RowFilter::parse(text, grid, differs);
    if (const QString* error = std::get_if<QString>(&parsed))
        return u"error: "_s + *error;
    const QVector<bool> hidden = std::get<RowFilter>(parsed).hiddenRows(grid, extra);
    QStringList shown;
    for (int r = grid.fixedRows(); r < grid.rows(); ++r)
        if (!hidden[r])
            shown << grid.text(r, 0);
    return shown.join(u',');
}

} // namespace

// Matching that ignores width and case, filter words, find with wrap, and rows a filter hides.
class RowFilterTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void contains_ignoresWidthAndCase_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("found");
        QTest::newRow("full-width katakana finds half-width") << u"ｿｳｿｳ"_s << u"ソウソウ"_s << true;
        QTest::newRow("hiragana finds half-width") << u"ｿｳｿｳ"_s << u"そうそう"_s << true;
        QTest::newRow("half-width finds half-width") << u"ｿｳｿｳ"_s << u"ｿｳ"_s << true;
        QTest::newRow("voiced kana against base and mark") << u"ﾘｭｳﾋﾞ"_s << u"ビ"_s << true;
        QTest::newRow("voiced is not unvoiced") << u"ﾘｭｳﾋ"_s << u"ビ"_s << false;
        QTest::newRow("lower finds upper hex") << u"1A2B"_s << u"a2b"_s << true;
        QTest::newRow("full-width ASCII") << u"1A2B"_s << u"Ａ２"_s << true;
        QTest::newRow("NUL padding ignored") << u"AB\0\0"_s << u"b"_s << true;
        QTest::newRow("other text") << u"ｿｳｿｳ"_s << u"ﾘ"_s << false;
        QTest::newRow("kanji as they are") << u"曹操"_s << u"操"_s << true;
    }

    void contains_ignoresWidthAndCase()
    {
        QFETCH(QString, text);
        QFETCH(QString, typed);
        QFETCH(bool, found);
        QCOMPARE(TextMatch::contains(text, TextMatch::fold(typed)), found);
    }

    void filter_showsRowsWhereEveryWordHolds_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("nothing") << u""_s << u"0,1,2,3,4"_s;
        QTest::newRow("greater or equal") << u"武力>=95"_s << u"0,2,4"_s;
        QTest::newRow("greater") << u"武力>95"_s << u"2,4"_s;
        QTest::newRow("less or equal") << u"武力<=88"_s << u"1,3"_s;
        QTest::newRow("less") << u"武力<88"_s << u"1"_s;
        QTest::newRow("equal") << u"寿命=0"_s << u"0,2"_s;
        QTest::newRow("not equal skips non-numbers") << u"寿命!=0"_s << u"1,4"_s;
        QTest::newRow("two conditions and a word") << u"武力>=90 寿命=0 ソウ"_s << u"0"_s;
        QTest::newRow("full-width operator and digits") << u"武力＞＝９７"_s << u"2,4"_s;
        QTest::newRow("ideographic space between words") << u"武力>90　寿命=5"_s << u"4"_s;
        QTest::newRow("word in any cell, any case") << u"AB"_s << u"4"_s;
        QTest::newRow("hex is no number") << u"顔>1"_s << u""_s;
        QTest::newRow("negative number") << u"寿命>-1"_s << u"0,1,2,4"_s;
        QTest::newRow("unknown column") << u"知力>3"_s << u"error: 「知力」という列はありません。"_s;
        QTest::newRow("no number") << u"武力>="_s << u"error: 「武力>=」の右側が数ではありません。"_s;
        QTest::newRow("text number") << u"武力=abc"_s << u"error: 「武力=abc」の右側が数ではありません。"_s;
        QTest::newRow("no column") << u"=5"_s
                                   << u"error: 「=5」は「列名 比較 数」(例: 武力>=90) の形ではありません。"_s;
        QTest::newRow("lone not") << u"武力!5"_s
                                  << u"error: 「武力!5」は「列名 比較 数」(例: 武力>=90) の形ではありません。"_s;
    }

    void filter_showsRowsWhereEveryWordHolds()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        Grid grid;
        fillSmallGrid(grid);
        QCOMPARE(shownRecords(grid, text), shown);
    }

    // While comparing, 相違 keeps the rows that differ (here records 1 and 4); without a comparison
    // the word is refused rather than looked for as text.
    void filter_differenceWordKeepsDifferingRows_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("comparing");
        QTest::addColumn<QString>("shown");
        QTest::newRow("the word") << u"相違"_s << true << u"1,4"_s;
        QTest::newRow("with a condition") << u"武力>80 相違"_s << true << u"4"_s;
        QTest::newRow("with a word, full-width space") << u"相違　ﾁｮｳ"_s << true << u"4"_s;
        QTest::newRow("not comparing")
            << u"相違"_s << false << u"error: 「相違」で絞り込めるのは、比較している間だけです。"_s;
        QTest::newRow("衝突, the marks after a merge") << u"衝突"_s << true << u"1,4"_s;
        QTest::newRow("衝突, not comparing")
            << u"衝突"_s << false << u"error: 「衝突」で絞り込めるのは、比較している間だけです。"_s;
    }

    void filter_differenceWordKeepsDifferingRows()
    {
        QFETCH(QString, text);
        QFETCH(bool, comparing);
        QFETCH(QString, shown);
        Grid grid;
        fillSmallGrid(grid);
        RowFilter::RowTest differs;
        if (comparing)
            differs = [&grid](int row) { return grid.text(row, 0) == u"1"_s || grid.text(row, 0) == u"4"_s; };
        QCOMPARE(shownRecords(grid, text, {}, differs), shown);
    }

    void filter_matchesExtraText()
    {
        Grid grid;
        fillSmallGrid(grid);
        const TextMatch::CellExtra names = [](int row, int col) {
            return row == 3 && col == 1 ? u"関羽"_s : QString();
        };
        QCOMPARE(shownRecords(grid, u"関羽"_s, names), u"2"_s);
        QCOMPARE(shownRecords(grid, u"関羽"_s), QString());
    }

    void find_movesInReadingOrderAndWraps_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::addColumn<bool>("forward");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("includeStart");
        QTest::addColumn<int>("foundRow");
        QTest::addColumn<int>("foundCol");
        QTest::addColumn<bool>("wrapped");
        // "ｿ" is in rows 1 and 4 (column 1).
        QTest::newRow("next") << 1 << 1 << true << u"ソ"_s << false << 4 << 1 << false;
        QTest::newRow("next wraps") << 4 << 1 << true << u"ソ"_s << false << 1 << 1 << true;
        QTest::newRow("previous") << 4 << 1 << false << u"ソ"_s << false << 1 << 1 << false;
        QTest::newRow("previous wraps") << 1 << 1 << false << u"ソ"_s << false << 4 << 1 << true;
        QTest::newRow("later in the row first") << 2 << 0 << true << u"3"_s << false << 2 << 3 << false;
        QTest::newRow("typing keeps a matching cell") << 4 << 1 << true << u"ソ"_s << true << 4 << 1 << false;
        QTest::newRow("only the start cell matches") << 3 << 4 << true << u"3C"_s << false << 3 << 4 << true;
        QTest::newRow("from the header row") << 0 << 1 << true << u"ソ"_s << false << 1 << 1 << false;
    }

    void find_movesInReadingOrderAndWraps()
    {
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(bool, forward);
        QFETCH(QString, text);
        QFETCH(bool, includeStart);
        Grid grid;
        fillSmallGrid(grid);
        const auto hit = GridFind::find(grid, row, col, forward, text, {}, includeStart);
        QVERIFY(hit);
        QTEST(hit->row, "foundRow");
        QTEST(hit->col, "foundCol");
        QTEST(hit->wrapped, "wrapped");
    }

    void find_passesOverHiddenRowsAndReportsNothing()
    {
        Grid grid;
        fillSmallGrid(grid);
        QVector<bool> hidden(grid.rows(), false);
        hidden[4] = true;
        grid.setHiddenRows(hidden);
        const auto hit = GridFind::find(grid, 1, 1, true, u"ソ"_s, {});
        QVERIFY(hit);
        QCOMPARE(hit->row, 1);
        QVERIFY(hit->wrapped);
        QVERIFY(!GridFind::find(grid, 1, 1, true, u"ｿﾞ"_s, {}));
        QVERIFY(!GridFind::find(grid, 1, 1, true, QString(), {}));
    }

    void hiddenRows_leftOutOfCopyAndCarriedBySort()
    {
        Grid grid;
        fillSmallGrid(grid);
        QSignalSpy changed(&grid, &Grid::hiddenRowsChanged);
        QVector<bool> hidden(grid.rows(), false);
        hidden[0] = hidden[2] = hidden[4] = true; // the header row stays shown whatever it says
        grid.setHiddenRows(hidden);
        QCOMPARE(changed.count(), 1);
        QVERIFY(!grid.isRowHidden(0));
        QCOMPARE(grid.shownRowCount(), 3);
        QCOMPARE(grid.nextShownRow(1, 1), 3);
        QCOMPARE(grid.nextShownRow(5, 1), 6);
        QCOMPARE(grid.nextShownRow(3, -1), 1);

        grid.setCurrentCell(1, 0);
        grid.setSelectionEnd(5, 2);
        QCOMPARE(grid.clip(), u"0\tｿｳｿｳ\t95\r2\tｶﾝｳ\t99\r4\tﾁｮｳﾋ\t97"_s);

        // The whole grid is sorted; the hidden records 1 and 3 move with their rows and stay hidden.
        grid.sortNumeric(2, true);
        QStringList order, hiddenRecords;
        for (int r = 1; r < grid.rows(); ++r) {
            order << grid.text(r, 0);
            if (grid.isRowHidden(r))
                hiddenRecords << grid.text(r, 0);
        }
        QCOMPARE(order.join(u','), u"2,4,0,3,1"_s);
        QCOMPARE(hiddenRecords.join(u','), u"3,1"_s);

        grid.showAllRows();
        QVERIFY(!grid.hasHiddenRows());
        QCOMPARE(changed.count(), 2);
        grid.showAllRows();
        QCOMPARE(changed.count(), 2);
    }

    void paste_fillsConsecutiveShownRows()
    {
        OpenedImage image;
        QVERIFY(image.openSample());
        OfficerTable& officers = image.doc.officers();
        Grid& grid = officers.grid();
        constexpr int WarCol = 3;
        QVector<bool> hidden(grid.rows(), false);
        hidden[2] = hidden[3] = true;
        grid.setHiddenRows(hidden);
        const QString before2 = grid.text(2, WarCol);
        grid.setCurrentCell(1, WarCol);
        TablePaste::paste(officers, u"11\r\n12\r\n13"_s);
        QCOMPARE(grid.text(1, WarCol), u"11"_s);
        QCOMPARE(grid.text(2, WarCol), before2);
        QCOMPARE(grid.text(4, WarCol), u"12"_s);
        QCOMPARE(grid.text(5, WarCol), u"13"_s);

        // One value over a selection fills only its shown rows.
        const QString before3 = grid.text(3, WarCol);
        grid.setCurrentCell(1, WarCol);
        grid.setSelectionEnd(4, WarCol);
        TablePaste::paste(officers, u"20"_s);
        QCOMPARE(grid.text(1, WarCol), u"20"_s);
        QCOMPARE(grid.text(3, WarCol), before3);
        QCOMPARE(grid.text(4, WarCol), u"20"_s);
    }

    void open_showsEveryRowAgain()
    {
        OpenedImage image;
        QVERIFY(image.openSample());
        Grid& grid = image.doc.grid(TableId::City);
        QVector<bool> hidden(grid.rows(), true);
        grid.setHiddenRows(hidden);
        QVERIFY(grid.hasHiddenRows());
        QVERIFY(image.doc.open(image.path).isDone());
        QVERIFY(!grid.hasHiddenRows());
    }

    void nameList_fromWorkingDirectoryElseBesideTheImage_data()
    {
        QTest::addColumn<bool>("inWorkingDirectory");
        QTest::addColumn<bool>("besideImage");
        QTest::addColumn<bool>("absolute");
        QTest::addColumn<QString>("name");
        QTest::newRow("only beside the image") << false << true << false << u"Beside"_s;
        QTest::newRow("only in the working directory") << true << false << false << u"Here"_s;
        QTest::newRow("both: the working directory's") << true << true << false << u"Here"_s;
        QTest::newRow("an absolute path looks nowhere else") << false << true << true << QString();
    }

    void nameList_fromWorkingDirectoryElseBesideTheImage()
    {
        QFETCH(bool, inWorkingDirectory);
        QFETCH(bool, besideImage);
        QFETCH(bool, absolute);
        QTemporaryDir working;
        OpenedImage image;
        if (inWorkingDirectory)
            QVERIFY(writeFileBytes(working.filePath(u"b.txt"_s), "Here0\r\nHere1\r\n"));
        // Written after the first open, which reads the list by an absolute path beside the image.
        QVERIFY(image.openSample());
        if (besideImage)
            QVERIFY(writeFileBytes(image.dir.filePath(u"b.txt"_s), "Beside0\r\nBeside1\r\n"));
        const QString previous = QDir::currentPath();
        QDir::setCurrent(working.path());
        image.doc.setNameListPath(absolute ? working.filePath(u"b.txt"_s) : u"b.txt"_s);
        const bool opened = image.doc.open(image.path).isDone();
        QDir::setCurrent(previous);
        QVERIFY(opened);
        QFETCH(QString, name);
        const QString second = name.isEmpty() ? QString() : name + u'1';
        QCOMPARE(image.doc.grid(TableId::Placement).text(2, 1), second);
        QCOMPARE(image.doc.officerListName(*GridFind::rowOfRecord(image.doc.grid(TableId::Officer), 1)), second);
    }

    void goTo_findsTheRowOfARecord_data()
    {
        QTest::addColumn<bool>("sorted");
        QTest::addColumn<int>("record");
        QTest::addColumn<int>("row");
        QTest::newRow("in order") << false << 3 << 4;
        QTest::newRow("sorted") << true << 1 << 3;
        QTest::newRow("first") << false << 0 << 1;
        QTest::newRow("past the last") << false << 5 << -1;
        QTest::newRow("negative") << false << -1 << -1;
    }

    void goTo_findsTheRowOfARecord()
    {
        QFETCH(bool, sorted);
        QFETCH(int, record);
        Grid grid;
        fillSmallGrid(grid);
        if (sorted)
            grid.sortNumeric(3, false); // 寿命: 0, 0, 3, 5, then "x"
        QTEST(GridFind::rowOfRecord(grid, record).value_or(-1), "row");
        QCOMPARE(GridFind::recordRange(grid), (std::optional<std::pair<int, int>>{{0, 4}}));
    }
};

TAVRIN_TEST(RowFilterTest)
#include "rowfiltertest.moc"
