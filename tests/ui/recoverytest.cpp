#include "builtfile.h"
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
    void killedEditor_nextStartRestoresWhatWasTyped()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString image = dir.filePath(u"game.smc"_s);
        QVERIFY(SampleImage::write(image));
        const QByteArray original = readFileBytes(image);
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
        while (!said.contains("ready\n") && child.waitForReadyRead(ChildTimeoutMs))
            said += child.readAllStandardOutput();
        QVERIFY2(said.contains("ready\n"), child.readAllStandardError().constData());
        child.kill();
        QVERIFY(child.waitForFinished(ChildTimeoutMs));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        const QByteArray typed = readFileBytes(dir.filePath(u"typed.bin"_s));
        QCOMPARE(typed.size(), tablesIn(original).size());
        QVERIFY(typed != tablesIn(original));
        QCOMPARE(readFileBytes(image), original);

        // Started again on the same image, as the desktop starts it.
        const QByteArray ownHome = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(home));
        QuestionAnswerer answerer(u"復元"_s);
        frmMain window({u"tavrin-editor"_s, image});
        qputenv("HOME", ownHome);
        QCOMPARE(answerer.texts.size(), 1);
        QVERIFY2(answerer.texts.first().startsWith(u"前回保存されなかった変更があります（3 セル、"_s),
                 qPrintable(answerer.texts.first()));
        QVERIFY(answerer.texts.first().endsWith(u"）。復元しますか？"_s));
        QCOMPARE(tablesOf(window), typed);
        QCOMPARE(window.session().undoStack().undoText(), u"復元"_s);
        QVERIFY(window.document().grid(TableId::Officer).isChanged(3, WarColumn));
        QCOMPARE(readFileBytes(image), original);
        // Undo gives the file's tables back; the save writes the restored ones.
        window.undoAction()->trigger();
        QCOMPARE(tablesOf(window), tablesIn(original));
        window.redoAction()->trigger();
        window.fileItem(1)->trigger();
        QCOMPARE(tablesIn(readFileBytes(image)), typed);
        QVERIFY(!QFile::exists(window.recovery().filePath()));
    }
};

TAVRIN_TEST(RecoveryTest)
#include "recoverytest.moc"
