#include "imageloader.h"

#include "argumentparser.h"
#include "document.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace cli {

bool openImage(Document& doc, const QString& path, const ArgumentParser& parser, QTextStream& err)
{
    const QString shown = QDir::toNativeSeparators(path);
    const QFileInfo info(path);
    if (!info.exists()) {
        parser.complain(err, shown + u" が見つかりません。"_s);
        return false;
    }
    if (info.isDir()) {
        parser.complain(err, shown + u" はフォルダーです。イメージファイルを指定してください。"_s);
        return false;
    }
    doc.setUpGrids();
    // Reading never changes the file: a command that writes the image in place is refused by the
    // write itself when the image is read-only.
    const FileResult opened = doc.open(path, romfile::ReadOnlyFlag::Keep);
    if (!opened.isDone()) {
        parser.complain(err, opened.message().isEmpty() ? shown + u" を開けません。"_s : opened.message());
        return false;
    }
    return true;
}

} // namespace cli
