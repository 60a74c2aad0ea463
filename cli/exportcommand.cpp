#include "exportcommand.h"

#include "argumentparser.h"
#include "destination.h"
#include "document.h"
#include "imageloader.h"
#include "imagetext.h"
#include "namelist.h"
#include "tableexport.h"
#include "tableformat.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace cli {

namespace {

const QString TableNames = u"officers, cities, items, forces, placement"_s;

} // namespace

Subcommand exportSubcommand()
{
    return {u"export"_s, u"export IMAGE [-t TABLE] [-f tsv|csv] [-o PATH] [--names FILE] | export IMAGE --text [--names FILE]"_s,
            u"表を TSV か CSV のファイルに書き出します。"_s, &runExport};
}

Exit runExport(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    ArgumentParser parser(exportSubcommand().synopsis, exportSubcommand().summary);
    parser.setDetails(
        u"IMAGE の表を書き出します。-t があれば一つの表を -o のファイルか標準出力へ、なければ五つの表を "
        u"PATH のフォルダー (既定は今のフォルダー) へ officers.tsv などの名前で書き出します。"_s);
    parser.addArgument(u"IMAGE"_s, u"読み込むイメージファイル"_s);
    const QCommandLineOption table({u"t"_s, u"table"_s}, u"書き出す表: "_s + TableNames, u"TABLE"_s);
    const QCommandLineOption format({u"f"_s, u"format"_s}, u"ファイルの形式: tsv (既定) か csv"_s, u"FORMAT"_s,
                                    u"tsv"_s);
    const QCommandLineOption output({u"o"_s, u"output"_s}, u"書き出し先: -t のときはファイルかフォルダー、ないときはフォルダー"_s, u"PATH"_s);
    const QCommandLineOption text(u"text"_s, u"五つの表を一つのテキストとして標準出力へ (git diff の textconv 用)"_s);
    const QCommandLineOption names(u"names"_s,
                                   u"配置の名前の列を埋める名前リスト (Shift-JIS、一行に一人)。--text はこれがあるときだけ名前を入れます"_s,
                                   u"FILE"_s);
    for (const QCommandLineOption& option : {table, format, output, text, names})
        parser.addOption(option);
    if (const auto exit = parser.parse(arguments, 0, out, err, true))
        return *exit;

    const QCommandLineParser& given = parser.parser();
    const QStringList positional = given.positionalArguments();
    if (positional.size() != 1) {
        parser.usageError(err, positional.isEmpty() ? u"IMAGE がありません。"_s : u"IMAGE は一つだけ指定してください。"_s);
        return Exit::Failure;
    }
    const std::optional<FileFormat> fileFormat = TableFormat::formatByName(given.value(format));
    if (!fileFormat) {
        parser.usageError(err, u"形式「%1」は使えません。tsv か csv を指定してください。"_s.arg(given.value(format)));
        return Exit::Failure;
    }
    if (given.isSet(text) && (given.isSet(table) || given.isSet(format) || given.isSet(output))) {
        parser.usageError(err, u"--text は -t、-f、-o と一緒には使えません。"_s);
        return Exit::Failure;
    }
    std::optional<TableId> one;
    if (given.isSet(table)) {
        one = TableFormat::byName(given.value(table));
        if (!one) {
            parser.usageError(err, u"表「%1」はありません。%2 のどれかを指定してください。"_s.arg(given.value(table), TableNames));
            return Exit::Failure;
        }
    }

    QList<Input> inputs{{u"IMAGE"_s, positional.front()}};
    if (given.isSet(names))
        inputs.append({u"--names FILE"_s, given.value(names)});
    QString path = given.isSet(output) ? given.value(output) : u"."_s;
    // One table into an existing folder goes under the table's own name, as all five would.
    if (one && QFileInfo(path).isDir())
        path = QDir(path).filePath(TableFormat::of(*one).fileName(*fileFormat));
    QStringList targets;
    if (one && given.isSet(output))
        targets.append(path);
    else if (!one && !given.isSet(text))
        for (const TableId id : AllTables)
            targets.append(QDir(path).filePath(TableFormat::of(id).fileName(*fileFormat)));
    if (!Destination::writesNoInput(parser, targets, inputs, err))
        return Exit::Failure;

    NameList list;
    Document doc;
    if (given.isSet(names)) {
        const QString file = QFileInfo(given.value(names)).absoluteFilePath();
        std::optional<NameList> read = NameList::read(file);
        if (!read) {
            parser.complain(err, u"名前リスト %1 を読み込めません (ないか、空のファイルです)。"_s.arg(
                                     QDir::toNativeSeparators(given.value(names))));
            return Exit::Failure;
        }
        list = std::move(*read);
        // The tables written as files take the names from the document, which reads this list then.
        doc.setNameListPath(file);
    }
    if (!openImage(doc, positional.front(), parser, err))
        return Exit::Failure;
    if (given.isSet(text)) {
        out << ImageText::of(doc, list);
        return Exit::Success;
    }
    if (one && !given.isSet(output)) {
        out << TableExport::text(doc, *one, *fileFormat);
        return Exit::Success;
    }
    const FileResult written = one ? TableExport::writeFile(doc, *one, *fileFormat, path)
                                   : TableExport::writeFolder(doc, path, *fileFormat);
    if (!written.isDone()) {
        parser.complain(err, written.message());
        return Exit::Failure;
    }
    if (one)
        err << TableFormat::of(*one).name << u" を "_s << QDir::toNativeSeparators(path) << u" に書き出しました。\n"_s;
    else
        err << u"五つの表を "_s << QDir::toNativeSeparators(path) << u" に書き出しました。\n"_s;
    return Exit::Success;
}

} // namespace cli
