#include "../platform/modalcloser.h"
#include "builtfile.h"
#include "cartridgechecksum.h"
#include "editorsession.h"
#include "emulatorsettingsdialog.h"
#include "filebytes.h"
#include "filedialogchoice.h"
#include "officerwar.h"
#include "testplaycommand.h"
#include "testplayimages.h"
#include "testregistry.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QPushButton>
#include <QSettings>
#include <QTimer>

#ifdef Q_OS_WIN
#include <stdlib.h>
#endif

using namespace Qt::StringLiterals;

namespace {

// The stand-in emulator, started as "<program>" "<out>" <words>: what it got lands in <out>.
struct StandIn
{
    QTemporaryDir out;
    QString program = builtFile(TAVRIN_STANDIN);

    QString argumentsText(const QString& words = u"%1"_s) const
    {
        return u"\"%1\" %2"_s.arg(QDir::toNativeSeparators(out.path()), words);
    }
    QString commandLine(const QString& programPath, const QString& words = u"%1"_s) const
    {
        return u"\"%1\" %2"_s.arg(QDir::toNativeSeparators(programPath), argumentsText(words));
    }
    QString file(const QString& name) const { return out.filePath(name); }
    // Under Wine a process takes a second or more to start.
    bool waitDone() const
    {
        return QTest::qWaitFor([this] { return QFile::exists(file(u"done"_s)); }, 30000);
    }
    QStringList arguments() const { return QString::fromUtf8(readFileBytes(file(u"arguments.txt"_s))).split(u'\n'); }
    QByteArray image() const { return readFileBytes(file(u"image.bin"_s)); }
};

// As the user's environment holds it: on Windows that is UTF-16, which qputenv's bytes are not.
void setEmulatorVariable(const QString& line)
{
#ifdef Q_OS_WIN
    _wputenv_s(L"TAVRIN_EMULATOR", reinterpret_cast<const wchar_t*>(line.utf16()));
#else
    qputenv("TAVRIN_EMULATOR", line.toUtf8());
#endif
}

// After a dialog the window has to be active again for its shortcuts to work.
void pressF5(EditorSession& session)
{
    session.main().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&session.main()));
    session.view(TableId::Officer)->setFocus();
    QTest::keyClick(session.view(TableId::Officer), Qt::Key_F5);
}

// What test play must leave as it was.
struct Untouched
{
    explicit Untouched(EditorSession& s)
        : file(readFileBytes(s.main().document().state().currentPath())), caption(s.caption()),
          steps(stackOf(s).count()), index(stackOf(s).index()), modified(s.main().session().isModified())
    {
    }
    bool operator==(const Untouched&) const = default;

    QByteArray file;
    QString caption;
    int steps;
    int index;
    bool modified;
};

} // namespace

