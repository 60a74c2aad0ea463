#include "editorstate.h"
#include "forcetable.h"
#include "grid.h"
#include "tablefixture.h"
#include "testregistry.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct ForceFixture : TableFixture<ForceTable>
{
    ForceFixture() : TableFixture(BlockId::Force) { table.fillGrid(); }
};

} // namespace

class ForceTableTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void setUp_buildsLayoutAndLeavesDrawingOff()
    {
        Grid grid;
        EditorState state;
        ForceTable table(grid, state);
        table.setUpGrid();
        QCOMPARE(grid.rows(), 127);
        QCOMPARE(grid.cols(), 4);
        QCOMPARE(grid.fixedRows(), 1);
        QCOMPARE(grid.fixedCols(), 1);
        QVERIFY(!grid.redraw());
        QCOMPARE(grid.text(0, 0), u"No"_s);
        QCOMPARE(grid.text(0, 1), u"君主"_s);
        QCOMPARE(grid.text(0, 2), u"本拠"_s);
        QCOMPARE(grid.text(0, 3), u"？"_s);
        QCOMPARE(grid.colWidth(0), 360);
        QCOMPARE(grid.colWidth(1), Grid::DefaultColumnWidth);
        QVERIFY(grid.text(1, 0).isEmpty());
    }

    void fill_data()
    {
        QTest::addColumn<int>("record");
        QTest::newRow("first") << 0;
        QTest::newRow("last") << 125;
    }

    void fill()
    {
        QFETCH(int, record);
        Grid grid;
        EditorState state;
        ForceTable table(grid, state);
        table.setUpGrid();
        QByteArray& block = state.block(BlockId::Force);
        const qsizetype b = qsizetype(25) * record;
        block[b] = char(0x34);
        block[b + 1] = char(0x12);
        block[b + 2] = char(46);
        block[b + 3] = char(200);
        table.fillGrid();
        QVERIFY(!grid.redraw());
        QCOMPARE(grid.text(record + 1, 0), QString::number(record));
        QCOMPARE(grid.text(record + 1, 1), u"4660"_s);
        QCOMPARE(grid.text(record + 1, 2), u"46"_s);
        QCOMPARE(grid.text(record + 1, 3), u"200"_s);
    }

    void checkText_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown"); // null: refused
        QTest::newRow("ruler at limit") << 1 << u"531"_s << u"531"_s;
        QTest::newRow("ruler above limit means none") << 1 << u"532"_s << u"65535"_s;
        QTest::newRow("ruler fraction above limit") << 1 << u"531.2"_s << u"65535"_s;
        QTest::newRow("ruler fraction") << 1 << u"2.5"_s << u"2"_s;
        QTest::newRow("ruler negative") << 1 << u"-1"_s << QString();
        QTest::newRow("ruler letters") << 1 << u"abc"_s << QString();
        QTest::newRow("home at limit") << 2 << u"46"_s << u"46"_s;
        QTest::newRow("home above limit means none") << 2 << u"47"_s << u"255"_s;
        QTest::newRow("home negative") << 2 << u"-5"_s << QString();
        QTest::newRow("unnamed byte") << 3 << u"200"_s << u"200"_s;
        QTest::newRow("unnamed byte capped") << 3 << u"999"_s << u"255"_s;
        QTest::newRow("unnamed byte letters") << 3 << u"x"_s << QString();
        QTest::newRow("unnamed byte negative") << 3 << u"-1"_s << QString();
        QTest::newRow("empty") << 2 << QString() << QString();
        QTest::newRow("number column") << 0 << u"5"_s << QString();
    }

    void checkText()
    {
        QFETCH(int, col);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        ForceFixture f;
        const std::optional<QString> result = f.table.checkText(col, typed);
        QCOMPARE(result.has_value(), !shown.isNull());
        if (result)
            QCOMPARE(*result, shown);
    }

    void commit_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("offset"); // -1: nothing stored
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("ruler low byte first") << 1 << 1 << u"531"_s << 0 << QByteArray("\x13\x02", 2);
        QTest::newRow("ruler none") << 1 << 1 << u"532"_s << 0 << QByteArray("\xFF\xFF", 2);
        QTest::newRow("home") << 2 << 2 << u"46"_s << 25 + 2 << QByteArray("\x2E", 1);
        QTest::newRow("home none") << 2 << 2 << u"47"_s << 25 + 2 << QByteArray("\xFF", 1);
        QTest::newRow("unnamed byte stored") << 126 << 3 << u"7"_s << 3125 + 3 << QByteArray("\x07", 1);
        QTest::newRow("last ruler") << 126 << 1 << u"0"_s << 3125 << QByteArray("\x00\x00", 2);
        QTest::newRow("refused negative") << 1 << 2 << u"-1"_s << -1 << QByteArray();
    }

    void commit()
    {
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(QString, typed);
        QFETCH(int, offset);
        QFETCH(QByteArray, bytes);
        ForceFixture f;
        const QString before = f.grid.text(row, col);
        QByteArray expected = f.state.block(BlockId::Force);
        if (offset >= 0)
            expected.replace(offset, bytes.size(), bytes);
        QCOMPARE(f.commit(row, col, typed), offset >= 0);
        QCOMPARE(f.state.block(BlockId::Force), expected);
        // What the cell shows is what the next open will show.
        const QString shown = f.grid.text(row, col);
        f.table.fillGrid();
        QCOMPARE(f.grid.text(row, col), shown);
        if (offset < 0)
            QCOMPARE(shown, before);
    }

    void store_refusesWhatTheFieldCannotHold_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("text");
        QTest::newRow("negative ruler") << 1 << u"-1"_s;
        QTest::newRow("ruler too big") << 1 << u"65536"_s;
        QTest::newRow("negative home") << 2 << u"-1"_s;
        QTest::newRow("unnamed too big") << 3 << u"256"_s;
        QTest::newRow("not a number") << 1 << u"x"_s;
        QTest::newRow("number column") << 0 << u"3"_s;
    }

    void store_refusesWhatTheFieldCannotHold()
    {
        QFETCH(int, col);
        QFETCH(QString, text);
        ForceFixture f;
        const QByteArray before = f.state.block(BlockId::Force);
        f.store(1, col, text);
        QCOMPARE(f.state.block(BlockId::Force), before);
    }

    void store_findsRecordThroughColumnZero_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<int>("offset"); // -1: nothing stored
        QTest::newRow("other record") << u"10"_s << 250 + 2;
        QTest::newRow("last record") << u"125"_s << 3125 + 2;
        QTest::newRow("trailing byte is no record") << u"126"_s << -1;
        QTest::newRow("negative") << u"-1"_s << -1;
        QTest::newRow("fraction") << u"1.5"_s << -1;
    }

    void store_findsRecordThroughColumnZero()
    {
        QFETCH(QString, number);
        QFETCH(int, offset);
        ForceFixture f;
        QByteArray expected = f.state.block(BlockId::Force);
        if (offset >= 0)
            expected[offset] = char(9);
        f.grid.setText(1, 0, number);
        f.store(1, 2, u"9"_s);
        QCOMPARE(f.state.block(BlockId::Force), expected);
    }

    void commitEveryColumn_neverTouchesOpaqueBytes()
    {
        ForceFixture f;
        const QByteArray before = f.state.block(BlockId::Force);
        for (int row = 1; row <= 126; ++row)
            for (int col = 0; col < 4; ++col)
                f.commit(row, col, u"99999"_s);
        const QByteArray& after = f.state.block(BlockId::Force);
        QCOMPARE(after.size(), 3151);
        QCOMPARE(after[3150], before[3150]);
        for (int n = 0; n < ForceTable::RecordCount; ++n) {
            const qsizetype b = qsizetype(25) * n;
            QCOMPARE(after.mid(b + 4, 21), before.mid(b + 4, 21));
            QCOMPARE(after.mid(b, 4), QByteArray("\xFF\xFF\xFF\xFF", 4));
        }
    }

    void editRule_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<int>("length");
        QTest::newRow("number") << 0 << false << 0;
        QTest::newRow("ruler") << 1 << true << 5;
        QTest::newRow("home") << 2 << true << 3;
        QTest::newRow("unnamed") << 3 << true << 3;
        QTest::newRow("outside") << 4 << false << 0;
    }

    void editRule()
    {
        QFETCH(int, col);
        QFETCH(bool, opens);
        QFETCH(int, length);
        ForceFixture f;
        compareEditRule(f.table.editRule(col), opens, length);
    }
};

TAVRIN_TEST(ForceTableTest)
#include "forcetabletest.moc"
