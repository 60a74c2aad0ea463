#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <optional>
#include <variant>

class Table;
struct BatchToken;

// A batch change of one table as parsed: assignments `列 op 式` separated by `;`, op one of = += -= *=
// /=, the expression of numbers, the table's number columns, + - * /, parentheses and min(…) and
// max(…). `列 += 式` is kept as `列 = 列 + (式)`, so every assignment is a plain set of one column.
class BatchProgram
{
public:
    // The value a column holds in the row being computed; nullopt when it holds no number.
    using ColumnValue = std::function<std::optional<double>(int col)>;

    enum class Fault
    {
        None,
        DivisionByZero,
        // A column read by the expression holds no number in this row.
        NotANumber,
    };

    struct Result
    {
        double value = 0.0;
        Fault fault = Fault::None;
        // The column that held no number.
        int col = -1;
    };

    // The program, or the message the user sees: a syntax error with its position, an unknown column,
    // a column that holds text or is not typed over.
    static std::variant<BatchProgram, QString> parse(const QString& text, const Table& table);

    bool isEmpty() const { return m_targets.isEmpty(); }
    int assignmentCount() const { return int(m_targets.size()); }
    // The column assignment `index` sets.
    int target(int index) const { return m_targets[index]; }
    // The new value of assignment `index`, every column read through `value`.
    Result evaluate(int index, const ColumnValue& value) const;

private:
    enum class Kind
    {
        Number,
        Column,
        Add,
        Subtract,
        Multiply,
        Divide,
        Negate,
        Min,
        Max,
    };

    struct Node
    {
        Kind kind;
        double number = 0.0;
        int col = -1;
        QList<int> args;
    };

    class Parser;

    Result evaluateNode(int node, const ColumnValue& value) const;

    QList<Node> m_nodes;
    QList<int> m_targets;
    QList<int> m_roots;
};
