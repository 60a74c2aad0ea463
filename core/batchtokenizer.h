#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <variant>

class Grid;

// One piece of a batch text: a number, a column, min or max, or a sign.
struct BatchToken
{
    enum class Kind
    {
        Number,
        Column,
        Function,
        Symbol,
        End,
    };

    Kind kind = Kind::End;
    // Where the token starts in the text as typed, counting characters from 1.
    int position = 1;
    double number = 0.0;
    int col = -1;
    // The sign (+ - * / ( ) , ; = += -= *= /=) or the function name (min, max), folded.
    QString text;
};

// Splits a batch text into tokens. The text is folded as the filter folds it (full-width digits,
// letters and signs read as their half-width forms, case ignored); spaces only separate tokens.
// Column headers are tried whole, the longest first, before anything else, because some contain
// signs (人口*10000, 知力,武力); in 「」 a header is taken whatever it holds.
class BatchTokenizer
{
public:
    // The tokens, the last one End; or a message naming what could not be read and where.
    static std::variant<QList<BatchToken>, QString> split(const QString& text, const Grid& grid);
};
