#include "diskchange.h"
#include "document.h"
#include "officertable.h"
#include "officerwar.h"
#include "sampleimage.h"
#include "table.h"
#include "testregistry.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// A save over the opened file after another program changed it: what counts as a change, what a
// save refuses and what it writes when told to overwrite.
class DiskChangeTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Document> m_document;
    QString m_image;

    // Opens a fresh sample and types 99 into 武力 of officer 0, so that a save has something to write.
    void openAndEdit()
    {
        QVERIFY(m_document->open(m_image).isDone());
        QCOMPARE(m_document->table(TableId::Officer).commitText(1, WarColumn, u"99"_s), CommitOutcome::Stored);
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_image = m_dir->filePath(u"image.smc"_s);
        QVERIFY(SampleImage::write(m_image));
        m_document = std::make_unique<Document>();
        m_document->setNameListPath(m_dir->filePath(u"b.txt"_s));
        m_document->setUpGrids();
    }

    void saveOverTheOpenedFile_afterAnotherProgram_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("changed");   // what isChangedOnDisk says
        QTest::addColumn<bool>("refused");   // whether a plain save writes nothing
        QTest::addColumn<QString>("reason"); // part of the refusal's message
        QTest::newRow("nothing") << u"nothing"_s << false << false << QString();
        QTest::newRow("size") << u"size"_s << true << true << u"他のプログラムで変更されています"_s;
        QTest::newRow("time") << u"time"_s << true << true << u"他のプログラムで変更されています"_s;
        QTest::newRow("table byte") << u"table byte"_s << true << true << u"他のプログラムで変更されています"_s;
        // Bytes outside the tables are never written, so a save keeps them without asking.
        QTest::newRow("outside byte, time kept") << u"outside byte"_s << false << false << QString();
        QTest::newRow("deleted") << u"deleted"_s << false << true << u"ファイルが見つかりません"_s;
        QTest::newRow("other form") << u"other form"_s << false << true << u"開いたときは"_s;
        QTest::newRow("truncated") << u"truncated"_s << false << true << u"短すぎます"_s;
    }

    void saveOverTheOpenedFile_afterAnotherProgram()
    {
        QFETCH(QString, kind);
        QFETCH(bool, changed);
        QFETCH(bool, refused);
        QFETCH(QString, reason);
        openAndEdit();
        QVERIFY(diskchange::apply(m_image, kind));
        const QByteArray theirs = readFileBytes(m_image);
        const QByteArray ours = m_document->state().block(BlockId::Officer);

        QCOMPARE(m_document->isChangedOnDisk(m_image), changed);
        const FileResult result = m_document->save(m_image);
        QCOMPARE(result.isFailed(), refused);
        if (refused) {
            QVERIFY2(result.message().contains(reason), qUtf8Printable(result.message()));
            QVERIFY2(result.message().contains(QDir::toNativeSeparators(m_image)), qUtf8Printable(result.message()));
            QCOMPARE(readFileBytes(m_image), theirs);
            QCOMPARE(QFile::exists(m_image), kind != u"deleted"_s);
            // No temporary file is left beside it either.
            const QStringList files = kind == u"deleted"_s ? QStringList() : QStringList{u"image.smc"_s};
            QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), files);
            // The edit is still there to be saved.
            QCOMPARE(m_document->state().block(BlockId::Officer), ours);
        } else {
            QCOMPARE(quint8(readFileBytes(m_image).at(WarByteOfRecord0)), 99);
        }
        if (!changed)
            return;
        // Told to overwrite, the save writes the tables and keeps what the other program wrote elsewhere.
        QVERIFY(m_document->save(m_image, Document::ChangedOnDisk::Overwrite).isDone());
        QByteArray expected = theirs;
        for (const BlockSpec& range : BlockCatalogue)
            expected.replace(range.position, range.size, m_document->state().block(range.id));
        const QByteArray written = readFileBytes(m_image);
        QCOMPARE(quint8(written.at(WarByteOfRecord0)), 99);
        QVERIFY(written == expected);
        QVERIFY(!m_document->isChangedOnDisk(m_image));
    }

    void ownSaves_areNotChangesByAnotherProgram()
    {
        openAndEdit();
        QVERIFY(m_document->save(m_image).isDone());
        // A later save of this program's own file is no change, however soon it comes.
        QCOMPARE(m_document->table(TableId::Officer).commitText(2, WarColumn, u"98"_s), CommitOutcome::Stored);
        QVERIFY(!m_document->isChangedOnDisk(m_image));
        QVERIFY(m_document->save(m_image).isDone());
        QVERIFY(diskchange::apply(m_image, u"table byte"_s));
        QVERIFY(m_document->isChangedOnDisk(m_image));
    }

    void saveUnderAnotherName_isNotRefused_andWatchesTheNewFile()
    {
        openAndEdit();
        QVERIFY(diskchange::apply(m_image, u"table byte"_s));
        const QByteArray theirs = readFileBytes(m_image);
        const QString copy = m_dir->filePath(u"copy.smc"_s);
        QVERIFY(!m_document->isChangedOnDisk(copy));
        QVERIFY(m_document->save(copy).isDone());
        QCOMPARE(readFileBytes(m_image), theirs);
        QCOMPARE(quint8(readFileBytes(copy).at(WarByteOfRecord0)), 99);
        // The copy is the open file now; the first one is no longer watched.
        QVERIFY(!m_document->isChangedOnDisk(m_image));
        QVERIFY(!m_document->isChangedOnDisk(copy));
        QVERIFY(diskchange::apply(copy, u"time"_s));
        QVERIFY(m_document->isChangedOnDisk(copy));
    }

    void otherSpellingOfTheOpenedFile_counts()
    {
#ifdef Q_OS_UNIX
        openAndEdit();
        const QString link = m_dir->filePath(u"link.smc"_s);
        QVERIFY(QFile::link(m_image, link));
        QVERIFY(diskchange::apply(m_image, u"time"_s));
        QVERIFY(m_document->isChangedOnDisk(link));
        QVERIFY(m_document->save(link).isFailed());
#else
        QSKIP("symbolic links need rights on this platform");
#endif
    }

    void reopening_takesTheFileAsItIsNow()
    {
        openAndEdit();
        QVERIFY(diskchange::apply(m_image, u"size"_s));
        QVERIFY(m_document->isChangedOnDisk(m_image));
        QVERIFY(m_document->open(m_image).isDone());
        QVERIFY(!m_document->isChangedOnDisk(m_image));
    }
};

TAVRIN_TEST(DiskChangeTest)
#include "diskchangetest.moc"
