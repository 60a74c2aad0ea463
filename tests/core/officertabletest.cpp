#include "captionnaming.h"
#include "officertable.h"
#include "codepage932.h"
#include "editorstate.h"
#include "grid.h"
#include "testregistry.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

using ByteChanges = QMap<int, int>; // record byte -> expected value

namespace {

constexpr int Size = OfficerTable::RecordSize;

// Every byte of the block differs from its neighbours, so a write to the wrong place shows up; the
// readings of the first 32 records run through all 256 byte values.
QByteArray patternBlock()
{
    QByteArray bytes(OfficerTable::RecordCount * Size, '\0');
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>((i * 7 + 3) & 0xFF);
    for (int n = 0; n < OfficerTable::RecordCount; ++n)
        for (int k = 0; k < 8; ++k)
            bytes[n * Size + 22 + k] = static_cast<char>((n * 8 + k) & 0xFF);
    return bytes;
}

std::uint8_t byteOf(const QByteArray& bytes, int record, int field)
{
    return static_cast<std::uint8_t>(bytes[record * Size + field]);
}

void setField(QByteArray& bytes, int record, int field, int value)
{
    bytes[record * Size + field] = static_cast<char>(value);
}

QByteArray withChanges(QByteArray bytes, int record, const ByteChanges& changes)
{
    for (auto it = changes.cbegin(); it != changes.cend(); ++it)
        setField(bytes, record, it.key(), it.value());
    return bytes;
}

QString nulPadded(const QString& text)
{
    return text + QString(8 - text.size(), QChar(u'\0'));
}

// A grid, a document and the table over them, set up as the window does at start-up.
struct OfficerFixture
{
    OfficerFixture()
    {
        table.setUpGrid();
        grid.setRedraw(true);
    }
    QByteArray& bytes() { return state.block(BlockId::Officer); }
    void load(const QByteArray& image)
    {
        bytes() = image;
        table.fillGrid();
    }
    int rowOf(int record) const
    {
        for (int r = 1; r < grid.rows(); ++r)
            if (grid.text(r, 0) == QString::number(record))
                return r;
        return -1;
    }
    void edit(int row, int col, const QString& text)
    {
        grid.setCurrentCell(row, col);
        grid.setText(row, col, text);
        table.storeCell();
    }

    Grid grid;
    EditorState state;
    OfficerTable table{grid, state};
};

} // namespace

class OfficerTableTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void setUpGrid_shapesGridAndLeavesDrawingOff()
    {
        Grid grid;
        EditorState state;
        OfficerTable table(grid, state);
        table.setUpGrid();
        QCOMPARE(grid.rows(), 533);
        QCOMPARE(grid.cols(), 20);
        QCOMPARE(grid.fixedRows(), 1);
        QCOMPARE(grid.fixedCols(), 1);
        QVERIFY(!grid.redraw());
        const QStringList headers{u"No"_s,   u"名前"_s, u"ルビ"_s, u"武力"_s, u"陸指"_s,   u"水指"_s, u"知力"_s,
                                  u"政治"_s, u"魅力"_s, u"野望"_s, u"運"_s,   u"冷静"_s,   u"勇猛"_s, u"生年"_s,
                                  u"寿命"_s, u"相性"_s, u"義理"_s, u"血縁"_s, u"顔グラ"_s, QString()};
        for (int c = 0; c < 20; ++c)
            QCOMPARE(grid.text(0, c), headers[c]);
        QCOMPARE(grid.colWidth(0), 500);
        QCOMPARE(grid.colWidth(1), 1250);
        QCOMPARE(grid.colWidth(2), Grid::DefaultColumnWidth);
        for (int c = 3; c <= 17; ++c)
            QCOMPARE(grid.colWidth(c), 500);
        QCOMPARE(grid.colWidth(18), Grid::DefaultColumnWidth);
        QCOMPARE(grid.colAlignment(18), ColumnAlignment::Right);
        QCOMPARE(grid.colAlignment(17), ColumnAlignment::Default);
    }

    void fillGrid_decodesEveryColumn_data()
    {
        QTest::addColumn<int>("record");
        QTest::newRow("first") << 0;
        QTest::newRow("last") << 531;
    }

    void fillGrid_decodesEveryColumn()
    {
        QFETCH(int, record);
        OfficerFixture f;
        QByteArray image(OfficerTable::RecordCount * Size, '\0');
        const QList<int> bytes{0x1A, 0x2B, 0xA5, 0x3C, 0x7F, 120,  30,   95,   60,   55,
                               88,   150,  100,  255,  190,  0x01, 0x23, 0x45, 0x67, 0x89,
                               0xAB, 0xEE, 0xBF, 0xB3, 0xBF, 0xB3, 0x00, 0x00, 0x00, 0x00};
        for (int i = 0; i < Size; ++i)
            setField(image, record, i, bytes[i]);
        f.load(image);
        const int row = record + 1;
        // The reading comes out NUL padded to its eight bytes.
        const QString joined = QString::number(record) % u"|0123456789AB|"_s % nulPadded(u"ｿｳｿｳ"_s) %
                               u"|95|120|30|60|55|88|10|5|3|12|190|7|150|100|255|1A2B|将"_s;
        const QStringList expected = joined.split(u'|');
        for (int c = 0; c < 20; ++c)
            QCOMPARE(f.grid.text(row, c), expected[c]);
        // A zero record next to it decodes as zeros, so nothing leaked across records.
        const int neighbour = record == 0 ? 2 : 531;
        QCOMPARE(f.grid.text(neighbour, 1), u"000000000000"_s);
        QCOMPARE(f.grid.text(neighbour, 2), nulPadded(QString()));
        QCOMPARE(f.grid.text(neighbour, 18), u"0000"_s);
        QCOMPARE(f.grid.text(neighbour, 19), QString());
    }

    void fillGrid_readingShowsEveryByteAsOneCharacter()
    {
        OfficerFixture f;
        const QByteArray image = patternBlock();
        f.load(image);
        for (int n = 0; n < 32; ++n)
            QCOMPARE(f.grid.text(n + 1, 2), CodePage932::bytesToText(image.mid(n * Size + 22, 8)));
    }

    void fillGrid_keepsDrawingStateAndAnnouncesOnce()
    {
        OfficerFixture f;
        QSignalSpy cells(&f.grid, &Grid::cellChanged);
        QSignalSpy refreshes(&f.grid, &Grid::refreshed);
        f.load(patternBlock());
        QVERIFY(f.grid.redraw());
        QCOMPARE(cells.count(), 0);
        QCOMPARE(refreshes.count(), 1);

        // Inside the start-up drawing is off and must stay off.
        f.grid.setRedraw(false);
        f.table.fillGrid();
        QVERIFY(!f.grid.redraw());
    }

    void classMarker_data()
    {
        QTest::addColumn<int>("war");
        QTest::addColumn<int>("land");
        QTest::addColumn<int>("naval");
        QTest::addColumn<int>("charisma");
        QTest::addColumn<int>("intelligence");
        QTest::addColumn<int>("politics");
        QTest::addColumn<QString>("marker");
        QTest::newRow("war 85") << 85 << 0 << 0 << 0 << 0 << 0 << u"将"_s;
        QTest::newRow("war 84, mean plus charisma 120") << 84 << 100 << 100 << 20 << 79 << 79 << u"将"_s;
        QTest::newRow("war 84, charisma one short") << 84 << 100 << 100 << 19 << 0 << 0 << QString();
        QTest::newRow("war 70 is enough") << 70 << 100 << 100 << 20 << 0 << 0 << u"将"_s;
        QTest::newRow("war 69 whatever else") << 69 << 255 << 255 << 255 << 0 << 0 << QString();
        QTest::newRow("large commands, no charisma") << 75 << 200 << 200 << 0 << 0 << 0 << u"将"_s;
        QTest::newRow("half mean is not rounded up") << 80 << 101 << 100 << 19 << 0 << 0 << QString();
        QTest::newRow("intelligence 80") << 50 << 0 << 0 << 0 << 80 << 0 << u"軍"_s;
        QTest::newRow("politics 80 with war 90") << 90 << 0 << 0 << 0 << 0 << 80 << u"将軍"_s;
        QTest::newRow("both 79") << 60 << 0 << 0 << 0 << 79 << 79 << QString();
    }

    void classMarker()
    {
        QFETCH(int, war);
        QFETCH(int, land);
        QFETCH(int, naval);
        QFETCH(int, charisma);
        QFETCH(int, intelligence);
        QFETCH(int, politics);
        QFETCH(QString, marker);
        OfficerFixture f;
        QByteArray image(OfficerTable::RecordCount * Size, '\0');
        const int record = 7;
        setField(image, record, 7, war);
        setField(image, record, 5, land);
        setField(image, record, 6, naval);
        setField(image, record, 10, charisma);
        setField(image, record, 8, intelligence);
        setField(image, record, 9, politics);
        QCOMPARE(OfficerTable::classMarker(image, record * Size), marker);
        f.load(image);
        QCOMPARE(f.grid.text(record + 1, OfficerTable::MarkerColumn), marker);
        QCOMPARE(f.grid.text(532, 0), u"531"_s);
    }

    void checkText_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected"); // null: refused
        QTest::newRow("war plain") << 3 << u"95"_s << u"95"_s;
        QTest::newRow("war above cap") << 3 << u"300"_s << u"255"_s;
        QTest::newRow("birth year above cap") << 13 << u"999"_s << u"255"_s;
        QTest::newRow("kinship above cap") << 17 << u"256"_s << u"255"_s;
        QTest::newRow("ambition above cap") << 9 << u"16"_s << u"15"_s;
        QTest::newRow("lifespan above cap") << 14 << u"9"_s << u"8"_s;
        QTest::newRow("compatibility above cap") << 15 << u"151"_s << u"150"_s;
        QTest::newRow("duty above cap") << 16 << u"101"_s << u"100"_s;
        QTest::newRow("negative refused") << 3 << u"-1"_s << QString();
        QTest::newRow("fraction rounds down to even") << 3 << u"2.5"_s << u"2"_s;
        QTest::newRow("fraction rounds up to even") << 14 << u"3.5"_s << u"4"_s;
        QTest::newRow("spaces") << 6 << u" 7 "_s << u"7"_s;
        QTest::newRow("empty number refused") << 3 << QString() << QString();
        QTest::newRow("letters refused") << 7 << u"abc"_s << QString();
        QTest::newRow("digits then letter refused") << 8 << u"1a"_s << QString();
        QTest::newRow("name of 12 hex digits") << 1 << u"0a0B0c0D0e0F"_s << u"0a0B0c0D0e0F"_s;
        QTest::newRow("name of 11 digits") << 1 << u"0123456789A"_s << QString();
        QTest::newRow("name of 13 digits") << 1 << u"0123456789ABC"_s << QString();
        QTest::newRow("name with G") << 1 << u"0123456789AG"_s << QString();
        QTest::newRow("face 1A2B") << 18 << u"1A2B"_s << u"1A2B"_s;
        QTest::newRow("face lower case") << 18 << u"00ff"_s << u"00ff"_s;
        QTest::newRow("face of 3") << 18 << u"1A2"_s << QString();
        QTest::newRow("face with Z") << 18 << u"1A2Z"_s << QString();
        QTest::newRow("reading half-width") << 2 << u"ｿｳｿｳ"_s << u"ｿｳｿｳ"_s;
        QTest::newRow("reading katakana") << 2 << u"ソウソウ"_s << u"ｿｳｿｳ"_s;
        QTest::newRow("reading hiragana") << 2 << u"ちょううん"_s << u"ﾁｮｳｳﾝ"_s;
        QTest::newRow("reading full-width ascii") << 2 << u"ＡＢ１"_s << u"AB1"_s;
        QTest::newRow("reading voiced cut after conversion") << 2 << u"ガガガガガ"_s << u"ｶﾞｶﾞｶﾞｶﾞ"_s;
        QTest::newRow("reading cut to 8") << 2 << u"ABCDEFGHIJ"_s << u"ABCDEFGH"_s;
        QTest::newRow("reading kanji beyond 8 is cut") << 2 << u"ABCDEFGH関"_s << u"ABCDEFGH"_s;
        QTest::newRow("reading kanji refused") << 2 << u"関羽"_s << QString();
        QTest::newRow("reading partly kanji refused") << 2 << u"ｶﾝ羽"_s << QString();
        QTest::newRow("reading without half-width form") << 2 << u"ヵ"_s << QString();
        QTest::newRow("empty reading") << 2 << QString() << QString();
        QTest::newRow("number column taken as typed") << 0 << u"abc"_s << u"abc"_s;
        QTest::newRow("marker column taken as typed") << 19 << u"x"_s << u"x"_s;
        QTest::newRow("empty marker refused") << 19 << QString() << QString();
    }

    void checkText()
    {
        QFETCH(int, col);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        OfficerFixture f;
        const std::optional<QString> result = f.table.checkText(col, text);
        QCOMPARE(result.has_value(), !expected.isNull());
        if (result)
            QCOMPARE(*result, expected);
    }

    void storeCell_writesOnlyItsField_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("text");
        QTest::addColumn<ByteChanges>("changes");
        QTest::newRow("war") << 3 << u"95"_s << ByteChanges{{7, 95}};
        QTest::newRow("land command") << 4 << u"1"_s << ByteChanges{{5, 1}};
        QTest::newRow("naval command") << 5 << u"2"_s << ByteChanges{{6, 2}};
        QTest::newRow("intelligence") << 6 << u"3"_s << ByteChanges{{8, 3}};
        QTest::newRow("politics") << 7 << u"4"_s << ByteChanges{{9, 4}};
        QTest::newRow("charisma") << 8 << u"255"_s << ByteChanges{{10, 255}};
        QTest::newRow("birth year") << 13 << u"0"_s << ByteChanges{{14, 0}};
        QTest::newRow("compatibility") << 15 << u"150"_s << ByteChanges{{11, 150}};
        QTest::newRow("duty") << 16 << u"100"_s << ByteChanges{{12, 100}};
        QTest::newRow("kinship") << 17 << u"255"_s << ByteChanges{{13, 255}};
        QTest::newRow("lifespan clears low nibble") << 14 << u"8"_s << ByteChanges{{4, 0x80}};
        QTest::newRow("face 1A2B") << 18 << u"1A2B"_s << ByteChanges{{0, 0x1A}, {1, 0x2B}};
        QTest::newRow("name") << 1 << u"0123456789AB"_s
                              << ByteChanges{{15, 0x01}, {16, 0x23}, {17, 0x45}, {18, 0x67}, {19, 0x89}, {20, 0xAB}};
        QTest::newRow("short name zeroes missing pairs")
            << 1 << u"01234567"_s
            << ByteChanges{{15, 0x01}, {16, 0x23}, {17, 0x45}, {18, 0x67}, {19, 0x00}, {20, 0x00}};
        QTest::newRow("reading of three pads zeros")
            << 2 << u"ｿｳｿ"_s
            << ByteChanges{{22, 0xBF}, {23, 0xB3}, {24, 0xBF}, {25, 0}, {26, 0}, {27, 0}, {28, 0}, {29, 0}};
        QTest::newRow("reading beyond 8 ignored")
            << 2 << u"ABCDEFGHIJ"_s
            << ByteChanges{{22, 'A'}, {23, 'B'}, {24, 'C'}, {25, 'D'}, {26, 'E'}, {27, 'F'}, {28, 'G'}, {29, 'H'}};
        QTest::newRow("reading keeps a lead byte")
            << 2 << QString(u"A"_s + CodePage932::byteToChar(0x81))
            << ByteChanges{{22, 'A'}, {23, 0x81}, {24, 0}, {25, 0}, {26, 0}, {27, 0}, {28, 0}, {29, 0}};
        QTest::newRow("record number") << 0 << u"200"_s << ByteChanges{};
        QTest::newRow("marker") << 19 << u"将"_s << ByteChanges{};
    }

    void storeCell_writesOnlyItsField()
    {
        QFETCH(int, col);
        QFETCH(QString, text);
        QFETCH(ByteChanges, changes);
        OfficerFixture f;
        const QByteArray image = patternBlock();
        f.load(image);
        const QByteArray city = f.state.block(BlockId::City);
        const int record = 200;
        f.edit(record + 1, col, text);
        QCOMPARE(f.bytes(), withChanges(image, record, changes));
        QCOMPARE(f.state.block(BlockId::City), city);
    }

    void storeNibble_rereadsSibling_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<int>("sibling");
        QTest::addColumn<int>("field");
        QTest::newRow("luck keeps ambition") << 10 << 9 << 2;
        QTest::newRow("ambition keeps luck") << 9 << 10 << 2;
        QTest::newRow("bravery keeps calmness") << 12 << 11 << 3;
        QTest::newRow("calmness keeps bravery") << 11 << 12 << 3;
    }

    void storeNibble_rereadsSibling()
    {
        QFETCH(int, col);
        QFETCH(int, sibling);
        QFETCH(int, field);
        OfficerFixture f;
        QByteArray image = patternBlock();
        const int record = 12;
        setField(image, record, field, 0xA5);
        f.load(image);
        const int row = record + 1;
        const bool editsHigh = col < sibling;
        const auto packed = [editsHigh](int edited, int other) {
            return editsHigh ? edited << 4 | other : other << 4 | edited;
        };

        f.edit(row, col, u"3"_s);
        QCOMPARE(byteOf(f.bytes(), record, field), packed(3, editsHigh ? 0x5 : 0xA));

        // The sibling cell is read again, not the byte: its text wins even if it was never stored.
        f.grid.setText(row, sibling, u"6"_s);
        f.edit(row, col, u"9"_s);
        QCOMPARE(byteOf(f.bytes(), record, field), packed(9, 6));
        QCOMPARE(f.bytes(), withChanges(image, record, {{field, packed(9, 6)}}));
    }

    void storeCell_conversionFailureKeepsField_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("text");
        QTest::newRow("war not a number") << 3 << u"abc"_s;
        QTest::newRow("war negative") << 3 << u"-1"_s;
        QTest::newRow("luck above a nibble") << 10 << u"16"_s;
        QTest::newRow("ambition above a nibble") << 9 << u"16"_s;
        QTest::newRow("lifespan above a nibble") << 14 << u"16"_s;
        QTest::newRow("lifespan empty") << 14 << QString();
        QTest::newRow("reading with kanji") << 2 << u"ｱ関"_s;
        QTest::newRow("reading with a stand-in not handed out") << 2 << QString(QChar(char16_t(0xF7B1)));
    }

    void storeCell_conversionFailureKeepsField()
    {
        QFETCH(int, col);
        QFETCH(QString, text);
        OfficerFixture f;
        const QByteArray image = patternBlock();
        f.load(image);
        f.edit(301, col, text);
        QCOMPARE(f.bytes(), image);
        QCOMPARE(f.grid.text(301, col), text);
    }

    void storeCell_findsRecordThroughColumnZero_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<int>("record"); // -1: nothing is stored
        QTest::newRow("other record") << u"531"_s << 531;
        QTest::newRow("first record") << u"0"_s << 0;
        QTest::newRow("empty") << QString() << -1;
        QTest::newRow("not a number") << u"abc"_s << -1;
        QTest::newRow("negative") << u"-1"_s << -1;
        QTest::newRow("one past the last") << u"532"_s << -1;
    }

    void storeCell_findsRecordThroughColumnZero()
    {
        QFETCH(QString, number);
        QFETCH(int, record);
        OfficerFixture f;
        const QByteArray image = patternBlock();
        f.load(image);
        f.grid.setText(5, 0, number);
        f.edit(5, 3, u"99"_s);
        QCOMPARE(f.bytes(), record < 0 ? image : withChanges(image, record, {{7, 99}}));
    }

    void storeRow_unchangedRowKeepsEveryByte()
    {
        OfficerFixture f;
        const QByteArray image = patternBlock();
        f.load(image);
        for (int n = 0; n < OfficerTable::RecordCount; ++n) {
            f.grid.setCurrentCell(n + 1, 1);
            f.table.storeRow();
        }
        // The lower half of byte 4, which no cell shows, included.
        QCOMPARE(f.bytes(), image);
    }

    void storeRow_writesEveryFieldButByte21()
    {
        OfficerFixture f;
        const QByteArray image = patternBlock();
        f.load(image);
        const int record = 100;
        const int row = record + 1;
        const QString joined =
            QString::number(record) % u"|A1B2C3D4E5F6|ﾘｮｳ|10|11|12|13|14|15|1|2|3|4|16|5|17|18|19|0F1E|将"_s;
        const QStringList cells = joined.split(u'|');
        for (int c = 0; c < cells.size(); ++c)
            f.grid.setText(row, c, cells[c]);
        f.grid.setCurrentCell(row, 7);
        f.table.storeRow();
        const ByteChanges changes{{0, 0x0F},  {1, 0x1E},  {2, 0x12},  {3, 0x34},  {4, 0x50},  {5, 11},
                                  {6, 12},    {7, 10},    {8, 13},    {9, 14},    {10, 15},   {11, 17},
                                  {12, 18},   {13, 19},   {14, 16},   {15, 0xA1}, {16, 0xB2}, {17, 0xC3},
                                  {18, 0xD4}, {19, 0xE5}, {20, 0xF6}, {22, 0xD8}, {23, 0xAE}, {24, 0xB3},
                                  {25, 0},    {26, 0},    {27, 0},    {28, 0},    {29, 0}};
        QCOMPARE(f.bytes(), withChanges(image, record, changes));
    }

    void storeRow_failureEndsTheStoreInOrder()
    {
        OfficerFixture f;
        const QByteArray image = patternBlock();
        f.load(image);
        const int record = 40;
        const int row = record + 1;
        f.grid.setText(row, 3, u"1"_s);  // stored before the failing field
        f.grid.setText(row, 13, u"x"_s); // fails
        f.grid.setText(row, 15, u"2"_s); // after it: not stored
        f.grid.setCurrentCell(row, 1);
        f.table.storeRow();
        QCOMPARE(byteOf(f.bytes(), record, 7), 1);
        QCOMPARE(byteOf(f.bytes(), record, 14), byteOf(image, record, 14));
        QCOMPARE(byteOf(f.bytes(), record, 11), byteOf(image, record, 11));
        QCOMPARE(byteOf(f.bytes(), record, 4), byteOf(image, record, 4));
    }

    void storeRow_badReadingKeepsReadingBytes()
    {
        OfficerFixture f;
        const QByteArray image = patternBlock();
        f.load(image);
        const int record = 41;
        f.grid.setText(record + 1, 1, u"FFFFFFFFFFFF"_s);
        f.grid.setText(record + 1, 2, u"ｱｲ漢"_s);
        f.grid.setCurrentCell(record + 1, 1);
        f.table.storeRow();
        QCOMPARE(f.bytes().mid(record * Size + 15, 6), QByteArray(6, '\xFF'));
        QCOMPARE(f.bytes().mid(record * Size + 21, 9), image.mid(record * Size + 21, 9));
    }

    void sortGrid_descendingThenAscendingInTurn()
    {
        OfficerFixture f;
        QByteArray image = patternBlock();
        for (int n = 0; n < OfficerTable::RecordCount; ++n)
            setField(image, n, 7, (n * 37) % 256);
        f.load(image);
        f.state.setCurrentPath(u"/images/game.smc"_s);
        const auto warAt = [&f](int row) { return f.grid.text(row, 3).toInt(); };
        const auto checkOrder = [&](bool descending) {
            for (int r = 1; r <= OfficerTable::RecordCount; ++r) {
                // Rows move whole: the war shown still belongs to the record in column 0.
                const int n = f.grid.text(r, 0).toInt();
                QCOMPARE(warAt(r), (n * 37) % 256);
                QCOMPARE(f.grid.text(r, 2), CodePage932::bytesToText(image.mid(n * Size + 22, 8)));
                if (r > 1)
                    QVERIFY(descending ? warAt(r - 1) >= warAt(r) : warAt(r - 1) <= warAt(r));
                // Records n and n + 256 share their war; a sort keeps them in record order.
                if (r > 1 && warAt(r - 1) == warAt(r))
                    QVERIFY(f.grid.text(r - 1, 0).toInt() < n);
            }
        };

        f.table.sortGrid(3);
        QCOMPARE(f.grid.col(), 3);
        QCOMPARE(f.grid.colSel(), 3);
        QCOMPARE(f.grid.tag(), u"3"_s);
        QCOMPARE(f.state.caption(), captionNaming(u"/images/game.smc"_s));
        checkOrder(true);
        QCOMPARE(f.grid.text(0, 3), u"武力"_s);

        f.table.sortGrid(3);
        QCOMPARE(f.grid.tag(), QString());
        checkOrder(false);

        f.table.sortGrid(3);
        QCOMPARE(f.grid.tag(), u"3"_s);
        checkOrder(true);
    }

    void sortGrid_otherColumnStartsDescending()
    {
        OfficerFixture f;
        f.load(patternBlock());
        f.table.sortGrid(3);
        f.table.sortGrid(0);
        QCOMPARE(f.grid.tag(), u"0"_s);
        QCOMPARE(f.grid.text(1, 0), u"531"_s);
        QCOMPARE(f.grid.text(532, 0), u"0"_s);
    }

    void storeAfterSort_writesRecordNamedInColumnZero()
    {
        OfficerFixture f;
        QByteArray image = patternBlock();
        setField(image, 77, 7, 250);
        for (int n = 0; n < OfficerTable::RecordCount; ++n)
            if (n != 77)
                setField(image, n, 7, n % 200);
        f.load(image);
        f.table.sortGrid(3);
        QCOMPARE(f.grid.text(1, 0), u"77"_s);
        f.edit(1, 4, u"66"_s);
        QCOMPARE(f.bytes(), withChanges(image, 77, {{5, 66}}));

        f.table.sortGrid(3);
        const int row = f.rowOf(77);
        QCOMPARE(row, OfficerTable::RecordCount);
        f.grid.setCurrentCell(row, 1);
        f.table.storeRow();
        QCOMPARE(byteOf(f.bytes(), 77, 5), 66);
        QCOMPARE(byteOf(f.bytes(), 0, 5), byteOf(image, 0, 5));
    }

    void sortGrid_outsideTheGridDoesNothing()
    {
        OfficerFixture f;
        f.load(patternBlock());
        f.state.setTitle(u"保存完了"_s);
        const QString caption = f.state.caption();
        f.table.sortGrid(20);
        f.table.sortGrid(-1);
        QCOMPARE(f.grid.tag(), QString());
        QCOMPARE(f.grid.text(1, 0), u"0"_s);
        QCOMPARE(f.state.caption(), caption);
    }

    void setAllLifespans_beforeAnyOpen()
    {
        OfficerFixture f;
        f.table.setAllLifespans();
        QByteArray expected(OfficerTable::RecordCount * Size, '\0');
        for (int n = 0; n < OfficerTable::RecordCount; ++n) {
            setField(expected, n, 4, 0x70);
            QCOMPARE(f.grid.text(n + 1, OfficerTable::LifespanColumn), u"7"_s);
        }
        QCOMPARE(f.bytes(), expected);
        QCOMPARE(f.state.caption(), EditorState::applicationTitle());

        // Opening a file afterwards replaces both.
        QByteArray image = patternBlock();
        setField(image, 3, 4, 0x2F);
        f.load(image);
        QCOMPARE(f.grid.text(4, OfficerTable::LifespanColumn), u"2"_s);
        QCOMPARE(f.bytes(), image);
    }

    void editRule_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<int>("maxLength");
        QTest::addColumn<bool>("katakana");
        QTest::newRow("number") << 0 << false << 0 << false;
        QTest::newRow("name") << 1 << true << 12 << false;
        QTest::newRow("reading") << 2 << true << 8 << true;
        QTest::newRow("war") << 3 << true << 4 << false;
        QTest::newRow("lifespan") << 14 << true << 4 << false;
        QTest::newRow("face") << 18 << true << 4 << false;
        QTest::newRow("marker") << 19 << false << 0 << false;
        QTest::newRow("outside") << 20 << false << 0 << false;
    }

    void editRule()
    {
        QFETCH(int, col);
        QFETCH(bool, opens);
        QFETCH(int, maxLength);
        QFETCH(bool, katakana);
        OfficerFixture f;
        const EditRule rule = f.table.editRule(col);
        QCOMPARE(rule.opensEditor, opens);
        if (opens) {
            QCOMPARE(rule.maxLength, maxLength);
            QCOMPARE(rule.inputMode == InputMode::HalfWidthKatakana, katakana);
        }
    }
};

TAVRIN_TEST(OfficerTableTest)
#include "officertabletest.moc"
