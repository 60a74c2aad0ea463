#include "fieldedit.h"

#include "codepage932.h"

#include <QKeyEvent>

#include <algorithm>
#include <limits>

FieldEdit::FieldEdit(QWidget* parent) : QLineEdit(parent)
{
    // textEdited reports every user change (keys, paste, drop, input method, undo) and no change made
    // by setText, which is exactly the split between user input and program text.
    connect(this, &QLineEdit::textEdited, this, &FieldEdit::adjustUserEdit);
    // Reads text() rather than the signal's argument: a change that adjustUserEdit replaced is still
    // announced afterwards with the text it replaced.
    connect(this, &QLineEdit::textChanged, this, [this] { m_before = text(); });
}

void FieldEdit::setDigitsOnly(bool on)
{
    m_digitsOnly = on;
    // An input method could only compose text that the box refuses, so typing goes in directly.
    setAttribute(Qt::WA_InputMethodEnabled, !on);
    setInputMethodHints(on ? Qt::ImhDigitsOnly : Qt::ImhNone);
}

std::optional<qint64> FieldEdit::digitValue() const
{
    const QString t = text();
    if (t.isEmpty())
        return std::nullopt;
    constexpr qint64 ceiling = std::numeric_limits<qint64>::max() / 10 - 9;
    qint64 value = 0;
    for (const QChar c : t) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = std::min(value * 10 + (c.unicode() - u'0'), ceiling);
    }
    return value;
}

void FieldEdit::keyPressEvent(QKeyEvent* event)
{
    if (m_digitsOnly && !event->text().isEmpty() && !event->matches(QKeySequence::Paste)) {
        const bool control = event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
        const QChar c = event->text().front();
        // Control characters (backspace, tab, return) and shortcuts keep their meaning.
        if (!control && c.isPrint() && (c < u'0' || c > u'9')) {
            event->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

void FieldEdit::adjustUserEdit(const QString& edited)
{
    // textEdited arrives before textChanged, so m_before still holds the text the user started from.
    const QString before = m_before;
    const bool overLimit = m_limit > 0 && edited.size() > m_limit && edited.size() > before.size();
    if (!overLimit && !m_halfWidthKana)
        return;

    // The insertion ends at the cursor; what follows the cursor is the untouched tail of the old text,
    // and the untouched head is the common prefix, which may not reach into that tail.
    const qsizetype end = cursorPosition();
    const qsizetype tail = edited.size() - end;
    if (tail > before.size() || edited.right(tail) != before.right(tail)) {
        // Not one insertion (an undo, say): refused whole only when it would break the limit.
        if (overLimit) {
            setText(before);
            setCursorPosition(int(before.size()));
        }
        return;
    }
    qsizetype head = 0;
    const qsizetype headMax = std::min<qsizetype>(end, before.size() - tail);
    while (head < headMax && before[head] == edited[head])
        ++head;

    QString inserted = edited.mid(head, end - head);
    if (m_halfWidthKana)
        inserted = CodePage932::toHalfWidth(inserted);
    // A voiced kana becomes two half-width characters, so the limit is applied after the conversion.
    const qsizetype length = head + inserted.size() + tail;
    if (m_limit > 0 && length > m_limit && length > before.size())
        inserted.truncate(std::max<qsizetype>(0, m_limit - head - tail));

    const QString result = before.left(head) % inserted % before.right(tail);
    if (result == edited)
        return;
    // Program text: does not come back here through textEdited.
    setText(result);
    setCursorPosition(int(head + inserted.size()));
}
