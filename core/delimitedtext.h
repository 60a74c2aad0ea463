#pragma once

#include "tableformat.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Lines of cells in a TSV or CSV file, one way and the other.
class DelimitedText
{
public:
    // Written at the start of every exported file and dropped from the start of an imported one.
    static constexpr char16_t ByteOrderMark = 0xFEFF;

    // One record of a file and the line it starts on, counted from 1.
    struct Line
    {
        int number;
        QStringList cells;
    };

    // One line without its line end; CSV cells are quoted when they hold a comma, a quote or a line end,
    // TSV cells when they begin with a quote, which a reader would take for quoting.
    static QString line(const QStringList& cells, FileFormat format);
    // Splits decoded file text (without a byte order mark) into lines of cells. LF and CR LF both end
    // a line; empty lines at the end are not lines. A cell that begins with a double quote is quoted
    // (RFC 4180) in either form, as spreadsheets save TSV too. nullopt, with `error` naming the line,
    // when a quote is left open or followed by anything but the separator or a line end.
    static std::optional<QList<Line>> parse(const QString& text, FileFormat format, QString* error);
};
