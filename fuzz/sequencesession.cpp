#include "sequencesession.h"

#include "blockcatalogue.h"
#include "celleditor.h"
#include "findbar.h"
#include "findcommands.h"
#include "grid.h"
#include "gridclipboardcommands.h"
#include "gridmodel.h"
#include "gridview.h"
#include "officergridcommands.h"
#include "sampleimage.h"

#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QUndoStack>

#include <cstdio>
#include <cstdlib>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

// The file's identity, size and modification time: the editor writes a file by replacing it (a new
// identity) and the target's own writes give it a time of their own, so a file whose stamp is the one
// last compared was not written since, and the megabyte is read again only after something wrote it.
std::array<qint64, 4> stamp(const QString& path)
{
    struct stat info
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return {qint64(info.st_ino), qint64(info.st_size), qint64(info.st_mtim.tv_sec), qint64(info.st_mtim.tv_nsec)};
}

// The grid row that shows `record` (items by position, the others by the number in column 0); -1
// when none does. Unless the officers were sorted, the row of record n is n + 1.
int rowOf(const Grid& g, TableId id, int record)
{
    const QString number = QString::number(record);
    if (id == TableId::Item || g.text(record + g.fixedRows(), 0) == number)
        return record + g.fixedRows();
    for (int row = g.fixedRows(); row < g.rows(); ++row)
        if (g.text(row, 0) == number)
            return row;
    return -1;
}

} // namespace

SequenceSession::SequenceSession()
    : m_images{m_dir.filePath(u"a/image.smc"_s), m_dir.filePath(u"b/image.smc"_s)},
      // Lists of different lengths beside the two images.
      m_names{QStringList{u"Aa"_s, u"Ab"_s, u"Ac"_s, u"Ad"_s, u"Ae"_s, u"Af"_s}, QStringList{u"Ba"_s, u"Bb"_s}},
      m_sample(SampleImage::generate())
{
    for (std::size_t k = 0; k < m_images.size(); ++k) {
        QDir().mkpath(QFileInfo(m_images[k]).path());
        QFile list(QFileInfo(m_images[k]).dir().filePath(u"tavrin-fuzz-names.txt"_s));
        if (!list.open(QIODevice::WriteOnly) || list.write(m_names[k].join(u"\r\n"_s).toLatin1()) < 0)
            fail(u"cannot write a name list"_s);
    }
    createWindow();
}

void SequenceSession::createWindow()
{
    m_window = std::make_unique<frmMain>(QStringList{u"tavrin-editor"_s});
    // Relative, so that each open reads the list beside its image (no working folder holds this name).
    document().setNameListPath(u"tavrin-fuzz-names.txt"_s);
    m_window->show();
    m_window->activateWindow();
    // Nothing the steps check is drawn; painting the window in the event loop of each dialog cost
    // four times what the dialog itself does.
    m_window->setUpdatesEnabled(false);
    QApplication::processEvents();
    m_officerCommands = m_window->session().findChild<OfficerGridCommands*>();
    m_clipboard = m_window->session().findChild<GridClipboardCommands*>();
}

void SequenceSession::replaceWindow()
{
    // Destroyed without a close event: no question, no clean-up a close would do.
    m_window.reset();
    createWindow();
    m_sortTag.clear();
    m_reopen = true;
}

TableId SequenceSession::visible() const
{
    return m_window->session().visibleTable().value_or(TableId::Officer);
}

QString SequenceSession::other() const
{
    return m_model.current() == m_images[0] ? m_images[1] : m_images[0];
}

void SequenceSession::fail(const QString& what) const
{
    // A reading padded with NULs would end the message at its first one.
    const auto printable = [](QString text) { return text.replace(QChar(0), u"\\0"_s); };
    std::fprintf(stderr, "fuzz_sequence: after these steps:\n  %s\n%s\n",
                 qUtf8Printable(printable(m_trace.join(u"\n  "_s))), qUtf8Printable(printable(what)));
    std::abort();
}

