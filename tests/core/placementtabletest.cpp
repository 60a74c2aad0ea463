#include "editorstate.h"
#include "grid.h"
#include "placementtable.h"
#include "tablefixture.h"
#include "testregistry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace Qt::StringLiterals;

namespace {

// Names in code page 932 and the text they stand for (pairs checked against the code page's table).
const QByteArray SjisCaoCao("\x91\x82\x91\x80"); // 曹操
const QByteArray SjisLiuBei("\x97\xAB\x94\xF5"); // 劉備
const QByteArray SjisGuanYu("\x8A\xD6\x89\x48"); // 関羽 (trail byte 0x48 looks like ASCII "H")
const QByteArray SjisTeGun("\x83\x65\x8C\x52");  // テ軍
const QString CaoCao = QString(QChar(0x66F9)) + QChar(0x64CD);
const QString LiuBei = QString(QChar(0x5289)) + QChar(0x5099);
const QString GuanYu = QString(QChar(0x95A2)) + QChar(0x7FBD);
const QString TeGun = QString(QChar(0x30C6)) + QChar(0x8ECD);

struct PlacementFixture : TableFixture<PlacementTable>
{
    QTemporaryDir dir;

    PlacementFixture() : TableFixture(BlockId::Placement)
    {
        table.fillGrid();
        for (int row = 1; row <= PlacementTable::RecordCount; ++row)
            grid.setText(row, 1, u"old"_s);
    }

    QString write(const QByteArray& bytes, const QString& name = u"b.txt"_s) const
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return {};
        return path;
    }

    QStringList names() const
    {
        QStringList out;
        for (int row = 1; row <= PlacementTable::RecordCount; ++row)
            out << grid.text(row, 1);
        return out;
    }
};

QByteArray numberedLines(int count, const QByteArray& separator)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            bytes += separator;
        bytes += "n" + QByteArray::number(i + 1);
    }
    return bytes;
}

} // namespace

class PlacementTableTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void setUp_buildsLayoutAndLeavesDrawingOff()
    {
        Grid grid;
        EditorState state;
        PlacementTable table(grid, state);
        table.setUpGrid();
        QCOMPARE(grid.rows(), 532);
        QCOMPARE(grid.cols(), 26);
        QCOMPARE(grid.fixedRows(), 1);
        QCOMPARE(grid.fixedCols(), 2);
        QVERIFY(!grid.redraw());
        QCOMPARE(grid.text(0, 0), u"No"_s);
        QCOMPARE(grid.text(0, 1), u"名前"_s);
        QCOMPARE(grid.text(0, 2), u"S1兵士"_s);
        QCOMPARE(grid.text(0, 7), u"S2身分"_s);
        QCOMPARE(grid.text(0, 12), u"S3忠誠"_s);
        QCOMPARE(grid.text(0, 25), u"S6所在"_s);
        QCOMPARE(grid.colWidth(0), 360);
        QCOMPARE(grid.colWidth(1), Grid::DefaultColumnWidth);
        for (int c = 2; c < 26; ++c)
            QCOMPARE(grid.colWidth(c), 630);
        QVERIFY(grid.text(1, 0).isEmpty());
    }

    void fill_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::addColumn<int>("offset");
        QTest::newRow("first byte") << 1 << 2 << 0;
        QTest::newRow("scenario 1 location") << 1 << 5 << 3;
        QTest::newRow("scenario 2 soldiers") << 1 << 6 << 2124;
        QTest::newRow("scenario 3 loyalty of record 7") << 8 << 12 << 4248 + 28 + 2;
        QTest::newRow("last byte") << 531 << 25 << 12743;
    }

    void fill()
    {
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(int, offset);
        PlacementFixture f;
        f.state.block(BlockId::Placement)[offset] = char(0xC8);
        f.table.fillGrid();
        QCOMPARE(f.grid.text(row, col), u"200"_s);
        QCOMPARE(f.grid.text(row, 0), QString::number(row - 1));
        QCOMPARE(f.grid.text(row, 1), u"old"_s);
    }

    void checkText_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown"); // null: refused
        QTest::newRow("within") << 2 << u"12"_s << u"12"_s;
        QTest::newRow("capped") << 25 << u"300"_s << u"255"_s;
        QTest::newRow("fraction") << 3 << u"2.5"_s << u"2"_s;
        QTest::newRow("negative") << 4 << u"-1"_s << QString();
        QTest::newRow("empty") << 4 << QString() << QString();
        QTest::newRow("letters") << 4 << u"a"_s << QString();
        QTest::newRow("name column") << 1 << u"5"_s << QString();
        QTest::newRow("number column") << 0 << u"5"_s << QString();
    }

    void checkText()
    {
        QFETCH(int, col);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        PlacementFixture f;
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
        QTest::addColumn<int>("offset"); // -1: nothing stored
        QTest::addColumn<int>("value");
        QTest::newRow("first byte") << 1 << 2 << u"7"_s << 0 << 7;
        QTest::newRow("last byte") << 531 << 25 << u"255"_s << 12743 << 255;
        QTest::newRow("scenario 3 only") << 11 << 13 << u"0"_s << 4248 + 40 + 3 << 0;
        QTest::newRow("half to even") << 1 << 6 << u"3.5"_s << 2124 << 4;
        QTest::newRow("negative") << 1 << 2 << u"-1"_s << -1 << 0;
        QTest::newRow("too big") << 1 << 2 << u"256"_s << -1 << 0;
        QTest::newRow("name column") << 1 << 1 << u"5"_s << -1 << 0;
        QTest::newRow("number column") << 1 << 0 << u"5"_s << -1 << 0;
    }

    void store()
    {
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(QString, text);
        QFETCH(int, offset);
        QFETCH(int, value);
        PlacementFixture f;
        QByteArray expected = f.state.block(BlockId::Placement);
        if (offset >= 0)
            expected[offset] = char(value);
        f.store(row, col, text);
        QCOMPARE(f.state.block(BlockId::Placement), expected);
    }

    void store_findsRecordThroughColumnZero_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<int>("offset"); // -1: nothing stored
        QTest::newRow("other record") << u"100"_s << 400;
        QTest::newRow("last record") << u"530"_s << 2120;
        QTest::newRow("one past the scenario") << u"531"_s << -1;
        QTest::newRow("negative") << u"-1"_s << -1;
        QTest::newRow("text") << u"No"_s << -1;
    }

    void store_findsRecordThroughColumnZero()
    {
        QFETCH(QString, number);
        QFETCH(int, offset);
        PlacementFixture f;
        QByteArray expected = f.state.block(BlockId::Placement);
        if (offset >= 0)
            expected[offset] = char(1);
        f.grid.setText(1, 0, number);
        f.store(1, 2, u"1"_s);
        QCOMPARE(f.state.block(BlockId::Placement), expected);
    }

    void storeEachScenario_leavesOtherScenariosAlone()
    {
        PlacementFixture f;
        for (int col = 2; col < 26; ++col) {
            QByteArray expected = f.state.block(BlockId::Placement);
            const int s = (col - 2) / 4;
            const int k = (col - 2) % 4;
            expected[s * 2124 + 4 * 300 + k] = char(col);
            f.grid.setCurrentCell(301, col);
            f.grid.setText(301, col, QString::number(col));
            f.table.storeCell();
            QCOMPARE(f.state.block(BlockId::Placement), expected);
        }
    }

    void editRule_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<bool>("opens");
        QTest::newRow("number") << 0 << false;
        QTest::newRow("name") << 1 << false;
        QTest::newRow("first") << 2 << true;
        QTest::newRow("last") << 25 << true;
        QTest::newRow("outside") << 26 << false;
    }

    void editRule()
    {
        QFETCH(int, col);
        QFETCH(bool, opens);
        PlacementFixture f;
        const EditRule rule = f.table.editRule(col);
        QCOMPARE(rule.opensEditor, opens);
        if (opens)
            QCOMPARE(rule.maxLength, 3);
        QCOMPARE(rule.inputMode, InputMode::Off);
    }

    void readNames_decodesShiftJis()
    {
        PlacementFixture f;
        const QString path = f.write(SjisCaoCao + "\r\n" + SjisLiuBei + "\r\n" + SjisGuanYu + "\r\n" + SjisTeGun);
        f.table.readUTF8(path);
        QCOMPARE(f.grid.text(1, 1), CaoCao);
        QCOMPARE(f.grid.text(2, 1), LiuBei);
        QCOMPARE(f.grid.text(3, 1), GuanYu);
        QCOMPARE(f.grid.text(4, 1), TeGun);
        QCOMPARE(f.grid.text(5, 1), QString());
    }

    void readNames_fullListWithFinalLineEnd()
    {
        PlacementFixture f;
        f.table.readUTF8(f.write(numberedLines(531, "\r\n") + "\r\n"));
        const QStringList names = f.names();
        QCOMPARE(names.first(), u"n1"_s);
        QCOMPARE(names.last(), u"n531"_s);
        QVERIFY(!names.contains(u"old"_s));
    }

    void readNames_moreThanRowsKeepsTheFirst()
    {
        PlacementFixture f;
        f.table.readUTF8(f.write(numberedLines(600, "\r\n")));
        QCOMPARE(f.names().last(), u"n531"_s);
        QCOMPARE(f.grid.text(0, 1), u"名前"_s);
    }

    void readNames_shortList_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("expected"); // rows 1 to 12; row 531 as row 12
        const QStringList ten{u"n1"_s, u"n2"_s, u"n3"_s, u"n4"_s, u"n5"_s,
                              u"n6"_s, u"n7"_s, u"n8"_s, u"n9"_s, u"n10"_s};
        QTest::newRow("ten lines") << numberedLines(10, "\r\n") << ten + QStringList{QString(), QString()};
        // A final CR LF leaves one empty piece, and that piece names row 11.
        QTest::newRow("ten lines and a final line end") << numberedLines(10, "\r\n") + "\r\n"
                                                        << ten + QStringList{QString(), QString()};
        QTest::newRow("LF only is one piece")
            << QByteArray("a\nb\nc") << QStringList{u"a\nb\nc"_s} + QStringList(11, QString());
        QTest::newRow("lone CR does not split")
            << QByteArray("a\rb\r\nc") << QStringList{u"a\rb"_s, u"c"_s} + QStringList(10, QString());
        QTest::newRow("empty lines") << QByteArray("\r\n\r\nz")
                                     << QStringList{QString(), QString(), u"z"_s} + QStringList(9, QString());
        QTest::newRow("empty file changes nothing") << QByteArray() << QStringList(12, u"old"_s);
        QTest::newRow("invalid bytes show U+FFFD")
            << QByteArray("\x83"
                          "0\r\n\xFF\r\nok\x83") +
                   "\r\n" + SjisTeGun
            << QStringList{QString(QChar(0xFFFD)) + u"0"_s, QString(QChar(0xFFFD)), u"ok"_s + QChar(0xFFFD), TeGun} +
                   QStringList(8, QString());
    }

    void readNames_shortList()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, expected);
        PlacementFixture f;
        f.table.readUTF8(f.write(bytes));
        QCOMPARE(f.names().mid(0, 12), expected);
        QCOMPARE(f.names().last(), expected.last());
    }

    void readNames_noRegularFileChangesNothing_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing") << u"missing"_s;
        QTest::newRow("empty path") << u"empty path"_s;
        QTest::newRow("directory") << u"directory"_s;
        QTest::newRow("fifo") << u"fifo"_s;
    }

    void readNames_noRegularFileChangesNothing()
    {
        QFETCH(QString, kind);
        PlacementFixture f;
        QString path;
        if (kind == u"missing"_s) {
            path = f.dir.filePath(u"b.txt"_s);
        } else if (kind == u"directory"_s) {
            path = f.dir.filePath(u"b.txt"_s);
            QVERIFY(QDir().mkdir(path));
        } else if (kind == u"fifo"_s) {
#ifdef Q_OS_UNIX
            path = f.dir.filePath(u"b.txt"_s);
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
#else
            QSKIP("No FIFOs on this platform");
#endif
        }
        // A FIFO without a writer would block a plain open for ever; the read must return at once.
        f.table.readUTF8(path);
        QCOMPARE(f.names(), QStringList(PlacementTable::RecordCount, u"old"_s));
    }

    void readNames_refillKeepsNamesAndRedrawState()
    {
        PlacementFixture f;
        f.grid.setRedraw(true);
        f.table.readUTF8(f.write(SjisCaoCao));
        QVERIFY(f.grid.redraw());
        f.table.fillGrid();
        QCOMPARE(f.grid.text(1, 1), CaoCao);
    }
};

TAVRIN_TEST(PlacementTableTest)
#include "placementtabletest.moc"
