#include "batchprogram.h"

#include "batchtokenizer.h"
#include "grid.h"
#include "table.h"

#include <algorithm>

using namespace Qt::StringLiterals;

// Recursive descent over the tokens: assignment := column op sum; sum := product (+|- product)*;
// product := unary (*|/ unary)*; unary := (+|-) unary | atom; atom := number | column | ( sum ) |
// min|max ( sum (, sum)* ).
class BatchProgram::Parser
{
public:
    Parser(const QList<BatchToken>& tokens, const Table& table, BatchProgram& program)
        : m_tokens(tokens), m_table(table), m_program(program)
    {
    }

    // An empty string when the whole text was read.
    QString run()
    {
        while (peek().kind != BatchToken::Kind::End) {
            if (isSymbol(u";")) {
                ++m_at;
                continue;
            }
            assignment();
            if (!m_error.isEmpty())
                return m_error;
            if (peek().kind != BatchToken::Kind::End && !isSymbol(u";"))
                return unexpected(u"; か演算子"_s);
        }
        return {};
    }

private:
    const BatchToken& peek() const { return m_tokens[std::min(m_at, m_tokens.size() - 1)]; }
    bool isSymbol(QStringView symbol) const { return peek().kind == BatchToken::Kind::Symbol && peek().text == symbol; }
    bool failed() const { return !m_error.isEmpty(); }

    QString unexpected(const QString& wanted)
    {
        const BatchToken& token = peek();
        const QString where = u"%1 文字目: "_s.arg(token.position);
        if (token.kind == BatchToken::Kind::End)
            m_error = where + u"式が途中で終わっています（"_s + wanted + u"が要ります）。"_s;
        else
            m_error = where + u"ここには"_s + wanted + u"が要ります。"_s;
        return m_error;
    }

    int add(Node node)
    {
        m_program.m_nodes.push_back(std::move(node));
        return int(m_program.m_nodes.size() - 1);
    }

    // Only a column that takes typed numbers can be computed with: its commit rule rounds a fraction.
    bool checkColumn(int col)
    {
        const QString header = m_table.grid().text(0, col);
        if (!m_table.editRule(col).opensEditor)
            m_error = u"「"_s + header + u"」は書き換えられない列です。"_s;
        else if (m_table.checkText(col, u"0.6"_s) != u"1"_s)
            m_error = u"「"_s + header + u"」は数の列ではありません。"_s;
        return !failed();
    }

    void assignment()
    {
        if (peek().kind != BatchToken::Kind::Column) {
            unexpected(u"変える列の名前"_s);
            return;
        }
        const int col = peek().col;
        if (!checkColumn(col))
            return;
        ++m_at;
        static const QList<std::pair<QStringView, Kind>> ops{
            {u"+=", Kind::Add}, {u"-=", Kind::Subtract}, {u"*=", Kind::Multiply}, {u"/=", Kind::Divide}};
        std::optional<Kind> combine;
        if (!isSymbol(u"=")) {
            const auto op = std::find_if(ops.cbegin(), ops.cend(), [this](const auto& o) { return isSymbol(o.first); });
            if (op == ops.cend()) {
                unexpected(u" = += -= *= /= のどれか"_s);
                return;
            }
            combine = op->second;
        }
        ++m_at;
        int root = sum();
        if (failed())
            return;
        if (combine)
            root = add({*combine, 0.0, -1, {add({Kind::Column, 0.0, col, {}}), root}});
        m_program.m_targets.push_back(col);
        m_program.m_roots.push_back(root);
    }

    int sum()
    {
        int left = product();
        while (!failed() && (isSymbol(u"+") || isSymbol(u"-"))) {
            const Kind kind = isSymbol(u"+") ? Kind::Add : Kind::Subtract;
            ++m_at;
            const int right = product();
            left = add({kind, 0.0, -1, {left, right}});
        }
        return left;
    }

    int product()
    {
        int left = unary();
        while (!failed() && (isSymbol(u"*") || isSymbol(u"/"))) {
            const Kind kind = isSymbol(u"*") ? Kind::Multiply : Kind::Divide;
            ++m_at;
            const int right = unary();
            left = add({kind, 0.0, -1, {left, right}});
        }
        return left;
    }

