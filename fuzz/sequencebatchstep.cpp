#include "sequencebatchstep.h"

#include "findbar.h"
#include "findcommands.h"
#include "fuzzinput.h"
#include "grid.h"
#include "sequencesession.h"

#include <QAction>
#include <QLineEdit>

#include <array>

using namespace Qt::StringLiterals;

namespace SequenceBatchStep {

void batch(SequenceSession& s, FuzzInput& in)
{
    using Model = SequenceModel;
    const TableId id = s.visible();
    const Grid& g = s.grid(id);
    const QList<int> cols = Model::byteColumns(id);
    const int col = cols[in.byte() % cols.size()];
    const int op = in.byte() % 4;
    const int number = in.byte();
    const std::array<QString, 4> ops{u"="_s, u"+="_s, u"-="_s, u"*="_s};
    const QString text = g.text(0, col) + ops[op] + QString::number(number);
    s.trace() << u"batch \"%1\" on table %2"_s.arg(text).arg(int(id));

    // Every shown row, from the bytes as they were; one value below 0 refuses the whole batch.
    const QByteArray& block = s.model().blocks()[std::size_t(blockOfTable(id))];
    const int cap = *Model::cap(id, col);
    QList<Model::Write> writes;
    bool refused = false;
    for (int row = g.fixedRows(); row < g.rows(); ++row) {
        if (g.isRowHidden(row))
            continue;
        const qsizetype at = Model::offsetOf(id, g.text(row, 0).toInt(), col);
        const int old = quint8(block.at(at));
        const int value = op == 0 ? number : op == 1 ? old + number : op == 2 ? old - number : old * number;
        refused = refused || value < 0;
        if (value != old)
            writes << Model::Write{blockOfTable(id), at, char(std::min(value, cap))};
    }

    s.window().batchAction()->trigger();
    // The window is not active here, so the keys go to the box itself rather than through the focus.
    QLineEdit* box = s.window().findCommands().bar().batchEdit();
    box->setText(text);
    const QByteArray before = s.document().state().block(blockOfTable(id));
    if (before != block)
        s.fail(u"the preview changed the table"_s);
    SequenceSession::key(box, Qt::Key_Return, u"\r"_s);
    SequenceSession::key(box, Qt::Key_Escape, u"\x1b"_s);
    if (s.window().findCommands().isBarOpen())
        s.fail(u"Escape left the bar open"_s);
    s.model().edit(refused ? QList<Model::Write>() : writes);
}

} // namespace SequenceBatchStep
