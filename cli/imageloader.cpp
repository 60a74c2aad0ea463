#include "imageloader.h"

#include "document.h"
#include "romfile.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace cli {

bool openImage(Document& doc, const QString& path, const QString& command, QTextStream& err)
{
    const QString shown = QDir::toNativeSeparators(path);
    const QFileInfo info(path);
    if (!info.exists()) {
        err << u"tavrin "_s << command << u": "_s << shown << u" が見つかりません。\n"_s;
        return false;
    }
    if (info.isDir()) {
        err << u"tavrin "_s << command << u": "_s << shown << u" はフォルダーです。イメージファイルを指定してください。\n"_s;
        return false;
    }
    const QFile::Permissions before = QFile::permissions(path);
    doc.setUpGrids();
    const FileResult opened = doc.open(path);
    if (QFile::permissions(path) != before)
        QFile::setPermissions(path, before);
    if (!opened.isDone()) {
        const QString why = opened.message().isEmpty() ? shown + u" を開けません。"_s : opened.message();
        err << u"tavrin "_s << command << u": "_s << why << u"\n"_s;
        return false;
    }
    return true;
}

bool parseArguments(QCommandLineParser& parser, const QStringList& arguments, const QString& synopsis,
                    QTextStream& out, QTextStream& err, bool& helped)
{
    helped = false;
    const QString command = arguments.value(0);
    const QCommandLineOption help({u"h"_s, u"help"_s}, u"この説明を表示します。"_s);
    parser.addOption(help);
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    if (!parser.parse(arguments)) {
        usageError(command, parser.errorText(), err);
        return false;
    }
    if (parser.isSet(help)) {
        helped = true;
        QString text = parser.helpText();
        // The parser's own first lines name the test or program binary; the synopsis says it better.
        // The heading as Qt's installed translation spells it.
        const qsizetype options = text.indexOf(QCoreApplication::translate("QCommandLineParser", "Options:"));
        out << u"使い方: tavrin "_s << synopsis << u"\n\n"_s << parser.applicationDescription() << u"\n\n"_s
            << (options >= 0 ? text.mid(options) : text);
        return false;
    }
    return true;
}

void usageError(const QString& command, const QString& message, QTextStream& err)
{
    err << u"tavrin "_s << command << u": "_s << message << u"\n"_s;
    err << u"使い方は tavrin "_s << command << u" --help で表示されます。\n"_s;
}

} // namespace cli
