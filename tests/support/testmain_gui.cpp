#include "modalguard.h"
#include "testregistry.h"

#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

int main(int argc, char** argv)
{
    // Widget tests run without a display unless the caller chose a platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The emulator for test play comes from the tests alone, never from the caller's environment.
    qunsetenv("TAVRIN_EMULATOR");
#ifndef Q_OS_WIN
    // Test mode keeps application data (the recovery files of every window a test leaves with edits)
    // under HOME: a folder of this run's own, gone with it. On Windows it lies in a test folder of the
    // user's AppData whatever HOME says.
    const QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
#endif
    QApplication app(argc, argv);
    // No test reads or writes this user's settings: every QSettings of the run is a file in a folder
    // of its own (on Windows too, where the default would be the registry).
    const QTemporaryDir settings;
    // Qt writes no settings for a program without an organisation.
    QCoreApplication::setOrganizationName(QStringLiteral("Tavrin"));
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    // A question nobody answers fails its test within seconds instead of hanging the run.
    ModalGuard guard;
    return TestRegistry::run(argc, argv);
}
