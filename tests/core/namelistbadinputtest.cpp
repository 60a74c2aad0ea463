#include "filebytes.h"
#include "blockcatalogue.h"
#include "document.h"
#include "grid.h"
#include "hangguard.h"
#include "placementtable.h"
#include "sampleimage.h"
#include "shiftjis.h"
#include "testregistry.h"
#include "unixfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace Qt::StringLiterals;

namespace {

constexpr int Rows = PlacementTable::RecordCount;

// `count` Shift-JIS lines "名<n>" (名 is 0x96 0xBC), each padded with `padding` ASCII bytes.
QByteArray numberedNames(int count, qsizetype padding = 0)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            bytes += "\r\n";
        bytes += "\x96\xBC" + QByteArray::number(i) + QByteArray(padding, 'x');
    }
    return bytes;
}

// The names rows 1 to 531 show after a list of `bytes` is read over rows that all said "old": the
// list's pieces, and nothing past them.
QStringList expectedNames(const QByteArray& bytes)
{
    QStringList names(Rows);
    if (bytes.isEmpty())
        return names;
    const QStringList pieces = ShiftJis::decode(bytes).split(u"\r\n"_s);
    for (int j = 0; j < Rows && j < pieces.size(); ++j)
        names[j] = pieces[j];
    return names;
}

} // namespace

// Name lists that are no text file at all, or text no name list should ever hold: the open still
// completes, the blocks are read, and the names are the list's text as decoded, line by line.
class NameListBadInputTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Document> m_document;
    QByteArray m_sample;

    QString path(const QString& name) const { return m_dir->filePath(name); }

    QStringList names() const
    {
        QStringList out;
        const Grid& grid = m_document->grid(TableId::Placement);
        for (int row = 1; row <= Rows; ++row)
            out << grid.text(row, 1);
        return out;
    }

