#include "fixchecksumcommand.h"

#include "argumentparser.h"
#include "atomicfile.h"
#include "cartridgechecksum.h"
#include "destination.h"
#include "romfile.h"

#include <QDir>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace cli {
namespace {

Exit run(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    ArgumentParser parser(fixChecksumSubcommand().synopsis, fixChecksumSubcommand().summary);
    const Destination destination;
    destination.addTo(parser);
    if (const auto exit = parser.parse(arguments, 1, out, err))
        return *exit;
    const QString path = parser.parser().positionalArguments().first();
    const std::optional<QString> target = destination.resolve(parser, {{u"IMAGE"_s, path}}, err);
    if (!target)
        return Exit::Failure;

    QByteArray image;
    ImageForm form = ImageForm::CopierHeader;
    if (const FileResult read = romfile::ReadImage(path, image, &form); !read.isDone()) {
        parser.complain(err, read.message());
        return Exit::Failure;
    }
    const QByteArray before = CartridgeChecksum::storedPair(image, form);
    CartridgeChecksum::fix(image, form);
    const quint16 sum = *CartridgeChecksum::compute(image, form);
    const QString figures = u"チェックサム "_s % CartridgeChecksum::hexText(sum) % u"、補数 "_s %
                            CartridgeChecksum::hexText(sum ^ 0xFFFF);
    // Rewriting a file that is already right would only change its time.
    if (*target == path && CartridgeChecksum::storedPair(image, form) == before) {
        out << QDir::toNativeSeparators(path) << u": "_s << figures << u" はもう正しいので、何も書き込みませんでした。\n"_s;
        return Exit::Success;
    }
    if (const FileResult written = atomicfile::replace(*target, image); !written.isDone()) {
        parser.complain(err, written.message());
        return Exit::Failure;
    }
    out << QDir::toNativeSeparators(*target) << u": "_s << figures << u" を書き込みました。\n"_s;
    return Exit::Success;
}

} // namespace

Subcommand fixChecksumSubcommand()
{
    return {u"fix-checksum"_s, u"fix-checksum IMAGE (-o OUT | --in-place)"_s,
            u"カートリッジヘッダーのチェックサムと補数をイメージの中身に合わせます。ほかのバイトは変えません。"_s, &run};
}

} // namespace cli
