#include "namelist.h"

#include "shiftjis.h"

using namespace Qt::StringLiterals;

std::optional<NameList> NameList::read(const QString& path)
{
    const std::optional<QString> text = ShiftJis::readFile(path);
    if (!text || text->isEmpty())
        return std::nullopt;
    return NameList(text->split(u"\r\n"_s));
}
