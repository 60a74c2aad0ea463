#include "uifont.h"

#include <QFontDatabase>
#include <QFontInfo>

using namespace Qt::StringLiterals;

QString UiFont::familyName()
{
    return u"ＭＳ ゴシック"_s;
}

QStringList UiFont::substitutes()
{
    // IPAGothic has the same fixed-pitch metrics, so the twip widths of the columns fit as they do on
    // Windows; it is listed even when missing, which costs nothing.
    QStringList families{u"IPAGothic"_s, u"IPAゴシック"_s};
    const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
    // Gothic (sans-serif) families first: they read best in small cells.
    for (const QString& family : japanese)
        if (family.contains(u"Gothic"_s, Qt::CaseInsensitive) || family.contains(u"ゴシック"_s))
            families << family;
    for (const QString& family : japanese)
        families << family;
    families.removeDuplicates();
    return families;
}

void UiFont::installSubstitutions()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    if (QFontDatabase::hasFamily(familyName()))
        return;
    QFont::insertSubstitutions(familyName(), substitutes());
}

QFont UiFont::grid()
{
    installSubstitutions();
    QFont font(familyName(), PointSize);
    font.setStyleHint(QFont::TypeWriter);
    return font;
}

QString UiFont::resolvedFamily()
{
    return QFontInfo(grid()).family();
}
