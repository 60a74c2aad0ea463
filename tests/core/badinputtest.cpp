#include "captionnaming.h"
#include "documentcontent.h"
#include "filebytes.h"
#include "blockcatalogue.h"
#include "diskfingerprint.h"
#include "filesizelimit.h"
#include "document.h"
#include "grid.h"
#include "hangguard.h"
#include "romfile.h"
#include "sampleimage.h"
#include "table.h"
#include "testregistry.h"
#include "unixfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A different image than the sample: the same layout with every byte outside the blocks changed.
QByteArray otherImage(const QByteArray& sample)
{
    QByteArray other = sample;
    for (char& byte : other)
        byte = char(byte ^ 0x33);
    return other;
}

} // namespace

// Bad paths and files through the real open and save: each is refused or ignored without a crash or
// a hang, a refusal names the file and the reason, the previous document stays as it was, and no
// file changes that the user did not ask to write.
class BadInputTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Document> m_document;
    QByteArray m_sample;
    QString m_current;

    QString path(const QString& name) const { return m_dir->filePath(name); }

    // The cell editor's commit: the rule, the cell, the store.
    void commit(TableId id, int row, int col, const QString& typed)
    {
        Grid& grid = m_document->grid(id);
        grid.setCurrentCell(row, col);
        const std::optional<QString> accepted = m_document->table(id).checkText(col, typed);
        QVERIFY(accepted);
        grid.setText(row, col, *accepted);
        m_document->table(id).storeCell();
    }

    Blocks documentBlocks() const
    {
        Blocks blocks;
        for (const BlockSpec& range : BlockCatalogue)
            blocks[std::size_t(range.id)] = m_document->state().block(range.id);
        return blocks;
    }

    // The thing each row asks for. Returns the argument to pass to open or save; `fifos` gets any FIFO
    // the operation could block on, `base` the bytes a successful save lays the blocks over.
    QString prepare(const QString& kind, QStringList& fifos, QByteArray& base)
    {
        base = m_sample;
        if (kind == u"empty path"_s)
            return {};
        if (kind == u"missing file"_s)
            return path(u"missing.smc"_s);
        if (kind == u"directory"_s) {
            QDir(m_dir->path()).mkdir(u"folder.smc"_s);
            return path(u"folder.smc"_s);
        }
        if (kind == u"fifo"_s || kind == u"onto a fifo"_s) {
            const QString fifo = path(u"pipe.smc"_s);
            if (!makeFifo(fifo))
                return {};
            fifos << fifo;
            return fifo;
        }
        if (kind == u"dev zero"_s)
            return u"/dev/zero"_s;
        if (kind == u"dev null"_s || kind == u"onto dev null"_s)
            return u"/dev/null"_s;
        if (kind == u"onto dev full"_s)
            return u"/dev/full"_s;
        if (kind == u"link to dev zero"_s || kind == u"onto a link to dev full"_s) {
            const QString link = path(u"device.smc"_s);
            QFile::link(kind == u"link to dev zero"_s ? u"/dev/zero"_s : u"/dev/full"_s, link);
            return link;
        }
        if (kind == u"dangling link"_s) {
            QFile::link(path(u"gone.smc"_s), path(u"dangling.smc"_s));
            return path(u"dangling.smc"_s);
        }
        if (kind == u"empty file"_s) {
            writeFileBytes(path(u"empty.smc"_s), {});
            return path(u"empty.smc"_s);
        }
        if (kind == u"one byte short"_s || kind == u"exactly long enough"_s) {
            const QString file = path(u"cut.smc"_s);
            writeFileBytes(file, m_sample.left(HighestBlockEnd - (kind == u"one byte short"_s ? 1 : 0)));
            return file;
        }
        if (kind == u"sparse 5 GiB"_s) {
            const QString file = path(u"huge.smc"_s);
            QFile huge(file);
            if (!huge.open(QIODevice::WriteOnly) || !huge.resize(5LL * 1024 * 1024 * 1024))
                return {};
            return file;
        }
        if (kind == u"spaces"_s || kind == u"non-ASCII"_s || kind == u"Japanese"_s) {
            const QString name = kind == u"spaces"_s      ? u"a folder with spaces/my image  copy .smc"_s
                                 : kind == u"non-ASCII"_s ? u"Ünïcödé ñame/éditeur über.smc"_s
                                                          : u"三國志データ/武将　一覧（改）.smc"_s;
            QDir(m_dir->path()).mkpath(QFileInfo(path(name)).path());
            SampleImage::write(path(name));
            return path(name);
        }
        if (kind == u"read-only file"_s) {
            const QString file = path(u"locked.smc"_s);
            SampleImage::write(file);
            QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
            return file;
        }
        // Everything after the NUL is lost on the way to the system, which would see another name.
        if (kind == u"nul in path"_s)
            return m_current + QChar(u'\0') + u"tail.smc"_s;
        if (kind == u"nul in a new name"_s)
            return path(u"new.smc"_s) + QChar(u'\0') + u"tail.smc"_s;
        // Saves: the destination, after changing the disk under the open document where the row says.
        if (kind == u"current file deleted"_s) {
            QFile::remove(m_current);
            return m_current;
        }
        if (kind == u"current file replaced"_s) {
            base = otherImage(m_sample);
            QFile::remove(m_current);
            writeFileBytes(m_current, base);
            return m_current;
        }
        if (kind == u"current file truncated"_s) {
            QFile::resize(m_current, HighestBlockEnd - 1);
            return m_current;
        }
        if (kind == u"current file became a directory"_s) {
            QFile::remove(m_current);
            QDir(m_dir->path()).mkdir(QFileInfo(m_current).fileName());
            return m_current;
        }
        if (kind == u"current file became a fifo"_s) {
            QFile::remove(m_current);
            if (!makeFifo(m_current))
                return {};
            fifos << m_current;
            return m_current;
        }
        if (kind == u"current file, new name"_s)
            return path(u"copy.smc"_s);
        if (kind == u"into a missing folder"_s)
            return path(u"no such folder/copy.smc"_s);
        if (kind == u"onto a directory"_s) {
            QDir(m_dir->path()).mkdir(u"folder"_s);
            return path(u"folder"_s);
        }
        if (kind == u"folder with a trailing slash"_s) {
            QDir(m_dir->path()).mkdir(u"folder"_s);
            return path(u"folder"_s) + u'/';
        }
        if (kind == u"write error"_s)
            return path(u"copy.smc"_s);
        if (kind == u"through a symbolic link"_s) {
            QFile::link(m_current, path(u"soft.smc"_s));
            return path(u"soft.smc"_s);
        }
        if (kind == u"through a hard link"_s) {
            if (!makeHardLink(m_current, path(u"hard.smc"_s)))
                return {};
            return path(u"hard.smc"_s);
        }
        if (kind == u"other letter case"_s)
            return path(u"CURRENT.SMC"_s);
        if (kind == u"Japanese destination"_s) {
            QDir(m_dir->path()).mkdir(u"保存先"_s);
            return path(u"保存先/改造版　その１.smc"_s);
        }
        return {};
    }