private Q_SLOTS:
    void initTestCase() { m_sample = SampleImage::generate(); }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_document = std::make_unique<Document>();
        m_document->setUpGrids();
        m_document->setRedraw(true);
        Grid& grid = m_document->grid(TableId::Placement);
        for (int row = 1; row <= Rows; ++row)
            grid.setText(row, 1, u"old"_s);
    }

    void open_withBadNameList_completes_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("bytes");
        // The first names, spelled out; the rest are checked against the list split at each CR LF.
        QTest::addColumn<QStringList>("leading");

        QTest::newRow("directory") << u"directory"_s << QByteArray() << QStringList{QString()};
        QTest::newRow("fifo without a writer") << u"fifo"_s << QByteArray() << QStringList{QString()};
        QTest::newRow("link to /dev/zero") << u"/dev/zero"_s << QByteArray() << QStringList{QString()};
        QTest::newRow("link to /dev/urandom") << u"/dev/urandom"_s << QByteArray() << QStringList{QString()};
        QTest::newRow("dangling link") << u"dangling"_s << QByteArray() << QStringList{QString()};
        QTest::newRow("invalid Shift-JIS")
            << u"file"_s << QByteArray("\x81\r\n\xFF\xFE\x80\xA0\r\n\x85\x40z\r\n\x83\r\nok")
            << QStringList{u"\uFFFD"_s, u"\uFFFD\uFFFD\uFFFD\uFFFD"_s, u"\uFFFD@z"_s, u"\uFFFD"_s, u"ok"_s, QString()};
        QTest::newRow("lead byte before the line end")
            << u"file"_s << QByteArray("a\x96\r\nb") << QStringList{u"a\uFFFD"_s, u"b"_s, QString()};
        QTest::newRow("NUL bytes") << u"file"_s << QByteArray("a\0b\r\n\0\r\n\0\0\0", 11)
                                   << QStringList{u"a"_s % QChar(0) % u"b"_s, QString(1, QChar(0)),
                                                  QString(3, QChar(0)), QString()};
        QTest::newRow("UTF-8 instead of Shift-JIS") << u"file"_s << u"曹操\r\n劉備"_s.toUtf8() << QStringList();
        QTest::newRow("UTF-16 with BOM") << u"file"_s << QByteArray("\xFF\xFE\x1B\x66\xCD\x64\r\0\n\0", 10)
                                         << QStringList();
        QTest::newRow("only line ends") << u"file"_s << QByteArray("\r\n\r\n\r\n")
                                        << QStringList{QString(), QString(), QString(), QString(), QString()};
        QTest::newRow("lone CR and LF") << u"file"_s << QByteArray("a\rb\nc\n\rd\r\r\ne")
                                        << QStringList{u"a\rb\nc\n\rd\r"_s, u"e"_s, QString()};
        QTest::newRow("a 4 MiB line") << u"file"_s << QByteArray(4 * 1024 * 1024, 'n')
                                      << QStringList{QString(4 * 1024 * 1024, u'n'), QString()};
        // 0x82 0x82 is the full-width ｂ.
        QTest::newRow("a long line among short ones")
            << u"file"_s << QByteArray("first\r\n") + QByteArray(1024 * 1024, '\x82') + "\r\nlast"
            << QStringList{u"first"_s, QString(512 * 1024, QChar(0xFF42)), u"last"_s, QString()};
        QTest::newRow("531 names of 20 KiB (10 MiB)")
            << u"file"_s << numberedNames(531, 20 * 1024) << QStringList{u"名0"_s + QString(20 * 1024, u'x')};
        QTest::newRow("2000 lines") << u"file"_s << numberedNames(2000) << QStringList{u"名0"_s, u"名1"_s};
        QTest::newRow("532 lines") << u"file"_s << numberedNames(532) << QStringList{u"名0"_s};
        QTest::newRow("531 lines and a final line end") << u"file"_s << numberedNames(531) + "\r\n"
                                                        << QStringList{u"名0"_s};
    }

    void open_withBadNameList_completes()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, leading);
        SKIP_IF_UNIX_ONLY(QString::fromUtf8(QTest::currentDataTag()));
        const QString list = path(u"b.txt"_s);
        QStringList fifos;
        if (kind == u"directory"_s) {
            QVERIFY(QDir(m_dir->path()).mkdir(u"b.txt"_s));
        } else if (kind == u"fifo"_s) {
#ifdef Q_OS_UNIX
            QCOMPARE(::mkfifo(QFile::encodeName(list).constData(), 0600), 0);
            fifos << list;
#else
            QSKIP("no FIFOs here");
#endif
        } else if (kind.startsWith(u"/dev/"_s)) {
            if (!QFile::exists(kind))
                QSKIP("no such device here");
            QVERIFY(QFile::link(kind, list));
        } else if (kind == u"dangling"_s) {
            QVERIFY(QFile::link(path(u"gone.txt"_s), list));
        } else {
            QVERIFY(writeFileBytes(list, bytes));
        }
        m_document->setNameListPath(list);
        const QString image = path(u"image.smc"_s);
        QVERIFY(SampleImage::write(image));

        bool hung = false;
        const FileResult result = runGuarded<FileResult>([&] { return m_document->open(image); }, fifos, &hung);
        QVERIFY2(!hung, "the name list blocked the open");
        QVERIFY2(result.isDone(), qUtf8Printable(result.message()));
        QCOMPARE(m_document->state().currentPath(), image);
        for (const BlockSpec& range : BlockCatalogue)
            QCOMPARE(m_document->state().block(range.id), m_sample.mid(range.position, range.size));
        QCOMPARE(m_document->grid(TableId::Placement).text(Rows, 25),
                 QString::number(quint8(
                     m_sample.at(blockSpec(BlockId::Placement).position + blockSpec(BlockId::Placement).size - 1))));

        const QStringList shown = names();
        QCOMPARE(shown.mid(0, leading.size()), leading);
        const QStringList expected = expectedNames(bytes);
        for (int j = 0; j < Rows; ++j)
            QVERIFY2(
                shown[j] == expected[j],
                qPrintable(
                    u"row %1: %2 characters, expected %3"_s.arg(j + 1).arg(shown[j].size()).arg(expected[j].size())));
    }

    // A list larger than the reader takes shows the names of the part it takes, as decoded.
    void open_withNameListOverTheReadLimit_showsTheNamesOfItsFirstPart()
    {
        // 531 lines of 40 KiB: about 20 MiB, so the lines past the limit are not read.
        const QByteArray bytes = numberedNames(Rows, 40 * 1024);
        QVERIFY(bytes.size() > ShiftJis::MaximumFileSize);
        QVERIFY(writeFileBytes(path(u"b.txt"_s), bytes));
        m_document->setNameListPath(path(u"b.txt"_s));
        const QString image = path(u"image.smc"_s);
        QVERIFY(SampleImage::write(image));
        QVERIFY(m_document->open(image).isDone());

        const QStringList expected = expectedNames(bytes.left(ShiftJis::MaximumFileSize));
        QCOMPARE(names(), expected);
        QCOMPARE(names().first(), u"名0"_s + QString(40 * 1024, u'x'));
        QCOMPARE(names().last(), QString());
    }
};

TAVRIN_TEST(NameListBadInputTest)
#include "namelistbadinputtest.moc"