void SequenceSession::openSample()
{
    if (!QFile::remove(m_images[1]) && QFile::exists(m_images[1]))
        fail(u"cannot remove the second image"_s);
    QFile file(m_images[0]);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(m_sample) != m_sample.size())
        fail(u"cannot write the sample"_s);
    file.close();
    m_window->openImage(m_images[0]);
    if (m_opened[0].isEmpty())
        for (const TableId id : AllTables) {
            const Grid& g = grid(id);
            for (int row = 0; row < g.rows(); ++row)
                for (int col = 0; col < g.cols(); ++col)
                    m_opened[std::size_t(id)] << g.text(row, col);
        }
    m_reopen = false;
}

bool SequenceSession::gridsAsOpened() const
{
    for (const TableId id : AllTables) {
        const Grid& g = m_window->document().grid(id);
        const QStringList& cells = m_opened[std::size_t(id)];
        if (g.hasHiddenRows())
            return false;
        for (int row = 0; row < g.rows(); ++row)
            for (int col = 0; col < g.cols(); ++col)
                if (g.text(row, col) != cells[qsizetype(row) * g.cols() + col])
                    return false;
    }
    return true;
}

void SequenceSession::start()
{
    m_trace = QStringList{u"open the sample"_s};
    m_touched.clear();
    m_window->cellEditor()->cancelCellEdit();
    m_window->findCommands().closeBar();
    for (const int item : {2, 3, 4, 5, 1}) {
        m_window->editItemClicked(item);
        m_window->findCommands().bar().filterEdit()->setText(QString());
    }
    // The last input undid every step; unless something else changed, the session is as opened.
    if (m_reopen || !gridsAsOpened())
        openSample();
    else
        m_window->session().undoStack().clear();
    m_model = Model();
    m_model.setDisk(m_images[0], m_sample);
    m_model.open(m_images[0], m_names[0]);
    m_model.setSortTag(m_sortTag);
    // The same cell of each grid current and alone selected, in the view as in the grid.
    for (const int item : {2, 3, 4, 5, 1}) {
        m_window->editItemClicked(item);
        const TableId id = visible();
        click(id, 1, document().table(id).firstEditableColumn());
    }
    checkNames();
    checkAfterStep();
}

void SequenceSession::undoAll()
{
    m_trace << u"undo every step"_s;
    while (m_model.undoIndex() > 0) {
        m_window->undoAction()->trigger();
        m_model.undo();
    }
    checkAfterStep();
    m_sortTag = m_model.sortTag();
    if (m_model.blocks() != m_model.opened())
        fail(u"the model's own undo does not give the tables as opened"_s);
    for (const auto& [id, record] : m_touched)
        checkRecord(id, record);
}

void SequenceSession::key(QWidget* target, int code, const QString& text, Qt::KeyboardModifiers modifiers)
{
    QKeyEvent press(QEvent::KeyPress, code, modifiers, text);
    QApplication::sendEvent(target, &press);
}

void SequenceSession::click(TableId id, int row, int col, Qt::KeyboardModifiers modifiers, bool twice)
{
    GridView* view = m_window->view(id);
    const QModelIndex index = view->model()->index(GridModel::toModelRow(row), col);
    view->scrollTo(index);
    // Rows shown again reach the scroll bars at the next layout, long run before a person's click.
    if (!view->viewport()->rect().contains(view->visualRect(index).center())) {
        QCoreApplication::processEvents();
        view->scrollTo(index);
    }
    const QPoint at = view->visualRect(index).center();
    const QPoint global = view->viewport()->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, modifiers);
    QApplication::sendEvent(view->viewport(), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, modifiers);
    QApplication::sendEvent(view->viewport(), &release);
    if (!twice)
        return;
    QMouseEvent again(QEvent::MouseButtonDblClick, at, global, Qt::LeftButton, Qt::LeftButton, modifiers);
    QApplication::sendEvent(view->viewport(), &again);
    QApplication::sendEvent(view->viewport(), &release);
}

