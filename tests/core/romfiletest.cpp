#include "filebytes.h"
#include "blockcatalogue.h"
#include "imageblocks.h"
#include "romfile.h"
#include "sampleimage.h"
#include "testregistry.h"
#include "unixfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <future>
#include <thread>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 GapByte = 0xAC07E;

Blocks blocksOf(const QByteArray& image)
{
    Blocks blocks;
    for (const BlockSpec& range : BlockCatalogue)
        blocks[std::size_t(range.id)] = image.mid(range.position, range.size);
    return blocks;
}

// Every byte flipped, so that each block byte differs from what the file held.
Blocks flipped(const Blocks& blocks)
{
    Blocks result = blocks;
    for (QByteArray& block : result)
        for (char& byte : block)
            byte = char(byte ^ 0x5A);
    return result;
}

// A save at the file's level: the blocks laid over the source, and the image written.
FileResult composeAndWrite(const QString& source, const QString& destination, const Blocks& blocks)
{
    QByteArray image;
    if (const FileResult composed = romfile::ComposeImage(source, blocks, std::nullopt, image); !composed.isDone())
        return composed;
    return romfile::WriteImage(destination, image);
}

bool makeSparse(const QString& path, qint64 size)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.resize(size);
}

// Runs ReadBlocks on another thread. Should it hang on a FIFO, a writer is attached to release it
// so that the test reports the hang instead of stalling the whole run.
FileResult readBlocksGuarded(const QString& path, Blocks& blocks, bool* hung)
{
    std::packaged_task<FileResult()> task([&] { return romfile::ReadBlocks(path, blocks); });
    std::future<FileResult> result = task.get_future();
    std::thread worker(std::move(task));
    *hung = result.wait_for(std::chrono::seconds(30)) != std::future_status::ready;
#ifdef Q_OS_UNIX
    if (*hung) {
        const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0)
            ::close(fd);
    }
#endif
    worker.join();
    return result.get();
}

} // namespace

class RomFileTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QByteArray m_sample;

    QString path(const QString& name) const { return m_dir->filePath(name); }
    QString writeSample(const QString& name) const
    {
        const QString file = path(name);
        QString error;
        if (!SampleImage::write(file, &error))
            qWarning("sample image: %s", qUtf8Printable(error));
        return file;
    }

