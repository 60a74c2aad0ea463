#pragma once

#include "document.h"

#include <QString>

#include <optional>

// The two spreadsheet file forms: TSV (UTF-8, no byte order mark) and CSV (UTF-8 with one, RFC 4180).
enum class FileFormat
{
    Tsv,
    Csv,
};

// How one table travels as a file: its name, how a file row finds its record, and the columns that
// need care on the way out and back in.
struct TableFormat
{
    TableId id;
    // File base name and command-line name: officers, cities, items, forces, placement.
    QString name;
    // Records are found through the number in column 0; otherwise through the row label in column 0
    // (the item grid, whose rows are its records in order).
    bool keyedByNumber;
    // A column shown with trailing NUL padding, which the file drops and an import restores; -1 for none.
    int paddedColumn;
    int paddedWidth;
    // A column computed from the others at every fill; an import never sends it anywhere. -1 for none.
    int derivedColumn;

    static const TableFormat& of(TableId id);
    // The table a command-line or file base name names; nullopt for any other name.
    static std::optional<TableId> byName(const QString& name);
    static std::optional<FileFormat> formatByName(const QString& name);
    static QString extension(FileFormat format);
    QString fileName(FileFormat format) const { return name + u'.' + extension(format); }

    // A cell's text as a file holds it: trailing NUL padding dropped, and every control character,
    // which would break a line or a cell, written as its private-use stand-in (U+F700 plus the byte).
    static QString encodeCell(const QString& text);
    // The inverse of encodeCell, apart from the padding, which only the table knows.
    static QString decodeCell(const QString& text);

    // Put before a data cell that a spreadsheet would not keep as it is, and taken off again on import.
    static constexpr char16_t TextMark = u'\'';
    // A data cell as a file holds it: with TextMark in front unless a spreadsheet keeps the cell as it
    // is. Spreadsheets re-type what looks like a number or date ("0863" comes back as 863, "6E31" as
    // 6.00E+31) and run a cell that begins with = + - or @ as a formula, so every cell that begins
    // with an ASCII character (or its full-width form, or a space) gets the mark, short plain numbers
    // apart; a spreadsheet shows the mark and saves it back unchanged.
    static QString markCell(const QString& cell);
    // A data cell read from a file, without the one mark in front that markCell may have added.
    static QString unmarkCell(const QString& cell);
};
