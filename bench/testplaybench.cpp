#include "editsession.h"
#include "emulatorlauncher.h"
#include "emulatorsetting.h"
#include "frmmain.h"
#include "grid.h"
#include "gridview.h"
#include "officertable.h"
#include "recoverykeeper.h"
#include "sampleimage.h"
#include "testplaycommand.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Started with this as its first argument, the benchmark is the emulator: it ends at once, since
// only the start is measured.
constexpr const char* EmulatorArgument = "--emulator";

} // namespace

// F5 in the real window on the 1 MiB sample with an unsaved edit, until the emulator's process has
// started: the image composed as a save would write it, written to a temporary file, the process
// started. The user waits on this before the emulator's own start: it must stay under 50 ms.
class TestPlayBench : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<frmMain> m_window;

private Q_SLOTS:
    void init()
    {
        // The window keeps recovery files of unsaved edits: in test mode's folder, not this user's.
        QStandardPaths::setTestModeEnabled(true);
        const QString sample = m_dir.filePath(u"sample.smc"_s);
        SampleImage::write(sample);
        qputenv("TAVRIN_EMULATOR", u"\"%1\" %2 %3"_s
                                       .arg(QDir::toNativeSeparators(QCoreApplication::applicationFilePath()),
                                            QString::fromLatin1(EmulatorArgument), u"%1"_s)
                                       .toUtf8());
        m_window = std::make_unique<frmMain>(QStringList{u"tavrin-editor"_s, sample});
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        Grid& grid = m_window->document().grid(TableId::Officer);
        m_window->session().record(TableId::Officer, u"bench"_s, [&] {
            grid.setCurrentCell(10, 3);
            grid.setText(10, 3, u"1"_s);
            m_window->document().officers().storeCell();
        });
        m_window->view(TableId::Officer)->setFocus();
    }

    void cleanup()
    {
        // Gone as a closed window goes, not as a crashed one: the next function opens the same file.
        m_window->recovery().finish();
        m_window.reset();
        qunsetenv("TAVRIN_EMULATOR");
    }

    void f5UntilTheEmulatorStarted()
    {
        // A program that cannot start would stop the run with a message box.
        QVERIFY(EmulatorLauncher::check(EmulatorSetting::current()).isDone());
        QBENCHMARK
        {
            QTest::keyClick(m_window->view(TableId::Officer), Qt::Key_F5);
        }
        QVERIFY(!m_window->testPlay().images().isEmpty());
    }

    // The parts of the figure above: the image as a save would write it, and the start of the
    // emulator on a file already written; the rest is the write of the temporary file.
    void composeAlone()
    {
        QByteArray image;
        QBENCHMARK
        {
            QVERIFY(m_window->document().composeSavedImage(image).isDone());
        }
    }

    void startAlone()
    {
        const QString image = m_dir.filePath(u"sample.smc"_s);
        QBENCHMARK
        {
            QVERIFY(EmulatorLauncher::start(EmulatorSetting::current(), image).isDone());
        }
    }
};

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], EmulatorArgument) == 0)
        return 0;
    QApplication app(argc, argv);
    TestPlayBench bench;
    return QTest::qExec(&bench, argc, argv);
}

#include "testplaybench.moc"
