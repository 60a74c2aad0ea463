#include "sequencebatchstep.h"

#include "findbar.h"
#include "findcommands.h"
#include "fuzzinput.h"
#include "grid.h"
#include "sequencefields.h"
#include "sequencesession.h"

#include <QAction>
#include <QLineEdit>

#include <array>

using namespace Qt::StringLiterals;

namespace SequenceBatchStep {

namespace {

bool isNumber(SequenceFields::Kind kind)
{
    using K = SequenceFields::Kind;
    return kind == K::Byte || kind == K::Word || kind == K::LowNibble || kind == K::PairHigh || kind == K::PairLow ||
           kind == K::Lifespan;
}

} // namespace

void batch(SequenceSession& s, FuzzInput& in)
{
    const TableId id = s.visible();
    const Grid& g = s.grid(id);
    QList<int> cols;
    for (int c = 0; c < SequenceFields::columnCount(id); ++c)
        if (SequenceFields::editable(id, c) && isNumber(SequenceFields::field(id, c).kind))
            cols << c;
    if (cols.isEmpty())
        return;
    const int col = cols[in.byte() % cols.size()];
    const int op = in.byte() % 4;
    const int number = in.byte();
    const std::array<QString, 4> ops{u"="_s, u"+="_s, u"-="_s, u"*="_s};
    const QString text = g.text(0, col) + ops[op] + QString::number(number);
    s.trace() << u"batch \"%1\" on table %2"_s.arg(text).arg(int(id));

    // The model's own plan: every row it shows, from the bytes as they were; a value the column's
    // rule refuses (below 0) refuses the whole batch, and a value a record already holds is not sent.
    SequenceModel& model = s.model();
    const QByteArray block = model.blocks()[std::size_t(blockOfTable(id))];
    QList<QPair<int, QString>> sends;
    bool refused = false;
    for (int n = 0; n < SequenceFields::recordCount(id) && !refused; ++n) {
        if (model.isHidden(id, n))
            continue;
        const std::optional<double> held = SequenceFields::numberIn(SequenceFields::display(id, block, n, col, {}));
        if (!held)
            continue;
        const qint64 old = qint64(*held);
        const qint64 value = op == 0 ? number : op == 1 ? old + number : op == 2 ? old - number : old * number;
        if (value == old)
            continue;
        const std::optional<QString> accepted = SequenceFields::accept(id, col, QString::number(value));
        if (!accepted) {
            refused = true;
            break;
        }
        if (SequenceFields::numberIn(*accepted) != held)
            sends.append({n, QString::number(value)});
    }

    s.window().batchAction()->trigger();
    // The window is not active here, so the keys go to the box itself rather than through the focus.
    QLineEdit* box = s.window().findCommands().bar().batchEdit();
    box->setText(text);
    if (s.document().state().block(blockOfTable(id)) != block)
        s.fail(u"the preview changed the table"_s);
    const bool current = g.hasCurrentCell();
    const int focus = current ? SequenceSession::recordAt(g, id, g.row()) : 0;
    SequenceSession::key(box, Qt::Key_Return, u"\r"_s);
    SequenceSession::key(box, Qt::Key_Escape, u"\x1b"_s);
    if (s.window().findCommands().isBarOpen())
        s.fail(u"Escape left the bar open"_s);
    if (refused || sends.isEmpty() || !current)
        return;
    model.beginEdit(id, focus);
    for (const auto& [record, value] : std::as_const(sends))
        model.commit(id, record, col, value);
    model.endEdit();
}

} // namespace SequenceBatchStep
