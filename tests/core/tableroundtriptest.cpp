#include "filebytes.h"
#include "blockcatalogue.h"
#include "document.h"
#include "grid.h"
#include "sampleimage.h"
#include "table.h"
#include "testregistry.h"

#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// An opened sample image in a scratch directory, with no name list beside it.
struct OpenedSample
{
    QTemporaryDir dir;
    Document doc;
    QString path;
    QByteArray original;

    bool open()
    {
        path = dir.filePath(u"sample.smc"_s);
        if (!dir.isValid() || !SampleImage::write(path))
            return false;
        original = readFileBytes(path);
        doc.setNameListPath(dir.filePath(u"b.txt"_s));
        doc.setUpGrids();
        doc.setRedraw(true);
        return doc.open(path).isDone();
    }

    QString savedCopy()
    {
        const QString copy = dir.filePath(u"copy.smc"_s);
        return doc.save(copy).isDone() ? copy : QString();
    }
};

// Where two images first differ, named by block, so a failure points at the table that wrote it.
QString firstDifference(const QByteArray& actual, const QByteArray& expected)
{
    if (actual.size() != expected.size())
        return u"sizes %1 and %2"_s.arg(actual.size()).arg(expected.size());
    for (qsizetype i = 0; i < actual.size(); ++i) {
        if (actual[i] == expected[i])
            continue;
        QString where = u"outside the blocks"_s;
        for (const BlockSpec& range : BlockCatalogue)
            if (i >= range.position && i < range.position + range.size)
                where = u"block %1 offset %2"_s.arg(int(range.id)).arg(i - range.position);
        return u"file byte 0x%1 (%2): 0x%3 instead of 0x%4"_s.arg(i, 0, 16)
            .arg(where)
            .arg(quint8(actual[i]), 2, 16, QLatin1Char('0'))
            .arg(quint8(expected[i]), 2, 16, QLatin1Char('0'));
    }
    return {};
}

enum class Field
{
    Byte,
    Word,
    HexName,
};

} // namespace

class TableRoundTripTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void openAndSave_keepsEveryByte()
    {
        OpenedSample s;
        QVERIFY(s.open());
        QCOMPARE(s.original.size(), SampleImage::Size);
        for (const BlockSpec& range : BlockCatalogue)
            QCOMPARE(s.doc.state().block(range.id), s.original.mid(range.position, range.size));
        const QString copy = s.savedCopy();
        QVERIFY(!copy.isEmpty());
        QCOMPARE(readFileBytes(copy), s.original);
        // Saving over the opened file leaves it as it was, too.
        QVERIFY(s.doc.save(s.path).isDone());
        QCOMPARE(readFileBytes(s.path), s.original);
    }

    void storeEveryCellUnchanged_keepsTheImage()
    {
        // Fill, then store every editable cell as shown: a table whose fill and store disagree (a
        // swapped column, a wrong offset, a lost nibble) changes the saved image. The officer table
        // is left out: its lifespan store clears a nibble on purpose.
        OpenedSample s;
        QVERIFY(s.open());
        for (const TableId id : {TableId::City, TableId::Item, TableId::Force, TableId::Placement}) {
            Table& table = s.doc.table(id);
            Grid& grid = s.doc.grid(id);
            for (int row = grid.fixedRows(); row < grid.rows(); ++row) {
                for (int col = 0; col < grid.cols(); ++col) {
                    if (!table.editRule(col).opensEditor)
                        continue;
                    grid.setCurrentCell(row, col);
                    table.storeCell();
                }
            }
        }
        const QString copy = s.savedCopy();
        QVERIFY(!copy.isEmpty());
        const QByteArray saved = readFileBytes(copy);
        QCOMPARE(firstDifference(saved, s.original), QString());
    }

    void editEachTable_changesOnlyItsOwnBytes_data()
    {
        QTest::addColumn<int>("table");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::addColumn<int>("recordSize");
        QTest::addColumn<int>("fieldOffset");
        QTest::addColumn<int>("field");
        QTest::newRow("officer war") << int(TableId::Officer) << 1 << 3 << 30 << 7 << int(Field::Byte);
        QTest::newRow("officer last record") << int(TableId::Officer) << 532 << 3 << 30 << 7 << int(Field::Byte);
        QTest::newRow("city development") << int(TableId::City) << 2 << 6 << 30 << 11 << int(Field::Byte);
        QTest::newRow("city last war horses") << int(TableId::City) << 276 << 14 << 30 << 22 << int(Field::Word);
        QTest::newRow("item name") << int(TableId::Item) << 13 << 4 << 18 << 5 << int(Field::HexName);
        QTest::newRow("item loyalty") << int(TableId::Item) << 1 << 1 << 18 << 2 << int(Field::Byte);
        QTest::newRow("force ruler") << int(TableId::Force) << 126 << 1 << 25 << 0 << int(Field::Word);
        QTest::newRow("force unnamed byte") << int(TableId::Force) << 3 << 3 << 25 << 3 << int(Field::Byte);
        QTest::newRow("placement first") << int(TableId::Placement) << 1 << 2 << 4 << 0 << int(Field::Byte);
        QTest::newRow("placement last") << int(TableId::Placement) << 531 << 25 << 4 << 5 * 2124 + 3
                                        << int(Field::Byte);
    }

    void editEachTable_changesOnlyItsOwnBytes()
    {
        QFETCH(int, table);
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(int, recordSize);
        QFETCH(int, fieldOffset);
        QFETCH(int, field);
        OpenedSample s;
        QVERIFY(s.open());
        const TableId id = TableId(table);
        Grid& grid = s.doc.grid(id);
        static constexpr std::array<BlockId, 5> Blocks{BlockId::Officer, BlockId::City, BlockId::Item, BlockId::Force,
                                                       BlockId::Placement};
        const BlockSpec range = blockSpec(Blocks[std::size_t(table)]);

        // The item grid has labels in column 0; every other grid numbers its records there.
        const int record = id == TableId::Item ? row - 1 : grid.text(row, 0).toInt();
        const qsizetype at = range.position + qsizetype(recordSize) * record + fieldOffset;
        const auto original = [&s](qsizetype i) { return quint8(s.original[i]); };

        QByteArray expected = s.original;
        QString text;
        switch (Field(field)) {
        case Field::Byte:
            expected[at] = char(original(at) ^ 0x01);
            text = QString::number(quint8(expected[at]));
            break;
        case Field::Word:
            expected[at] = char(original(at) ^ 0x01);
            expected[at + 1] = char(original(at + 1) ^ 0x01);
            text = QString::number(quint8(expected[at]) + 256 * quint8(expected[at + 1]));
            break;
        case Field::HexName:
            for (int i = 0; i < 12; ++i)
                expected[at + i] = char(~original(at + i));
            text = QString::fromLatin1(expected.mid(at, 12).toHex());
            break;
        }

        grid.setCurrentCell(row, col);
        grid.setText(row, col, text);
        s.doc.table(id).storeCell();
        const QString copy = s.savedCopy();
        QVERIFY(!copy.isEmpty());
        const QByteArray saved = readFileBytes(copy);
        QCOMPARE(firstDifference(saved, expected), QString());

        // Opening the saved image shows the edit again (hex names come back in upper case).
        QVERIFY(s.doc.open(copy).isDone());
        QCOMPARE(s.doc.grid(id).text(row, col), text.toUpper());
    }
};

TAVRIN_TEST(TableRoundTripTest)
#include "tableroundtriptest.moc"
