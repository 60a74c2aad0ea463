#include "destination.h"

#include "argumentparser.h"
#include "romfile.h"

#include <QDir>
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

bool Destination::namesFile(const QString& path, const QString& file)
{
    return romfile::SameFile(path, file) || QFileInfo(path).absoluteFilePath() == QFileInfo(file).absoluteFilePath();
}

bool Destination::writesNoInput(const ArgumentParser& parser, const QStringList& outputs, const QList<Input>& inputs,
                                QTextStream& err, bool inPlaceOffered)
{
    for (const QString& output : outputs) {
        for (qsizetype k = 0; k < inputs.size(); ++k) {
            if (!namesFile(output, inputs.at(k).path))
                continue;
            const QString hint = k == 0 && inPlaceOffered ? u"上書きするには --in-place を使ってください。"_s
                                                          : u"別の名前を指定してください。"_s;
            parser.usageError(err, u"書き出し先 %1 は %2 (%3) と同じファイルです。"_s.arg(
                                       QDir::toNativeSeparators(output), inputs.at(k).role,
                                       QDir::toNativeSeparators(inputs.at(k).path)) +
                                       hint);
            return false;
        }
    }
    return true;
}

std::optional<QString> Destination::resolve(const ArgumentParser& parser, const QList<Input>& inputs,
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
        return inputs.front().path;
    if (QFileInfo(output).isDir()) {
        parser.usageError(err, u"OUT にはファイル名を指定してください。"_s);
        return std::nullopt;
    }
    if (!writesNoInput(parser, {output}, inputs, err, offered))
        return std::nullopt;
    return output;
}

} // namespace cli
