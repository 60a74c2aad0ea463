#include "documentcontent.h"
#include "filebytes.h"
#include "blockcatalogue.h"
#include "cartridgechecksum.h"
#include "checksumrequest.h"
#include "diskfingerprint.h"
#include "document.h"
#include "grid.h"
#include "imageform.h"
#include "officerwar.h"
#include "romfile.h"
#include "sampleimage.h"
#include "table.h"
#include "testregistry.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Types `text` into a cell the way the editor commits it: the commit rule, the cell, the store.
bool editCell(Document& document, TableId id, int row, int col, const QString& text)
{
    const std::optional<QString> accepted = document.table(id).checkText(col, text);
    if (!accepted)
        return false;
    document.grid(id).setCurrentCell(row, col);
    document.grid(id).setText(row, col, *accepted);
    document.table(id).storeCell();
    return true;
}

} // namespace

// Images with and without the copier header: how the form is decided, the minimum sizes, and that
// open and save use the positions of the form the file has.
class ImageFormTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QByteArray m_sample;
    QByteArray m_bare;

    QString path(const QString& name) const { return m_dir->filePath(name); }

    std::unique_ptr<Document> newDocument() const
    {
        auto document = std::make_unique<Document>();
        document->setNameListPath(path(u"b.txt"_s));
        document->setUpGrids();
        return document;
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_sample = SampleImage::generate();
        m_bare = m_sample.mid(CopierHeaderSize);
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void formForSize_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<bool>("header");
        QTest::newRow("empty") << qint64(0) << false;
        QTest::newRow("512") << qint64(512) << true;
        QTest::newRow("1 MiB") << qint64(1024 * 1024) << false;
        QTest::newRow("1 MiB + 512") << qint64(1024 * 1024 + 512) << true;
        QTest::newRow("1 MiB + 1: read as before") << qint64(1024 * 1024 + 1) << true;
        QTest::newRow("1 MiB + 513: read as before") << qint64(1024 * 1024 + 513) << true;
        QTest::newRow("1 MiB - 1: read as before") << qint64(1024 * 1024 - 1) << true;
    }

    void formForSize()
    {
        QFETCH(qint64, size);
        QFETCH(bool, header);
        QCOMPARE(imageFormForSize(size), header ? ImageForm::CopierHeader : ImageForm::Headerless);
    }

    void readBlocks_minimumSizeFollowsTheForm_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("reason");
        QTest::newRow("headerless, smallest whole kilobyte above 0xAF3A6") << qint64(0xAF400) << true << QString();
        QTest::newRow("headerless, one kilobyte less") << qint64(0xAF000) << false << u"717734 バイト以上"_s;
        QTest::newRow("other size, exactly 0xAF5A6") << qint64(0xAF5A6) << true << QString();
        QTest::newRow("other size, 0xAF5A5") << qint64(0xAF5A5) << false << u"718246 バイト以上"_s;
        QTest::newRow("header, 0xAF200, above the headerless minimum")
            << qint64(0xAF200) << false << u"718246 バイト以上"_s;
    }

    void readBlocks_minimumSizeFollowsTheForm()
    {
        QFETCH(qint64, size);
        QFETCH(bool, accepted);
        QFETCH(QString, reason);
        const ImageForm form = imageFormForSize(size);
        const QByteArray bytes = (form == ImageForm::Headerless ? m_bare : m_sample).left(size);
        const QString file = path(u"image"_s);
        QVERIFY(writeFileBytes(file, bytes));
        std::array<QByteArray, 5> blocks;
        ImageForm read = form == ImageForm::Headerless ? ImageForm::CopierHeader : ImageForm::Headerless;
        const FileResult result = romfile::ReadBlocks(file, blocks, &read);
        if (!accepted) {
            QVERIFY(result.isFailed());
            QVERIFY2(result.message().contains(reason), qUtf8Printable(result.message()));
            return;
        }
        QVERIFY2(result.isDone(), qUtf8Printable(result.message()));
        QCOMPARE(read, form);
        for (const BlockSpec& range : BlockCatalogue)
            QCOMPARE(blocks[std::size_t(range.id)], m_sample.mid(range.position, range.size));
    }

    void headerlessCopy_showsTheSameGridTexts()
    {
        QVERIFY(writeFileBytes(path(u"image.smc"_s), m_sample));
        QVERIFY(writeFileBytes(path(u"image.sfc"_s), m_bare));
        const auto headered = newDocument();
        const auto bare = newDocument();
        QVERIFY(headered->open(path(u"image.smc"_s)).isDone());
        QVERIFY(bare->open(path(u"image.sfc"_s)).isDone());
        QVERIFY(headered->hasCopierHeader());
        QVERIFY(!bare->hasCopierHeader());
        QCOMPARE(bare->imageForm(), ImageForm::Headerless);
        const QStringList cells = allCells(*headered);
        QCOMPARE(allCells(*bare), cells);
        QCOMPARE(headered->grid(TableId::Officer).text(1, 3), u"85"_s);
    }

    void headerlessSave_landsTheEdit0x200Earlier_data()
    {
        QTest::addColumn<bool>("saveAs");
        QTest::newRow("over the file") << false;
        QTest::newRow("under a new name") << true;
    }

    void headerlessSave_landsTheEdit0x200Earlier()
    {
        QFETCH(bool, saveAs);
        QVERIFY(writeFileBytes(path(u"image.smc"_s), m_sample));
        QVERIFY(writeFileBytes(path(u"image.sfc"_s), m_bare));
        const qint64 war = blockSpec(BlockId::Officer).position + WarOffset;
        for (const bool header : {true, false}) {
            const QString file = path(header ? u"image.smc"_s : u"image.sfc"_s);
            const QString target = saveAs ? path(header ? u"copy.smc"_s : u"copy.sfc"_s) : file;
            const auto document = newDocument();
            QVERIFY(document->open(file).isDone());
            QVERIFY(editCell(*document, TableId::Officer, 1, 3, u"95"_s));
            const FileResult saved = document->save(target);
            QVERIFY2(saved.isDone(), qUtf8Printable(saved.message()));
            QByteArray expected = header ? m_sample : m_bare;
            expected[header ? war : war - 0x200] = char(95);
            QCOMPARE(readFileBytes(target), expected);
            QCOMPARE(document->imageForm(), header ? ImageForm::CopierHeader : ImageForm::Headerless);
        }
    }

    // With each checksum request: what a patch or a test play is made from must be what the save writes.
    void composeSavedImage_isWhatTheSaveWrites_data()
    {
        QTest::addColumn<QByteArray>("put"); // four bytes to put; "keep" and "fix" name those requests
        QTest::newRow("keep") << QByteArray("keep");
        QTest::newRow("fix") << QByteArray("fix");
        QTest::newRow("put") << QByteArray("\x01\x02\x03\x04", 4);
    }

    void composeSavedImage_isWhatTheSaveWrites()
    {
        QFETCH(QByteArray, put);
        const ChecksumRequest request = put == "keep" ? ChecksumRequest::keep()
                                        : put == "fix" ? ChecksumRequest::fix()
                                                       : ChecksumRequest::put(put);
        QVERIFY(writeFileBytes(path(u"image.sfc"_s), m_bare));
        const auto document = newDocument();
        QByteArray composed;
        QCOMPARE(document->composeSavedImage(composed).kind(), FileResult::Kind::Ignored);
        QVERIFY(document->open(path(u"image.sfc"_s)).isDone());
        QVERIFY(editCell(*document, TableId::City, 1, 2, u"250"_s));
        document->setChecksumRequest(request);
        QVERIFY(document->composeSavedImage(composed).isDone());
        QCOMPARE(readFileBytes(path(u"image.sfc"_s)), m_bare);
        QVERIFY(document->save(path(u"copy.sfc"_s)).isDone());
        QCOMPARE(composed, readFileBytes(path(u"copy.sfc"_s)));
        // The four bytes are the file's, with the request carried out.
        QByteArray requested = composed;
        QVERIFY(CartridgeChecksum::putPair(requested, ImageForm::Headerless,
                                           CartridgeChecksum::storedPair(m_bare, ImageForm::Headerless)));
        QVERIFY(request.applyTo(requested, ImageForm::Headerless));
        QCOMPARE(composed, requested);
        QVERIFY(composed != m_bare);
    }

    void save_afterTheFileChangedItsForm_writesNothing()
    {
        const QString file = path(u"image.sfc"_s);
        QVERIFY(writeFileBytes(file, m_bare));
        const auto document = newDocument();
        QVERIFY(document->open(file).isDone());
        QVERIFY(editCell(*document, TableId::Officer, 1, 3, u"95"_s));
        // Another program put a header in front: the blocks would now land 0x200 bytes off.
        QVERIFY(writeFileBytes(file, m_sample));
        const DiskFingerprint before = DiskFingerprint::of(m_dir->path());
        for (const QString& target : {file, path(u"copy.sfc"_s)}) {
            const FileResult result = document->save(target);
            QVERIFY(result.isFailed());
            QVERIFY2(result.message().contains(u"ヘッダーなし"_s), qUtf8Printable(result.message()));
        }
        QCOMPARE(DiskFingerprint::of(m_dir->path()).changedSince(before), QStringList());
        QCOMPARE(document->imageForm(), ImageForm::Headerless);
    }

    void failedOpen_keepsTheFormOfTheOpenImage()
    {
        QVERIFY(writeFileBytes(path(u"image.sfc"_s), m_bare));
        QVERIFY(writeFileBytes(path(u"short.smc"_s), m_sample.left(0xAF5A5)));
        const auto document = newDocument();
        QVERIFY(document->open(path(u"image.sfc"_s)).isDone());
        QVERIFY(document->open(path(u"short.smc"_s)).isFailed());
        QCOMPARE(document->imageForm(), ImageForm::Headerless);
    }
};

TAVRIN_TEST(ImageFormTest)
#include "imageformtest.moc"
