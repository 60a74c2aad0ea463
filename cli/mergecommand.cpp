#include "mergecommand.h"

#include "argumentparser.h"
#include "atomicfile.h"
#include "destination.h"
#include "imagemerge.h"
#include "romfile.h"

#include <QDir>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace cli {
namespace {

Exit run(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    ArgumentParser parser(mergeSubcommand().synopsis, mergeSubcommand().summary);
    parser.setDetails(
        u"BASE（共通のもと）から OURS と THEIRS がそれぞれ変えた値を、表の値（一バイトを分け合う二つの値はそれぞれ）"
        u"と、どの列にも出ないバイトごとに合わせます。片方だけが変えた値はその値に、両方が同じに変えた値はその値に"
        u"なり、両方が違う値に変えたところは衝突として OURS の値を残し、一行ずつ表示します。チェックサムは、どちらかが"
        u"変えていれば結果から計算し直します。イメージはヘッダーの有無を問わず中身で比べ、結果は OURS の形で書きます。"
        u"衝突がなければ終了コード 0、衝突があれば 1（結果は書き込みます）、使い方やファイルの誤りは 2 "
        u"（何も書き込みません）です。"_s);
    parser.addArgument(u"BASE"_s, u"共通のもとのイメージ"_s);
    parser.addArgument(u"OURS"_s, u"こちらのイメージ（--in-place ではこれを書き換えます）"_s);
    parser.addArgument(u"THEIRS"_s, u"あちらのイメージ"_s);
    const Destination destination;
    destination.addTo(parser);
    if (const auto exit = parser.parse(arguments, 3, out, err))
        return *exit;
    const QStringList paths = parser.parser().positionalArguments();
    const std::optional<QString> target = destination.resolve(
        parser, {{u"OURS"_s, paths[1]}, {u"BASE"_s, paths[0]}, {u"THEIRS"_s, paths[2]}}, err);
    if (!target)
        return Exit::Failure;

    QByteArray images[3];
    for (int k = 0; k < 3; ++k) {
        if (const FileResult read = romfile::ReadImage(paths[k], images[k]); !read.isDone()) {
            parser.complain(err, read.message());
            return Exit::Failure;
        }
    }
    const MergeOutcome merged = ImageMerge::mergeImages(images[0], images[1], images[2]);
    if (merged.isRefused()) {
        parser.complain(err, merged.refusal);
        return Exit::Failure;
    }
    if (const FileResult written = atomicfile::replace(*target, merged.bytes); !written.isDone()) {
        parser.complain(err, written.message());
        return Exit::Failure;
    }
    for (const MergeConflict& conflict : merged.conflicts)
        out << conflict.line() << u'\n';
    out << ImageMerge::summary(merged) << u'\n';
    return merged.conflicts.isEmpty() ? Exit::Success : Exit::Refused;
}

} // namespace

Subcommand mergeSubcommand()
{
    return {
        u"merge"_s, u"merge BASE OURS THEIRS (-o OUT | --in-place)"_s,
        u"共通のもとから二人が変えたイメージを、表の値ごとに一つに合わせます（git のマージドライバーにも使えます）。"_s,
        &run};
}

} // namespace cli
