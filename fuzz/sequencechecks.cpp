#include "sequencesession.h"

#include "blockcatalogue.h"
#include "grid.h"
#include "gridmodel.h"
#include "gridview.h"

#include <QFile>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

// What the session checks after every step: the files, the tables, the records an edit touched, the
// rows a filter hides and the officers' order, against the model.

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
