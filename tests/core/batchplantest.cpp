#include "batchplan.h"
#include "batchprogram.h"
#include "citytable.h"
#include "officertable.h"
#include "tablefixture.h"
#include "tableblock.h"
#include "testregistry.h"

#include <QTest>

#include <variant>

using namespace Qt::StringLiterals;

namespace {

// 武力, 知力, 政治, 魅力, 寿命 of the officer grid.
constexpr int Columns[] = {3, 6, 7, 8, 14};

TableId tableOf(const Table& table)
{
    for (const TableId id : AllTables)
        if (blockOfTable(id) == table.blockId())
            return id;
    return TableId::Officer;
}

// The batch applied to the table as the window applies it, or the message that refused it.
QString runBatch(Table& table, const QString& text, QString* preview = nullptr)
{
    const auto program = BatchProgram::parse(text, table);
    if (const QString* error = std::get_if<QString>(&program))
        return u"error: "_s + *error;
    const auto plan = BatchPlan::make(table, std::get<BatchProgram>(program), BatchPlan::fieldValues(tableOf(table), table.block()));
    if (const QString* error = std::get_if<QString>(&plan))
        return u"error: "_s + *error;
    if (preview)
        *preview = std::get<BatchPlan>(plan).previewText();
    std::get<BatchPlan>(plan).apply(table);
    return {};
}

} // namespace

