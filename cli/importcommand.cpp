#include "importcommand.h"

#include "argumentparser.h"
#include "destination.h"
#include "document.h"
#include "imageloader.h"
#include "tableimport.h"

#include <QDir>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace cli {

Subcommand importSubcommand()
{
    return {u"import"_s, u"import IMAGE FILE... (-o OUT | --in-place) [--fix-checksum]"_s,
            u"TSV か CSV のファイルを読み込んで新しいイメージに保存します。"_s, &runImport};
}

Exit runImport(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    ArgumentParser parser(importSubcommand().synopsis, importSubcommand().summary);
    parser.setDetails(
        u"FILE (export で書き出した表のファイル) を IMAGE に読み込み、OUT に保存します。どれかの FILE が表の"
        u"ファイルでなければ何も保存しません。IMAGE は --in-place のときだけ書き換えます。"_s);
    parser.addArgument(u"IMAGE"_s, u"読み込むイメージファイル"_s);
    parser.addArgument(u"FILE..."_s, u"表のファイル (.tsv か .csv)"_s);
    const Destination destination;
    destination.addTo(parser);
    const QCommandLineOption fixChecksum(u"fix-checksum"_s, u"保存するときにチェックサムを直します。"_s);
    parser.addOption(fixChecksum);
    if (const auto exit = parser.parse(arguments, 0, out, err, true))
        return *exit;

    const QStringList positional = parser.parser().positionalArguments();
    if (positional.size() < 2) {
        parser.usageError(err, positional.isEmpty() ? u"IMAGE と FILE がありません。"_s : u"FILE がありません。"_s);
        return Exit::Failure;
    }
    const QString image = positional.front();
    QList<Input> inputs{{u"IMAGE"_s, image}};
    for (const QString& file : positional.mid(1))
        inputs.append({u"FILE"_s, file});
    const std::optional<QString> target = destination.resolve(parser, inputs, err);
    if (!target)
        return Exit::Failure;

    Document doc;
    if (!openImage(doc, image, parser, err))
        return Exit::Failure;
    // Every file is checked before the first is applied: one bad file leaves the image untouched.
    QList<TableImport::CheckedFile> files;
    bool allChecked = true;
    for (const QString& path : positional.mid(1)) {
        QString error;
        if (std::optional<TableImport::CheckedFile> checked = TableImport::check(doc, path, &error))
            files.append(std::move(*checked));
        else {
            parser.complain(err, error);
            allChecked = false;
        }
    }
    if (!allChecked) {
        parser.complain(err, u"何も保存していません。"_s);
        return Exit::Failure;
    }

    int stored = 0;
    int unchanged = 0;
    bool problems = false;
    for (const TableImport::CheckedFile& file : files) {
        const ExchangeReport report = TableImport::apply(doc, file);
        stored += report.stored();
        unchanged += report.unchanged();
        if (report.hasProblems()) {
            problems = true;
            err << QDir::toNativeSeparators(file.path) << u":\n"_s << report.message() << u"\n"_s;
        }
    }
    if (parser.parser().isSet(fixChecksum))
        doc.setChecksumRequest(ChecksumRequest::fix());
    const FileResult saved = doc.save(*target);
    if (!saved.isDone()) {
        parser.complain(err, saved.message().isEmpty() ? *target + u" に保存できません。"_s : saved.message());
        return Exit::Failure;
    }
    err << u"%1 個のセルを書き込みました (%2 個は元のままでした)。%3 に保存しました。\n"_s.arg(stored)
               .arg(unchanged)
               .arg(QDir::toNativeSeparators(*target));
    if (parser.parser().isSet(fixChecksum))
        err << u"チェックサムを直しました。\n"_s;
    return problems ? Exit::Refused : Exit::Success;
}

} // namespace cli
