#include "headercommand.h"

#include "argumentparser.h"
#include "atomicfile.h"
#include "copierheader.h"
#include "destination.h"
#include "romfile.h"

#include <QDir>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace cli {
namespace {

Exit run(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    ArgumentParser parser(headerSubcommand().synopsis, headerSubcommand().summary);
    // The form changes, so the image itself is never the destination: a window that has it open
    // would otherwise save its tables at the old positions.
    const Destination destination(Destination::InPlace::NotOffered);
    destination.addTo(parser);
    if (const auto exit = parser.parse(arguments, 2, out, err))
        return *exit;
    const QStringList positional = parser.parser().positionalArguments();
    const QString action = positional.at(0);
    const QString path = positional.at(1);
    if (action != u"add"_s && action != u"remove"_s) {
        parser.complain(err, u"「%1」はできません。add か remove を指定してください。"_s.arg(action));
        return Exit::Failure;
    }
    const std::optional<QString> target = destination.resolve(parser, {{u"IMAGE"_s, path}}, err);
    if (!target)
        return Exit::Failure;

    QByteArray image;
    if (const FileResult read = romfile::ReadImage(path, image); !read.isDone()) {
        parser.complain(err, read.message());
        return Exit::Failure;
    }
    const PatchOutcome converted = action == u"add"_s ? CopierHeader::added(image) : CopierHeader::removed(image);
    if (!converted.ok()) {
        parser.complain(err, QDir::toNativeSeparators(path) % u": "_s % converted.error % u"\n何も書き込みませんでした。"_s);
        return Exit::Refused;
    }
    if (const FileResult written = atomicfile::replace(*target, converted.bytes); !written.isDone()) {
        parser.complain(err, written.message());
        return Exit::Failure;
    }
    out << QDir::toNativeSeparators(*target) << u": "_s
        << (action == u"add"_s ? u"コピアヘッダーを付けました"_s : u"コピアヘッダーを外しました"_s) << u"（"_s
        << converted.bytes.size() << u" バイト）\n"_s;
    return Exit::Success;
}

} // namespace

Subcommand headerSubcommand()
{
    return {u"header"_s, u"header add|remove IMAGE -o OUT"_s,
            u"512 バイトのコピアヘッダー (すべて 0) を付けるか、外します。"_s, &run};
}

} // namespace cli
