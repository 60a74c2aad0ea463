#include "patchformoption.h"

#include "argumentparser.h"

using namespace Qt::StringLiterals;

namespace cli {

PatchFormOption::PatchFormOption()
    : m_option(u"patch-form"_s, u"IPS パッチが作られたイメージの形式: header (コピアヘッダーあり) か headerless。"_s,
               u"FORM"_s)
{
}

void PatchFormOption::addTo(ArgumentParser& parser) const
{
    parser.addOption(m_option);
}

bool PatchFormOption::read(const ArgumentParser& parser, QTextStream& err, PatchSequence::IpsForm& form) const
{
    form.reset();
    const QString given = parser.parser().value(m_option);
    if (!parser.parser().isSet(m_option))
        return true;
    if (given == u"header"_s || given == u"headerless"_s) {
        form = given == u"header"_s ? ImageForm::CopierHeader : ImageForm::Headerless;
        return true;
    }
    parser.complain(err, u"--patch-form には header か headerless を指定してください。"_s);
    return false;
}

} // namespace cli
