#include "celleditor.h"

#include "editorstate.h"
#include "editsession.h"
#include "exchangereport.h"
#include "grid.h"
#include "gridview.h"
#include "okmessagebox.h"
#include "table.h"
#include "tablepaste.h"
#include "uifont.h"

#include <QApplication>
#include <QInputMethod>
#include <QKeyEvent>
#include <QMenuBar>

#include <algorithm>

using namespace Qt::StringLiterals;

CellEditor::CellEditor(EditSession& session, QWidget* parent) : QLineEdit(parent), m_session(session)
{
    setObjectName(u"txt"_s);
    setFont(UiFont::grid());
    // The editor is exactly one cell high; a frame would leave no room for the text.
    setFrame(false);
    setVisible(false);
    for (const TableId id : AllTables) {
        connect(m_session.view(id), &GridView::characterTyped, this,
                [this, id](const QString& text, int key) { beginCellEdit(id, characterCode(text, key)); });
    }
    // Watched application-wide: the keyboard can reach a grid from the menu bar without passing here.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { onFocusChanged(now); });
}

int CellEditor::characterCode(const QString& text, int key)
{
    // The keypad's Enter counts as Enter whatever text the platform gives it.
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        return EnterKey;
    return text.isEmpty() ? 0 : text.at(0).unicode();
}

void CellEditor::beginCellEdit(TableId id, int key)
{
    const bool digit = key >= u'0' && key <= u'9';
    if (key == EnterKey || digit) {
        Grid& grid = m_session.document().grid(id);
        const EditRule rule = m_session.document().table(id).editRule(grid.col());
        // Nothing at all happens on a column that is not typed over: the caption keeps its note too.
        if (!rule.opensEditor || grid.row() < grid.fixedRows())
            return;
        if (digit) {
            open(id, rule, QString(QChar(char16_t(key))), false);
        } else {
            QString text = grid.text(grid.row(), grid.col());
            // A field shorter than its bytes is padded with NULs; they are invisible, yet would use up
            // the length limit before the user typed anything.
            while (text.endsWith(QChar(0)))
                text.chop(1);
            open(id, rule, text, true);
        }
    } else if (key == SpaceKey && id == TableId::Officer) {
        Q_EMIT spaceTypedOnOfficerGrid();
    }
    m_session.document().state().showCurrentPath();
}

void CellEditor::open(TableId id, const EditRule& rule, const QString& text, bool selectAll)
{
    GridView* view = m_session.view(id);
    m_editing = true;
    applyInputMode(rule.inputMode);
    setMaxLength(rule.maxLength > 0 ? rule.maxLength : 32767);
    // The limit cuts the text too, so the caret and the selection are set after it.
    setText(text);
    if (selectAll)
        this->selectAll();
    else
        setCursorPosition(this->text().size());
    // A current cell that was scrolled out of sight, or under the label columns, is brought into view
    // first, so that the editor never covers other cells.
    view->scrollTo(view->currentIndex());
    setGeometry(view->currentCellRect(parentWidget()));
    raise();
    show();
    setFocus(Qt::OtherFocusReason);
}

void CellEditor::applyInputMode(InputMode mode)
{
    // Numbers and hexadecimal codes are typed directly; only the reading column has something to
    // compose, and its commit rule turns what the input method gives into half-width characters.
    const bool composing = mode == InputMode::HalfWidthKatakana;
    setAttribute(Qt::WA_InputMethodEnabled, composing);
    setInputMethodHints(composing ? Qt::ImhNone : Qt::ImhLatinOnly | Qt::ImhNoPredictiveText);
    if (hasFocus())
        QGuiApplication::inputMethod()->update(Qt::ImEnabled | Qt::ImHints);
}

void CellEditor::commitCellEdit()
{
    if (!m_editing)
        return;
    // The visible grid at this moment, which may not be the one the editor opened on; commitText skips
    // a record number or a label column, whose typed-over text would send later stores elsewhere.
    if (const std::optional<TableId> id = m_session.visibleTable()) {
        Grid& grid = m_session.document().grid(*id);
        Table& table = m_session.document().table(*id);
        m_session.record(*id, u"セルの編集"_s, [&] { table.commitText(grid.row(), grid.col(), text()); });
    }
    finish();
}

void CellEditor::fillSelection()
{
    if (!m_editing)
        return;
    ExchangeReport report;
    const std::optional<TableId> id = m_session.visibleTable();
    // A grid that shows no row has no selection to fill.
    if (id && m_session.document().grid(*id).hasCurrentCell()) {
        Grid& grid = m_session.document().grid(*id);
        Table& table = m_session.document().table(*id);
        const int top = std::min(grid.row(), grid.rowSel());
        const int bottom = std::max(grid.row(), grid.rowSel());
        const int left = std::min(grid.col(), grid.colSel());
        const int right = std::max(grid.col(), grid.colSel());
        const QString value = text();
        m_session.record(*id, u"選択範囲に入力"_s,
                         [&] { report = TablePaste::fill(table, value, top, left, bottom, right); });
    }
    finish();
    // After the editor has gone, so that the message does not count as leaving it.
    if (report.hasProblems())
        OkMessageBox::show(&m_session.window(), EditorState::applicationTitle(), report.message());
}

void CellEditor::cancelCellEdit()
{
    if (m_editing)
        finish();
}

void CellEditor::finish()
{
    m_editing = false;
    const bool hadFocus = hasFocus();
    hide();
    if (!hadFocus)
        return;
    if (GridView* view = m_session.visibleView())
        view->setFocus(Qt::OtherFocusReason);
}

void CellEditor::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        // Ctrl+Enter fills the selection, as in spreadsheets; the keypad's Enter counts the same.
        if ((event->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier)
            fillSelection();
        else
            commitCellEdit();
        return;
    case Qt::Key_Escape:
        event->accept();
        cancelCellEdit();
        return;
    default:
        QLineEdit::keyPressEvent(event);
    }
}

void CellEditor::onFocusChanged(QWidget* now)
{
    // Only the keyboard moving to another control of this window counts as leaving the editor. A
    // menu, a dialog or another application takes it for a while and gives it back, and so does the
    // menu bar while the user picks from it by keyboard.
    if (m_editing && now && now != this && now->window() == QLineEdit::window() && !qobject_cast<QMenuBar*>(now))
        cancelCellEdit();
}
