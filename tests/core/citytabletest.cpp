#include "citytable.h"
#include "editorstate.h"
#include "grid.h"
#include "tablefixture.h"
#include "testregistry.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Record bytes that give every column of the grid a different, known text.
void writeKnownRecord(QByteArray& block, int n)
{
    const qsizetype b = qsizetype(30) * n;
    const std::array<std::uint8_t, 27> bytes{0xDE, 0xAD, 0x2C, 0x01, 0x8F, 0x02, 0xFF, 0xFF, 0xA3,
                                             200,  0x77, 11,   12,   13,   0x34, 0x12, 16,   17,
                                             0x01, 0x00, 0x00, 0x01, 0x10, 0x27, 24,   25,   26};
    for (std::size_t i = 0; i < bytes.size(); ++i)
        block[b + qsizetype(i)] = char(bytes[i]);
}

struct CityFixture : TableFixture<CityTable>
{
    CityFixture() : TableFixture(BlockId::City) {}
};

} // namespace

class CityTableTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void setUp_buildsLayoutAndLeavesDrawingOff()
    {
        CityFixture f;
        QCOMPARE(f.grid.rows(), 277);
        QCOMPARE(f.grid.cols(), 23);
        QCOMPARE(f.grid.fixedRows(), 1);
        QCOMPARE(f.grid.fixedCols(), 2);
        QVERIFY(!f.grid.redraw());
        QCOMPARE(f.grid.text(0, 0), u"No"_s);
        QCOMPARE(f.grid.text(0, 1), u"都市名"_s);
        QCOMPARE(f.grid.text(0, 2), u"人口*10000"_s);
        QCOMPARE(f.grid.text(0, 5), u"商業"_s);
        QCOMPARE(f.grid.text(0, 7), u"治水"_s);
        QCOMPARE(f.grid.text(0, 8), u"灌漑"_s);
        QCOMPARE(f.grid.text(0, 17), u"走舸"_s);
        for (int c = 18; c < 23; ++c)
            QVERIFY(f.grid.text(0, c).isEmpty());
        const QList<int> widths{360, 615, 1050, 600, 1050, 600, 480, 480, 480, 480, 480, 480,
                                600, 600, 600,  480, 480,  480, 480, 480, 480, 480, 480};
        for (int c = 0; c < 23; ++c)
            QCOMPARE(f.grid.colWidth(c), widths[c]);
        // Data cells stay empty until an image is opened.
        QVERIFY(f.grid.text(1, 2).isEmpty());
    }

    void labels_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("name");
        QTest::newRow("first") << 1 << u"0"_s << u"襄平1"_s;
        QTest::newRow("U+9134") << 7 << u"6"_s << QString(QChar(0x9134)) + u"1"_s;
        QTest::newRow("U+90B3") << 17 << u"16"_s << u"下"_s + QChar(0x90B3) + u"1"_s;
        QTest::newRow("U+8B59") << 20 << u"19"_s << QString(QChar(0x8B59)) + u"1"_s;
        QTest::newRow("second group") << 47 << u"46"_s << u"襄平2"_s;
        QTest::newRow("sixth group U+8B59") << 5 * 46 + 20 << u"249"_s << QString(QChar(0x8B59)) + u"6"_s;
        QTest::newRow("last") << 276 << u"275"_s << u"南海6"_s;
    }

    void labels()
    {
        QFETCH(int, row);
        QFETCH(QString, number);
        QFETCH(QString, name);
        CityFixture f;
        QCOMPARE(f.grid.text(row, 0), number);
        QCOMPARE(f.grid.text(row, 1), name);
    }

    void fill_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("text");
        QTest::newRow("population") << 2 << u"300"_s;
        QTest::newRow("gold") << 3 << u"655"_s;
        QTest::newRow("rice") << 4 << u"65535"_s;
        QTest::newRow("commerce") << 5 << u"4660"_s;
        QTest::newRow("development byte 11") << 6 << u"11"_s;
        QTest::newRow("flood control byte 13") << 7 << u"13"_s;
        QTest::newRow("irrigation byte 12") << 8 << u"12"_s;
        QTest::newRow("fertility low nibble") << 9 << u"3"_s;
        QTest::newRow("tax") << 10 << u"16"_s;
        QTest::newRow("loyalty") << 11 << u"17"_s;
        QTest::newRow("crossbows") << 12 << u"1"_s;
        QTest::newRow("strong crossbows high byte") << 13 << u"256"_s;
        QTest::newRow("war horses") << 14 << u"10000"_s;
        QTest::newRow("battleships") << 15 << u"24"_s;
        QTest::newRow("assault ships") << 16 << u"25"_s;
        QTest::newRow("fast boats") << 17 << u"26"_s;
        QTest::newRow("byte 9") << 18 << u"200"_s;
        QTest::newRow("high nibble of byte 8") << 19 << u"10"_s;
        QTest::newRow("col 20 empty") << 20 << QString();
        QTest::newRow("col 22 empty") << 22 << QString();
    }

    void fill()
    {
        QFETCH(int, col);
        QFETCH(QString, text);
        CityFixture f;
        writeKnownRecord(f.state.block(BlockId::City), 0);
        writeKnownRecord(f.state.block(BlockId::City), 275);
        f.table.fillGrid();
        QCOMPARE(f.grid.text(1, col), text);
        QCOMPARE(f.grid.text(276, col), text);
        QCOMPARE(f.grid.text(276, 1), u"南海6"_s);
    }

    void fill_keepsDrawingStateAndAnnouncesNoCells()
    {
        CityFixture f;
        f.grid.setRedraw(true);
        QSignalSpy cells(&f.grid, &Grid::cellChanged);
        QSignalSpy refreshes(&f.grid, &Grid::refreshed);
        f.table.fillGrid();
        QVERIFY(f.grid.redraw());
        QCOMPARE(cells.count(), 0);
        QCOMPARE(refreshes.count(), 1);
        f.grid.setRedraw(false);
        f.table.fillGrid();
        QVERIFY(!f.grid.redraw());
    }

    void checkText_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown"); // null: refused
        QTest::newRow("population capped") << 2 << u"301"_s << u"300"_s;
        QTest::newRow("population at cap") << 2 << u"300"_s << u"300"_s;
        QTest::newRow("gold capped") << 3 << u"700"_s << u"655"_s;
        QTest::newRow("rice capped") << 4 << u"70000"_s << u"65535"_s;
        QTest::newRow("commerce capped") << 5 << u"65536"_s << u"65535"_s;
        QTest::newRow("crossbows capped") << 12 << u"99999"_s << u"65535"_s;
        QTest::newRow("development capped") << 6 << u"999"_s << u"255"_s;
        QTest::newRow("fertility capped") << 9 << u"20"_s << u"15"_s;
        QTest::newRow("fertility fraction above cap") << 9 << u"15.4"_s << u"15"_s;
        QTest::newRow("fast boats capped") << 17 << u"256"_s << u"255"_s;
        QTest::newRow("fraction shown as stored") << 10 << u"2.5"_s << u"2"_s;
        QTest::newRow("spaces") << 11 << u" 7 "_s << u"7"_s;
        QTest::newRow("empty") << 2 << QString() << QString();
        QTest::newRow("letters") << 2 << u"1a"_s << QString();
        QTest::newRow("negative") << 4 << u"-1"_s << QString();
        QTest::newRow("negative nibble") << 9 << u"-3"_s << QString();
        QTest::newRow("read-only byte 9") << 18 << u"5"_s << QString();
        QTest::newRow("read-only nibble") << 19 << u"5"_s << QString();
        QTest::newRow("empty column") << 21 << u"5"_s << QString();
        QTest::newRow("label") << 1 << u"5"_s << QString();
    }

    void checkText()
    {
        QFETCH(int, col);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        CityFixture f;
        const std::optional<QString> result = f.table.checkText(col, typed);
        QCOMPARE(result.has_value(), !shown.isNull());
        if (result)
            QCOMPARE(*result, shown);
    }

    void store_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("offsets");
        QTest::addColumn<QList<int>>("values");
        QTest::newRow("population low byte first") << 1 << 2 << u"300"_s << QList<int>{2, 3} << QList<int>{0x2C, 0x01};
        QTest::newRow("gold") << 1 << 3 << u"655"_s << QList<int>{4, 5} << QList<int>{0x8F, 0x02};
        QTest::newRow("rice") << 1 << 4 << u"65535"_s << QList<int>{6, 7} << QList<int>{0xFF, 0xFF};
        QTest::newRow("commerce rounds half to even") << 1 << 5 << u"2.5"_s << QList<int>{14, 15} << QList<int>{2, 0};
        QTest::newRow("development byte 11") << 47 << 6 << u"7"_s << QList<int>{1380 + 11} << QList<int>{7};
        QTest::newRow("flood control byte 13") << 47 << 7 << u"7"_s << QList<int>{1380 + 13} << QList<int>{7};
        QTest::newRow("irrigation byte 12") << 47 << 8 << u"7"_s << QList<int>{1380 + 12} << QList<int>{7};
        QTest::newRow("tax") << 2 << 10 << u"9"_s << QList<int>{30 + 16} << QList<int>{9};
        QTest::newRow("loyalty") << 2 << 11 << u"0"_s << QList<int>{30 + 17} << QList<int>{0};
        QTest::newRow("crossbows") << 276 << 12 << u"258"_s << QList<int>{8250 + 18, 8250 + 19} << QList<int>{2, 1};
        QTest::newRow("strong crossbows")
            << 276 << 13 << u"1"_s << QList<int>{8250 + 20, 8250 + 21} << QList<int>{1, 0};
        QTest::newRow("war horses") << 276 << 14 << u"65535"_s << QList<int>{8250 + 22, 8250 + 23}
                                    << QList<int>{0xFF, 0xFF};
        QTest::newRow("battleships") << 276 << 15 << u"1"_s << QList<int>{8250 + 24} << QList<int>{1};
        QTest::newRow("assault ships") << 276 << 16 << u"2"_s << QList<int>{8250 + 25} << QList<int>{2};
        QTest::newRow("last used byte") << 276 << 17 << u"255"_s << QList<int>{8276} << QList<int>{255};
        QTest::newRow("byte 9 read-only") << 1 << 18 << u"5"_s << QList<int>{} << QList<int>{};
        QTest::newRow("nibble read-only") << 1 << 19 << u"5"_s << QList<int>{} << QList<int>{};
        QTest::newRow("empty column") << 1 << 22 << u"5"_s << QList<int>{} << QList<int>{};
        QTest::newRow("label column") << 1 << 1 << u"5"_s << QList<int>{} << QList<int>{};
        QTest::newRow("negative word") << 1 << 4 << u"-1"_s << QList<int>{} << QList<int>{};
        QTest::newRow("word too big") << 1 << 4 << u"65536"_s << QList<int>{} << QList<int>{};
        QTest::newRow("negative byte") << 1 << 6 << u"-1"_s << QList<int>{} << QList<int>{};
        QTest::newRow("nibble too big") << 1 << 9 << u"16"_s << QList<int>{} << QList<int>{};
        QTest::newRow("not a number") << 1 << 6 << u"x"_s << QList<int>{} << QList<int>{};
        QTest::newRow("header row") << 0 << 6 << u"5"_s << QList<int>{} << QList<int>{};
    }

    void store()
    {
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(QString, text);
        QFETCH(QList<int>, offsets);
        QFETCH(QList<int>, values);
        CityFixture f;
        QByteArray expected = f.state.block(BlockId::City);
        for (int i = 0; i < offsets.size(); ++i)
            expected[offsets[i]] = char(values[i]);
        f.store(row, col, text);
        QCOMPARE(f.state.block(BlockId::City), expected);
    }

    void storeFertility_keepsHighNibble()
    {
        CityFixture f;
        f.state.block(BlockId::City)[8] = char(0xA3);
        f.table.fillGrid();
        QVERIFY(f.commit(1, 9, u"20"_s));
        QCOMPARE(f.grid.text(1, 9), u"15"_s);
        QCOMPARE(quint8(f.state.block(BlockId::City)[8]), quint8(0xAF));
        QCOMPARE(f.grid.text(1, 19), u"10"_s);
        QVERIFY(f.commit(1, 9, u"0"_s));
        QCOMPARE(quint8(f.state.block(BlockId::City)[8]), quint8(0xA0));
    }

    void store_findsRecordThroughColumnZero_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<int>("offset"); // -1: nothing stored
        QTest::newRow("other record") << u"5"_s << 5 * 30 + 11;
        QTest::newRow("last record") << u"275"_s << 275 * 30 + 11;
        QTest::newRow("past the block") << u"276"_s << -1;
        QTest::newRow("negative") << u"-1"_s << -1;
        QTest::newRow("not a number") << u"x"_s << -1;
        QTest::newRow("empty") << QString() << -1;
    }

    void store_findsRecordThroughColumnZero()
    {
        QFETCH(QString, number);
        QFETCH(int, offset);
        CityFixture f;
        QByteArray expected = f.state.block(BlockId::City);
        if (offset >= 0)
            expected[offset] = char(99);
        f.grid.setText(1, 0, number);
        f.store(1, 6, u"99"_s);
        QCOMPARE(f.state.block(BlockId::City), expected);
    }

    void commitEveryColumn_neverTouchesUnshownBytes()
    {
        CityFixture f;
        const QByteArray before = f.state.block(BlockId::City);
        for (const int row : {1, 2, 46, 47, 275, 276})
            for (int col = 0; col < 23; ++col)
                f.commit(row, col, u"99999"_s);
        const QByteArray& after = f.state.block(BlockId::City);
        QCOMPARE(after.size(), before.size());
        for (int n = 0; n < CityTable::RecordCount; ++n) {
            const qsizetype b = qsizetype(30) * n;
            for (const int i : {0, 1, 9, 10, 27, 28, 29}) {
                if (b + i < after.size())
                    QCOMPARE(after[b + i], before[b + i]);
            }
            QCOMPARE(after[b + 8] & 0xF0, before[b + 8] & 0xF0);
        }
        // And the edits did land: the last record's rice is capped at 65535.
        QCOMPARE(quint8(after[8250 + 6]), quint8(0xFF));
    }

    void editRule_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<int>("length");
        QTest::newRow("number") << 0 << false << 0;
        QTest::newRow("name") << 1 << false << 0;
        QTest::newRow("population") << 2 << true << 3;
        QTest::newRow("gold") << 3 << true << 3;
        QTest::newRow("rice") << 4 << true << 5;
        QTest::newRow("commerce") << 5 << true << 5;
        QTest::newRow("development") << 6 << true << 3;
        QTest::newRow("fertility") << 9 << true << 2;
        QTest::newRow("loyalty") << 11 << true << 3;
        QTest::newRow("crossbows") << 12 << true << 5;
        QTest::newRow("strong crossbows") << 13 << true << 5;
        QTest::newRow("war horses") << 14 << true << 5;
        QTest::newRow("fast boats") << 17 << true << 3;
        QTest::newRow("byte 9") << 18 << false << 0;
        QTest::newRow("high nibble") << 19 << false << 0;
        QTest::newRow("last") << 22 << false << 0;
        QTest::newRow("outside") << 23 << false << 0;
    }

    void editRule()
    {
        QFETCH(int, col);
        QFETCH(bool, opens);
        QFETCH(int, length);
        CityFixture f;
        compareEditRule(f.table.editRule(col), opens, length);
    }
};

TAVRIN_TEST(CityTableTest)
#include "citytabletest.moc"