void SequenceSession::clickHeader(TableId id, int col, bool twice)
{
    GridView* view = m_window->view(id);
    view->scrollTo(view->model()->index(0, col));
    // A label column lies under the label columns' own view, with a header of its own.
    const auto* labels = view->findChild<QTableView*>();
    const bool label = labels && labels->isVisible() && col < grid(id).fixedCols();
    const QHeaderView* header = (label ? labels : static_cast<QTableView*>(view))->horizontalHeader();
    QWidget* area = header->viewport();
    const QPoint at(header->sectionViewportPosition(col) + header->sectionSize(col) / 2, header->height() / 2);
    const QPoint global = area->mapToGlobal(at);
    const auto send = [&](QEvent::Type type, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, global, Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(area, &event);
    };
    for (int k = 0; k < (twice ? 2 : 1); ++k) {
        send(k == 0 ? QEvent::MouseButtonPress : QEvent::MouseButtonDblClick, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, Qt::NoButton);
    }
}

const QStringList& SequenceSession::namesBeside(const QString& path) const
{
    return m_names[path == m_images[0] ? 0 : 1];
}

int SequenceSession::recordAt(const Grid& g, TableId id, int row)
{
    bool ok = false;
    const int record = g.text(row, 0).toInt(&ok);
    return id == TableId::Item ? row - g.fixedRows() : ok ? record : -1;
}

QString SequenceSession::placeInBlock(BlockId block, qsizetype offset) const
{
    for (const TableId id : AllTables) {
        if (blockOfTable(id) != block)
            continue;
        const int record = SequenceFields::recordOf(id, offset);
        const Grid& g = m_window->document().grid(id);
        const bool hidden = g.isRowHidden(rowOf(g, id, record));
        return u"table %1 record %2 (block offset %3)%4"_s.arg(int(id)).arg(record).arg(offset).arg(
            hidden ? u", a row the filter hides"_s : QString());
    }
    return {};
}

QString SequenceSession::placeInFile(qsizetype at) const
{
    if (at >= Model::PairAt && at < Model::PairAt + 4)
        return u"the checksum pair"_s;
    for (const BlockSpec& range : BlockCatalogue)
        if (at >= range.position && at < range.position + range.size)
            return placeInBlock(range.id, at - range.position);
    return u"outside the tables, at 0x%1"_s.arg(at, 0, 16);
}

QString SequenceSession::firstDifference(const QByteArray& is, const QByteArray& expected) const
{
    if (is.size() != expected.size())
        return u"%1 bytes, the model expects %2"_s.arg(is.size()).arg(expected.size());
    qsizetype at = 0;
    while (is[at] == expected[at])
        ++at;
    return u"%1 is 0x%2, the model expects 0x%3"_s.arg(placeInFile(at))
        .arg(quint8(is[at]), 2, 16, QChar(u'0'))
        .arg(quint8(expected[at]), 2, 16, QChar(u'0'));
}

void SequenceSession::checkFiles()
{
    for (const BlockSpec& range : BlockCatalogue) {
        const QByteArray& is = document().state().block(range.id);
        const QByteArray& expected = m_model.blocks()[std::size_t(range.id)];
        if (is == expected)
            continue;
        qsizetype at = 0;
        while (is[at] == expected[at])
            ++at;
        fail(u"the tables differ from the model: %1 is %2, the model expects %3"_s.arg(placeInBlock(range.id, at))
                 .arg(quint8(is[at]))
                 .arg(quint8(expected[at])));
    }
    static QByteArray buffer;
    for (std::size_t k = 0; k < m_images.size(); ++k) {
        const QString& path = m_images[k];
        const auto disk = m_model.disk().constFind(path);
        if (disk == m_model.disk().constEnd()) {
            if (QFile::exists(path))
                fail(u"a file the model does not know was written: "_s + path);
            continue;
        }
        const std::array<qint64, 4> now = stamp(path);
        if (now == m_stamps[k] && disk->isSharedWith(m_compared[k]))
            continue;
        QFile file(path);
        buffer.resize(file.size());
        if (!file.open(QIODevice::ReadOnly) || file.read(buffer.data(), buffer.size()) != buffer.size())
            fail(u"cannot read "_s + path);
        if (buffer != *disk)
            fail(u"the file %1 differs from the model: %2"_s.arg(path, firstDifference(buffer, *disk)));
        m_stamps[k] = now;
        m_compared[k] = *disk;
    }
}

