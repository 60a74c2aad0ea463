#include "diffcommand.h"

#include "argumentparser.h"
#include "document.h"
#include "grid.h"
#include "imageloader.h"
#include "tableexport.h"
#include "tableformat.h"

#include <QTextStream>

using namespace Qt::StringLiterals;

namespace cli {

Subcommand diffSubcommand()
{
    return {u"diff"_s, u"diff IMAGE_A IMAGE_B"_s, u"二つのイメージの表を比べ、違う値を一行ずつ表示します。"_s,
            &runDiff};
}

Exit runDiff(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    ArgumentParser parser(diffSubcommand().synopsis, diffSubcommand().summary);
    parser.setDetails(
        u"二つのイメージの五つの表を比べ、違う値ごとに「表 レコード 見出し: 古い値 -> 新しい値」を一行、最後に"
        u"違いの数を表示します。同じなら終了コード 0、違えば 1 です。"_s);
    parser.addArgument(u"IMAGE_A"_s, u"比べるもとのイメージ"_s);
    parser.addArgument(u"IMAGE_B"_s, u"比べる先のイメージ"_s);
    if (const auto exit = parser.parse(arguments, 0, out, err, true))
        return *exit;
    const QStringList positional = parser.parser().positionalArguments();
    if (positional.size() != 2) {
        parser.usageError(err, u"イメージを二つ指定してください。"_s);
        return Exit::Failure;
    }
    Document a;
    Document b;
    if (!openImage(a, positional[0], parser, err) || !openImage(b, positional[1], parser, err))
        return Exit::Failure;

    int count = 0;
    for (const TableId id : AllTables) {
        const TableFormat& format = TableFormat::of(id);
        const Grid& grid = a.grid(id);
        const QList<QStringList> rowsA = TableExport::rows(a, id);
        const QList<QStringList> rowsB = TableExport::rows(b, id);
        for (qsizetype r = 1; r < rowsA.size() && r < rowsB.size(); ++r) {
            // Label columns name the record; the derived column only echoes fields compared already.
            for (int c = grid.fixedCols(); c < rowsA[r].size() && c < rowsB[r].size(); ++c) {
                if (c == format.derivedColumn || rowsA[r][c] == rowsB[r][c])
                    continue;
                const QString header = rowsA[0][c].isEmpty() ? u"%1列目"_s.arg(c + 1) : rowsA[0][c];
                out << format.name << u' ' << rowsA[r][0] << u' ' << header << u": "_s << rowsA[r][c] << u" -> "_s
                    << rowsB[r][c] << u'\n';
                ++count;
            }
        }
    }
    out << (count == 0 ? u"違いはありません。"_s : u"%1 個の値が違います。"_s.arg(count)) << u'\n';
    return count == 0 ? Exit::Success : Exit::Refused;
}

} // namespace cli
