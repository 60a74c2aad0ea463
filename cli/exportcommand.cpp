#include "exportcommand.h"

#include "imageloader.h"
#include "document.h"
#include "imagetext.h"
#include "tableexport.h"
#include "tableformat.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace cli {

namespace {

const QString Synopsis = u"export IMAGE [-t TABLE] [-f tsv|csv] [-o PATH] | export IMAGE --text"_s;
const QString TableNames = u"officers, cities, items, forces, placement"_s;

} // namespace

Subcommand exportSubcommand()
{
    return {u"export"_s, Synopsis, u"表を TSV か CSV のファイルに書き出します。"_s, &runExport};
}

Exit runExport(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    const QString command = u"export"_s;
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"IMAGE の表を書き出します。-t があれば一つの表を -o のファイルか標準出力へ、なければ五つの表を "
        u"PATH のフォルダー (既定は今のフォルダー) へ officers.tsv などの名前で書き出します。"_s);
    const QCommandLineOption table({u"t"_s, u"table"_s}, u"書き出す表: "_s + TableNames, u"TABLE"_s);
    const QCommandLineOption format({u"f"_s, u"format"_s}, u"ファイルの形式: tsv (既定) か csv"_s, u"FORMAT"_s,
                                    u"tsv"_s);
    const QCommandLineOption output({u"o"_s, u"output"_s}, u"書き出し先: -t のときはファイルかフォルダー、ないときはフォルダー"_s, u"PATH"_s);
    const QCommandLineOption text(u"text"_s, u"五つの表を一つのテキストとして標準出力へ (git diff の textconv 用)"_s);
    parser.addOptions({table, format, output, text});
    parser.addPositionalArgument(u"IMAGE"_s, u"読み込むイメージファイル"_s);
    bool helped = false;
    if (!parseArguments(parser, arguments, Synopsis, out, err, helped))
        return helped ? Exit::Success : Exit::Failure;

    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1) {
        usageError(command, positional.isEmpty() ? u"IMAGE がありません。"_s : u"IMAGE は一つだけ指定してください。"_s,
                   err);
        return Exit::Failure;
    }
    const std::optional<FileFormat> fileFormat = TableFormat::formatByName(parser.value(format));
    if (!fileFormat) {
        usageError(command, u"形式「%1」は使えません。tsv か csv を指定してください。"_s.arg(parser.value(format)), err);
        return Exit::Failure;
    }
    if (parser.isSet(text) && (parser.isSet(table) || parser.isSet(format) || parser.isSet(output))) {
        usageError(command, u"--text は -t、-f、-o と一緒には使えません。"_s, err);
        return Exit::Failure;
    }
    std::optional<TableId> one;
    if (parser.isSet(table)) {
        one = TableFormat::byName(parser.value(table));
        if (!one) {
            usageError(command, u"表「%1」はありません。%2 のどれかを指定してください。"_s.arg(parser.value(table), TableNames),
                       err);
            return Exit::Failure;
        }
    }

    Document doc;
    if (!openImage(doc, positional.front(), command, err))
        return Exit::Failure;
    if (parser.isSet(text)) {
        out << ImageText::of(doc);
        return Exit::Success;
    }
    if (one && !parser.isSet(output)) {
        out << TableExport::text(doc, *one, *fileFormat);
        return Exit::Success;
    }
    QString path = parser.isSet(output) ? parser.value(output) : u"."_s;
    // One table into an existing folder goes under the table's own name, as all five would.
    if (one && QFileInfo(path).isDir())
        path = QDir(path).filePath(TableFormat::of(*one).fileName(*fileFormat));
    const FileResult written = one ? TableExport::writeFile(doc, *one, *fileFormat, path)
                                   : TableExport::writeFolder(doc, path, *fileFormat);
    if (!written.isDone()) {
        err << u"tavrin export: "_s << written.message() << u"\n"_s;
        return Exit::Failure;
    }
    if (one)
        err << TableFormat::of(*one).name << u" を "_s << QDir::toNativeSeparators(path) << u" に書き出しました。\n"_s;
    else
        err << u"五つの表を "_s << QDir::toNativeSeparators(path) << u" に書き出しました。\n"_s;
    return Exit::Success;
}

} // namespace cli
