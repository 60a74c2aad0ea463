#include "diffcommand.h"

#include "argumentparser.h"
#include "blockcatalogue.h"
#include "compareside.h"
#include "comparison.h"
#include "document.h"
#include "grid.h"
#include "imageloader.h"
#include "patchformoption.h"
#include "tableexport.h"
#include "tableformat.h"

#include <QTextStream>

#include <variant>

using namespace Qt::StringLiterals;

namespace cli {

namespace {

// Bytes of the tables that no column shows (a flag byte between two fields, say) and that differ:
// what is left different once every differing cell of `doc` has taken the other side's value. Without
// them two images that differ only there would be called equal.
qint64 unshownBytes(Document& doc, const CompareSide& other)
{
    Comparison(doc, other).takeAllCells();
    qint64 count = 0;
    for (const BlockSpec& range : BlockCatalogue) {
        const QByteArray mine = doc.state().block(range.id);
        const QByteArray& theirs = other.blocks()[static_cast<std::size_t>(range.id)];
        for (qsizetype i = 0; i < mine.size() && i < theirs.size(); ++i)
            count += mine[i] != theirs[i] ? 1 : 0;
    }
    return count;
}

} // namespace

Subcommand diffSubcommand()
{
    return {u"diff"_s, u"diff IMAGE OTHER [--patch-form header|headerless]"_s,
            u"イメージの表を、別のイメージかパッチを当てた結果と比べ、違う値を一行ずつ表示します。"_s, &runDiff};
}

Exit runDiff(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    ArgumentParser parser(diffSubcommand().synopsis, diffSubcommand().summary);
    parser.setDetails(
        u"イメージの五つの表を OTHER と比べ、違う値ごとに「表 レコード 見出し: 古い値 -> 新しい値」を一行、"
        u"続けて違いの数を表示します。OTHER は別のイメージ（ヘッダーの有無は問いません）か、IMAGE に当てる IPS "
        u"か BPS のパッチです（メモリー上で当て、何も書き込みません）。表の外のバイトも違うときは、最後の行で"
        u"その数を示します（コピアヘッダーは比べません）。すべて同じなら終了コード 0、違えば 1 です。"_s);
    parser.addArgument(u"IMAGE"_s, u"比べるもとのイメージ"_s);
    parser.addArgument(u"OTHER"_s, u"比べる先のイメージ、または IMAGE に当てるパッチ"_s);
    const PatchFormOption patchForm;
    patchForm.addTo(parser);
    if (const auto exit = parser.parse(arguments, 0, out, err, true))
        return *exit;
    const QStringList positional = parser.parser().positionalArguments();
    if (positional.size() != 2) {
        parser.usageError(err, u"イメージを二つ（またはイメージとパッチを）指定してください。"_s);
        return Exit::Failure;
    }
    PatchSequence::IpsForm ipsForm;
    if (!patchForm.read(parser, err, ipsForm))
        return Exit::Failure;
    Document a;
    if (!openImage(a, positional[0], parser, err))
        return Exit::Failure;
    auto read = CompareSide::read(positional[1], positional[0], ipsForm);
    if (const QString* refused = std::get_if<QString>(&read)) {
        parser.complain(err, *refused);
        return Exit::Failure;
    }
    const CompareSide& other = std::get<CompareSide>(read);
    // The other side's tables are filled from its blocks alone, as an open would fill them.
    Document b;
    b.state().replaceBlocks(other.blocks());

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
    const qint64 outside = other.outsideBytes();
    const qint64 unshown = unshownBytes(a, other);
    if (count > 0)
        out << u"%1 個の値が違います。\n"_s.arg(count);
    else
        out << (outside == 0 && unshown == 0 ? u"違いはありません。\n"_s : u"表の値に違いはありません。\n"_s);
    if (unshown > 0)
        out << u"表の中の、どの列にも出ない %1 バイトが違います。\n"_s.arg(unshown);
    // Code, say, that a patch changes: the tables alone would call such images equal.
    if (outside > 0)
        out << u"表の外の %1 バイトが違います。\n"_s.arg(outside);
    return count == 0 && outside == 0 && unshown == 0 ? Exit::Success : Exit::Refused;
}

} // namespace cli