// ファイル > "テストプレイ" (F5) in the real window with a stand-in emulator that records what it got.
class TestPlayTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        qunsetenv("TAVRIN_EMULATOR");
        QSettings().remove(u"TestPlay"_s);
    }
    void cleanup() { init(); }

    // Steps: "edit" a new War on officer 0, "fix" the checksum (the file's pair is stale). The emulator
    // comes from TAVRIN_EMULATOR, over a stored setting that names another program; "P" in
    // `expected` is the temporary image's native path.
    void f5_handsOverWhatASaveWouldWrite_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("programName"); // a copy of the stand-in under this name, when given
        QTest::addColumn<QString>("imageName");
        QTest::addColumn<QString>("words");
        QTest::addColumn<QStringList>("expected");
        const QStringList one{u"P"_s};
        const QString smc = u"sample.smc"_s;
        QTest::newRow("unedited") << QStringList{} << QString() << smc << u"%1"_s << one;
        QTest::newRow("after an edit") << QStringList{u"edit"_s} << QString() << smc << u"%1"_s << one;
        QTest::newRow("after a checksum fix") << QStringList{u"fix"_s} << QString() << smc << u"%1"_s << one;
        QTest::newRow("after an edit and a fix")
            << QStringList{u"edit"_s, u"fix"_s} << QString() << smc << u"%1"_s << one;
        QTest::newRow("spaces and Japanese letters in both paths")
            << QStringList{u"edit"_s} << u"エミュ レーター/スタンド イン"_s << u"テスト 画像/三国 志.smc"_s << u"%1"_s
            << one;
        QTest::newRow("headerless image, quoted words, the path inside a word")
            << QStringList{u"edit"_s} << QString() << u"テスト 画像/三国 志.sfc"_s << u"-a \"b  c\" --rom=%1 %1"_s
            << QStringList{u"-a"_s, u"b  c"_s, u"--rom=P"_s, u"P"_s};
        QTest::newRow("without %1 the path comes last")
            << QStringList{} << QString() << smc << u"\"\"\"q\"\"\""_s << QStringList{u"\"q\""_s, u"P"_s};
    }

    void f5_handsOverWhatASaveWouldWrite()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, programName);
        QFETCH(QString, imageName);
        QFETCH(QString, words);
        QFETCH(QStringList, expected);
        EditorSession session;
        QVERIFY(session.active);
        StandIn standIn;
        QString program = standIn.program;
        if (!programName.isEmpty()) {
            const QString suffix = QFileInfo(standIn.program).suffix();
            program = session.dir.filePath(suffix.isEmpty() ? programName : programName + u'.' + suffix);
            QVERIFY(QDir().mkpath(QFileInfo(program).absolutePath()));
            QVERIFY(QFile::copy(standIn.program, program));
        }
        const QString image = session.dir.filePath(imageName);
        QVERIFY(QDir().mkpath(QFileInfo(image).absolutePath()));
        const bool headerless = imageName.endsWith(u".sfc"_s);
        QByteArray bytes = SampleImage::generate().mid(headerless ? 0x200 : 0);
        const ImageForm form = headerless ? ImageForm::Headerless : ImageForm::CopierHeader;
        QVERIFY(CartridgeChecksum::putPair(bytes, form, "\x12\x34\x56\x78"));
        QVERIFY(writeFileBytes(image, bytes));
        session.main().openImage(image);
        QCOMPARE(session.caption(), captionNaming(image));
        for (const QString& step : steps) {
            if (step == u"fix"_s) {
                session.main().fileItem(10)->trigger();
                continue;
            }
            session.select(TableId::Officer, 1, WarColumn);
            EditorSession::type(u"99\r"_s);
            const qint64 record = session.recordOfRow(TableId::Officer, 1);
            bytes[WarByteOfRecord0 - (headerless ? 0x200 : 0) + record * OfficerTable::RecordSize] = char(99);
        }
        if (steps.contains(u"fix"_s))
            QVERIFY(CartridgeChecksum::fix(bytes, form));
        EmulatorSetting other;
        other.program = session.dir.filePath(u"not this one"_s);
        QVERIFY(other.store());
        setEmulatorVariable(standIn.commandLine(program, words));
        const Untouched before(session);
        ModalCloser closer;
        pressF5(session);
        QVERIFY(standIn.waitDone());
        QCOMPARE(closer.texts + closer.dialogTitles, QStringList());
        // A new file named as the opened image, in a folder of its own under the temporary folder.
        const QStringList images = session.main().testPlay().images();
        QCOMPARE(images.size(), 1);
        QCOMPARE(QFileInfo(images.first()).fileName(), QFileInfo(image).fileName());
        QCOMPARE(QFileInfo(QFileInfo(images.first()).absolutePath()).absolutePath(),
                 QFileInfo(QDir::tempPath()).absoluteFilePath());
        for (QString& argument : expected)
            argument.replace(u"P"_s, QDir::toNativeSeparators(images.first()));
        QCOMPARE(standIn.arguments(), expected);
        QCOMPARE(differences(standIn.image(), bytes), QList<qint64>());
        QCOMPARE(standIn.image().size(), bytes.size());
        QVERIFY(Untouched(session) == before);
        // テストプレイの設定... says that the variable, not the stored choice, is in effect.
        QString note;
        closer.onDialog = [&](QDialog* dialog) {
            if (const auto* label = dialog->findChild<QLabel*>(u"environmentNote"_s))
                note = label->text();
            if (const QString shots = qEnvironmentVariable("TAVRIN_SCREENSHOTS"); !shots.isEmpty())
                dialog->grab().save(shots + u"/testplay-settings-variable.png"_s);
            dialog->reject();
        };
        session.main().fileItem(12)->trigger();
        QVERIFY2(note.contains(u"TAVRIN_EMULATOR"_s) &&
                     note.contains(u"「%1」"_s.arg(QDir::toNativeSeparators(program))),
                 qUtf8Printable(note));
    }

    // The settings dialog on the first test play, and each way it is left; a program in quotes, as
    // Windows' "copy as path" gives it, is taken without them.
    void f5_firstUse_asksForTheEmulator_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("typed in quotes, OK") << u"type"_s;
        QTest::newRow("chosen with 参照..., OK") << u"browse"_s;
        QTest::newRow("キャンセル") << u"cancel"_s;
        QTest::newRow("no program: OK stays off") << u"empty"_s;
    }

    void f5_firstUse_asksForTheEmulator()
    {
        QFETCH(QString, how);
        EditorSession session;
        QVERIFY(session.active);
        StandIn standIn;
        const QString program = QDir::toNativeSeparators(standIn.program);
        const Untouched before(session);
        ModalCloser closer;
        QStringList shown;
        closer.onDialog = [&](QDialog* dialog) {
            if (qobject_cast<QFileDialog*>(dialog))
                return chooseInFileDialog(dialog, standIn.program);
            auto* settings = qobject_cast<EmulatorSettingsDialog*>(dialog);
            QVERIFY(settings);
            QVERIFY(!settings->findChild<QLabel*>(u"environmentNote"_s));
            shown << settings->programBox()->text() << settings->argumentsBox()->text();
            if (const QString shots = qEnvironmentVariable("TAVRIN_SCREENSHOTS"); !shots.isEmpty())
                settings->grab().save(shots + u"/testplay-settings.png"_s);
            // From the event loop, so that this closer answers the file dialog of 参照... too.
            QTimer::singleShot(0, settings, [&, settings] {
                if (how == u"browse"_s)
                    QTest::mouseClick(settings->findChild<QPushButton*>(u"browse"_s), Qt::LeftButton);
                else if (how == u"type"_s)
                    QTest::keyClicks(settings->programBox(), u"\"%1\""_s.arg(program));
                settings->argumentsBox()->selectAll();
                QTest::keyClicks(settings->argumentsBox(), standIn.argumentsText());
                QCOMPARE(settings->okButton()->isEnabled(), how == u"type"_s || how == u"browse"_s);
                if (how == u"cancel"_s || how == u"empty"_s)
                    QTest::keyClick(settings, Qt::Key_Escape);
                else
                    QTest::mouseClick(settings->okButton(), Qt::LeftButton);
            });
        };
        pressF5(session);
        QTRY_VERIFY(!QApplication::activeModalWidget());
        QCOMPARE(closer.dialogTitles.value(0), u"テストプレイの設定"_s);
        // Nothing chosen yet: no program, the image's path alone as the arguments.
        QCOMPARE(shown, (QStringList{QString(), u"%1"_s}));
        QCOMPARE(closer.texts, QStringList());
        if (how == u"cancel"_s || how == u"empty"_s) {
            QCOMPARE(session.main().testPlay().images(), QStringList());
            QVERIFY(!QSettings().contains(u"TestPlay/program"_s));
            QVERIFY(Untouched(session) == before);
            return;
        }
        QVERIFY(standIn.waitDone());
        QCOMPARE(standIn.image(), readFileBytes(session.sample));
        // Once chosen, F5 starts it at once, and テストプレイの設定... shows the choice.
        QFile::remove(standIn.file(u"done"_s));
        const qsizetype dialogs = closer.dialogTitles.size();
        pressF5(session);
        QVERIFY(standIn.waitDone());
        QCOMPARE(closer.dialogTitles.size(), dialogs);
        shown.clear();
        closer.onDialog = [&](QDialog* dialog) {
            if (auto* settings = qobject_cast<EmulatorSettingsDialog*>(dialog))
                shown << settings->programBox()->text() << settings->argumentsBox()->text();
            dialog->reject();
        };
        session.main().fileItem(12)->trigger();
        const QString stored = how == u"type"_s ? u"\"%1\""_s.arg(program) : program;
        QCOMPARE(shown, (QStringList{stored, standIn.argumentsText()}));
        QCOMPARE(EmulatorSetting::load().program, stored);
        QVERIFY(Untouched(session) == before);
    }

    // A program that cannot be started: a message naming it and why, and nothing else.
    void programThatCannotStart_isNamedWithTheReason_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<bool>("inFolder"); // a path in the session's folder, or a bare name
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("imageName"); // the sample under this name, when given
        QTest::newRow("missing") << u"ない/emu.exe"_s << true << u"ファイルが見つかりません"_s << QString();
        QTest::newRow("a folder") << u"フォルダー"_s << true << u"フォルダーです"_s << QString();
        QTest::newRow("not a program") << u"読んでね.txt"_s << true << u"実行できるファイルではありません"_s
                                       << QString();
        QTest::newRow("a name not on PATH") << u"tavrin-no-such-emulator"_s << false << u"PATH"_s << QString();
        // Passes every check, and the system refuses it: the image written for it goes again.
        QTest::newRow("runnable by its name, not a program") << u"壊れた.exe"_s << true << u"システムが"_s << QString();
