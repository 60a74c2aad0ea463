#include "emulatorlauncher.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <algorithm>

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

// Windows runs a batch file through cmd.exe, which reads the command line once more: an argument
// holding one of its command characters (an image named "x&del ...&.smc", "%PATH%") would run commands
// or change, and quoting cannot keep "%" from it. Such arguments are not handed to a batch file at all.
[[maybe_unused]] QString batchFileProblem(const QString& program, const QStringList& arguments)
{
    const QString suffix = QFileInfo(program).suffix().toLower();
    if (suffix != u"bat"_s && suffix != u"cmd"_s)
        return {};
    const QString commandCharacters = u"&|<>^%\"\r\n"_s;
    for (const QString& argument : arguments)
        if (std::any_of(argument.cbegin(), argument.cend(), [&](QChar c) { return commandCharacters.contains(c); }))
            return u"バッチファイル（.bat、.cmd）には、cmd.exe が命令として読む文字（& | < > ^ % \"）を含む引数を"
                   u"渡せません。イメージのファイル名とフォルダー名からこれらの文字を除くか、エミュレーターのプログラム"
                   u"その"
                   u"ものを選んでください。\n引数: %1"_s.arg(argument);
    return {};
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
    const QString program = resolve(command.program(), why);
#ifdef Q_OS_WIN
    if (const QString problem = batchFileProblem(program, command.argumentsFor(imagePath)); !problem.isEmpty())
        return cannotStart(command.program(), problem);
#endif
    QProcess process;
    process.setProgram(QDir::toNativeSeparators(program));
    // Qt quotes each argument as the system expects (on Windows, the convention of its C runtime), so
    // a path with spaces reaches the emulator as one argument.
    process.setArguments(command.argumentsFor(imagePath));
    if (!process.startDetached())
        return cannotStart(command.program(),
                           u"システムがプログラムを起動できませんでした（%1）。"_s.arg(process.errorString()));
    return FileResult::done();
}
