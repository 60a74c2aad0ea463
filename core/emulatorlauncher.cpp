#include "emulatorlauncher.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace {

FileResult cannotStart(const QString& program, const QString& reason)
{
    return FileResult::failed(u"エミュレーター「%1」を起動できませんでした。\n%2"_s.arg(program, reason));
}

bool namesAFolderPath(const QString& program)
{
    return program.contains(u'/') || program.contains(QDir::separator());
}

// The file the system would run: a path as given, a bare name looked up on PATH. Empty when none is,
// with the reason in `why`.
QString resolve(const QString& program, QString& why)
{
    if (!namesAFolderPath(program)) {
        const QString found = QStandardPaths::findExecutable(program);
        if (found.isEmpty())
            why = u"この名前のプログラムが PATH のフォルダーにありません。"_s;
        return found;
    }
    const QFileInfo file(program);
    if (!file.exists())
        why = u"ファイルが見つかりません。"_s;
    else if (file.isDir())
        why = u"フォルダーです。プログラムのファイルを選んでください。"_s;
    else if (!file.isExecutable())
        why = u"実行できるファイルではありません。"_s;
    else
        return file.absoluteFilePath();
    return QString();
}

} // namespace

FileResult EmulatorLauncher::check(const EmulatorCommand& command)
{
    if (command.isEmpty())
        return FileResult::failed(
            u"エミュレーターが選ばれていません。ファイル > テストプレイの設定... で選んでください。"_s);
    QString why;
    if (resolve(command.program(), why).isEmpty())
        return cannotStart(command.program(), why);
    return FileResult::done();
}

FileResult EmulatorLauncher::start(const EmulatorCommand& command, const QString& imagePath)
{
    if (const FileResult checked = check(command); !checked.isDone())
        return checked;
    QString why;
    QProcess process;
    process.setProgram(QDir::toNativeSeparators(resolve(command.program(), why)));
    // Qt quotes each argument as the system expects (on Windows, the convention of its C runtime), so
    // a path with spaces reaches the emulator as one argument.
    process.setArguments(command.argumentsFor(imagePath));
    if (!process.startDetached())
        return cannotStart(command.program(),
                           u"システムがプログラムを起動できませんでした（%1）。"_s.arg(process.errorString()));
    return FileResult::done();
}