#ifdef Q_OS_WIN
        // cmd.exe reads a batch file's command line again: a name must not run or expand anything.
        QTest::newRow("batch file, commands in the image's name")
            << u"emu.bat"_s << true << u"cmd.exe"_s << u"x&md;PWNED&.smc"_s;
        QTest::newRow("batch file, a variable in the image's name")
            << u"emu.cmd"_s << true << u"cmd.exe"_s << u"%OS%.smc"_s;
#endif
    }

    void programThatCannotStart_isNamedWithTheReason()
    {
        QFETCH(QString, program);
        QFETCH(bool, inFolder);
        QFETCH(QString, reason);
        QFETCH(QString, imageName);
        EditorSession session;
        QVERIFY(session.active);
        if (!imageName.isEmpty()) {
            QVERIFY(writeFileBytes(session.dir.filePath(program), "@echo off\r\n"));
            QVERIFY(QFile::copy(session.sample, session.dir.filePath(imageName)));
            session.main().openImage(session.dir.filePath(imageName));
            QCOMPARE(session.caption(), captionNaming(session.dir.filePath(imageName)));
        }
        QVERIFY(QDir(session.dir.path()).mkdir(u"フォルダー"_s));
        QVERIFY(writeFileBytes(session.dir.filePath(u"読んでね.txt"_s), "text"));
        QFile broken(session.dir.filePath(u"壊れた.exe"_s));
        QVERIFY(writeFileBytes(broken.fileName(), "not a program"));
        QVERIFY(broken.setPermissions(broken.permissions() | QFileDevice::ExeOwner));
        const QString path = QDir::toNativeSeparators(inFolder ? session.dir.filePath(program) : program);
        setEmulatorVariable(u"\"%1\" %2"_s.arg(path, u"%1"_s));
        const Untouched before(session);
        ModalCloser closer;
        pressF5(session);
        QCOMPARE(closer.titles, QStringList{EditorState::applicationTitle()});
        const QString message = closer.texts.value(0);
        QVERIFY2(message.contains(u"「%1」"_s.arg(path)) && message.contains(reason), qUtf8Printable(message));
        QCOMPARE(session.main().testPlay().images(), QStringList());
        QVERIFY(Untouched(session) == before);
    }

    // Each window keeps its last three images and removes them, with what an emulator wrote beside
    // them, when it goes. At its start it removes the folders of an editor that ended without closing
    // (its lock names a process that is gone), never one that a running editor holds.
    void images_atMostThree_removedWithTheWindow()
    {
        const QString pid = QString::number(QCoreApplication::applicationPid());
        const QString left = QDir::temp().filePath(u"tavrin-testplay-left"_s + pid);
        const QString held = QDir::temp().filePath(u"tavrin-testplay-held"_s + pid);
        for (const QString& folder : {left, held}) {
            QVERIFY(QDir().mkpath(folder));
            QVERIFY(writeFileBytes(QDir(folder).filePath(u"x.srm"_s), "save"));
        }
        const QString lockName = QString::fromLatin1(TestPlayImages::LockFileName);
        QLockFile holding(QDir(held).filePath(lockName));
        QVERIFY(holding.tryLock(0));
        {
            // A lock as Qt writes it, its process line naming none that runs.
            QLockFile ended(QDir(left).filePath(lockName));
            QVERIFY(ended.tryLock(0));
            const QByteArray info = readFileBytes(ended.fileName());
            ended.unlock();
            QVERIFY(writeFileBytes(ended.fileName(), "4194000" + info.mid(info.indexOf('\n'))));
        }
        EditorSession session;
        QVERIFY(session.active);
        QVERIFY(!QFileInfo::exists(left));
        QVERIFY(QFileInfo::exists(QDir(held).filePath(u"x.srm"_s)));
        holding.unlock();
        QVERIFY(QDir(held).removeRecursively());
        StandIn standIn;
        setEmulatorVariable(standIn.commandLine(standIn.program));
        QStringList handedOver;
        for (int run = 0; run < 5; ++run) {
            QFile::remove(standIn.file(u"done"_s));
            pressF5(session);
            QVERIFY(standIn.waitDone());
            handedOver << QDir::fromNativeSeparators(standIn.arguments().value(0));
            QVERIFY(!handedOver.mid(0, run).contains(handedOver.last()));
            QVERIFY(writeFileBytes(QFileInfo(handedOver.last()).absolutePath() + u"/sample.srm"_s, "save"));
        }
        QCOMPARE(session.main().testPlay().images(), handedOver.mid(2));
        for (qsizetype i = 0; i < handedOver.size(); ++i)
            QCOMPARE(QFileInfo::exists(QFileInfo(handedOver[i]).absolutePath()), i >= 2);
        session.window.reset();
        for (const QString& image : std::as_const(handedOver))
            QVERIFY2(!QFileInfo::exists(QFileInfo(image).absolutePath()), qUtf8Printable(image));
    }

    // Neither the settings dialog nor the emulator without an image.
    void withoutAnImage_f5DoesNothing()
    {
        EditorSession session(false);
        QVERIFY(session.active);
        ModalCloser closer;
        pressF5(session);
        StandIn standIn;
        setEmulatorVariable(standIn.commandLine(standIn.program));
        pressF5(session);
        QCOMPARE(closer.texts + closer.dialogTitles, QStringList());
        QCOMPARE(session.main().testPlay().images(), QStringList());
        QCOMPARE(session.caption(), EditorState::applicationTitle());
    }
};

TAVRIN_TEST(TestPlayTest)
#include "testplaytest.moc"
