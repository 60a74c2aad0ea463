#include "patchcommand.h"

#include "argumentparser.h"
#include "atomicfile.h"
#include "destination.h"
#include "patchfile.h"
#include "romfile.h"

#include <QDir>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace cli {
namespace {

Exit run(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    ArgumentParser parser(patchSubcommand().synopsis, patchSubcommand().summary);
    const QCommandLineOption output({u"o"_s, u"output"_s}, u"パッチの書き出し先（.ips または .bps）。"_s, u"OUT"_s);
    parser.addOption(output);
    if (const auto exit = parser.parse(arguments, 2, out, err))
        return *exit;
    const QStringList files = parser.parser().positionalArguments();
    const QString destination = parser.parser().value(output);
    if (destination.isEmpty()) {
        parser.complain(err, u"書き出し先を -o で指定してください。"_s);
        return Exit::Failure;
    }
    if (!Destination::writesNoInput(parser, {destination}, {{u"ORIGINAL"_s, files.at(0)}, {u"MODIFIED"_s, files.at(1)}},
                                    err))
        return Exit::Failure;
    const std::optional<PatchFormat> format = PatchFile::formatForName(destination);
    if (!format) {
        parser.complain(err, u"書き出し先の拡張子は .ips か .bps にしてください: "_s + QDir::toNativeSeparators(destination));
        return Exit::Failure;
    }

    QByteArray original;
    QByteArray modified;
    ImageForm originalForm = ImageForm::CopierHeader;
    ImageForm modifiedForm = ImageForm::CopierHeader;
    for (const FileResult& read : {romfile::ReadImage(files.at(0), original, &originalForm),
                                   romfile::ReadImage(files.at(1), modified, &modifiedForm)}) {
        if (!read.isDone()) {
            parser.complain(err, read.message());
            return Exit::Failure;
        }
    }
    if (originalForm != modifiedForm) {
        parser.complain(err, u"二つのイメージの形式が違います（元: %1、変更後: %2）。パッチは書きませんでした。"_s.arg(
                                 imageFormName(originalForm), imageFormName(modifiedForm)));
        return Exit::Refused;
    }
    if (original == modified) {
        parser.complain(err, u"二つのイメージに違いがありません。パッチは書きませんでした。"_s);
        return Exit::Refused;
    }
    const PatchOutcome patch = PatchFile::create(*format, original, modified);
    if (!patch.ok()) {
        parser.complain(err, patch.error);
        return Exit::Refused;
    }
    const FileResult written = atomicfile::replace(destination, patch.bytes);
    if (!written.isDone()) {
        parser.complain(err, written.message());
        return Exit::Failure;
    }
    out << QDir::toNativeSeparators(destination) << u": "_s << patch.bytes.size() << u" バイト\n"_s;
    return Exit::Success;
}

} // namespace

Subcommand patchSubcommand()
{
    return {u"patch"_s, u"patch ORIGINAL MODIFIED -o OUT.ips|OUT.bps"_s,
            u"元のイメージを変更後のイメージに変える IPS または BPS パッチを書き出します。"_s, &run};
}

} // namespace cli
