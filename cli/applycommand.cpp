#include "applycommand.h"

#include "argumentparser.h"
#include "atomicfile.h"
#include "patchfile.h"
#include "romfile.h"

#include <QDir>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace cli {
namespace {

Exit run(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    ArgumentParser parser(applySubcommand().synopsis, applySubcommand().summary);
    const QCommandLineOption output({u"o"_s, u"output"_s}, u"パッチを当てたイメージの書き出し先。"_s, u"OUT"_s);
    const QCommandLineOption inPlace(u"in-place"_s, u"イメージそのものを書き換えます。"_s);
    parser.addOption(output);
    parser.addOption(inPlace);
    if (const auto exit = parser.parse(arguments, 2, out, err))
        return *exit;
    const QStringList files = parser.parser().positionalArguments();
    const bool toOutput = parser.parser().isSet(output);
    if (toOutput == parser.parser().isSet(inPlace) || (toOutput && parser.parser().value(output).isEmpty())) {
        parser.complain(err, u"-o OUT か --in-place のどちらか一方を指定してください。"_s);
        return Exit::Failure;
    }
    const QString destination = toOutput ? parser.parser().value(output) : files.at(0);

    QByteArray image;
    QByteArray patch;
    for (const FileResult& read : {romfile::ReadImage(files.at(0), image),
                                   romfile::ReadWholeFile(files.at(1), PatchFile::MaximumSize, patch)}) {
        if (!read.isDone()) {
            parser.complain(err, read.message());
            return Exit::Failure;
        }
    }
    const PatchOutcome patched = PatchFile::apply(image, patch);
    if (!patched.ok()) {
        parser.complain(err, QDir::toNativeSeparators(files.at(1)) % u": "_s % patched.error %
                                 u"\n何も書き込みませんでした。"_s);
        return Exit::Refused;
    }
    const FileResult written = atomicfile::replace(destination, patched.bytes);
    if (!written.isDone()) {
        parser.complain(err, written.message());
        return Exit::Failure;
    }
    out << QDir::toNativeSeparators(destination) << u": "_s << patched.bytes.size() << u" バイト\n"_s;
    return Exit::Success;
}

} // namespace

Subcommand applySubcommand()
{
    return {u"apply"_s, u"apply IMAGE PATCH (-o OUT | --in-place)"_s,
            u"イメージに IPS または BPS パッチを当てます。"_s, &run};
}

} // namespace cli
