#include "subcommand.h"

#include "applycommand.h"
#include "diffcommand.h"
#include "exportcommand.h"
#include "fixchecksumcommand.h"
#include "headercommand.h"
#include "importcommand.h"
#include "infocommand.h"
#include "mergecommand.h"
#include "patchcommand.h"
#include "setcommand.h"

#include <QCoreApplication>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace cli {

const QList<Subcommand>& subcommands()
{
    // Each subcommand adds its line here.
    static const QList<Subcommand> all{
        exportSubcommand(),
        importSubcommand(),
        setSubcommand(),
        diffSubcommand(),
        mergeSubcommand(),
        infoSubcommand(),
        patchSubcommand(),
        applySubcommand(),
        fixChecksumSubcommand(),
        headerSubcommand(),
    };
    return all;
}

namespace {

void printUsage(QTextStream& stream)
{
    stream << u"使い方: tavrin SUBCOMMAND [OPTIONS] ...\n"_s;
    stream << u"\nサブコマンド:\n"_s;
    for (const Subcommand& command : subcommands())
        stream << u"  "_s << command.synopsis << u"\n      "_s << command.summary << u"\n"_s;
    stream << u"\n各サブコマンドのオプションは tavrin SUBCOMMAND --help で表示されます。\n"_s;
}

} // namespace

namespace {

Exit dispatch(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    const QString first = arguments.value(1);
    if (first == u"--help"_s || first == u"-h"_s) {
        printUsage(out);
        return Exit::Success;
    }
    if (first == u"--version"_s || first == u"-v"_s) {
        out << u"tavrin "_s << QCoreApplication::applicationVersion() << u"\n"_s;
        return Exit::Success;
    }
    for (const Subcommand& command : subcommands())
        if (command.name == first)
            return command.run(arguments.mid(1), out, err);
    if (first.isEmpty())
        err << u"tavrin: サブコマンドがありません。\n"_s;
    else
        err << u"tavrin: 不明なサブコマンドです: "_s << first << u"\n"_s;
    printUsage(err);
    return Exit::Failure;
}

} // namespace

int runCommandLine(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    const Exit code = dispatch(arguments, out, err);
    // Every subcommand's output goes through `out`: a full disk or a closed pipe behind it means the
    // job's result never arrived, whatever the job itself made of it.
    out.flush();
    if (out.status() != QTextStream::Ok) {
        const QIODevice* device = out.device();
        err << u"tavrin: 標準出力に書き込めませんでした"_s
            << (device && !device->errorString().isEmpty() ? u": "_s + device->errorString() : QString()) << u"\n"_s;
        return int(Exit::Failure);
    }
    return int(code);
}

} // namespace cli
