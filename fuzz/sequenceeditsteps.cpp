#include "sequenceeditsteps.h"

#include "celleditor.h"
#include "frmedit.h"
#include "fuzzinput.h"
#include "grid.h"
#include "gridclipboardcommands.h"
#include "officergridcommands.h"
#include "sequencesession.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

using Model = SequenceModel;
using Kind = SequenceFields::Kind;

bool isShownCell(const Grid& g, int row, int col)
{
    return row >= g.fixedRows() && row < g.rows() && !g.isRowHidden(row) && col >= 0 && col < g.cols();
}

// A shown data row near `wanted`; nullopt when the filter hides every row.
std::optional<int> shownRow(const Grid& g, int wanted)
{
    int row = g.nextShownRow(g.fixedRows() + wanted % (g.rows() - g.fixedRows()) - 1, 1);
    if (row >= g.rows())
        row = g.nextShownRow(g.rows(), -1);
    return row >= g.fixedRows() ? std::optional<int>(row) : std::nullopt;
}

// A text for a cell of `col`, from two operand values: mostly what the column takes (numbers up to a
// quarter above the cap, now and then with a half to round; hex digits in either case; readings of
// ASCII and half-width kana, a full-width ア to convert), sometimes what it refuses.
QString textFor(TableId id, int col, int choice, int value)
{
    const SequenceFields::Field field = SequenceFields::field(id, col);
    if (field.kind == Kind::Hex) {
        QString text;
        for (int k = 0; k < 2 * field.size; ++k)
            text += QString::number((value >> (k % 12) ^ choice * (k + 3)) & 0xF, 16);
        text = choice % 2 ? text.toUpper() : text;
        return choice % 8 == 7 ? text.chopped(1) : choice % 8 == 6 ? text.left(text.size() - 1) + u'g' : text;
    }
    if (field.kind == Kind::Reading) {
        static const QStringList Alphabet{u"A"_s, u"z"_s, u"7"_s,  u" "_s, u"ｱ"_s,
                                          u"ﾝ"_s, u"ﾞ"_s, u"ア"_s, u"-"_s, u"漢"_s};
        QString text;
        for (int k = 0; k <= choice % 10; ++k)
            text += Alphabet[(value >> k ^ choice * k) % (k == 0 ? 9 : 10)];
        return text;
    }
    const int number = value % (field.cap + field.cap / 4 + 2);
    switch (choice % 8) {
    case 5:
        return QString::number(number / 2) + u".5"_s;
    case 6:
        return u"-"_s + QString::number(number % 10 + 1);
    case 7:
        return QString::number(number) + u"x"_s;
    default:
        return QString::number(number);
    }
}

// Sends `text` into every shown cell of the rectangle through the model, as a fill does.
void fillModel(SequenceSession& s, TableId id, const QString& text, int top, int left, int bottom, int right)
{
    const Grid& g = s.grid(id);
    for (int row = top; row <= bottom; ++row)
        for (int col = left; col <= right && !g.isRowHidden(row); ++col)
            s.model().commit(id, SequenceSession::recordAt(g, id, row), col, text);
}

} // namespace

