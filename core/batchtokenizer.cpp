#include "batchtokenizer.h"

#include "grid.h"
#include "textmatch.h"

#include <algorithm>
#include <cmath>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// Longest first, so that 人口*10000 is not read as a column 人口 times 10000.
constexpr QStringView Symbols[] = {u"+=", u"-=", u"*=", u"/=", u"=", u"+", u"-", u"*", u"/", u"(", u")", u",", u";"};

bool isOpenQuote(QChar c)
{
    return c == u'「' || c == u'｢';
}

bool isCloseQuote(QChar c)
{
    return c == u'」' || c == u'｣';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool endsWord(QChar c)
{
    return c == u' ' || isOpenQuote(c) || isCloseQuote(c) || QStringView(u"+-*/=(),;").contains(c);
}

struct NamedColumn
{
    QString folded;
    int col;
};

// The folded text with, for each of its characters, the index of the typed character it came from
// (one full-width kana may fold into two half-width ones).
struct FoldedText
{
    QString text;
    QList<int> origin;

    explicit FoldedText(const QString& typed)
    {
        for (qsizetype i = 0; i < typed.size(); ++i) {
            const QString piece = TextMatch::fold(QString(typed[i]));
            text += piece;
            for (qsizetype k = 0; k < piece.size(); ++k)
                origin.push_back(int(i));
        }
        origin.push_back(int(typed.size()));
    }
    int position(qsizetype at) const { return origin[at] + 1; }
};

QString syntaxError(int position, const QString& what)
{
    return u"%1 文字目: "_s.arg(position) + what;
}

} // namespace

std::variant<QList<BatchToken>, QString> BatchTokenizer::split(const QString& typed, const Grid& grid)
{
    QList<NamedColumn> headers;
    for (int c = 0; c < grid.cols(); ++c)
        if (const QString name = TextMatch::fold(grid.text(0, c)).trimmed(); !name.isEmpty())
            headers.push_back({name, c});
    std::stable_sort(headers.begin(), headers.end(),
                     [](const NamedColumn& a, const NamedColumn& b) { return a.folded.size() > b.folded.size(); });
    const auto columnNamed = [&headers](QStringView name) -> std::optional<int> {
        for (const NamedColumn& header : headers)
            if (header.folded == name)
                return header.col;
        return std::nullopt;
    };

    const FoldedText folded(typed);
    const QString& text = folded.text;
    QList<BatchToken> tokens;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text[i];
        if (c == u' ') {
            ++i;
            continue;
        }
        BatchToken token;
        token.position = folded.position(i);
        const QStringView rest = QStringView(text).sliced(i);
        const auto header = std::find_if(headers.cbegin(), headers.cend(),
                                         [rest](const NamedColumn& h) { return rest.startsWith(h.folded); });
        if (header != headers.cend()) {
            token.kind = BatchToken::Kind::Column;
            token.col = header->col;
            i += header->folded.size();
        } else if (isOpenQuote(c)) {
            const qsizetype close = std::find_if(rest.cbegin() + 1, rest.cend(), isCloseQuote) - rest.cbegin();
            if (close >= rest.size())
                return syntaxError(token.position, u"「 が 」で閉じられていません。"_s);
            const QString name = rest.sliced(1, close - 1).trimmed().toString();
            const std::optional<int> col = columnNamed(name);
            if (!col)
                return u"「"_s + typed.mid(folded.origin[i + 1], folded.origin[i + close] - folded.origin[i + 1]) +
                       u"」という列はありません。"_s;
            token.kind = BatchToken::Kind::Column;
            token.col = *col;
            i += close + 1;
        } else if (isDigit(c) || (c == u'.' && rest.size() > 1 && isDigit(rest[1]))) {
            qsizetype end = i;
            while (end < text.size() && isDigit(text[end]))
                ++end;
            if (end < text.size() && text[end] == u'.')
                for (++end; end < text.size() && isDigit(text[end]);)
                    ++end;
            token.kind = BatchToken::Kind::Number;
            bool ok = false;
            token.number = QStringView(text).sliced(i, end - i).toDouble(&ok);
            // Hundreds of digits do not fit a double; reading them as 0 would set a wrong value.
            if (!ok || !std::isfinite(token.number))
                return syntaxError(token.position, u"数が大きすぎます。"_s);
            i = end;
        } else if (const auto symbol = std::find_if(std::cbegin(Symbols), std::cend(Symbols),
                                                    [rest](QStringView s) { return rest.startsWith(s); });
                   symbol != std::cend(Symbols)) {
            token.kind = BatchToken::Kind::Symbol;
            token.text = symbol->toString();
            i += symbol->size();
        } else {
            qsizetype end = i;
            while (end < text.size() && !endsWord(text[end]))
                ++end;
            const QStringView word = QStringView(text).sliced(i, end - i);
            if (word == u"min" || word == u"max") {
                token.kind = BatchToken::Kind::Function;
                token.text = word.toString();
            } else if (isCloseQuote(c)) {
                return syntaxError(token.position, u"」の前に「がありません。"_s);
            } else {
                return u"「"_s + typed.mid(folded.origin[i], folded.origin[end] - folded.origin[i]) +
                       u"」という列はありません。"_s;
            }
            i = end;
        }
        tokens.push_back(token);
    }
    BatchToken end;
    end.position = int(typed.size()) + 1;
    tokens.push_back(end);
    return tokens;
}