// Every cell of a record shows what the model says, derived columns included, and the cells that
// have bytes are tinted exactly where their text differs from what the file last gave them.
void SequenceSession::checkRecord(TableId id, int record)
{
    using Kind = SequenceFields::Kind;
    const Grid& g = grid(id);
    const int row = rowOf(g, id, record);
    if (row < 0)
        fail(u"no row shows record %1 of table %2"_s.arg(record).arg(int(id)));
    for (int col = 0; col < g.cols(); ++col) {
        const Kind kind = SequenceFields::field(id, col).kind;
        // Labels and empty columns hold nothing of the record; column 0 numbers it (not on items).
        if (kind == Kind::None && (col > 0 || id == TableId::Item))
            continue;
        const QString shown = m_model.cellText(id, record, col);
        if (g.text(row, col) != shown)
            fail(u"table %1 record %2 column %3 shows \"%4\", the model expects \"%5\""_s.arg(int(id))
                     .arg(record)
                     .arg(col)
                     .arg(g.text(row, col), shown));
        if (!SequenceFields::editable(id, col))
            continue;
        if (g.isChanged(row, col) != (shown != m_model.markedText(id, record, col)))
            fail(u"table %1 record %2 column %3 is %4 tinted"_s.arg(int(id)).arg(record).arg(col).arg(
                g.isChanged(row, col) ? u"wrongly"_s : u"not"_s));
    }
}

void SequenceSession::checkRows()
{
    for (const TableId id : AllTables) {
        const Grid& g = grid(id);
        if (!g.hasHiddenRows() && !m_model.hasHidden(id))
            continue;
        for (int row = g.fixedRows(); row < g.rows(); ++row) {
            const int record = recordAt(g, id, row);
            if (g.isRowHidden(row) != m_model.isHidden(id, record))
                fail(u"table %1 record %2 is %3, the model expects it %4"_s.arg(int(id)).arg(record).arg(
                    g.isRowHidden(row) ? u"hidden"_s : u"shown"_s, g.isRowHidden(row) ? u"shown"_s : u"hidden"_s));
        }
    }
    const Grid& officers = grid(TableId::Officer);
    const QList<int>& order = m_model.officerOrder();
    for (int row = officers.fixedRows(); row < officers.rows(); ++row)
        if (officers.text(row, 0) != QString::number(order.value(row - officers.fixedRows())))
            fail(u"officer row %1 shows record %2, the model's order has %3"_s.arg(row)
                     .arg(officers.text(row, 0))
                     .arg(order.value(row - officers.fixedRows())));
}

void SequenceSession::checkAfterStep()
{
    if (!m_answers.problem().isEmpty())
        fail(m_answers.problem());
    checkFiles();
    const QUndoStack& stack = m_window->session().undoStack();
    if (stack.count() != m_model.undoCount() || stack.index() != m_model.undoIndex())
        fail(u"the undo history has %1 steps, %2 done; the model expects %3, %4 done"_s.arg(stack.count())
                 .arg(stack.index())
                 .arg(m_model.undoCount())
                 .arg(m_model.undoIndex()));
    if (document().state().currentPath() != m_model.current())
        fail(u"the open file is "_s + document().state().currentPath());
    for (const TableId id : AllTables) {
        Grid& g = grid(id);
        if (g.row() >= g.fixedRows() && g.row() < g.rows() && g.isRowHidden(g.row()))
            fail(u"the current cell of table %1 is on row %2, which the filter hides"_s.arg(int(id)).arg(g.row()));
    }
    checkRows();
    std::set<std::pair<TableId, int>> changed;
    for (const auto& [block, offset] : m_model.takeChanged())
        for (const TableId id : AllTables)
            if (blockOfTable(id) == block)
                changed.insert({id, SequenceFields::recordOf(id, offset)});
    for (const auto& [id, record] : changed)
        checkRecord(id, record);
    m_touched.insert(changed.begin(), changed.end());
}

void SequenceSession::checkNames()
{
    const QStringList& names = namesBeside(m_model.current());
    const Grid& g = grid(TableId::Placement);
    for (int row = g.fixedRows(); row < g.rows(); ++row)
        if (g.text(row, 1) != names.value(row - 1))
            fail(u"placement row %1 shows the name \"%2\", the list beside the image has \"%3\""_s.arg(row).arg(
                g.text(row, 1), names.value(row - 1)));
}
