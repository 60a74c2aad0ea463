#include "diffcommand.h"

#include "argumentparser.h"
#include "blockcatalogue.h"
#include "compareside.h"
#include "document.h"
#include "imageloader.h"
#include "patchformoption.h"
#include "tablefields.h"
#include "tableformat.h"

#include <QTextStream>

#include <variant>

using namespace Qt::StringLiterals;

namespace cli {

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

    int count = 0;
    qint64 unshown = 0;
    for (const TableId id : AllTables) {
        const TableFormat& format = TableFormat::of(id);
        const TableFields& fields = TableFields::of(id);
        const QByteArray& mine = a.state().block(fields.blockId());
        const QByteArray& theirs = other.blocks()[static_cast<std::size_t>(fields.blockId())];
        for (int n = 0; n < fields.recordCount(); ++n) {
            // Label columns name the record; the derived column only echoes fields compared already.
            for (int c = fields.fixedColumns(); c < fields.columnCount(); ++c) {
                if (c == format.derivedColumn)
                    continue;
                const QString textA = fields.text(mine, n, c);
                const QString textB = fields.text(theirs, n, c);
                if (textA == textB)
                    continue;
                const QString& shown = fields.column(c).header;
                const QString header = shown.isEmpty() ? u"%1列目"_s.arg(c + 1) : TableFormat::encodeCell(shown);
                out << format.name << u' ' << TableFormat::encodeCell(fields.recordLabel(n)) << u' ' << header
                    << u": "_s << TableFormat::encodeCell(textA) << u" -> "_s << TableFormat::encodeCell(textB)
                    << u'\n';
                ++count;
            }
        }
        // Without the bytes no column shows, two images that differ only there would be called equal.
        unshown += fields.unshownDifferences(mine, theirs);
    }
    const qint64 outside = other.outsideBytes();
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
