#include "captionnaming.h"
#include "filebytes.h"
#include "filedialogchoice.h"
#include "../platform/filedrop.h"
#include "../platform/modalcloser.h"
#include "blockcatalogue.h"
#include "diskfingerprint.h"
#include "filesizelimit.h"
#include "frmmain.h"
#include "grid.h"
#include "gridview.h"
#include "hangguard.h"
#include "officerwar.h"
#include "sampleimage.h"
#include "table.h"
#include "testregistry.h"
#include "unixfiles.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString WindowTitle = u"Tavrinエディター"_s;

} // namespace

// The bad-input matrix at the window: each path reaches the document through the entry the user
// would use (command line, drop, the File menu's dialogs, Ctrl+S). A failure shows one message with
// the application title that names the file and the reason; nothing is shown for a path that names
// no file; the window keeps its document, its caption and its unsaved edit, which a later save
// elsewhere still writes; and no file changes that the user did not ask to write.
class WindowBadInputTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<frmMain> m_window;
    QString m_current;

    QString path(const QString& name) const { return m_dir->filePath(name); }

    void startWindow(const QStringList& arguments)
    {
        const QString previous = QDir::currentPath();
        QDir::setCurrent(m_dir->path());
        m_window = std::make_unique<frmMain>(QStringList{u"tavrin-editor"_s} + arguments);
        QDir::setCurrent(previous);
        m_window->document().setNameListPath(path(u"b.txt"_s));
    }

    // The cell editor's commit of 95 into War of officer 0: an edit that exists only in memory.
    void editWar()
    {
        Grid& grid = m_window->document().grid(TableId::Officer);
        Table& table = m_window->document().table(TableId::Officer);
        grid.setCurrentCell(1, 3);
        const std::optional<QString> accepted = table.checkText(3, u"95"_s);
        QVERIFY(accepted);
        grid.setText(1, 3, *accepted);
        table.storeCell();
    }

    // Prepares what the row names and returns the path the entry will be given.
    QString prepare(const QString& kind, QStringList& fifos)
    {
        const QByteArray sample = SampleImage::generate();
        if (kind == u"missing"_s)
            return path(u"missing.smc"_s);
        if (kind == u"directory"_s) {
            QDir(m_dir->path()).mkdir(u"folder.smc"_s);
            return path(u"folder.smc"_s);
        }
        if (kind == u"fifo"_s && makeFifo(path(u"pipe.smc"_s))) {
            fifos << path(u"pipe.smc"_s);
            return path(u"pipe.smc"_s);
        }
        if (kind == u"/dev/zero"_s || kind == u"/dev/null"_s || kind == u"/dev/full"_s)
            return kind;
        if (kind == u"link to /dev/zero"_s) {
            QFile::link(u"/dev/zero"_s, path(u"zero.smc"_s));
            return path(u"zero.smc"_s);
        }
        if (kind == u"empty"_s) {
            writeFileBytes(path(u"empty.smc"_s), {});
            return path(u"empty.smc"_s);
        }
        if (kind == u"one byte short"_s) {
            writeFileBytes(path(u"short.smc"_s), sample.left(HighestBlockEnd - 1));
            return path(u"short.smc"_s);
        }
        if (kind == u"sparse 5 GiB"_s) {
            QFile huge(path(u"huge.smc"_s));
            if (huge.open(QIODevice::WriteOnly) && huge.resize(5LL * 1024 * 1024 * 1024))
                return path(u"huge.smc"_s);
            return {};
        }
        if (kind == u"Japanese name"_s) {
            QDir(m_dir->path()).mkdir(u"ゲーム データ"_s);
            SampleImage::write(path(u"ゲーム データ/三國志　改.smc"_s));
            return path(u"ゲーム データ/三國志　改.smc"_s);
        }
        if (kind == u"NUL in the name"_s)
            return m_current + QChar(u'\0') + u"x.smc"_s;
        if (kind == u"current deleted"_s) {
            QFile::remove(m_current);
            return m_current;
        }
        if (kind == u"current became a fifo"_s) {
            QFile::remove(m_current);
            if (!makeFifo(m_current))
                return {};
            fifos << m_current;
            return m_current;
        }
        if (kind == u"current truncated"_s) {
            QFile::resize(m_current, 1000);
            return m_current;
        }
        if (kind == u"write error"_s)
            return m_current;
        if (kind == u"missing folder"_s)
            return path(u"nowhere/copy.smc"_s);
        if (kind == u"new Japanese name"_s)
            return path(u"改造版.smc"_s);
        return {};
    }

    // Runs the entry with `argument`; the modal closer answers whatever it shows.
    void enter(const QString& entry, const QString& argument)
    {
        if (entry == u"command line"_s) {
            startWindow({argument});
        } else if (entry == u"drop"_s) {
            m_window->editItemClicked(1);
            QVERIFY(dropFiles(m_window->view(TableId::Officer)->viewport(), {argument}));
            finishDrop();
        } else if (entry == u"open path"_s) {
            m_window->openImage(argument);
        } else if (entry == u"Ctrl+S"_s) {
            QTest::keyClick(m_window->view(TableId::Officer), Qt::Key_S, Qt::ControlModifier);
        } else if (entry == u"save path"_s) {
            m_window->saveImage(argument);
        }
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_current = path(u"current.smc"_s);
        QVERIFY(SampleImage::write(m_current));
        QVERIFY(writeFileBytes(path(u"bystander.smc"_s), "a file nobody asked to write"));
    }

    void cleanup() { m_window.reset(); }

    void badInput_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("kind");
        // Empty: silent and nothing changes; "ok": the operation succeeds; anything else: the reason
        // the message must give.
        QTest::addColumn<QString>("reason");

        const QString notRegular = u"通常のファイルではありません"_s;
        const QString cannotWrite = u"書き込みできません"_s;
        QTest::newRow("command line: missing") << u"command line"_s << u"missing"_s << QString();
        QTest::newRow("command line: directory") << u"command line"_s << u"directory"_s << QString();
        QTest::newRow("command line: fifo") << u"command line"_s << u"fifo"_s << notRegular;
        QTest::newRow("command line: /dev/zero") << u"command line"_s << u"/dev/zero"_s << notRegular;
        QTest::newRow("command line: one byte short")
            << u"command line"_s << u"one byte short"_s << u"ファイルが短すぎます"_s;
        QTest::newRow("command line: sparse 5 GiB")
            << u"command line"_s << u"sparse 5 GiB"_s << u"ファイルが大きすぎます"_s;
        QTest::newRow("command line: Japanese name") << u"command line"_s << u"Japanese name"_s << u"ok"_s;
        QTest::newRow("drop: directory") << u"drop"_s << u"directory"_s << QString();
        QTest::newRow("drop: fifo") << u"drop"_s << u"fifo"_s << notRegular;
        QTest::newRow("drop: link to /dev/zero") << u"drop"_s << u"link to /dev/zero"_s << notRegular;
        QTest::newRow("drop: empty file") << u"drop"_s << u"empty"_s << u"（0 バイト"_s;
        QTest::newRow("drop: Japanese name") << u"drop"_s << u"Japanese name"_s << u"ok"_s;
        QTest::newRow("open: /dev/null") << u"open path"_s << u"/dev/null"_s << notRegular;
        QTest::newRow("open: NUL in the name") << u"open path"_s << u"NUL in the name"_s << QString();
        QTest::newRow("open dialog: one byte short")
            << u"open dialog"_s << u"one byte short"_s << u"ファイルが短すぎます"_s;
        QTest::newRow("Ctrl+S: current file deleted")
            << u"Ctrl+S"_s << u"current deleted"_s << u"ファイルが見つかりません"_s;
        QTest::newRow("Ctrl+S: current file became a fifo") << u"Ctrl+S"_s << u"current became a fifo"_s << notRegular;
        QTest::newRow("Ctrl+S: current file truncated")
            << u"Ctrl+S"_s << u"current truncated"_s << u"ファイルが短すぎます"_s;
        QTest::newRow("Ctrl+S: write error")
            << u"Ctrl+S"_s << u"write error"_s << cannotWrite + u": "_s + qt_error_string(EFBIG);
        QTest::newRow("save: /dev/full") << u"save path"_s << u"/dev/full"_s << notRegular;
        QTest::newRow("save: missing folder") << u"save path"_s << u"missing folder"_s << cannotWrite;
        QTest::newRow("save: onto a directory") << u"save path"_s << u"directory"_s << notRegular;
        QTest::newRow("save: NUL in the name") << u"save path"_s << u"NUL in the name"_s << u"NUL"_s;
        QTest::newRow("save dialog: Japanese name") << u"save dialog"_s << u"new Japanese name"_s << u"ok"_s;
    }

    void badInput()
    {
        QFETCH(QString, entry);
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        SKIP_IF_UNIX_ONLY(kind);
        const bool fromStart = entry == u"command line"_s;
        const bool saving = entry.startsWith(u"save"_s) || entry == u"Ctrl+S"_s;
        if (!fromStart) {
            startWindow({m_current});
            m_window->show();
            QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
            editWar();
        }
        const QString captionBefore = fromStart ? WindowTitle : m_window->windowTitle();
        const QByteArray officersBefore =
            fromStart ? QByteArray() : m_window->document().state().block(BlockId::Officer);

        QStringList fifos;
        const QString argument = prepare(kind, fifos);
        if (argument.isEmpty())
            QSKIP("this platform cannot make the file this row needs");
        const DiskFingerprint disk = DiskFingerprint::of(m_dir->path());
        const QString relative = QDir(m_dir->path()).relativeFilePath(argument);

        ModalCloser closer;
        if (entry == u"open dialog"_s || entry == u"save dialog"_s) {
            closer.onDialog = [chosen = QFileInfo(argument)](QDialog* dialog) {
                chooseInFileDialog(dialog, chosen.path(), chosen.fileName());
            };
        }
        FifoWatchdog watchdog(fifos);
        if (kind == u"write error"_s) {
#ifdef Q_OS_UNIX
            const FileSizeLimit limit(256 * 1024);
            QVERIFY(limit.isActive());
            enter(entry, argument);
#else
            QSKIP("no file size limit here");
#endif
        } else if (entry == u"open dialog"_s) {
            m_window->fileItem(0)->trigger();
        } else if (entry == u"save dialog"_s) {
            m_window->fileItem(2)->trigger();
        } else {
            enter(entry, argument);
        }
        QVERIFY2(!watchdog.finish(), "the window blocked");
        QVERIFY(m_window);

        if (reason == u"ok"_s) {
            QVERIFY2(closer.texts.isEmpty(), qUtf8Printable(closer.texts.join(u" / "_s)));
            QCOMPARE(m_window->document().state().currentPath(), argument);
            QCOMPARE(m_window->windowTitle(), saving ? WindowTitle + u" [保存完了]"_s : captionNaming(argument));
            const QStringList changed = DiskFingerprint::of(m_dir->path()).changedSince(disk, {relative});
            QVERIFY2(changed.isEmpty(), qUtf8Printable(changed.join(u", "_s)));
            if (saving)
                QCOMPARE(readFileBytes(argument).at(WarByteOfRecord0), char(95));
            return;
        }

        if (reason.isEmpty()) {
            QVERIFY2(closer.texts.isEmpty(), qUtf8Printable(closer.texts.join(u" / "_s)));
        } else {
            QCOMPARE(closer.texts.size(), 1);
            QCOMPARE(closer.titles.first(), WindowTitle);
            QCOMPARE(closer.buttons.first().count(u'|'), 0);
            const QString text = closer.texts.first();
            QVERIFY2(text.contains(u'「' % QDir::toNativeSeparators(argument) % u'」'), qUtf8Printable(text));
            QVERIFY2(text.contains(reason), qUtf8Printable(text));
        }
        QCOMPARE(m_window->windowTitle(), captionBefore);
        const QStringList changed = DiskFingerprint::of(m_dir->path()).changedSince(disk);
        QVERIFY2(changed.isEmpty(), qUtf8Printable(changed.join(u", "_s)));
        if (fromStart) {
            QVERIFY(m_window->document().state().currentPath().isEmpty());
            return;
        }
        QCOMPARE(m_window->document().state().currentPath(), m_current);
        QCOMPARE(m_window->document().state().block(BlockId::Officer), officersBefore);
        QCOMPARE(m_window->document().grid(TableId::Officer).text(1, 3), u"95"_s);

        // Nothing is lost: the edit still reaches a file the user names next.
        const QString rescue = path(u"rescue.smc"_s);
        if (QFile::exists(m_current) && QFileInfo(m_current).isFile() &&
            QFileInfo(m_current).size() > HighestBlockEnd) {
            m_window->saveImage(rescue);
            QCOMPARE(closer.texts.size(), reason.isEmpty() ? 0 : 1);
            QCOMPARE(readFileBytes(rescue).at(WarByteOfRecord0), char(95));
        }
    }
};

TAVRIN_TEST(WindowBadInputTest)
#include "windowbadinputtest.moc"
