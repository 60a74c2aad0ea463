#include "../platform/modalcloser.h"
#include "builtfile.h"
#include "cartridgechecksum.h"
#include "editorsession.h"
#include "emulatorsettingsdialog.h"
#include "filebytes.h"
#include "filedialogchoice.h"
#include "officerwar.h"
#include "testplaycommand.h"
#include "testregistry.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSet>
#include <QSettings>
#include <QTimer>

#ifdef Q_OS_WIN
#include <stdlib.h>
#endif

using namespace Qt::StringLiterals;

namespace {

// The stand-in emulator: what it was given lands in a folder of its own.
struct StandIn
{
    QTemporaryDir out;
    QString program = builtFile(TAVRIN_STANDIN);

    QString argumentsText(const QString& words = u"%1"_s) const
    {
        return u"\"%1\" %2"_s.arg(QDir::toNativeSeparators(out.path()), words);
    }
    // A command line as TAVRIN_EMULATOR takes it, for `programPath` (the built stand-in or a copy).
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
    void reset() const
    {
        for (const QString& name : {u"done"_s, u"arguments.txt"_s, u"image.bin"_s})
            QFile::remove(file(name));
    }
};

// The variable as the user's environment holds it; on Windows that is UTF-16, which qputenv's bytes
// are not.
void setEmulatorVariable(const QString& line)
{
#ifdef Q_OS_WIN
    _wputenv_s(L"TAVRIN_EMULATOR", reinterpret_cast<const wchar_t*>(line.utf16()));
#else
    qputenv("TAVRIN_EMULATOR", line.toUtf8());
#endif
}

// The keyboard on the officer grid; after a dialog the window has to be active again for its
// shortcuts to work.
void focusGrid(EditorSession& session)
{
    session.main().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&session.main()));
    session.view(TableId::Officer)->setFocus();
}

void pressF5(EditorSession& session)
{
    focusGrid(session);
    QTest::keyClick(session.view(TableId::Officer), Qt::Key_F5);
}

// What test play must leave as it was.
struct Untouched
{
    explicit Untouched(EditorSession& session)
        : file(readFileBytes(session.sample)), caption(session.caption()), steps(stackOf(session).count()),
          index(stackOf(session).index()), modified(session.main().session().isModified())
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

// ファイル > "テストプレイ" (F5) in the real window with a stand-in emulator that records what it got: the
// image as a save would write it, in a temporary file of the same name, one argument whatever the
// path holds; nothing of the window's state changes.
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