namespace SequenceEditSteps {

void click(SequenceSession& s, FuzzInput& in, bool shift)
{
    const TableId id = s.visible();
    const Grid& g = s.grid(id);
    const int col = in.byte() % g.cols();
    const std::optional<int> row = shownRow(g, in.word());
    if (!row || (shift && !isShownCell(g, g.row(), g.col())))
        return;
    s.trace() << u"%1 row %2 column %3"_s.arg(shift ? u"shift-click"_s : u"click"_s).arg(*row).arg(col);
    s.click(id, *row, col, shift ? Qt::ShiftModifier : Qt::NoModifier);
    if (!shift && (g.row() != *row || g.col() != col))
        s.fail(u"the click made row %1 column %2 current"_s.arg(g.row()).arg(g.col()));
}

void typeValue(SequenceSession& s, FuzzInput& in)
{
    const TableId id = s.visible();
    const Grid& g = s.grid(id);
    const int choice = in.byte();
    const int value = in.word();
    int finish = in.byte() % 4; // Enter, Enter, Ctrl+Enter, Escape
    const int row = g.row();
    const int col = g.col();
    const bool shown = isShownCell(g, row, col);
    if (shown && !SequenceFields::editable(id, col))
        return;
    const int length = shown ? SequenceFields::field(id, col).length : 4;
    const QString text = textFor(id, shown ? col : 3, choice, value).left(length);
    CellEditor* editor = s.window().cellEditor();
    s.trace() << u"type \"%1\" on table %2 at row %3 column %4"_s.arg(text).arg(int(id)).arg(row).arg(col);
    // A digit opens the editor with itself; Enter opens it on the cell's text, selected, which the
    // first character then replaces.
    const bool digit = text[0].isDigit();
    if (digit)
        SequenceSession::key(s.window().view(id), Qt::Key_0 + text[0].digitValue(), text.left(1));
    else
        SequenceSession::key(s.window().view(id), Qt::Key_Return, u"\r"_s);
    if (shown && !editor->isEditing())
        s.fail(u"the cell editor did not open on a shown cell"_s);
    if (editor->isEditing() && (g.row() != row || g.col() != col))
        s.fail(u"the first key moved the current cell to row %1 column %2"_s.arg(g.row()).arg(g.col()));
    if (finish == 2 && !shown)
        finish = 0;
    s.trace().last() +=
        finish == 2   ? u", Ctrl+Enter to rows %1-%2, columns %3-%4"_s.arg(row).arg(g.rowSel()).arg(col).arg(g.colSel())
        : finish == 3 ? u", Escape"_s
                      : u", Enter"_s;
    if (shown && finish != 3) {
        s.model().beginEdit(id, SequenceSession::recordAt(g, id, row));
        if (finish < 2)
            s.model().commit(id, SequenceSession::recordAt(g, id, row), col, text);
        else
            fillModel(s, id, text, std::min(row, g.rowSel()), std::min(col, g.colSel()), std::max(row, g.rowSel()),
                      std::max(col, g.colSel()));
        s.model().endEdit();
    }
    s.answers().allowReports();
    s.answers().run([&] {
        for (const QChar c : text.mid(digit ? 1 : 0))
            SequenceSession::key(editor, c.isDigit() ? Qt::Key_0 + c.digitValue() : int(Qt::Key_unknown), QString(c));
        if (g.row() != row || g.col() != col)
            s.fail(u"typing moved the current cell"_s);
        if (finish == 3)
            SequenceSession::key(editor, Qt::Key_Escape, u"\x1b"_s);
        else
            SequenceSession::key(editor, Qt::Key_Return, u"\r"_s, finish == 2 ? Qt::ControlModifier : Qt::NoModifier);
    });
}

void paste(SequenceSession& s, FuzzInput& in)
{
    const TableId id = s.visible();
    Grid& g = s.grid(id);
    const int shape = in.byte();
    const bool shown = isShownCell(g, g.row(), g.col());
    const int left = std::min(g.col(), g.colSel());
    const int top = std::min(g.row(), g.rowSel());
    QList<QStringList> cells(1 + shape % 3);
    for (QStringList& line : cells)
        for (int c = 0; c < 1 + shape / 3 % 3; ++c) {
            const int choice = in.byte();
            line << textFor(id, std::min(left + c, g.cols() - 1), choice, choice * 997 + c);
        }
    QStringList lines;
    for (const QStringList& line : std::as_const(cells))
        lines << line.join(u'\t');
    const QString text = lines.join(u"\r\n"_s);
    s.trace() << u"paste \"%1\" on table %2 at row %3 column %4 (selection to %5, %6)"_s.arg(text)
                     .arg(int(id))
                     .arg(g.row())
                     .arg(g.col())
                     .arg(g.rowSel())
                     .arg(g.colSel());
    if (shown) {
        s.model().beginEdit(id, SequenceSession::recordAt(g, id, g.row()));
        const bool fills =
            cells.size() == 1 && cells[0].size() == 1 && (g.row() != g.rowSel() || g.col() != g.colSel());
        if (fills) {
            fillModel(s, id, text, top, left, std::max(g.row(), g.rowSel()), std::max(g.col(), g.colSel()));
        } else {
            // Into consecutive shown rows from the selection's top.
            int row = g.isRowHidden(top) ? g.nextShownRow(top, 1) : top;
            for (const QStringList& line : std::as_const(cells)) {
                for (int c = 0; c < line.size() && row < g.rows() && left + c < g.cols(); ++c)
                    s.model().commit(id, SequenceSession::recordAt(g, id, row), left + c, line[c]);
                row = g.nextShownRow(row, 1);
            }
        }
        s.model().endEdit();
    }
    QGuiApplication::clipboard()->setText(text);
    s.answers().allowReports();
    s.answers().run([&] { s.clipboard().paste(id); });
}

void officerDialog(SequenceSession& s, FuzzInput& in)
{
    // The boxes that show one byte: 武力 to 魅力, 生年, 相性, 義理, 血縁; each shows column box + 1.
    constexpr std::array<int, 10> Boxes{2, 3, 4, 5, 6, 7, 12, 14, 15, 16};
    const int chosen = in.word() & 0x3FF;
    const bool ok = in.byte() % 3 != 0;
    std::array<int, 10> values{};
    for (std::size_t k = 0; k < Boxes.size(); ++k)
        if (chosen & (1 << k))
            values[k] = in.byte() % (SequenceFields::field(TableId::Officer, Boxes[k] + 1).cap + 1);
    if (s.visible() != TableId::Officer) {
        s.trace() << u"show the officers"_s;
        s.window().editItemClicked(1);
    }
    const Grid& g = s.grid(TableId::Officer);
    const int row = g.row();
    if (row < g.fixedRows() || row >= g.rows())
        return;
    // The dialog opens on a double-click on the row, which a hidden row cannot have.
    const bool shown = isShownCell(g, row, g.col());
    if (!shown)
        return;
    const int record = SequenceSession::recordAt(g, TableId::Officer, row);
    QStringList typed;
    if (ok)
        s.model().beginEdit(TableId::Officer, record);
    for (std::size_t k = 0; k < Boxes.size(); ++k)
        if (chosen & (1 << k)) {
            typed << u"box %1 = %2"_s.arg(Boxes[k]).arg(values[k]);
            if (ok)
                s.model().commit(TableId::Officer, record, Boxes[k] + 1, QString::number(values[k]));
        }
    if (ok) {
        s.model().showBytes(TableId::Officer, record);
        s.model().endEdit();
    }
    s.trace() << u"double-click row %1 for the officer dialog: %2, %3"_s.arg(row).arg(typed.join(u", "_s),
                                                                                      ok ? u"OK"_s : u"Cancel"_s);
    s.answers().expectDialog([&](QDialog* dialog) {
        auto* edit = qobject_cast<frmEdit*>(dialog);
        for (std::size_t k = 0; k < Boxes.size() && edit; ++k)
            if (chosen & (1 << k))
                edit->box(Boxes[k])->setText(QString::number(values[k]));
        edit ? edit->button(ok ? 0 : 1)->click() : dialog->reject();
    });
    s.answers().run([&] { s.click(TableId::Officer, row, g.col(), Qt::NoModifier, true); });
}

} // namespace SequenceEditSteps
