#include "importcommand.h"

#include "document.h"
#include "imageloader.h"
#include "romfile.h"
#include "tableimport.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace cli {

namespace {

const QString Synopsis = u"import IMAGE FILE... (-o OUT | --in-place) [--fix-checksum]"_s;

// True when `out` would write over `image`: the same file by identity, or by name if it does not exist yet.
bool namesImage(const QString& out, const QString& image)
{
    if (romfile::SameFile(out, image))
        return true;
    return QFileInfo(out).absoluteFilePath() == QFileInfo(image).absoluteFilePath();
}

} // namespace

Subcommand importSubcommand()
{
    return {u"import"_s, Synopsis, u"TSV か CSV のファイルを読み込んで新しいイメージに保存します。"_s, &runImport};
}

Exit runImport(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    const QString command = u"import"_s;
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"FILE (export で書き出した表のファイル) を IMAGE に読み込み、OUT に保存します。どれかの FILE が表の"
        u"ファイルでなければ何も保存しません。IMAGE は --in-place のときだけ書き換えます。"_s);
    const QCommandLineOption output({u"o"_s, u"output"_s}, u"保存先のイメージファイル"_s, u"OUT"_s);
    const QCommandLineOption inPlace(u"in-place"_s, u"IMAGE に上書きします"_s);
    const QCommandLineOption fixChecksum(u"fix-checksum"_s, u"保存するときにチェックサムを直します"_s);
    parser.addOptions({output, inPlace, fixChecksum});
    parser.addPositionalArgument(u"IMAGE"_s, u"読み込むイメージファイル"_s);
    parser.addPositionalArgument(u"FILE"_s, u"表のファイル (.tsv か .csv)"_s, u"FILE..."_s);
    bool helped = false;
    if (!parseArguments(parser, arguments, Synopsis, out, err, helped))
        return helped ? Exit::Success : Exit::Failure;

    const QStringList positional = parser.positionalArguments();
    if (positional.size() < 2) {
        usageError(command, positional.isEmpty() ? u"IMAGE と FILE がありません。"_s : u"FILE がありません。"_s, err);
        return Exit::Failure;
    }
    if (parser.isSet(output) == parser.isSet(inPlace)) {
        usageError(command, u"-o OUT か --in-place のどちらか一つを指定してください。"_s, err);
        return Exit::Failure;
    }
    const QString image = positional.front();
    const QString target = parser.isSet(inPlace) ? image : parser.value(output);
    if (parser.isSet(output)) {
        if (target.isEmpty() || QFileInfo(target).isDir()) {
            usageError(command, u"OUT にはファイル名を指定してください。"_s, err);
            return Exit::Failure;
        }
        if (namesImage(target, image)) {
            usageError(command, u"OUT が IMAGE と同じファイルです。上書きするには --in-place を使ってください。"_s, err);
            return Exit::Failure;
        }
    }

    Document doc;
    if (!openImage(doc, image, command, err))
        return Exit::Failure;
    // Every file is checked before the first is applied: one bad file leaves the image untouched.
    QList<TableImport::CheckedFile> files;
    bool allChecked = true;
    for (const QString& path : positional.mid(1)) {
        QString error;
        if (std::optional<TableImport::CheckedFile> checked = TableImport::check(doc, path, &error))
            files.append(std::move(*checked));
        else {
            err << u"tavrin import: "_s << error << u"\n"_s;
            allChecked = false;
        }
    }
    if (!allChecked) {
        err << u"tavrin import: 何も保存していません。\n"_s;
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
    if (parser.isSet(fixChecksum))
        doc.setChecksumRequest(ChecksumRequest::fix());
    const FileResult saved = doc.save(target);
    if (!saved.isDone()) {
        err << u"tavrin import: "_s << (saved.message().isEmpty() ? target + u" に保存できません。"_s : saved.message())
            << u"\n"_s;
        return Exit::Failure;
    }
    err << u"%1 個のセルを書き込みました (%2 個は元のままでした)。%3 に保存しました。\n"_s.arg(stored)
               .arg(unchanged)
               .arg(QDir::toNativeSeparators(target));
    if (parser.isSet(fixChecksum))
        err << u"チェックサムを直しました。\n"_s;
    return problems ? Exit::Refused : Exit::Success;
}

} // namespace cli