private Q_SLOTS:
    void initTestCase() { m_sample = SampleImage::generate(); }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        // A document with an image open and an edit that exists only in memory: what must survive.
        m_current = path(u"current.smc"_s);
        QVERIFY(SampleImage::write(m_current));
        QVERIFY(writeFileBytes(path(u"bystander.smc"_s), otherImage(m_sample)));
        QVERIFY(writeFileBytes(path(u"b.txt"_s), "Cao\r\nLiu"));
        m_document = std::make_unique<Document>();
        m_document->setNameListPath(path(u"b.txt"_s));
        m_document->setUpGrids();
        m_document->setRedraw(true);
        QVERIFY(m_document->open(m_current).isDone());
        commit(TableId::Officer, 1, 3, u"95"_s);
        commit(TableId::Placement, 531, 25, u"7"_s);
    }

    void badInput_data()
    {
        QTest::addColumn<bool>("save");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("written");

        const int done = int(FileResult::Kind::Done);
        const int ignored = int(FileResult::Kind::Ignored);
        const int failed = int(FileResult::Kind::Failed);
        const QString notRegular = u"通常のファイルではありません"_s;
        const QString tooShort = u"ファイルが短すぎます"_s;
        const QString cannotWrite = u"書き込みできません"_s;

        QTest::newRow("open: empty path") << false << u"empty path"_s << ignored << QString() << QString();
        QTest::newRow("open: missing file") << false << u"missing file"_s << ignored << QString() << QString();
        QTest::newRow("open: directory") << false << u"directory"_s << ignored << QString() << QString();
        QTest::newRow("open: dangling link") << false << u"dangling link"_s << ignored << QString() << QString();
        QTest::newRow("open: fifo") << false << u"fifo"_s << failed << notRegular << QString();
        QTest::newRow("open: /dev/zero") << false << u"dev zero"_s << failed << notRegular << QString();
        QTest::newRow("open: /dev/null") << false << u"dev null"_s << failed << notRegular << QString();
        QTest::newRow("open: link to /dev/zero") << false << u"link to dev zero"_s << failed << notRegular << QString();
        QTest::newRow("open: empty file") << false << u"empty file"_s << failed << u"（0 バイト"_s << QString();
        QTest::newRow("open: one byte short") << false << u"one byte short"_s << failed << tooShort << QString();
        QTest::newRow("open: exactly long enough")
            << false << u"exactly long enough"_s << done << QString() << QString();
        QTest::newRow("open: sparse 5 GiB")
            << false << u"sparse 5 GiB"_s << failed << u"ファイルが大きすぎます"_s << QString();
        QTest::newRow("open: spaces in path") << false << u"spaces"_s << done << QString() << QString();
        QTest::newRow("open: non-ASCII path") << false << u"non-ASCII"_s << done << QString() << QString();
        QTest::newRow("open: Japanese path") << false << u"Japanese"_s << done << QString() << QString();
        QTest::newRow("open: read-only file") << false << u"read-only file"_s << done << QString() << QString();
        QTest::newRow("open: NUL inside the path") << false << u"nul in path"_s << ignored << QString() << QString();

        QTest::newRow("save: empty path") << true << u"empty path"_s << ignored << QString() << QString();
        QTest::newRow("save: current file deleted")
            << true << u"current file deleted"_s << failed << u"ファイルが見つかりません"_s << QString();
        // Writing the tables over it would revert what the other program wrote into them.
        QTest::newRow("save: current file replaced by another image")
            << true << u"current file replaced"_s << failed << u"他のプログラムで変更されています"_s << QString();
        QTest::newRow("save: current file truncated")
            << true << u"current file truncated"_s << failed << tooShort << QString();
        QTest::newRow("save: current file became a directory")
            << true << u"current file became a directory"_s << failed << notRegular << QString();
        QTest::newRow("save: current file became a fifo")
            << true << u"current file became a fifo"_s << failed << notRegular << QString();
        QTest::newRow("save: new name") << true << u"current file, new name"_s << done << QString() << u"copy.smc"_s;
        QTest::newRow("save: into a missing folder")
            << true << u"into a missing folder"_s << failed << cannotWrite << QString();
        QTest::newRow("save: onto a directory") << true << u"onto a directory"_s << failed << notRegular << QString();
        QTest::newRow("save: onto a folder name ending in a slash")
            << true << u"folder with a trailing slash"_s << failed << notRegular << QString();
        QTest::newRow("save: onto a fifo") << true << u"onto a fifo"_s << failed << notRegular << QString();
        QTest::newRow("save: onto /dev/full") << true << u"onto dev full"_s << failed << notRegular << QString();
        QTest::newRow("save: onto /dev/null") << true << u"onto dev null"_s << failed << notRegular << QString();
        QTest::newRow("save: onto a link to /dev/full")
            << true << u"onto a link to dev full"_s << failed << notRegular << QString();
        // The system's own reason, not "Unknown error": the first short write sets no error on the file.
        QTest::newRow("save: write error while writing")
            << true << u"write error"_s << failed << cannotWrite + u": "_s + qt_error_string(EFBIG) << QString();
        QTest::newRow("save: NUL inside the path")
            << true << u"nul in path"_s << failed << u"ファイル名"_s << QString();
        QTest::newRow("save: NUL inside a new name")
            << true << u"nul in a new name"_s << failed << u"ファイル名"_s << QString();
        QTest::newRow("save: current file through a symbolic link")
            << true << u"through a symbolic link"_s << done << QString() << u"current.smc"_s;
        // The replace gives the link name a file of its own; the name the user did not save to keeps
        // its bytes.
        QTest::newRow("save: current file through a hard link")
            << true << u"through a hard link"_s << done << QString() << u"hard.smc"_s;
        QTest::newRow("save: current file in other letter case")
            << true << u"other letter case"_s << done << QString() << u"CURRENT.SMC"_s;
        QTest::newRow("save: Japanese destination")
            << true << u"Japanese destination"_s << done << QString() << u"保存先/改造版　その１.smc"_s;
    }

    void badInput()
    {
        QFETCH(bool, save);
        QFETCH(QString, kind);
        QFETCH(int, outcome);
        QFETCH(QString, reason);
        QFETCH(QString, written);
        SKIP_IF_UNIX_ONLY(kind);

        if (kind == u"other letter case"_s && QFileInfo::exists(path(u"CURRENT.SMC"_s)))
            QSKIP("this file system ignores case: the case variant is the current file itself");
        const DocumentSnapshot before = DocumentSnapshot::of(*m_document);
        QStringList fifos;
        QByteArray base;
        const QString argument = prepare(kind, fifos, base);
        if (argument.isEmpty() && kind != u"empty path"_s)
            QSKIP("this platform cannot make the file this row needs");
        const Blocks blocks = documentBlocks();
        const DiskFingerprint disk = DiskFingerprint::of(m_dir->path());

        bool hung = false;
        FileResult result = FileResult::ignored();
        const std::function<FileResult()> operation = [&] {
            return save ? m_document->save(argument) : m_document->open(argument);
        };
        if (kind == u"write error"_s) {
#ifdef Q_OS_UNIX
            // Less than the image, so the write itself fails part way.
            const FileSizeLimit limit(256 * 1024);
            QVERIFY(limit.isActive());
            result = operation();
#else
            QSKIP("no file size limit here");
#endif
        } else {
            result = runGuarded(operation, fifos, &hung);
        }
        QVERIFY2(!hung, "the operation blocked");
        QVERIFY2(int(result.kind()) == outcome, qUtf8Printable(u"unexpected outcome: "_s % result.message()));

        // Nothing on disk changes but the file the user asked to write, and nothing is left beside it.
        const QStringList changed = DiskFingerprint::of(m_dir->path()).changedSince(disk, {written});
        QVERIFY2(changed.isEmpty(), qUtf8Printable(changed.join(u", "_s)));

        if (result.kind() != FileResult::Kind::Done) {
            QVERIFY(DocumentSnapshot::of(*m_document) == before);
            if (result.isFailed()) {
                QVERIFY2(result.message().contains(u'「' % QDir::toNativeSeparators(argument) % u'」'),
                         qUtf8Printable(result.message()));
                QVERIFY2(result.message().contains(reason), qUtf8Printable(result.message()));
            } else {
                QVERIFY(result.message().isEmpty());
            }
            if (kind.contains(u"dev"_s))
                QVERIFY(!QFileInfo(u"/dev/full"_s).isFile() && !QFileInfo(u"/dev/null"_s).isFile());
            return;
        }

        QCOMPARE(m_document->state().currentPath(), argument);
        if (save) {
            QCOMPARE(m_document->state().caption(), u"Tavrinエディター [保存完了]"_s);
            QCOMPARE(readFileBytes(path(written)), withBlocks(base, blocks));
            QVERIFY(DocumentSnapshot::of(*m_document).blocks == before.blocks);
            if (kind == u"through a symbolic link"_s)
                QVERIFY(QFileInfo(argument).isSymLink());
        } else {
            const QByteArray file = readFileBytes(argument);
            for (const BlockSpec& range : BlockCatalogue)
                QCOMPARE(m_document->state().block(range.id), file.mid(range.position, range.size));
            QCOMPARE(m_document->state().caption(), captionNaming(argument));
            // The grids show the new file: the in-memory edit of the previous one is gone.
            QCOMPARE(m_document->grid(TableId::Officer).text(1, 3),
                     QString::number(quint8(file.at(blockSpec(BlockId::Officer).position + 7))));
            QCOMPARE(m_document->grid(TableId::Placement).text(1, 1), u"Cao"_s);
        }
    }

    // A refused open in the middle of work must not cost the work: the next save writes the edits.
    void refusedOpen_thenSave_stillWritesTheEdits()
    {
        const QString fifo = path(u"pipe.smc"_s);
        if (!makeFifo(fifo))
            QSKIP("no FIFOs here");
        bool hung = false;
        const FileResult refused = runGuarded<FileResult>([&] { return m_document->open(fifo); }, {fifo}, &hung);
        QVERIFY(!hung);
        QVERIFY(refused.isFailed());
        QVERIFY(m_document->open(path(u"missing.smc"_s)).kind() == FileResult::Kind::Ignored);
        const FileResult saved = m_document->save(m_current);
        QVERIFY2(saved.isDone(), qUtf8Printable(saved.message()));
        const QByteArray file = readFileBytes(m_current);
        QCOMPARE(file.at(blockSpec(BlockId::Officer).position + 7), char(95));
        QCOMPARE(file.at(blockSpec(BlockId::Placement).position + blockSpec(BlockId::Placement).size - 1), char(7));
    }
};

TAVRIN_TEST(BadInputTest)
#include "badinputtest.moc"