private Q_SLOTS:
    void initTestCase() { m_sample = SampleImage::generate(); }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void fileExists_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("exists");
        QTest::newRow("empty path") << QString() << false;
        QTest::newRow("missing") << u"missing.smc"_s << false;
        QTest::newRow("directory") << u"folder"_s << false;
        QTest::newRow("image") << u"image.smc"_s << true;
        QTest::newRow("link to image") << u"link.smc"_s << true;
        QTest::newRow("dangling link") << u"dangling.smc"_s << false;
        QTest::newRow("fifo is no directory") << u"fifo"_s << true;
    }

    void fileExists()
    {
        QFETCH(QString, name);
        QFETCH(bool, exists);
        SKIP_IF_UNIX_ONLY(QString::fromUtf8(QTest::currentDataTag()));
        writeSample(u"image.smc"_s);
        QVERIFY(QDir(m_dir->path()).mkdir(u"folder"_s));
        QVERIFY(QFile::link(path(u"image.smc"_s), path(u"link.smc"_s)));
        QVERIFY(QFile::link(path(u"gone.smc"_s), path(u"dangling.smc"_s)));
        if (name == u"fifo"_s && !makeFifo(path(name)))
            QSKIP("no FIFOs here");
        QCOMPARE(romfile::FileExists(name.isEmpty() ? QString() : path(name)), exists);
    }

    void shortPath_isThePathItselfOffWindows()
    {
#ifdef Q_OS_WIN
        QSKIP("Windows has short names");
#endif
        const QString file = writeSample(u"a name with spaces and 長い名前.smc"_s);
        QCOMPARE(romfile::ShortPath(file), file);
        QCOMPARE(romfile::ShortPath(path(u"missing.smc"_s)), path(u"missing.smc"_s));
    }

    void readBlocks_readsExactlyTheFiveRanges()
    {
        const QString file = writeSample(u"image.smc"_s);
        Blocks blocks;
        const FileResult result = romfile::ReadBlocks(file, blocks);
        QVERIFY2(result.isDone(), qUtf8Printable(result.message()));
        for (const BlockSpec& range : BlockCatalogue) {
            const QByteArray& block = blocks[std::size_t(range.id)];
            QCOMPARE(block.size(), range.size);
            QCOMPARE(block, m_sample.mid(range.position, range.size));
        }
        // The neighbours of each range are filler, so an off-by-one read cannot match by accident.
        for (const BlockSpec& range : BlockCatalogue)
            QVERIFY(blocks[std::size_t(range.id)] != m_sample.mid(range.position + 1, range.size));
    }

    void readBlocks_acceptsSize_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::newRow("exactly the highest block end") << qint64(HighestBlockEnd);
        QTest::newRow("exactly the largest image") << romfile::MaximumImageSize;
    }

    void readBlocks_acceptsSize()
    {
        QFETCH(qint64, size);
        const QString file = path(u"image.smc"_s);
        QVERIFY(writeFileBytes(file, m_sample.left(HighestBlockEnd)));
        QVERIFY(QFile(file).resize(size));
        Blocks blocks;
        const FileResult result = romfile::ReadBlocks(file, blocks);
        QVERIFY2(result.isDone(), qUtf8Printable(result.message()));
        // A whole number of kilobytes has no copier header: every block is read 0x200 bytes earlier.
        const QByteArray header = size % 1024 == 0 ? QByteArray(0x200, '\0') : QByteArray();
        QCOMPARE(blocks, blocksOf(header + m_sample));
    }

    void readBlocks_refuses_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("directory") << u"directory"_s << u"通常のファイルではありません"_s;
        QTest::newRow("fifo, without blocking") << u"fifo"_s << u"通常のファイルではありません"_s;
        QTest::newRow("device") << u"device"_s << u"通常のファイルではありません"_s;
        QTest::newRow("one byte short") << u"short"_s
                                        << u"ファイルが短すぎます（718245 バイト。718246 バイト以上必要です）"_s;
        QTest::newRow("empty") << u"empty"_s << u"ファイルが短すぎます（0 バイト"_s;
        QTest::newRow("over 64 MiB") << u"huge"_s << u"ファイルが大きすぎます（67108865 バイト"_s;
        QTest::newRow("missing") << u"missing"_s << u"ファイルが見つかりません"_s;
    }

    void readBlocks_refuses()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        QString file = path(kind);
        if (kind == u"directory"_s) {
            QVERIFY(QDir(m_dir->path()).mkdir(kind));
        } else if (kind == u"fifo"_s) {
            if (!makeFifo(file))
                QSKIP("no FIFOs here");
        } else if (kind == u"device"_s) {
            file = u"/dev/null"_s;
            if (!QFileInfo::exists(file))
                QSKIP("no /dev/null here");
        } else if (kind == u"short"_s) {
            QVERIFY(writeFileBytes(file, m_sample.left(HighestBlockEnd - 1)));
        } else if (kind == u"empty"_s) {
            QVERIFY(writeFileBytes(file, {}));
        } else if (kind == u"huge"_s) {
            QVERIFY(makeSparse(file, romfile::MaximumImageSize + 1));
        }

        // Whatever was in the caller's arrays stays there.
        Blocks blocks;
        blocks[0] = "previous";
        bool hung = false;
        const FileResult result = readBlocksGuarded(file, blocks, &hung);
        QVERIFY2(!hung, "ReadBlocks blocked");
        QVERIFY(result.isFailed());
        QVERIFY2(
            result.message().contains(u"ファイル「"_s % QDir::toNativeSeparators(file) % u"」を開けませんでした"_s),
            qUtf8Printable(result.message()));
        QVERIFY2(result.message().contains(reason), qUtf8Printable(result.message()));
        QCOMPARE(blocks[0], QByteArray("previous"));
        QVERIFY(blocks[1].isNull());
    }

    void readBlocks_readOnlyImage_opensAndGainsOwnerWrite()
    {
        const QString file = writeSample(u"image.smc"_s);
        const QFileDevice::Permissions readOnly =
            QFileDevice::ReadOwner | QFileDevice::ReadUser | QFileDevice::ReadGroup | QFileDevice::ReadOther;
        QVERIFY(QFile::setPermissions(file, readOnly));
        Blocks blocks;
        const FileResult result = romfile::ReadBlocks(file, blocks);
        QVERIFY2(result.isDone(), qUtf8Printable(result.message()));
        QCOMPARE(blocks, blocksOf(m_sample));
        QVERIFY(QFile::permissions(file).testFlag(QFileDevice::WriteOwner));
#ifdef Q_OS_WIN
        // One read-only attribute stands for everyone there: clearing it makes the file writable to all.
        QVERIFY(QFileInfo(file).isWritable());
#else
        QCOMPARE(QFile::permissions(file) & ~(QFileDevice::WriteUser | QFileDevice::WriteOwner), readOnly);
        QCOMPARE(QFile::permissions(file) & (QFileDevice::WriteGroup | QFileDevice::WriteOther),
                 QFileDevice::Permissions());
#endif

        const Blocks edited = flipped(blocks);
        const FileResult saved = composeAndWrite(file, file, edited);
        QVERIFY2(saved.isDone(), qUtf8Printable(saved.message()));
        QCOMPARE(readFileBytes(file), withBlocks(m_sample, edited));
    }

    // Names as Windows users give them: drive letter, backslashes, Japanese letters outside any ANSI
    // code page but 932, and a save-as onto the same name in other letter case.
    void windowsNames_openAndSaveAsByteExact_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("saveAs");
        QTest::newRow("Japanese name, saved in place") << u"三國志 改.smc"_s << QString();
        QTest::newRow("Japanese folder and name") << u"ゲーム データ/曹操の城.smc"_s << u"ゲーム データ/改造版.smc"_s;
        QTest::newRow("name outside code page 932") << u"한국어 Ελληνικά.smc"_s << u"copy.smc"_s;
        QTest::newRow("save as the same name in capitals") << u"image.smc"_s << u"IMAGE.SMC"_s;
    }

    void windowsNames_openAndSaveAsByteExact()
    {
        QFETCH(QString, name);
        QFETCH(QString, saveAs);
        QVERIFY(QDir(m_dir->path()).mkpath(QFileInfo(path(name)).path()));
        const QString native = QDir::toNativeSeparators(writeSample(name));
#ifdef Q_OS_WIN
        QVERIFY2(native.at(1) == u':' && native.contains(u'\\') && !native.contains(u'/'), qUtf8Printable(native));
#endif
        const QString target = QDir::toNativeSeparators(path(saveAs.isEmpty() ? name : saveAs));
        // A file system that ignores case finds the capitals as the same file.
        const bool sameByCase = !saveAs.isEmpty() && QFileInfo::exists(target);
        Blocks blocks;
        const FileResult read = romfile::ReadBlocks(native, blocks);
        QVERIFY2(read.isDone(), qUtf8Printable(read.message()));
        QCOMPARE(blocks, blocksOf(m_sample));

        const Blocks edited = flipped(blocks);
        const FileResult saved = composeAndWrite(native, target, edited);
        QVERIFY2(saved.isDone(), qUtf8Printable(saved.message()));
        QCOMPARE(readFileBytes(target), withBlocks(m_sample, edited));
        if (saveAs.isEmpty())
            return;
        QCOMPARE(romfile::SameFile(native, target), sameByCase);
        QCOMPARE(readFileBytes(native), sameByCase ? withBlocks(m_sample, edited) : m_sample);
        // Nothing is left beside the image: no temporary file, no second copy under the other case.
        const QStringList images = QDir(QFileInfo(target).path()).entryList(QDir::Files);
        QCOMPARE(images.size(), sameByCase ? 1 : 2);
    }

    void readBlocks_refusedImage_keepsItsPermissions()
    {
        const QString file = path(u"short.smc"_s);
        QVERIFY(writeFileBytes(file, m_sample.left(HighestBlockEnd - 1)));
        QVERIFY(QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::ReadUser));
        Blocks blocks;
        QVERIFY(romfile::ReadBlocks(file, blocks).isFailed());
        QVERIFY(!QFile::permissions(file).testFlag(QFileDevice::WriteOwner));
    }

    void writeImage_inPlace_changesOnlyTheBlockRanges()
    {
        const QString file = writeSample(u"image.smc"_s);
        const Blocks edited = flipped(blocksOf(m_sample));
        const FileResult result = composeAndWrite(file, file, edited);
        QVERIFY2(result.isDone(), qUtf8Printable(result.message()));

        const QByteArray after = readFileBytes(file);
        QCOMPARE(after.size(), m_sample.size());
        QCOMPARE(after.at(GapByte), m_sample.at(GapByte));
        qint64 changed = 0;
        for (qint64 i = 0; i < after.size(); ++i) {
            if (after.at(i) == m_sample.at(i))
                continue;
            QVERIFY2(insideBlock(i), qPrintable(QString::number(i, 16)));
            ++changed;
        }
        qint64 blockBytes = 0;
        for (const BlockSpec& range : BlockCatalogue)
            blockBytes += range.size;
        QCOMPARE(changed, blockBytes);
        QCOMPARE(after, withBlocks(m_sample, edited));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"image.smc"_s});
    }

    void writeImage_newName_copiesTheImageAndLeavesTheSourceAlone()
    {
        const QString source = writeSample(u"image.smc"_s);
        const QString destination = path(u"copy.smc"_s);
        const Blocks edited = flipped(blocksOf(m_sample));
        const FileResult result = composeAndWrite(source, destination, edited);
        QVERIFY2(result.isDone(), qUtf8Printable(result.message()));
        QCOMPARE(readFileBytes(destination), withBlocks(m_sample, edited));
        QCOMPARE(readFileBytes(source), m_sample);
    }

    void writeImage_overAnotherFile_replacesItWhole()
    {
        const QString source = writeSample(u"image.smc"_s);
        const QString destination = path(u"other.smc"_s);
        QVERIFY(writeFileBytes(destination, QByteArray(2 * SampleImage::Size, 'x')));
        const Blocks blocks = blocksOf(m_sample);
        QVERIFY(composeAndWrite(source, destination, blocks).isDone());
        QCOMPARE(readFileBytes(destination), m_sample);
    }

    void writeImage_carriesBytesBeyondTheHighestBlock()
    {
        const QString source = path(u"image.smc"_s);
        const QByteArray longer = m_sample + QByteArray(3 * 1024 * 1024 + 17, '\x7E');
        QVERIFY(writeFileBytes(source, longer));
        const Blocks edited = flipped(blocksOf(m_sample));
        QVERIFY(composeAndWrite(source, path(u"copy.smc"_s), edited).isDone());
        QCOMPARE(readFileBytes(path(u"copy.smc"_s)), withBlocks(longer, edited));
    }

    void writeImage_fails_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing folder") << u"missing folder"_s << u"書き込みできません"_s;
        QTest::newRow("source deleted") << u"source deleted"_s << u"ファイルが見つかりません"_s;
        QTest::newRow("source truncated") << u"source truncated"_s << u"ファイルが短すぎます"_s;
        QTest::newRow("source became a directory") << u"source directory"_s << u"通常のファイルではありません"_s;
        QTest::newRow("destination is a directory") << u"destination directory"_s << u"通常のファイルではありません"_s;
        QTest::newRow("destination is a fifo") << u"destination fifo"_s << u"通常のファイルではありません"_s;
        QTest::newRow("block of the wrong size") << u"bad block"_s << u"データブロックの大きさ"_s;
    }

    void writeImage_fails()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        QString source = writeSample(u"image.smc"_s);
        QString destination = path(u"other.smc"_s);
        const QByteArray otherBytes("an unrelated file that must survive");
        QVERIFY(writeFileBytes(destination, otherBytes));
        Blocks blocks = flipped(blocksOf(m_sample));

        if (kind == u"missing folder"_s) {
            destination = path(u"no such folder/image.smc"_s);
        } else if (kind == u"source deleted"_s) {
            QVERIFY(QFile::remove(source));
        } else if (kind == u"source truncated"_s) {
            QVERIFY(QFile(source).resize(HighestBlockEnd - 1));
        } else if (kind == u"source directory"_s) {
            QVERIFY(QFile::remove(source));
            QVERIFY(QDir(m_dir->path()).mkdir(u"image.smc"_s));
        } else if (kind == u"destination directory"_s) {
            destination = path(u"folder"_s);
            QVERIFY(QDir(m_dir->path()).mkdir(u"folder"_s));
        } else if (kind == u"destination fifo"_s) {
            destination = path(u"fifo"_s);
            if (!makeFifo(destination))
                QSKIP("no FIFOs here");
        } else if (kind == u"bad block"_s) {
            blocks[2].chop(1);
        }
        const QByteArray sourceBefore = readFileBytes(source);
        const QStringList entriesBefore = QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        const QFileInfo destinationBefore(destination);

        const FileResult result = composeAndWrite(source, destination, blocks);
        QVERIFY(result.isFailed());
        // A source that cannot be composed is named as such; a write that failed names its destination.
        const QString named = kind.startsWith(u"source"_s)
                                  ? u"元のファイル「"_s % QDir::toNativeSeparators(source) % u"」を読み込めません"_s
                              : kind == u"bad block"_s
                                  ? reason
                                  : u"ファイル「"_s % QDir::toNativeSeparators(destination) % u"」に保存できませんでした"_s;
        QVERIFY2(result.message().contains(named), qUtf8Printable(result.message()));
        QVERIFY2(result.message().contains(reason), qUtf8Printable(result.message()));

        // Nothing on disk moved: no new entry, no temporary file left, no byte changed.
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), entriesBefore);
        QCOMPARE(readFileBytes(source), sourceBefore);
        QCOMPARE(readFileBytes(path(u"other.smc"_s)), otherBytes);
        const QFileInfo destinationAfter(destination);
        QCOMPARE(destinationAfter.exists(), destinationBefore.exists());
        QCOMPARE(destinationAfter.isDir(), destinationBefore.isDir());
        QCOMPARE(destinationAfter.isFile(), destinationBefore.isFile());
    }

    // Refused for root too: the permission bits say read-only, whatever the access checks allow.
    void writeImage_nonWritableDestination_isRefused()
    {
        const QString source = writeSample(u"image.smc"_s);
        const QString destination = writeSample(u"locked.smc"_s);
        QVERIFY(QFile::setPermissions(destination, QFileDevice::ReadOwner | QFileDevice::ReadUser));
        const FileResult result = composeAndWrite(source, destination, flipped(blocksOf(m_sample)));
        QVERIFY(result.isFailed());
        QVERIFY(result.message().contains(u"書き込みできません"_s));
        QCOMPARE(readFileBytes(destination), m_sample);
    }

    void writeImage_keepsDestinationPermissions_data()
    {
        QTest::addColumn<bool>("inPlace");
        QTest::addColumn<int>("permissions");
        QTest::newRow("in place, owner only") << true << int(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QTest::newRow("in place, group readable")
            << true << int(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
        QTest::newRow("other file, executable")
            << false
            << int(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther);
    }

    void writeImage_keepsDestinationPermissions()
    {
        QFETCH(bool, inPlace);
        QFETCH(int, permissions);
        const QFileDevice::Permissions wanted = QFileDevice::Permissions::fromInt(permissions);
        const QString source = writeSample(u"image.smc"_s);
        const QString destination = inPlace ? source : writeSample(u"other.smc"_s);
        QVERIFY(QFile::setPermissions(destination, wanted));
        const QFileDevice::Permissions before = QFile::permissions(destination);
        const Blocks edited = flipped(blocksOf(m_sample));
        const FileResult result = composeAndWrite(source, destination, edited);
        QVERIFY2(result.isDone(), qUtf8Printable(result.message()));
        QCOMPARE(QFile::permissions(destination), before);
        QCOMPARE(readFileBytes(destination), withBlocks(m_sample, edited));
    }

    void writeImage_throughSymbolicLink_keepsTheLinkAndWritesItsTarget()
    {
        SKIP_IF_UNIX_ONLY(u"symbolic link"_s);
        QVERIFY(QDir(m_dir->path()).mkdir(u"real"_s));
        const QString target = writeSample(u"real/image.smc"_s);
        const QString link = path(u"link.smc"_s);
        QVERIFY(QFile::link(target, link));
        const Blocks edited = flipped(blocksOf(m_sample));

        const FileResult result = composeAndWrite(link, link, edited);
        QVERIFY2(result.isDone(), qUtf8Printable(result.message()));
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(QFileInfo(link).symLinkTarget(), target);
        QCOMPARE(readFileBytes(target), withBlocks(m_sample, edited));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 (QStringList{u"link.smc"_s, u"real"_s}));
        QCOMPARE(QDir(path(u"real"_s)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{u"image.smc"_s});
    }

    void writeImage_nameDifferingOnlyInCase_isAnotherFile()
    {
        const QString source = writeSample(u"image.smc"_s);
        const QString variant = path(u"IMAGE.smc"_s);
        if (QFileInfo::exists(variant))
            QSKIP("this file system ignores case");
        QVERIFY(!romfile::SameFile(source, variant));
        const Blocks edited = flipped(blocksOf(m_sample));
        QVERIFY(composeAndWrite(source, variant, edited).isDone());
        QCOMPARE(readFileBytes(variant), withBlocks(m_sample, edited));
        QCOMPARE(readFileBytes(source), m_sample);
    }

    void sameFile_data()
    {
        QTest::addColumn<QString>("other");
        QTest::addColumn<bool>("same");
        QTest::newRow("the same name") << u"image.smc"_s << true;
        QTest::newRow("a roundabout name") << u"folder/../image.smc"_s << true;
        QTest::newRow("hard link") << u"hard.smc"_s << true;
        QTest::newRow("symbolic link") << u"soft.smc"_s << true;
        QTest::newRow("copy with the same bytes") << u"copy.smc"_s << false;
        QTest::newRow("case variant") << u"Image.smc"_s << false;
        QTest::newRow("missing") << u"missing.smc"_s << false;
        QTest::newRow("empty") << QString() << false;
    }

    void sameFile()
    {
        QFETCH(QString, other);
        QFETCH(bool, same);
        SKIP_IF_UNIX_ONLY(QString::fromUtf8(QTest::currentDataTag()));
        const QString image = writeSample(u"image.smc"_s);
        writeSample(u"copy.smc"_s);
        QVERIFY(QDir(m_dir->path()).mkdir(u"folder"_s));
        QVERIFY(QFile::link(image, path(u"soft.smc"_s)));
        if (other == u"hard.smc"_s && !makeHardLink(image, path(other)))
            QSKIP("no hard links here");
        if (other == u"Image.smc"_s && QFileInfo::exists(path(other)))
            QSKIP("this file system ignores case");
        const QString otherPath = other.isEmpty() ? QString() : path(other);
        QCOMPARE(romfile::SameFile(image, otherPath), same);
        QCOMPARE(romfile::SameFile(otherPath, image), same);
    }
};

TAVRIN_TEST(RomFileTest)
#include "romfiletest.moc"
