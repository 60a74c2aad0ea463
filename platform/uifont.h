#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

// The font of the grids and dialogs. The family they name exists only on Japanese Windows; elsewhere
// it is mapped to a metric-compatible family, or failing that to any installed family that has
// Japanese glyphs, so that no cell shows its text as boxes.
class UiFont
{
public:
    UiFont() = delete;

    static QString familyName();
    static constexpr int PointSize = 9;

    // The grid font; installs the substitutions on first use.
    static QFont grid();
    // Makes the named family resolve to an installed family with Japanese glyphs. Safe to call again.
    static void installSubstitutions();
    // The substitutes in the order they are tried: the metric-compatible family first, then every
    // installed family that supports Japanese.
    static QStringList substitutes();
    // The installed family text in the grid font is drawn with.
    static QString resolvedFamily();
};