    int unary()
    {
        // Every nesting (signs, parentheses, min and max) passes here: a text from the command line
        // could otherwise nest deep enough to exhaust the stack, here or in the evaluation.
        if (m_depth >= MaxDepth) {
            m_error = u"%1 文字目: 式の入れ子が深すぎます。"_s.arg(peek().position);
            return -1;
        }
        ++m_depth;
        int result = -1;
        if (isSymbol(u"+") || isSymbol(u"-")) {
            const bool negate = isSymbol(u"-");
            ++m_at;
            const int operand = unary();
            result = negate && !failed() ? add({Kind::Negate, 0.0, -1, {operand}}) : operand;
        } else {
            result = atom();
        }
        --m_depth;
        return result;
    }

    int atom()
    {
        const BatchToken& token = peek();
        switch (token.kind) {
        case BatchToken::Kind::Number:
            ++m_at;
            return add({Kind::Number, token.number, -1, {}});
        case BatchToken::Kind::Column:
            if (!checkColumn(token.col))
                return -1;
            ++m_at;
            return add({Kind::Column, 0.0, token.col, {}});
        case BatchToken::Kind::Function:
            return call();
        case BatchToken::Kind::Symbol:
            if (token.text == u"(") {
                ++m_at;
                const int inner = sum();
                if (!failed() && !isSymbol(u")"))
                    unexpected(u")"_s);
                ++m_at;
                return inner;
            }
            break;
        case BatchToken::Kind::End:
            break;
        }
        unexpected(u"数か列の名前"_s);
        return -1;
    }

    int call()
    {
        const Kind kind = peek().text == u"min" ? Kind::Min : Kind::Max;
        ++m_at;
        if (!isSymbol(u"(")) {
            unexpected(u"("_s);
            return -1;
        }
        Node node{kind, 0.0, -1, {}};
        do {
            ++m_at;
            node.args.push_back(sum());
        } while (!failed() && isSymbol(u","));
        if (!failed() && !isSymbol(u")"))
            unexpected(u", か )"_s);
        ++m_at;
        return add(std::move(node));
    }

    const QList<BatchToken>& m_tokens;
    const Table& m_table;
    BatchProgram& m_program;
    static constexpr int MaxDepth = 200;
    qsizetype m_at = 0;
    int m_depth = 0;
    QString m_error;
};

std::variant<BatchProgram, QString> BatchProgram::parse(const QString& text, const Table& table)
{
    auto tokens = BatchTokenizer::split(text, table.grid());
    if (const QString* error = std::get_if<QString>(&tokens))
        return *error;
    BatchProgram program;
    Parser parser(std::get<QList<BatchToken>>(tokens), table, program);
    if (const QString error = parser.run(); !error.isEmpty())
        return error;
    return program;
}

BatchProgram::Result BatchProgram::evaluate(int index, const ColumnValue& value) const
{
    return evaluateNode(m_roots[index], value);
}

BatchProgram::Result BatchProgram::evaluateNode(int index, const ColumnValue& value) const
{
    const Node& node = m_nodes[index];
    if (node.kind == Kind::Number)
        return {node.number};
    if (node.kind == Kind::Column) {
        const std::optional<double> held = value(node.col);
        return held ? Result{*held} : Result{0.0, Fault::NotANumber, node.col};
    }
    QList<double> args;
    for (const int arg : node.args) {
        const Result result = evaluateNode(arg, value);
        if (result.fault != Fault::None)
            return result;
        args.push_back(result.value);
    }
    switch (node.kind) {
    case Kind::Add:
        return {args[0] + args[1]};
    case Kind::Subtract:
        return {args[0] - args[1]};
    case Kind::Multiply:
        return {args[0] * args[1]};
    case Kind::Divide:
        if (args[1] == 0.0)
            return {0.0, Fault::DivisionByZero};
        return {args[0] / args[1]};
    case Kind::Negate:
        return {-args[0]};
    case Kind::Min:
        return {*std::min_element(args.cbegin(), args.cend())};
    case Kind::Max:
        return {*std::max_element(args.cbegin(), args.cend())};
    case Kind::Number:
    case Kind::Column:
        break;
    }
    return {node.number};
}
