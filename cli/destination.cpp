#include "destination.h"

#include "argumentparser.h"
#include "romfile.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace cli {

Destination::Destination(InPlace inPlace)
    : m_output({u"o"_s, u"output"_s}, u"書き出し先のイメージファイル。"_s, u"OUT"_s),
      m_inPlace(u"in-place"_s, u"イメージそのものを書き換えます。"_s),
      m_offered(inPlace)
{
}

void Destination::addTo(ArgumentParser& parser) const
{
    parser.addOption(m_output);
    if (m_offered == InPlace::Offered)
        parser.addOption(m_inPlace);
}

bool Destination::namesImage(const QString& path, const QString& image)
{
    return romfile::SameFile(path, image) || QFileInfo(path).absoluteFilePath() == QFileInfo(image).absoluteFilePath();
}

std::optional<QString> Destination::resolve(const ArgumentParser& parser, const QString& image,
                                            QTextStream& err) const
{
    const bool offered = m_offered == InPlace::Offered;
    const bool inPlace = offered && parser.parser().isSet(m_inPlace);
    const QString output = parser.parser().value(m_output);
    if (inPlace == parser.parser().isSet(m_output) || (!inPlace && output.isEmpty())) {
        parser.usageError(err, offered ? u"-o OUT か --in-place のどちらか一方を指定してください。"_s
                                       : u"-o OUT で書き出し先を指定してください。"_s);
        return std::nullopt;
    }
    if (inPlace)
        return image;
    if (QFileInfo(output).isDir()) {
        parser.usageError(err, u"OUT にはファイル名を指定してください。"_s);
        return std::nullopt;
    }
    if (namesImage(output, image)) {
        parser.usageError(err, offered ? u"OUT が IMAGE と同じファイルです。上書きするには --in-place を使ってください。"_s
                                       : u"OUT が IMAGE と同じファイルです。別の名前を指定してください。"_s);
        return std::nullopt;
    }
    return output;
}

} // namespace cli
