#pragma once

#include "textmatch.h"

#include <QList>
#include <QString>
#include <QVector>

#include <functional>
#include <variant>

class Grid;

// Which rows of a grid to show: words separated by spaces, all of which must hold. A word such as
// 武力>=90 compares the number in the column of that header (= != < <= > >=; a cell that is not a
// number never matches); the word 相違 keeps the rows that differ from a compared image; any other
// word must occur in some cell of the row, as find matches it.
class RowFilter
{
public:
    // Whether a grid row differs from the other side of a comparison.
    using RowTest = std::function<bool(int row)>;
    // The word that asks for the rows a comparison marked, as folded text compares it.
    static QString differenceWord();

    enum class Op
    {
        Equal,
        NotEqual,
        Less,
        LessOrEqual,
        Greater,
        GreaterOrEqual,
    };

    // The filter, or a message for the user naming the word that is wrong (an unknown column, a
    // comparison without a column or a number). Headers are the grid's row 0, compared as folded text.
    // `differs` answers 相違; without one (no comparison open) the word is refused.
    static std::variant<RowFilter, QString> parse(const QString& text, const Grid& grid, RowTest differs = {});

    // True when the text held no word: every row matches.
    bool isEmpty() const { return m_comparisons.isEmpty() && m_words.isEmpty() && !m_differs; }
    bool matches(const Grid& grid, int row, const TextMatch::CellExtra& extra) const;
    // One flag per grid row: true for every data row that does not match.
    QVector<bool> hiddenRows(const Grid& grid, const TextMatch::CellExtra& extra) const;

private:
    struct Comparison
    {
        int col;
        Op op;
        double number;
    };

    QList<Comparison> m_comparisons;
    // Folded.
    QStringList m_words;
    // Set when the text asked for 相違.
    RowTest m_differs;
};
