#include "setcommand.h"

#include "argumentparser.h"
#include "batchplan.h"
#include "batchprogram.h"
#include "destination.h"
#include "document.h"
#include "grid.h"
#include "imageloader.h"
#include "rowfilter.h"
#include "table.h"
#include "tableexport.h"
#include "tableformat.h"

#include <QDir>
#include <QTextStream>

#include <variant>

using namespace Qt::StringLiterals;

namespace cli {
namespace {

const QString TableNames = u"officers, cities, items, forces, placement"_s;

// Each value the plan changed, as `tavrin diff` prints a difference: the tables as a fresh fill of the
// blocks shows them before and after, so a capped or rounded value reads as it is stored.
void printChanges(Document& doc, TableId id, const BatchPlan& plan, QTextStream& out)
{
    const TableFormat& format = TableFormat::of(id);
    const QList<QStringList> before = TableExport::rows(doc, id);
    plan.apply(doc.table(id));
    const QList<QStringList> after = TableExport::rows(doc, id);
    const int labels = doc.grid(id).fixedCols();
    for (qsizetype r = 1; r < before.size() && r < after.size(); ++r)
        for (int c = labels; c < before[r].size() && c < after[r].size(); ++c)
            if (c != format.derivedColumn && before[r][c] != after[r][c])
                out << format.name << u' ' << before[r][0] << u' ' << before[0][c] << u": "_s << before[r][c]
                    << u" -> "_s << after[r][c] << u'\n';
}

Exit run(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    ArgumentParser parser(setSubcommand().synopsis, setSubcommand().summary);
    parser.setDetails(
        u"ASSIGNMENTS は「列名 op 式」を ; で区切ったもので、op は = += -= *= /= のどれか、式には数、列名、+ - * /、"
        u"( )、min(…)、max(…) が使えます (例: '武力+=10; 知力*=1.1')。右辺はどれも変更前の行の値を読みます。"
        u"FILTER は画面の絞り込みと同じ言葉で、満たす行だけを変えます。値は入力したときと同じ規則で丸め、"
        u"上限で切り詰めます。0 より小さくなる値があれば何も書き込まず終了コード 1、式や引数の誤りとファイルの"
        u"誤りは 2 です。--dry-run は変わる値を diff と同じ形で一行ずつ表示し、何も書き込みません。"_s);
    parser.addArgument(u"IMAGE"_s, u"変えるイメージファイル"_s);
    parser.addArgument(u"ASSIGNMENTS"_s, u"変え方 (例: '武力+=10')"_s);
    const QCommandLineOption table({u"t"_s, u"table"_s}, u"変える表: "_s + TableNames + u" (既定は officers)"_s,
                                   u"TABLE"_s, u"officers"_s);
    const QCommandLineOption where(u"where"_s, u"変える行の条件 (例: '武力>=90 寿命=0')"_s, u"FILTER"_s);
    const QCommandLineOption dryRun(u"dry-run"_s, u"変わる値を表示するだけで、何も書き込みません。"_s);
    const QCommandLineOption fixChecksum(u"fix-checksum"_s, u"保存するときにチェックサムを直します。"_s);
    const Destination destination;
    destination.addTo(parser);
    for (const QCommandLineOption& option : {table, where, dryRun, fixChecksum})
        parser.addOption(option);
    if (const auto exit = parser.parse(arguments, 2, out, err))
        return *exit;
    const QCommandLineParser& given = parser.parser();
    const QString image = given.positionalArguments().first();
    const std::optional<TableId> id = TableFormat::byName(given.value(table));
    if (!id) {
        parser.usageError(
            err, u"表「%1」はありません。%2 のどれかを指定してください。"_s.arg(given.value(table), TableNames));
        return Exit::Failure;
    }
    const std::optional<QString> target = destination.resolve(parser, {{u"IMAGE"_s, image}}, err);
    if (!target)
        return Exit::Failure;

    Document doc;
    if (!openImage(doc, image, parser, err))
        return Exit::Failure;
    Grid& grid = doc.grid(*id);
    const auto filter = RowFilter::parse(given.value(where), grid);
    if (const QString* error = std::get_if<QString>(&filter)) {
        parser.usageError(err, *error);
        return Exit::Failure;
    }
    TextMatch::CellExtra names;
    if (*id == TableId::Officer)
        names = [&doc](int row, int col) { return col == 1 ? doc.officerListName(row) : QString(); };
    grid.setHiddenRows(std::get<RowFilter>(filter).hiddenRows(grid, names));
    const auto program = BatchProgram::parse(given.positionalArguments().at(1), doc.table(*id));
    if (const QString* error = std::get_if<QString>(&program)) {
        parser.usageError(err, *error);
        return Exit::Failure;
    }
    const auto made = BatchPlan::make(doc.table(*id), std::get<BatchProgram>(program), BatchPlan::fieldValues(*id, doc.table(*id).block()));
    if (const QString* refused = std::get_if<QString>(&made)) {
        parser.complain(err, *refused);
        return Exit::Refused;
    }
    const BatchPlan& plan = std::get<BatchPlan>(made);
    if (given.isSet(dryRun)) {
        printChanges(doc, *id, plan, out);
        out << plan.previewText() << u'\n';
        return Exit::Success;
    }
    // A file that would come out as it is stays untouched, its time included.
    if (plan.cellCount() == 0 && *target == image) {
        out << plan.doneText() << u'\n';
        return Exit::Success;
    }
    plan.apply(doc.table(*id));
    if (given.isSet(fixChecksum))
        doc.setChecksumRequest(ChecksumRequest::fix());
    if (const FileResult saved = doc.save(*target); !saved.isDone()) {
        parser.complain(err, saved.message().isEmpty() ? *target + u" に保存できません。"_s : saved.message());
        return Exit::Failure;
    }
    out << plan.doneText() << u'\n';
    err << QDir::toNativeSeparators(*target) << u" に保存しました。\n"_s;
    return Exit::Success;
}

} // namespace

Subcommand setSubcommand()
{
    return {u"set"_s,
            u"set IMAGE [-t TABLE] [--where FILTER] ASSIGNMENTS (-o OUT | --in-place) [--dry-run] [--fix-checksum]"_s,
            u"表の列を式でまとめて変えます (画面の 一括変更 と同じ言葉)。"_s, &run};
}

} // namespace cli