    // Steps: "edit" a new War on officer 0, "fix" the checksum (the file's pair is stale).
    void f5_handsOverWhatASaveWouldWrite_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::newRow("unedited") << QStringList{};
        QTest::newRow("after an edit") << QStringList{u"edit"_s};
        QTest::newRow("after a checksum fix") << QStringList{u"fix"_s};
        QTest::newRow("after an edit and a checksum fix") << QStringList{u"edit"_s, u"fix"_s};
        QTest::newRow("after a fix and an edit") << QStringList{u"fix"_s, u"edit"_s};
    }

    void f5_handsOverWhatASaveWouldWrite()
    {
        QFETCH(QStringList, steps);
        EditorSession session;
        QVERIFY(session.active);
        QByteArray expected = SampleImage::generate();
        QVERIFY(CartridgeChecksum::putPair(expected, ImageForm::CopierHeader, "\x12\x34\x56\x78"));
        QVERIFY(writeFileBytes(session.sample, expected));
        session.main().openImage(session.sample);
        for (const QString& step : steps) {
            if (step == u"edit"_s) {
                session.select(TableId::Officer, 1, WarColumn);
                EditorSession::type(u"99\r"_s);
                expected[WarByteOfRecord0 +
                         qint64(session.recordOfRow(TableId::Officer, 1)) * OfficerTable::RecordSize] = char(99);
            } else {
                session.main().fileItem(10)->trigger();
            }
        }
        if (steps.contains(u"fix"_s))
            QVERIFY(CartridgeChecksum::fix(expected, ImageForm::CopierHeader));
        StandIn standIn;
        setEmulatorVariable(standIn.commandLine(standIn.program));
        const Untouched before(session);
        ModalCloser closer;
        pressF5(session);
        QVERIFY(standIn.waitDone());
        QCOMPARE(closer.texts, QStringList());
        QCOMPARE(closer.dialogTitles, QStringList());
        const QStringList images = session.main().testPlay().images();
        QCOMPARE(images.size(), 1);
        // One argument, the temporary image in the system's form, named as the opened image is.
        QCOMPARE(standIn.arguments(), QStringList{QDir::toNativeSeparators(images.first())});
        QCOMPARE(QFileInfo(images.first()).fileName(), QFileInfo(session.sample).fileName());
        QCOMPARE(QFileInfo(QFileInfo(images.first()).absolutePath()).absolutePath(),
                 QFileInfo(QDir::tempPath()).absoluteFilePath());
        if (steps.contains(u"fix"_s))
            QEXPECT_FAIL("", "the image composed in memory leaves the checksum request to the save", Continue);
        QCOMPARE(differences(standIn.image(), expected), QList<qint64>());
        QCOMPARE(standIn.image().size(), expected.size());
        QVERIFY(Untouched(session) == before);
    }

    // The settings dialog on the first test play: what it starts with, and each way it is left.
    void f5_firstUse_asksForTheEmulator_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("chosen");
        QTest::newRow("typed, OK") << u"type"_s << true;
        QTest::newRow("chosen with 参照..., OK") << u"browse"_s << true;
        QTest::newRow("キャンセル") << u"cancel"_s << false;
        QTest::newRow("no program: OK stays off") << u"empty"_s << false;
    }

    void f5_firstUse_asksForTheEmulator()
    {
        QFETCH(QString, how);
        QFETCH(bool, chosen);
        EditorSession session;
        QVERIFY(session.active);
        StandIn standIn;
        const Untouched before(session);
        ModalCloser closer;
        QStringList shown;
        closer.onDialog = [&](QDialog* dialog) {
            if (auto* files = qobject_cast<QFileDialog*>(dialog)) {
                chooseInFileDialog(files, standIn.program);
                return;
            }
            auto* settings = qobject_cast<EmulatorSettingsDialog*>(dialog);
            QVERIFY(settings);
            shown << settings->programBox()->text() << settings->argumentsBox()->text();
            if (const QString shots = qEnvironmentVariable("TAVRIN_SCREENSHOTS"); !shots.isEmpty())
                settings->grab().save(shots + u"/testplay-settings.png"_s);
            // Later, from the event loop: the file dialog that 参照... opens is answered by this closer.
            QTimer::singleShot(0, settings, [&, settings] {
                if (how == u"browse"_s)
                    QTest::mouseClick(settings->findChild<QPushButton*>(u"browse"_s), Qt::LeftButton);
                else if (how == u"type"_s)
                    QTest::keyClicks(settings->programBox(), QDir::toNativeSeparators(standIn.program));
                settings->argumentsBox()->selectAll();
                QTest::keyClicks(settings->argumentsBox(), standIn.argumentsText());
                if (how == u"empty"_s)
                    QVERIFY(!settings->okButton()->isEnabled());
                if (how == u"cancel"_s || how == u"empty"_s)
                    QTest::keyClick(settings, Qt::Key_Escape);
                else
                    QTest::mouseClick(settings->okButton(), Qt::LeftButton);
            });
        };
        pressF5(session);
        QTRY_VERIFY(!QApplication::activeModalWidget());
        QCOMPARE(closer.dialogTitles.first(), u"テストプレイの設定"_s);
        // Nothing chosen yet: no program, the image's path alone as the arguments.
        QCOMPARE(shown, (QStringList{QString(), u"%1"_s}));
        QCOMPARE(closer.texts, QStringList());
        if (!chosen) {
            QCOMPARE(session.main().testPlay().images(), QStringList());
            QVERIFY(!QSettings().contains(u"TestPlay/program"_s));
            QVERIFY(Untouched(session) == before);
            return;
        }
        QVERIFY(standIn.waitDone());
        QCOMPARE(standIn.image(), readFileBytes(session.sample));
        QCOMPARE(QSettings().value(u"TestPlay/program"_s).toString(), QDir::toNativeSeparators(standIn.program));
        QCOMPARE(QSettings().value(u"TestPlay/arguments"_s).toString(), standIn.argumentsText());
        // Once chosen, F5 starts it at once.
        standIn.reset();
        const qsizetype dialogs = closer.dialogTitles.size();
        pressF5(session);
        QVERIFY(standIn.waitDone());
        QCOMPARE(closer.dialogTitles.size(), dialogs);
        QVERIFY(Untouched(session) == before);
    }

    void settingsItem_showsTheStoredChoice()
    {
        EditorSession session;
        QVERIFY(session.active);
        EmulatorSetting stored;
        stored.program = u"C:/エミュ/emu.exe"_s;
        stored.arguments = u"-fs 1 \"%1\""_s;
        QVERIFY(stored.store());
        ModalCloser closer;
        QStringList shown;
        closer.onDialog = [&](QDialog* dialog) {
            auto* settings = qobject_cast<EmulatorSettingsDialog*>(dialog);
            QVERIFY(settings);
            shown << settings->programBox()->text() << settings->argumentsBox()->text();
            dialog->reject();
        };
        session.main().fileItem(12)->trigger();
        QCOMPARE(shown, (QStringList{QDir::toNativeSeparators(stored.program), stored.arguments}));
        // Cancel keeps what was stored; the item is beside テストプレイ, after the checksum fix.
        QCOMPARE(EmulatorSetting::load().program, stored.program);
        const QList<QAction*> actions = session.main().fileMenu()->actions();
        QCOMPARE(actions.indexOf(session.main().fileItem(11)), actions.indexOf(session.main().fileItem(10)) + 1);
        QCOMPARE(actions.indexOf(session.main().fileItem(12)), actions.indexOf(session.main().fileItem(11)) + 1);
        if (const QString shots = qEnvironmentVariable("TAVRIN_SCREENSHOTS"); !shots.isEmpty()) {
            focusGrid(session);
            QTest::keyClick(session.view(TableId::Officer), Qt::Key_F, Qt::AltModifier);
            QTRY_COMPARE(QApplication::activePopupWidget(), session.main().fileMenu());
            session.main().fileMenu()->grab().save(shots + u"/testplay-menu.png"_s);
            EditorSession::press(Qt::Key_Escape);
            QTRY_VERIFY(!QApplication::activePopupWidget());
        }
    }

    // TAVRIN_EMULATOR wins over the setting; quotes group words, and a path with spaces and Japanese
    // letters, the program's or the image's, arrives as one argument.
    void environmentEmulator_pathsArriveWhole_data()
    {
        QTest::addColumn<QString>("programFolder");
        QTest::addColumn<QString>("imageName");
        QTest::addColumn<QString>("words");
        QTest::addColumn<QStringList>("expected"); // "%1" for the image's path
        QTest::newRow("built stand-in") << QString() << u"sample.smc"_s << u"%1"_s << QStringList{u"%1"_s};
        QTest::newRow("program under spaces and Japanese letters")
            << u"エミュ レーター/スタンド イン"_s << u"sample.smc"_s << u"%1"_s << QStringList{u"%1"_s};
        QTest::newRow("image under spaces and Japanese letters")
            << u"エミュ レーター/スタンド イン"_s << u"テスト 画像/三国 志.smc"_s << u"%1"_s << QStringList{u"%1"_s};
        QTest::newRow("quoted words and a path inside a word")
            << QString() << u"テスト 画像/三国 志.sfc"_s << u"-a \"b c\" --rom=%1 %1"_s
            << QStringList{u"-a"_s, u"b c"_s, u"--rom=%1"_s, u"%1"_s};
    }

    void environmentEmulator_pathsArriveWhole()
    {
        QFETCH(QString, programFolder);
        QFETCH(QString, imageName);
        QFETCH(QString, words);
        QFETCH(QStringList, expected);
        EditorSession session;
        QVERIFY(session.active);
        StandIn standIn;
        QString program = standIn.program;
        if (!programFolder.isEmpty()) {
            program = session.dir.filePath(programFolder);
            if (const QString suffix = QFileInfo(standIn.program).suffix(); !suffix.isEmpty())
                program += u'.' + suffix;
            QVERIFY(QDir().mkpath(QFileInfo(program).absolutePath()));
            QVERIFY(QFile::copy(standIn.program, program));
        }
        const QString image = session.dir.filePath(imageName);
        QVERIFY(QDir().mkpath(QFileInfo(image).absolutePath()));
        // The headerless form where the name says so: the temporary image keeps the form.
        const QByteArray bytes = SampleImage::generate().mid(imageName.endsWith(u".sfc"_s) ? 0x200 : 0);
        QVERIFY(writeFileBytes(image, bytes));
        session.main().openImage(image);
        QCOMPARE(session.caption(), captionNaming(image));
        EmulatorSetting stored;
        stored.program = session.dir.filePath(u"not the one.exe"_s);
        QVERIFY(stored.store());
        setEmulatorVariable(standIn.commandLine(program, words));
        ModalCloser closer;
        pressF5(session);
        QVERIFY(standIn.waitDone());
        QCOMPARE(closer.texts, QStringList());
        const QStringList images = session.main().testPlay().images();
        QCOMPARE(images.size(), 1);
        QCOMPARE(QFileInfo(images.first()).fileName(), QFileInfo(image).fileName());
        const QString path = QDir::toNativeSeparators(images.first());
        for (QString& argument : expected)
            argument.replace(u"%1"_s, path);
        QCOMPARE(standIn.arguments(), expected);
        QCOMPARE(standIn.image(), bytes);
    }

    // A program that cannot be started: a message naming it and why, and nothing else.
    void programThatCannotStart_isNamedWithTheReason_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<bool>("inFolder"); // a path in the session's folder, or a bare name
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << u"ない/emu.exe"_s << true << u"ファイルが見つかりません"_s;
        QTest::newRow("a folder") << u"フォルダー"_s << true << u"フォルダーです"_s;
        QTest::newRow("not a program") << u"読んでね.txt"_s << true << u"実行できるファイルではありません"_s;
        QTest::newRow("a name not on PATH") << u"tavrin-no-such-emulator"_s << false << u"PATH"_s;
    }

    void programThatCannotStart_isNamedWithTheReason()
    {
        QFETCH(QString, program);
        QFETCH(bool, inFolder);
        QFETCH(QString, reason);
        EditorSession session;
        QVERIFY(session.active);
        QVERIFY(QDir(session.dir.path()).mkdir(u"フォルダー"_s));
        QVERIFY(writeFileBytes(session.dir.filePath(u"読んでね.txt"_s), "text"));
        const QString path = inFolder ? session.dir.filePath(program) : program;
        setEmulatorVariable(u"\"%1\" %2"_s.arg(QDir::toNativeSeparators(path), u"%1"_s));
        const Untouched before(session);
        ModalCloser closer;
        pressF5(session);
        QCOMPARE(closer.texts.size(), 1);
        QCOMPARE(closer.titles, QStringList{EditorState::applicationTitle()});
        QVERIFY2(closer.texts.first().contains(u"「%1」"_s.arg(QDir::toNativeSeparators(path))),
                 qUtf8Printable(closer.texts.first()));
        QVERIFY2(closer.texts.first().contains(reason), qUtf8Printable(closer.texts.first()));
        QCOMPARE(session.main().testPlay().images(), QStringList());
        QVERIFY(Untouched(session) == before);
    }

    // Each window keeps its last three images and removes them when it goes.
    void images_atMostThree_removedWithTheWindow()
    {
        EditorSession session;
        QVERIFY(session.active);
        StandIn standIn;
        setEmulatorVariable(standIn.commandLine(standIn.program));
        QStringList handedOver;
        for (int run = 0; run < 5; ++run) {
            standIn.reset();
            pressF5(session);
            QVERIFY(standIn.waitDone());
            handedOver << QDir::fromNativeSeparators(standIn.arguments().value(0));
            QVERIFY(QFile::exists(handedOver.last()));
        }
        QCOMPARE(handedOver.size(), 5);
        QCOMPARE(QSet<QString>(handedOver.begin(), handedOver.end()).size(), 5);
        QCOMPARE(session.main().testPlay().images(), handedOver.mid(2));
        for (qsizetype i = 0; i < handedOver.size(); ++i) {
            QCOMPARE(QFile::exists(handedOver[i]), i >= 2);
            QCOMPARE(QFileInfo::exists(QFileInfo(handedOver[i]).absolutePath()), i >= 2);
        }
        session.window.reset();
        for (const QString& image : std::as_const(handedOver))
            QVERIFY2(!QFileInfo::exists(QFileInfo(image).absolutePath()), qUtf8Printable(image));
    }

    void withoutAnImage_doesNothing_data()
    {
        QTest::addColumn<bool>("variable");
        QTest::newRow("TAVRIN_EMULATOR set") << true;
        QTest::newRow("nothing chosen") << false;
    }

    void withoutAnImage_doesNothing()
    {
        QFETCH(bool, variable);
        EditorSession session(false);
        QVERIFY(session.active);
        StandIn standIn;
        if (variable)
            setEmulatorVariable(standIn.commandLine(standIn.program));
        ModalCloser closer;
        pressF5(session);
        session.main().fileItem(11)->trigger();
        QCOMPARE(closer.dialogTitles, QStringList());
        QCOMPARE(closer.texts, QStringList());
        QCOMPARE(session.main().testPlay().images(), QStringList());
        QCOMPARE(session.caption(), EditorState::applicationTitle());
    }
};

TAVRIN_TEST(TestPlayTest)
#include "testplaytest.moc"
