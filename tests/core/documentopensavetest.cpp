#include "captionnaming.h"
#include "documentcontent.h"
#include "filebytes.h"
#include "blockcatalogue.h"
#include "document.h"
#include "grid.h"
#include "officertable.h"
#include "placementtable.h"
#include "sampleimage.h"
#include "testregistry.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace Qt::StringLiterals;

namespace {

QString captionFor(const QString& text)
{
    return u"Tavrinエディター ["_s % text % u']';
}

} // namespace

class DocumentOpenSaveTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Document> m_document;
    QByteArray m_sample;

    QString path(const QString& name) const { return m_dir->filePath(name); }
    QString writeSample(const QString& name) const
    {
        const QString file = path(name);
        return SampleImage::write(file) ? file : QString();
    }

private Q_SLOTS:
    void initTestCase() { m_sample = SampleImage::generate(); }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_document = std::make_unique<Document>();
        m_document->setNameListPath(path(u"b.txt"_s));
        m_document->setUpGrids();
        m_document->setRedraw(true);
    }

    void open_showsThePathAndFillsEveryTable()
    {
        const QString file = writeSample(u"image.smc"_s);
        QSignalSpy captions(&m_document->state(), &EditorState::captionChanged);
        const FileResult result = m_document->open(file);
        QVERIFY2(result.isDone(), qUtf8Printable(result.message()));
        QCOMPARE(m_document->state().currentPath(), file);
        QCOMPARE(m_document->state().caption(), captionNaming(file));
        QCOMPARE(captions.count(), 1);
        for (const BlockSpec& range : BlockCatalogue)
            QCOMPARE(m_document->state().block(range.id), m_sample.mid(range.position, range.size));
        // Officer 0 of the sample has War 85, city record 0 population 300.
        QCOMPARE(m_document->grid(TableId::Officer).text(1, 3), u"85"_s);
        QCOMPARE(m_document->grid(TableId::City).text(1, 2), u"300"_s);
        QCOMPARE(m_document->grid(TableId::Force).text(2, 1), u"531"_s);
        QVERIFY(!m_document->grid(TableId::Item).text(1, 4).isEmpty());
        QVERIFY(!m_document->grid(TableId::Placement).text(531, 25).isEmpty());
    }

    void open_readsTheNameListAfterTheGrids()
    {
        QVERIFY(writeFileBytes(path(u"b.txt"_s), "Cao\r\nLiu"));
        QVERIFY(m_document->open(writeSample(u"image.smc"_s)).isDone());
        QCOMPARE(m_document->grid(TableId::Placement).text(1, 1), u"Cao"_s);
        QCOMPARE(m_document->grid(TableId::Placement).text(2, 1), u"Liu"_s);
    }

    // A second open after one whose list named six records: the placement column, the officer names
    // that find and the tooltips use, all show the second open's list and nothing of the first.
    void open_showsExactlyTheListOfThisOpen_data()
    {
        QTest::addColumn<QByteArray>("list"); // empty: no list at the second open
        QTest::addColumn<QStringList>("names");
        QTest::newRow("two names after six") << QByteArray("Zhao\r\nMa") << QStringList{u"Zhao"_s, u"Ma"_s};
        QTest::newRow("no list after six") << QByteArray() << QStringList();
    }

    void open_showsExactlyTheListOfThisOpen()
    {
        QFETCH(QByteArray, list);
        QFETCH(QStringList, names);
        const QString image = writeSample(u"image.smc"_s);
        QVERIFY(writeFileBytes(path(u"b.txt"_s), "Cao\r\nLiu\r\nGuan\r\nZhang\r\nSun\r\nZhou"));
        QVERIFY(m_document->open(image).isDone());
        QVERIFY(list.isEmpty() ? QFile::remove(path(u"b.txt"_s)) : writeFileBytes(path(u"b.txt"_s), list));
        QVERIFY(m_document->open(image).isDone());
        const Grid& placement = m_document->grid(TableId::Placement);
        for (int record = 0; record < PlacementTable::RecordCount; ++record) {
            const QString expected = names.value(record);
            QCOMPARE(placement.text(record + 1, 1), expected);
            QCOMPARE(m_document->officerListName(record + 1), expected);
        }
    }

    void open_ignoresSilently_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("empty") << QString();
        QTest::newRow("missing") << u"missing.smc"_s;
        QTest::newRow("directory") << u"folder"_s;
    }

    void open_ignoresSilently()
    {
        QFETCH(QString, name);
        QVERIFY(QDir(m_dir->path()).mkdir(u"folder"_s));
        const DocumentSnapshot before = DocumentSnapshot::of(*m_document);
        const FileResult result = m_document->open(name.isEmpty() ? QString() : path(name));
        QCOMPARE(result.kind(), FileResult::Kind::Ignored);
        QVERIFY(result.message().isEmpty());
        QVERIFY(DocumentSnapshot::of(*m_document) == before);
    }

    void open_failure_keepsThePreviousDocument_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("too short") << u"short"_s;
        QTest::newRow("too large") << u"huge"_s;
        QTest::newRow("fifo") << u"fifo"_s;
    }

    void open_failure_keepsThePreviousDocument()
    {
        QFETCH(QString, kind);
        QVERIFY(m_document->open(writeSample(u"image.smc"_s)).isDone());
        // An edit made in memory must survive as well.
        m_document->state().block(BlockId::Officer)[7] = char(99);
        const QString bad = path(kind);
        if (kind == u"short"_s) {
            QVERIFY(writeFileBytes(bad, m_sample.left(HighestBlockEnd - 1)));
        } else if (kind == u"huge"_s) {
            QFile file(bad);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(65 * 1024 * 1024));
        } else {
#ifdef Q_OS_UNIX
            QCOMPARE(::mkfifo(QFile::encodeName(bad).constData(), 0600), 0);
#else
            QSKIP("no FIFOs here");
#endif
        }
        const DocumentSnapshot before = DocumentSnapshot::of(*m_document);

        const FileResult result = m_document->open(bad);
        QVERIFY(result.isFailed());
        QVERIFY2(result.message().contains(QDir::toNativeSeparators(bad)), qUtf8Printable(result.message()));
        QVERIFY(DocumentSnapshot::of(*m_document) == before);
        QCOMPARE(m_document->state().block(BlockId::Officer).at(7), char(99));
    }

    void save_overTheCurrentFile_writesTheBlocksAndReportsCompletion()
    {
        const QString file = writeSample(u"image.smc"_s);
        QVERIFY(m_document->open(file).isDone());
        const qint64 warByte = blockSpec(BlockId::Officer).position + 7;
        m_document->state().block(BlockId::Officer)[7] = char(95);

        const FileResult result = m_document->save(file);
        QVERIFY2(result.isDone(), qUtf8Printable(result.message()));
        QCOMPARE(m_document->state().caption(), captionFor(u"保存完了"_s));
        QCOMPARE(m_document->state().currentPath(), file);
        QByteArray expected = m_sample;
        expected[warByte] = char(95);
        QCOMPARE(readFileBytes(file), expected);
        m_document->state().showCurrentPath();
        QCOMPARE(m_document->state().caption(), captionNaming(file));
    }

    // On Windows a drop or a file dialog gives C:/…, the command line C:\…: one caption for both, while
    // the document keeps the spelling it was given.
    void open_captionUsesTheSystemsSeparators_data()
    {
        QTest::addColumn<bool>("native");
        QTest::newRow("as Qt spells it") << false;
        QTest::newRow("with the system's separators") << true;
    }

    void open_captionUsesTheSystemsSeparators()
    {
        QFETCH(bool, native);
        QVERIFY(QDir().mkpath(path(u"sub dir"_s)));
        const QString file = writeSample(u"sub dir/image.smc"_s);
        const QString given = native ? QDir::toNativeSeparators(file) : file;
        QVERIFY2(m_document->open(given).isDone(), qUtf8Printable(given));
        QCOMPARE(m_document->state().currentPath(), given);
        const QString caption = m_document->state().caption();
        QCOMPARE(caption, captionNaming(file));
#ifdef Q_OS_WIN
        QVERIFY2(!caption.contains(u'/'), qUtf8Printable(caption));
#endif
        m_document->state().setTitle(u"保存完了"_s);
        m_document->state().showCurrentPath();
        QCOMPARE(m_document->state().caption(), caption);
    }

    void save_underANewName_makesItTheCurrentFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("new name") << u"copy.smc"_s;
        QTest::newRow("differs only in case") << u"IMAGE.smc"_s;
    }

    void save_underANewName_makesItTheCurrentFile()
    {
        QFETCH(QString, name);
        const QString file = writeSample(u"image.smc"_s);
        const QString copy = path(name);
        if (QFile::exists(copy))
            QSKIP("this file system ignores case");
        QVERIFY(m_document->open(file).isDone());
        m_document->state().block(BlockId::City)[2] = char(0x2B);

        QVERIFY(m_document->save(copy).isDone());
        QCOMPARE(m_document->state().currentPath(), copy);
        QCOMPARE(m_document->state().caption(), captionFor(u"保存完了"_s));
        QCOMPARE(readFileBytes(file), m_sample);
        QByteArray expected = m_sample;
        expected[blockSpec(BlockId::City).position + 2] = char(0x2B);
        QCOMPARE(readFileBytes(copy), expected);
    }

    void save_failure_keepsPathAndCaption_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing folder") << u"missing folder"_s;
        QTest::newRow("current file deleted") << u"deleted"_s;
        QTest::newRow("current file truncated") << u"truncated"_s;
    }

    void save_failure_keepsPathAndCaption()
    {
        QFETCH(QString, kind);
        const QString file = writeSample(u"image.smc"_s);
        QVERIFY(m_document->open(file).isDone());
        QString destination = file;
        if (kind == u"missing folder"_s)
            destination = path(u"nowhere/image.smc"_s);
        else if (kind == u"deleted"_s)
            QVERIFY(QFile::remove(file));
        else
            QVERIFY(QFile(file).resize(1000));
        const QByteArray onDisk = readFileBytes(file);
        const DocumentSnapshot before = DocumentSnapshot::of(*m_document);

        const FileResult result = m_document->save(destination);
        QVERIFY(result.isFailed());
        QVERIFY2(result.message().contains(QDir::toNativeSeparators(destination)), qUtf8Printable(result.message()));
        QVERIFY(DocumentSnapshot::of(*m_document) == before);
        QCOMPARE(readFileBytes(file), onDisk);
        QCOMPARE(QFile::exists(file), kind != u"deleted"_s);
        QVERIFY(!QFile::exists(path(u"nowhere"_s)));
    }

    void save_isIgnoredWithoutDestinationOrOpenFile()
    {
        const DocumentSnapshot before = DocumentSnapshot::of(*m_document);
        QCOMPARE(m_document->save(path(u"image.smc"_s)).kind(), FileResult::Kind::Ignored);
        QVERIFY(!QFile::exists(path(u"image.smc"_s)));
        QVERIFY(DocumentSnapshot::of(*m_document) == before);
        QVERIFY(m_document->open(writeSample(u"image.smc"_s)).isDone());
        const QString caption = m_document->state().caption();
        QCOMPARE(m_document->save(QString()).kind(), FileResult::Kind::Ignored);
        QCOMPARE(m_document->state().caption(), caption);
        QCOMPARE(m_document->state().currentPath(), path(u"image.smc"_s));
    }

    void openThenSave_withoutEdits_reproducesTheFileExactly()
    {
        const QString file = writeSample(u"image.smc"_s);
        QVERIFY(m_document->open(file).isDone());
        QVERIFY(m_document->save(path(u"copy.smc"_s)).isDone());
        QCOMPARE(readFileBytes(path(u"copy.smc"_s)), m_sample);
    }

    void storingEveryOfficerRow_neverChangesByte21()
    {
        const QString file = writeSample(u"image.smc"_s);
        QVERIFY(m_document->open(file).isDone());
        Grid& grid = m_document->grid(TableId::Officer);
        for (int row = 1; row <= OfficerTable::RecordCount; ++row) {
            grid.setCurrentCell(row, 3);
            m_document->officers().storeRow();
        }
        QVERIFY(m_document->save(file).isDone());

        const QByteArray saved = readFileBytes(file);
        const qint64 officers = blockSpec(BlockId::Officer).position;
        for (int n = 0; n < OfficerTable::RecordCount; ++n) {
            const qint64 at = officers + qint64(n) * OfficerTable::RecordSize + 21;
            QVERIFY2(saved.at(at) == m_sample.at(at), qPrintable(QString::number(n)));
        }
        // The row store rewrites officer fields only; nothing else in the file moves.
        const qint64 end = officers + blockSpec(BlockId::Officer).size;
        QCOMPARE(saved.left(officers), m_sample.left(officers));
        QCOMPARE(saved.mid(end), m_sample.mid(end));
    }

    void readOnlyImage_opensAndSavesInPlace()
    {
        const QString file = writeSample(u"image.smc"_s);
        QVERIFY(QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        QVERIFY(m_document->open(file).isDone());
        QVERIFY(QFile::permissions(file).testFlag(QFileDevice::WriteOwner));
        m_document->state().block(BlockId::Item)[2] = char(0xEE);
        QVERIFY(m_document->save(file).isDone());
        QCOMPARE(readFileBytes(file).at(blockSpec(BlockId::Item).position + 2), char(0xEE));
    }
};

TAVRIN_TEST(DocumentOpenSaveTest)
#include "documentopensavetest.moc"
