#include "destination.h"

#include "argumentparser.h"

using namespace Qt::StringLiterals;

namespace cli {

Destination::Destination()
    : m_output({u"o"_s, u"output"_s}, u"書き出し先のイメージファイル。"_s, u"OUT"_s),
      m_inPlace(u"in-place"_s, u"イメージそのものを書き換えます。"_s)
{
}

void Destination::addTo(ArgumentParser& parser) const
{
    parser.addOption(m_output);
    parser.addOption(m_inPlace);
}

std::optional<QString> Destination::resolve(const ArgumentParser& parser, const QString& image,
                                            QTextStream& err) const
{
    const bool toOutput = parser.parser().isSet(m_output);
    if (toOutput == parser.parser().isSet(m_inPlace) || (toOutput && parser.parser().value(m_output).isEmpty())) {
        parser.complain(err, u"-o OUT か --in-place のどちらか一方を指定してください。"_s);
        return std::nullopt;
    }
    return toOutput ? parser.parser().value(m_output) : image;
}

} // namespace cli
