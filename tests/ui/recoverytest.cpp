#include "builtfile.h"
#include "cartridgechecksum.h"
#include "editorsession.h"
#include "filebytes.h"
#include "officerwar.h"
#include "questionanswerer.h"
#include "recoveryfile.h"
#include "recoverykeeper.h"
#include "testregistry.h"

#include <QFile>
#include <QProcess>

using namespace Qt::StringLiterals;

namespace {

// The five tables of a window's document, in catalogue order.
QByteArray tablesOf(frmMain& window)
{
    QByteArray tables;
    for (const BlockSpec& range : BlockCatalogue)
        tables += window.document().state().block(range.id);
    return tables;
}

// Generous: the child starts a whole window, and a sanitizer build is slow.
constexpr int ChildTimeoutMs = 60'000;
// The write follows a change within a second; the rest is room for a loaded machine.
constexpr int WriteTimeoutMs = 1'000 + RecoveryKeeper::WriteDelayMs;

// The five tables of an image file of the sample's form, in catalogue order.
QByteArray tablesIn(const QByteArray& image)
{
    QByteArray tables;
    for (const BlockSpec& range : BlockCatalogue)
        tables += image.mid(range.position, range.size);
    return tables;
}

} // namespace

// The recovery file of unsaved edits: written while edits are unsaved, gone once none are, offered
// back (and only once no editor holds it) when the image is opened again.
class RecoveryTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void killedEditor_nextStartRestoresWhatWasTyped_data()
    {
        QTest::addColumn<bool>("changedSince");
        QTest::newRow("file as it was") << false;
        QTest::newRow("file changed outside the tables since") << true;
    }

    void killedEditor_nextStartRestoresWhatWasTyped()
    {
        QFETCH(bool, changedSince);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString image = dir.filePath(u"game.smc"_s);
        QVERIFY(SampleImage::write(image));
        QByteArray original = readFileBytes(image);
        // The child's application data lies under this folder; this process looks there as well below.
        const QString home = dir.filePath(u"home"_s);
        QVERIFY(QDir().mkpath(home));
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"HOME"_s, home);
        environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        child.setProcessEnvironment(environment);
        child.start(builtFile(TAVRIN_RECOVERYCHILD),
                    {QCoreApplication::applicationName(), image, dir.filePath(u"typed.bin"_s)});
        QByteArray said;
        // "ready" alone: Windows' standard output ends the line with CR LF.
        while (!said.contains("ready") && child.waitForReadyRead(ChildTimeoutMs))
            said += child.readAllStandardOutput();
        QVERIFY2(said.contains("ready"), child.readAllStandardError().constData());
        child.kill();
        QVERIFY(child.waitForFinished(ChildTimeoutMs));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        const QByteArray typed = readFileBytes(dir.filePath(u"typed.bin"_s));
        QVERIFY(typed.size() == tablesIn(original).size() && typed != tablesIn(original));
        QCOMPARE(readFileBytes(image), original);
        if (changedSince) {
            original.back() = char(~original.back());
            QVERIFY(writeFileBytes(image, original));
        }

        // Started again on the same image, as the desktop starts it.
        const QByteArray ownHome = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(home));
        QuestionAnswerer answerer(u"復元"_s);
        frmMain window({u"tavrin-editor"_s, image});
        qputenv("HOME", ownHome);
        QCOMPARE(answerer.texts.size(), 1);
        QVERIFY2(answerer.texts.first().startsWith(u"前回保存されなかった変更があります（3 セル、"_s),
                 qPrintable(answerer.texts.first()));
        QCOMPARE(answerer.texts.first().contains(u"ファイルはその後、他のプログラムで変更されています。"_s),
                 changedSince);
        QCOMPARE(tablesOf(window), typed);
        QCOMPARE(window.document().checksumRequest(), ChecksumRequest::fix());
        QCOMPARE(window.session().undoStack().undoText(), u"復元"_s);
        QVERIFY(window.document().grid(TableId::Officer).isChanged(3, WarColumn));
        QCOMPARE(readFileBytes(image), original);
        // Undo gives the file's tables back; the save writes the restored ones.
        window.undoAction()->trigger();
        QCOMPARE(tablesOf(window), tablesIn(original));
        QCOMPARE(window.document().checksumRequest(), ChecksumRequest::keep());
        window.redoAction()->trigger();
        window.fileItem(1)->trigger();
        // Only the tables and the checksum come from the restored state; the rest is the file's.
        const QByteArray saved = readFileBytes(image);
        QCOMPARE(tablesIn(saved), typed);
        window.recovery().waitUntilWritten();
        QCOMPARE(saved.back(), original.back());
        QVERIFY(CartridgeChecksum::storedPair(saved, ImageForm::CopierHeader) !=
                CartridgeChecksum::storedPair(original, ImageForm::CopierHeader));
        QVERIFY(!QFile::exists(window.recovery().filePath()));
    }

    void recoveryFile_goesOnceNothingIsUnsaved_data()
    {
        QTest::addColumn<QString>("step");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("kept");
        QTest::newRow("save") << u"save"_s << QString() << false;
        QTest::newRow("save under another name") << u"save as"_s << QString() << false;
        QTest::newRow("undo back to the file") << u"undo"_s << QString() << false;
        QTest::newRow("close, save") << u"close"_s << u"保存"_s << false;
        QTest::newRow("close, do not save") << u"close"_s << u"保存しない"_s << false;
        QTest::newRow("open another, do not save") << u"open"_s << u"保存しない"_s << false;
        QTest::newRow("close, cancel") << u"close"_s << u"キャンセル"_s << true;
        QTest::newRow("open another, cancel") << u"open"_s << u"キャンセル"_s << true;
    }

    void recoveryFile_goesOnceNothingIsUnsaved()
    {
        QFETCH(QString, step);
        QFETCH(QString, answer);
        QFETCH(bool, kept);
        EditorSession session;
        QVERIFY(session.active);
        session.select(TableId::Officer, 3, WarColumn);
        EditorSession::type(u"42\r"_s);
        const QString file = session.main().recovery().filePath();
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(file), WriteTimeoutMs);
        QCOMPARE(RecoveryFile::read(file)->blocks[0], session.block(TableId::Officer));
        const QString other = session.dir.filePath(u"other.smc"_s);
        QVERIFY(QFile::copy(session.sample, other));

        QuestionAnswerer answerer(answer);
        if (step == u"save"_s)
            QVERIFY(session.save());
        else if (step == u"save as"_s)
            QVERIFY(session.main().saveImage(other) && session.main().recovery().filePath() != file);
        else if (step == u"undo"_s)
            session.main().undoAction()->trigger();
        else if (step == u"close"_s)
            session.main().close();
        else
            session.main().openImageAsked(other);
        session.main().recovery().waitUntilWritten();
        QCOMPARE(QFile::exists(file), kept);
    }

    void secondEditor_isOfferedOnlyAFileWhoseEditorIsGone_data()
    {
        QTest::addColumn<bool>("firstRuns");
        QTest::addColumn<QString>("answer");
        QTest::newRow("first editor still open") << true << u"キャンセル"_s;
        QTest::newRow("first editor gone, cancel keeps it") << false << u"キャンセル"_s;
        QTest::newRow("first editor gone, discard removes it") << false << u"破棄"_s;
    }

    void secondEditor_isOfferedOnlyAFileWhoseEditorIsGone()
    {
        QFETCH(bool, firstRuns);
        QFETCH(QString, answer);
        EditorSession session;
        QVERIFY(session.active);
        session.select(TableId::Officer, 3, WarColumn);
        EditorSession::type(u"42\r"_s);
        const QString file = session.main().recovery().filePath();
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(file), WriteTimeoutMs);
        const QByteArray firstState = readFileBytes(file);
        if (!firstRuns)
            session.window.reset();

        QuestionAnswerer answerer(answer);
        frmMain second({u"tavrin-editor"_s, session.sample});
        QCOMPARE(answerer.texts.size(), firstRuns ? 0 : 1);
        QVERIFY(!second.session().isModified());
        if (answer == u"破棄"_s) {
            QVERIFY(!QFile::exists(file));
            return;
        }
        // The second editor writes a file of its own and leaves the first one as it was.
        QVERIFY(!second.recovery().filePath().isEmpty() && second.recovery().filePath() != file);
        QCOMPARE(readFileBytes(file), firstState);
    }

    void unreadableFile_isSetAsideWithAMessage_data()
    {
        QTest::addColumn<int>("cut");
        QTest::addColumn<int>("flipped");
        QTest::newRow("not a recovery file") << 0 << -1;
        QTest::newRow("cut short") << 100 << -1;
        QTest::newRow("one byte changed") << -1 << 2000;
    }

    void unreadableFile_isSetAsideWithAMessage()
    {
        QFETCH(int, cut);
        QFETCH(int, flipped);
        EditorSession session(false);
        QVERIFY(session.active);
        Document document;
        document.setUpGrids();
        QVERIFY(document.open(session.sample).isDone());
        QByteArray bytes = RecoveryFile::of(document).serialize();
        if (cut >= 0)
            bytes = cut ? bytes.first(cut) : QByteArray("not ours");
        if (flipped >= 0)
            bytes[flipped] = char(bytes[flipped] ^ 1);
        // The name the first editor of the image writes.
        const QString file = RecoveryFile::folder() + u"/"_s + RecoveryFile::keyOf(session.sample) + u"-0.recovery"_s;
        QVERIFY(QDir().mkpath(RecoveryFile::folder()));
        QVERIFY(writeFileBytes(file, bytes));

        QuestionAnswerer answerer(u"OK"_s);
        session.main().openImage(session.sample);
        QCOMPARE(answerer.texts.size(), 1);
        QVERIFY2(answerer.texts.first().contains(u"読み込めなかった"_s), qPrintable(answerer.texts.first()));
        QVERIFY(!QFile::exists(file));
        const QStringList aside =
            QDir(RecoveryFile::folder()).entryList({QFileInfo(file).fileName() + u".unreadable-*"_s});
        QCOMPARE(aside.size(), 1);
        QVERIFY(QFile::remove(QDir(RecoveryFile::folder()).filePath(aside.first())));
    }

    void unusableFolder_isSaidAtTheOpen()
    {
        EditorSession session(false);
        QVERIFY(session.active);
        // A file where the folder belongs (this run's own): nothing can be written under it.
        QVERIFY(QDir(RecoveryFile::folder()).removeRecursively());
        QVERIFY(QDir().mkpath(QFileInfo(RecoveryFile::folder()).path()));
        QVERIFY(writeFileBytes(RecoveryFile::folder(), "x"));
        QuestionAnswerer answerer(u"OK"_s);
        session.main().openImage(session.sample);
        QVERIFY(QFile::remove(RecoveryFile::folder()));
        QCOMPARE(answerer.texts.size(), 1);
        QVERIFY(answerer.texts.first().contains(QDir::toNativeSeparators(RecoveryFile::folder())));
        QVERIFY(session.main().recovery().filePath().isEmpty());
    }
};

TAVRIN_TEST(RecoveryTest)
#include "recoverytest.moc"