// The batch language on the rows a filter shows: each operator, precedence, the commit rule's rounding,
// cap and refusal, and the errors the user reads before anything changes.
class BatchPlanTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void batch_changesShownRowsThroughTheCommitRule_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("after"); // 武力 知力 政治 魅力 寿命 of records 0, 1 and 2
        QTest::addColumn<QString>("said");  // the preview, or the error
        const QString before = u"90 80 50 70 5|60 100 30 40 8|250 20 0 0 3"_s;
        QTest::newRow("add, capped") << u"武力+=10"_s << u"100 80 50 70 5|70 100 30 40 8|255 20 0 0 3"_s
                                     << u"3 行、3 セルが変わります（上限で 1 セルを切り詰め）"_s;
        QTest::newRow("subtract") << u"知力-=20"_s << u"90 60 50 70 5|60 80 30 40 8|250 0 0 0 3"_s
                                  << u"3 行、3 セルが変わります"_s;
        QTest::newRow("multiply") << u"知力*=1.1"_s << u"90 88 50 70 5|60 110 30 40 8|250 22 0 0 3"_s
                                  << u"3 行、3 セルが変わります"_s;
        QTest::newRow("divide, 0 stays") << u"政治/=2"_s << u"90 80 25 70 5|60 100 15 40 8|250 20 0 0 3"_s
                                         << u"2 行、2 セルが変わります"_s;
        QTest::newRow("half rounds to even")
            << u"魅力=武力/4"_s << u"90 80 50 22 5|60 100 30 15 8|250 20 0 62 3"_s << u"3 行、3 セルが変わります"_s;
        QTest::newRow("precedence") << u"政治=武力+知力*2/4"_s << u"90 80 130 70 5|60 100 110 40 8|250 20 255 0 3"_s
                                    << u"3 行、3 セルが変わります（上限で 1 セルを切り詰め）"_s;
        QTest::newRow("parentheses") << u"魅力 = (武力 + 知力) / 2"_s
                                     << u"90 80 50 85 5|60 100 30 80 8|250 20 0 135 3"_s
                                     << u"3 行、3 セルが変わります"_s;
        QTest::newRow("unary minus") << u"政治=-(-武力)+-1*-2"_s << u"90 80 92 70 5|60 100 62 40 8|250 20 252 0 3"_s
                                     << u"3 行、3 セルが変わります"_s;
        QTest::newRow("swap") << u"武力=知力; 知力=武力"_s << u"80 90 50 70 5|100 60 30 40 8|20 250 0 0 3"_s
                              << u"3 行、6 セルが変わります"_s;
        QTest::newRow("min and max") << u"寿命=max(寿命,6);魅力=min(武力,知力,50);"_s
                                     << u"90 80 50 50 6|60 100 30 50 8|250 20 0 20 6"_s
                                     << u"3 行、5 セルが変わります"_s;
        QTest::newRow("lifespan cap; a cell already at it is no change")
            << u"寿命+=5"_s << u"90 80 50 70 8|60 100 30 40 8|250 20 0 0 8"_s
            << u"2 行、2 セルが変わります（上限で 1 セルを切り詰め）"_s;
        QTest::newRow("full-width input")
            << u"武力＋＝１０；知力＝ＭＡＸ（知力，９０）"_s << u"100 90 50 70 5|70 100 30 40 8|255 90 0 0 3"_s
            << u"3 行、5 セルが変わります（上限で 1 セルを切り詰め）"_s;
        QTest::newRow("nothing to change") << u"寿命=max(寿命,3)"_s << before << u"変わるセルはありません"_s;
        QTest::newRow("refusal names the first record")
            << u"政治=100-武力"_s << before
            << u"error: No 2 の「政治」が -150 になり、入力できない値です。何も変えていません。"_s;
        QTest::newRow("division by zero") << u"武力=知力/政治"_s << before
                                          << u"error: No 2 の計算で 0 による割り算になります。何も変えていません。"_s;
        QTest::newRow("unknown column") << u"武力=攻撃+1"_s << before << u"error: 「攻撃」という列はありません。"_s;
        QTest::newRow("text column") << u"武力=ルビ"_s << before << u"error: 「ルビ」は数の列ではありません。"_s;
        QTest::newRow("hex column") << u"名前=1"_s << before << u"error: 「名前」は数の列ではありません。"_s;
        QTest::newRow("not typed over") << u"No=1"_s << before << u"error: 「No」は書き換えられない列です。"_s;
        QTest::newRow("unclosed parenthesis")
            << u"武力+=(10"_s << before << u"error: 8 文字目: 式が途中で終わっています（)が要ります）。"_s;
        QTest::newRow("equals is no comparison")
            << u"武力==1"_s << before << u"error: 4 文字目: ここには数か列の名前が要ります。"_s;
        QTest::newRow("nesting too deep")
            << u"武力="_s + QString(100000, u'(') << before << u"error: 204 文字目: 式の入れ子が深すぎます。"_s;
        QTest::newRow("number too large")
            << u"武力=1"_s + QString(400, u'0') << before << u"error: 4 文字目: 数が大きすぎます。"_s;
        QTest::newRow("position counts typed characters")
            << u"知力 ＝ （武力＋"_s << before
            << u"error: 10 文字目: 式が途中で終わっています（数か列の名前が要ります）。"_s;
    }

    void batch_changesShownRowsThroughTheCommitRule()
    {
        QFETCH(QString, text);
        QFETCH(QString, after);
        QFETCH(QString, said);
        TableFixture<OfficerTable> f(BlockId::Officer);
        f.table.fillGrid();
        const QStringList values = u"90 80 50 70 5|60 100 30 40 8|250 20 0 0 3"_s.split(u'|');
        for (int r = 0; r < 3; ++r)
            for (int k = 0; k < 5; ++k)
                QVERIFY(f.commit(r + 1, Columns[k], values[r].split(u' ')[k]));
        // Record 1's 寿命 byte carries a lower half that no column shows.
        f.state.block(BlockId::Officer)[1 * 30 + 4] = char(0x85);
        // A filter shows records 0 to 2 only; no other record may change.
        QVector<bool> hidden(f.grid.rows(), true);
        hidden[1] = hidden[2] = hidden[3] = false;
        f.grid.setHiddenRows(hidden);
        const QByteArray block = f.state.block(BlockId::Officer);

        QString preview;
        const QString error = runBatch(f.table, text, &preview);
        QCOMPARE(error.isEmpty() ? preview : error, said);
        QStringList shown;
        for (int r = 1; r <= 3; ++r) {
            QStringList cells;
            for (const int col : Columns)
                cells << f.grid.text(r, col);
            shown << cells.join(u' ');
        }
        QCOMPARE(shown.join(u'|'), after);
        // A record whose cells stayed keeps every byte, the half of 寿命's byte that no column shows
        // included; the cells show what the bytes hold, as a fresh fill shows them.
        for (int n = 0; n < OfficerTable::RecordCount; ++n)
            if (n > 2 || shown[n] == values[n])
                QCOMPARE(f.state.block(BlockId::Officer).mid(n * 30, 30), block.mid(n * 30, 30));
        TableFixture<OfficerTable> again(BlockId::Officer);
        again.state.block(BlockId::Officer) = f.state.block(BlockId::Officer);
        again.table.fillGrid();
        for (int r = 1; r <= 3; ++r)
            for (const int col : Columns)
                QCOMPARE(again.grid.text(r, col), f.grid.text(r, col));
    }

    // Headers that hold signs are read whole, the longest first, written plainly or in 「」.
    void batch_readsHeadersWithSignsWhole_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << u"人口*10000+=1"_s;
        QTest::newRow("quoted") << u"「人口*10000」 += 1"_s;
        QTest::newRow("full-width quoted") << u"｢人口＊１００００｣＝「人口*10000」＋１"_s;
    }

    void batch_readsHeadersWithSignsWhole()
    {
        QFETCH(QString, text);
        TableFixture<CityTable> f(BlockId::City);
        f.table.fillGrid();
        QVERIFY(f.commit(1, 2, u"120"_s));
        QCOMPARE(runBatch(f.table, text), QString());
        QCOMPARE(f.grid.text(1, 2), u"121"_s);
    }
};

TAVRIN_TEST(BatchPlanTest)
#include "batchplantest.moc"
