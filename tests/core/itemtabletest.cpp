#include "editorstate.h"
#include "grid.h"
#include "itemtable.h"
#include "tablefixture.h"
#include "testregistry.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct ItemFixture : TableFixture<ItemTable>
{
    ItemFixture() : TableFixture(BlockId::Item) {}
};

} // namespace

class ItemTableTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void setUp_buildsLayoutAndLeavesDrawingOff()
    {
        ItemFixture f;
        QCOMPARE(f.grid.rows(), 14);
        QCOMPARE(f.grid.cols(), 5);
        QCOMPARE(f.grid.fixedRows(), 1);
        QCOMPARE(f.grid.fixedCols(), 1);
        QVERIFY(!f.grid.redraw());
        QCOMPARE(f.grid.text(0, 0), u"アイテム名"_s);
        QCOMPARE(f.grid.text(0, 2), u"知力,武力"_s);
        QCOMPARE(f.grid.text(0, 4), u"名前（16進）"_s);
        QCOMPARE(f.grid.text(1, 0), u"孫子の兵法書"_s);
        QCOMPARE(f.grid.text(13, 0), u"玉璽"_s);
        QCOMPARE(f.grid.colWidth(0), 1250);
        QCOMPARE(f.grid.colWidth(1), Grid::DefaultColumnWidth);
        QCOMPARE(f.grid.colWidth(4), 2500);
        QCOMPARE(f.grid.colAlignment(4), ColumnAlignment::Right);
        QCOMPARE(f.grid.colAlignment(1), ColumnAlignment::Default);
        QVERIFY(f.grid.text(1, 1).isEmpty());
    }

    void fill_data()
    {
        QTest::addColumn<int>("record");
        QTest::newRow("first") << 0;
        QTest::newRow("last") << 12;
    }

    void fill()
    {
        QFETCH(int, record);
        ItemFixture f;
        QByteArray& block = f.state.block(BlockId::Item);
        const qsizetype b = qsizetype(18) * record;
        block[b + 2] = char(0);
        block[b + 3] = char(128);
        block[b + 4] = char(255);
        const QByteArray name = QByteArray::fromHex("000AFF010101010101010101");
        std::copy(name.cbegin(), name.cend(), block.begin() + b + 5);
        f.grid.setRedraw(true);
        f.table.fillGrid();
        QVERIFY(f.grid.redraw());
        QCOMPARE(f.grid.text(record + 1, 1), u"0"_s);
        QCOMPARE(f.grid.text(record + 1, 2), u"128"_s);
        QCOMPARE(f.grid.text(record + 1, 3), u"255"_s);
        QCOMPARE(f.grid.text(record + 1, 4), u"000AFF010101010101010101"_s);
        QCOMPARE(f.table.itemNameText(record), u"000AFF010101010101010101"_s);
        // The label column belongs to the set-up, not to the fill.
        QCOMPARE(f.grid.text(1, 0), u"孫子の兵法書"_s);
    }

    void checkText_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown"); // null: refused
        QTest::newRow("within") << 1 << u"95"_s << u"95"_s;
        QTest::newRow("capped") << 1 << u"300"_s << u"255"_s;
        QTest::newRow("fraction") << 2 << u"3.5"_s << u"4"_s;
        QTest::newRow("negative") << 3 << u"-1"_s << QString();
        QTest::newRow("empty") << 3 << QString() << QString();
        QTest::newRow("letters") << 1 << u"ab"_s << QString();
        QTest::newRow("label") << 0 << u"5"_s << QString();
        QTest::newRow("name upper") << 4 << u"000AFF010101010101010101"_s << u"000AFF010101010101010101"_s;
        QTest::newRow("name lower kept") << 4 << u"000aff010101010101010101"_s << u"000aff010101010101010101"_s;
        QTest::newRow("name short") << 4 << u"000AFF01010101010101010"_s << QString();
        QTest::newRow("name long") << 4 << u"000AFF0101010101010101010"_s << QString();
        QTest::newRow("name not hex") << 4 << u"000AFF01010101010101010G"_s << QString();
        QTest::newRow("name empty") << 4 << QString() << QString();
    }

    void checkText()
    {
        QFETCH(int, col);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        ItemFixture f;
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
        QTest::addColumn<int>("offset"); // first byte written, -1: nothing
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("loyalty") << 1 << 1 << u"255"_s << 2 << QByteArray("\xFF", 1);
        QTest::newRow("intelligence") << 1 << 2 << u"0"_s << 3 << QByteArray("\x00", 1);
        QTest::newRow("politics last record") << 13 << 3 << u"7"_s << 216 + 4 << QByteArray("\x07", 1);
        QTest::newRow("name upper") << 13 << 4 << u"00112233445566778899AABB"_s << 216 + 5
                                    << QByteArray::fromHex("00112233445566778899AABB");
        QTest::newRow("name lower") << 2 << 4 << u"00112233445566778899aabb"_s << 18 + 5
                                    << QByteArray::fromHex("00112233445566778899AABB");
        QTest::newRow("short name stores nothing") << 1 << 4 << u"0011"_s << -1 << QByteArray();
        QTest::newRow("negative") << 1 << 1 << u"-1"_s << -1 << QByteArray();
        QTest::newRow("too big") << 1 << 1 << u"256"_s << -1 << QByteArray();
        QTest::newRow("label column") << 1 << 0 << u"5"_s << -1 << QByteArray();
        QTest::newRow("header row") << 0 << 1 << u"5"_s << -1 << QByteArray();
    }

    void store()
    {
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(QString, text);
        QFETCH(int, offset);
        QFETCH(QByteArray, bytes);
        ItemFixture f;
        QByteArray expected = f.state.block(BlockId::Item);
        if (offset >= 0)
            expected.replace(offset, bytes.size(), bytes);
        f.store(row, col, text);
        QCOMPARE(f.state.block(BlockId::Item), expected);
    }

    void store_findsRecordByRowPosition()
    {
        // Column 0 holds a label, not a number, so the row itself names the record.
        ItemFixture f;
        QVERIFY(f.commit(5, 1, u"42"_s));
        QCOMPARE(quint8(f.state.block(BlockId::Item)[4 * 18 + 2]), quint8(42));
    }

    void commitEveryColumn_neverTouchesUnshownBytes()
    {
        ItemFixture f;
        const QByteArray before = f.state.block(BlockId::Item);
        for (int row = 1; row <= 13; ++row) {
            for (int col = 0; col < 4; ++col)
                f.commit(row, col, u"300"_s);
            QVERIFY(f.commit(row, 4, u"FFFFFFFFFFFFFFFFFFFFFFFF"_s));
        }
        const QByteArray& after = f.state.block(BlockId::Item);
        QCOMPARE(after.size(), before.size());
        for (int n = 0; n < ItemTable::RecordCount; ++n) {
            const qsizetype b = qsizetype(18) * n;
            for (const int i : {0, 1, 17})
                QCOMPARE(after[b + i], before[b + i]);
            for (int i = 2; i <= 16; ++i)
                QCOMPARE(quint8(after[b + i]), quint8(0xFF));
        }
    }

    void editRule_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<int>("length");
        QTest::newRow("label") << 0 << false << 0;
        QTest::newRow("loyalty") << 1 << true << 3;
        QTest::newRow("politics") << 3 << true << 3;
        QTest::newRow("name") << 4 << true << 24;
        QTest::newRow("outside") << 5 << false << 0;
    }

    void editRule()
    {
        QFETCH(int, col);
        QFETCH(bool, opens);
        QFETCH(int, length);
        ItemFixture f;
        compareEditRule(f.table.editRule(col), opens, length);
    }
};

TAVRIN_TEST(ItemTableTest)
#include "itemtabletest.moc"
