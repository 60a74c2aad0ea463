#include "applycommand.h"

#include "argumentparser.h"
#include "atomicfile.h"
#include "cartridgechecksum.h"
#include "destination.h"
#include "patchfile.h"
#include "patchformoption.h"
#include "patchsequence.h"
#include "romfile.h"

#include <QDir>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace cli {
namespace {

Exit run(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    ArgumentParser parser(applySubcommand().synopsis, applySubcommand().summary);
    const Destination destination;
    destination.addTo(parser);
    const PatchFormOption patchForm;
    patchForm.addTo(parser);
    const QCommandLineOption fixChecksum(u"fix-checksum"_s, u"書き出す前にチェックサムを直します。"_s);
    parser.addOption(fixChecksum);
    if (const auto exit = parser.parse(arguments, 2, out, err, true))
        return *exit;
    const QStringList files = parser.parser().positionalArguments();
    QList<Input> inputs{{u"IMAGE"_s, files.at(0)}};
    for (const QString& file : files.mid(1))
        inputs.append({u"PATCH"_s, file});
    const std::optional<QString> target = destination.resolve(parser, inputs, err);
    if (!target)
        return Exit::Failure;
    PatchSequence::IpsForm ipsForm;
    if (!patchForm.read(parser, err, ipsForm))
        return Exit::Failure;

    // Every file is read before the first patch is applied.
    QByteArray image;
    if (const FileResult read = romfile::ReadImage(files.at(0), image); !read.isDone()) {
        parser.complain(err, read.message());
        return Exit::Failure;
    }
    QList<QByteArray> patches;
    for (const QString& file : files.mid(1)) {
        QByteArray patch;
        if (const FileResult read = romfile::ReadWholeFile(file, PatchFile::MaximumSize, patch); !read.isDone()) {
            parser.complain(err, read.message());
            return Exit::Failure;
        }
        patches.append(patch);
    }

    PatchSequence sequence(image);
    for (qsizetype k = 0; k < patches.size(); ++k) {
        const qsizetype notesBefore = sequence.notes().size();
        if (const QString refused = sequence.apply(patches.at(k), ipsForm); !refused.isEmpty()) {
            parser.complain(err, QDir::toNativeSeparators(files.at(k + 1)) % u": "_s % refused %
                                     u"\n何も書き込みませんでした。"_s);
            return Exit::Refused;
        }
        if (sequence.notes().size() > notesBefore)
            out << QDir::toNativeSeparators(files.at(k + 1)) << u": "_s << sequence.notes().last() << u'\n';
    }
    QByteArray result = sequence.image();
    if (parser.parser().isSet(fixChecksum)) {
        const ImageForm form = imageFormForSize(result.size());
        if (!CartridgeChecksum::fix(result, form)) {
            parser.complain(err, u"結果が短すぎてカートリッジヘッダーがないため、チェックサムを直せません。\n何も書き込みませんでした。"_s);
            return Exit::Refused;
        }
        out << u"チェックサムを "_s << CartridgeChecksum::hexText(*CartridgeChecksum::compute(result, form))
            << u" に直しました。\n"_s;
    }
    if (const FileResult written = atomicfile::replace(*target, result); !written.isDone()) {
        parser.complain(err, written.message());
        return Exit::Failure;
    }
    out << QDir::toNativeSeparators(*target) << u": "_s << result.size() << u" バイト\n"_s;
    return Exit::Success;
}

} // namespace

Subcommand applySubcommand()
{
    return {u"apply"_s,
            u"apply IMAGE PATCH... (-o OUT | --in-place) [--patch-form header|headerless] [--fix-checksum]"_s,
            u"イメージに IPS か BPS のパッチを順に当てます。一つでも当てられなければ何も書き込みません。"_s, &run};
}

} // namespace cli
