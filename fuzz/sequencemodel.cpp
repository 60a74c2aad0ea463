#include "sequencemodel.h"

#include <bit>
#include <algorithm>
#include <set>

namespace {

constexpr qsizetype CartridgeStart = 0x200;
constexpr qsizetype PairInCartridge = 0x7FDC;

} // namespace

// Left out of the coverage that guides the fuzzer: a megabyte of compares per save would cost more
// than the save under test, and this loop has nothing to find.
__attribute__((no_sanitize("coverage"))) QByteArray SequenceModel::checksumPair(const QByteArray& image)
{
    const qsizetype size = image.size() - CartridgeStart;
    if (!std::has_single_bit(quint64(size)))
        qFatal("the sequence model sums images of a power-of-two size only");
    // The four pair bytes count as FF FF 00 00, whatever they hold.
    quint32 sum = 0x1FE;
    const auto* cartridge = reinterpret_cast<const quint8*>(image.constData() + CartridgeStart);
    for (qsizetype i = 0; i < size; ++i)
        if (i < PairInCartridge || i >= PairInCartridge + 4)
            sum += cartridge[i];
    const quint16 checksum = quint16(sum);
    const quint16 complement = checksum ^ 0xFFFF;
    const char pair[4]{char(complement & 0xFF), char(complement >> 8), char(checksum & 0xFF), char(checksum >> 8)};
    return QByteArray(pair, 4);
}

void SequenceModel::open(const QString& path, const QStringList& names)
{
    m_current = path;
    m_names = names;
    m_texts.clear();
    m_markedTexts.clear();
    m_pending.reset();
    // An open refills the grids in record order and shows every row.
    for (QList<bool>& hidden : m_hidden)
        hidden.clear();
    m_order.clear();
    for (int n = 0; n < SequenceFields::recordCount(TableId::Officer); ++n)
        m_order << n;
    m_lastSaved = m_disk.value(path);
    for (const BlockSpec& range : BlockCatalogue)
        m_blocks[std::size_t(range.id)] = m_lastSaved.mid(range.position, range.size);
    m_opened = m_marked = m_blocks;
    m_steps.clear();
    m_index = m_clean = 0;
    m_request = Request::Keep;
    m_changedOutside = false;
    m_changed.clear();
}

QString SequenceModel::textIn(const Blocks& blocks, const QMap<CellKey, QString>& texts, TableId id, int record,
                              int col) const
{
    const auto typed = texts.constFind({id, record, col});
    if (typed != texts.constEnd())
        return *typed;
    return SequenceFields::display(id, blocks[std::size_t(blockOfTable(id))], record, col, m_names);
}

QString SequenceModel::cellText(TableId id, int record, int col) const
{
    return textIn(m_blocks, m_texts, id, record, col);
}

QString SequenceModel::markedText(TableId id, int record, int col) const
{
    return textIn(m_marked, m_markedTexts, id, record, col);
}

void SequenceModel::beginEdit(TableId id, int record)
{
    m_pending = Step{};
    m_pending->table = id;
    m_pending->record = record;
}

SequenceModel::Outcome SequenceModel::commit(TableId id, int record, int col, const QString& text)
{
    if (!SequenceFields::editable(id, col) || record < 0)
        return Outcome::Skipped;
    const std::optional<QString> accepted = SequenceFields::accept(id, col, text);
    if (!accepted)
        return Outcome::Refused;
    const SequenceFields::Field field = SequenceFields::field(id, col);
    const int partnerCol = field.kind == SequenceFields::Kind::PairHigh  ? col + 1
                           : field.kind == SequenceFields::Kind::PairLow ? col - 1
                                                                         : col;
    const QList<Write> writes = SequenceFields::store(id, m_blocks[std::size_t(blockOfTable(id))], record, col,
                                                      *accepted, cellText(id, record, partnerCol));
    Step& step = *m_pending;
    const CellKey key{id, record, col};
    if (!step.textsBefore.contains(key))
        step.textsBefore[key] = m_texts.contains(key) ? std::optional<QString>(m_texts[key]) : std::nullopt;
    for (const Write& write : writes) {
        // A byte written twice counts once, with its first value as the one before.
        if (std::none_of(step.before.begin(), step.before.end(),
                         [&](const Write& w) { return w.block == write.block && w.offset == write.offset; }))
            step.before << Write{write.block, write.offset, m_blocks[std::size_t(write.block)].at(write.offset)};
        step.after << write;
    }
    apply(writes);
    // The cell shows the accepted text, which is what its bytes show unless it was typed otherwise
    // (a hex name in lower case, a reading without its padding).
    m_texts.remove(key);
    if (cellText(id, record, col) != *accepted)
        m_texts[key] = *accepted;
    step.textsAfter[key] = m_texts.contains(key) ? std::optional<QString>(m_texts[key]) : std::nullopt;
    return Outcome::Stored;
}

void SequenceModel::showBytes(TableId id, int record)
{
    for (int col = 0; col < SequenceFields::columnCount(id); ++col) {
        const CellKey key{id, record, col};
        if (!m_texts.contains(key))
            continue;
        if (!m_pending->textsBefore.contains(key))
            m_pending->textsBefore[key] = m_texts[key];
        m_pending->textsAfter[key] = std::nullopt;
        m_texts.remove(key);
    }
}

void SequenceModel::endEdit()
{
    Step step = std::move(*m_pending);
    m_pending.reset();
    bool changes = false;
    for (const Write& before : std::as_const(step.before))
        changes = changes || m_blocks[std::size_t(before.block)].at(before.offset) != before.value;
    if (changes)
        push(std::move(step));
}

void SequenceModel::applyTexts(const QMap<CellKey, std::optional<QString>>& texts)
{
    for (auto it = texts.constBegin(); it != texts.constEnd(); ++it)
        if (*it)
            m_texts[it.key()] = **it;
        else
            m_texts.remove(it.key());
}

void SequenceModel::showStepCell(const Step& step)
{
    if (isHidden(step.table, step.record))
        m_hidden[std::size_t(step.table)].clear();
}

void SequenceModel::filter(TableId id, const Filter& filter)
{
    if (!filter.valid)
        return;
    QList<bool>& hidden = m_hidden[std::size_t(id)];
    hidden.clear();
    if (filter.kind == Filter::Kind::None)
        return;
    const int records = SequenceFields::recordCount(id);
    const int cols = SequenceFields::columnCount(id);
    bool any = false;
    QList<bool> flags(records, false);
    for (int n = 0; n < records; ++n) {
        bool matches = false;
        if (filter.kind == Filter::Kind::Word) {
            for (int col = 0; col < cols && !matches; ++col)
                matches = cellText(id, n, col).contains(filter.word);
        } else if (const std::optional<double> v = SequenceFields::numberIn(cellText(id, n, filter.col))) {
            const double x = filter.number;
            const std::array<bool, 6> holds{*v > x, *v >= x, *v < x, *v <= x, *v == x, *v != x};
            matches = holds[std::size_t(filter.op)];
        }
        flags[n] = !matches;
        any = any || !matches;
    }
    if (any)
        hidden = flags;
}

bool SequenceModel::isHidden(TableId id, int record) const
{
    const QList<bool>& hidden = m_hidden[std::size_t(id)];
    return record >= 0 && record < hidden.size() && hidden[record];
}

void SequenceModel::sortOfficers(int col)
{
    const QString key = QString::number(col);
    const bool descending = m_tag != key;
    struct Key
    {
        std::optional<double> number;
        QString text;
    };
    QMap<int, Key> keys;
    for (const int n : std::as_const(m_order)) {
        const QString text = cellText(TableId::Officer, n, col);
        keys[n] = Key{SequenceFields::numberIn(text), text};
    }
    // Numbers before texts, whichever the direction; equal keys keep their order.
    std::stable_sort(m_order.begin(), m_order.end(), [&](int a, int b) {
        const Key& x = keys[a];
        const Key& y = keys[b];
        if (x.number.has_value() != y.number.has_value())
            return x.number.has_value();
        if (x.number)
            return descending ? *x.number > *y.number : *x.number < *y.number;
        const int order = x.text.compare(y.text);
        return descending ? order > 0 : order < 0;
    });
    m_tag = descending ? key : QString();
}

void SequenceModel::requestChecksumFix()
{
    Step step;
    step.fix = true;
    push(std::move(step));
    --m_index;
    redo();
}

void SequenceModel::push(Step step)
{
    m_steps.resize(m_index);
    // As QUndoStack does: a clean state that was undone past can no longer be reached.
    if (m_clean > m_index)
        m_clean = -1;
    m_steps << std::move(step);
    ++m_index;
}

void SequenceModel::apply(const QList<Write>& writes)
{
    for (const Write& write : writes) {
        m_blocks[std::size_t(write.block)][write.offset] = write.value;
        m_changed << qMakePair(write.block, write.offset);
    }
}

void SequenceModel::undo()
{
    if (m_index == 0)
        return;
    const Step& step = m_steps[--m_index];
    if (!step.fix) {
        if (step.setsRequest) {
            m_request = step.requestBefore;
            m_put = step.putBefore;
        }
        apply(step.before);
        applyTexts(step.textsBefore);
        showStepCell(step);
        return;
    }
    // Undoing a fix that no save wrote leaves the four bytes alone (or to the request before it);
    // undoing one that a save wrote puts back what that save wrote over.
    if (step.pairSavesAtRedo < m_overwrittenPairs.size() && step.requestBefore == Request::Keep) {
        m_request = Request::Put;
        m_put = m_overwrittenPairs[step.pairSavesAtRedo];
    } else {
        m_request = step.requestBefore;
        m_put = step.putBefore;
    }
}

void SequenceModel::redo()
{
    if (m_index == m_steps.size())
        return;
    Step& step = m_steps[m_index++];
    if (!step.fix) {
        if (step.setsRequest) {
            step.requestBefore = std::exchange(m_request, step.request);
            step.putBefore = std::exchange(m_put, step.put);
        }
        apply(step.after);
        applyTexts(step.textsAfter);
        return showStepCell(step);
    }
    step.requestBefore = m_request;
    step.putBefore = m_put;
    step.pairSavesAtRedo = m_overwrittenPairs.size();
    m_request = Request::Fix;
}

QByteArray SequenceModel::savedImage() const
{
    QByteArray image = m_disk.value(m_current);
    for (const BlockSpec& range : BlockCatalogue)
        image.replace(range.position, range.size, m_blocks[std::size_t(range.id)]);
    if (m_request == Request::Fix)
        image.replace(PairAt, 4, checksumPair(image));
    else if (m_request == Request::Put)
        image.replace(PairAt, 4, m_put);
    return image;
}

void SequenceModel::save(const QString& path)
{
    const QByteArray image = savedImage();
    const QByteArray overwritten = pairOf(m_disk.value(m_current));
    m_disk[path] = image;
    m_current = path;
    m_lastSaved = image;
    m_marked = m_blocks;
    m_markedTexts = m_texts;
    m_clean = m_index;
    m_changedOutside = false;
    // A save that wrote the pair: what it wrote over is kept for an undo, and a Put is carried out once.
    if (m_request != Request::Keep)
        m_overwrittenPairs << overwritten;
    if (m_request == Request::Put)
        m_request = Request::Keep;
}

void SequenceModel::changeOutside(qsizetype at, const QByteArray& bytes)
{
    m_disk[m_current].replace(at, bytes.size(), bytes);
    m_changedOutside = true;
}

SequenceModel::Kept SequenceModel::kept() const
{
    const ChecksumRequest request = m_request == Request::Fix   ? ChecksumRequest::fix()
                                    : m_request == Request::Put ? ChecksumRequest::put(m_put)
                                                                : ChecksumRequest::keep();
    return {m_blocks, request};
}

int SequenceModel::changedCells() const
{
    // Only a record whose bytes differ from the marked ones, or that holds a typed text, can show
    // another text than it did.
    std::set<std::pair<TableId, int>> records;
    for (const TableId id : AllTables) {
        const std::size_t block = std::size_t(blockOfTable(id));
        for (qsizetype at = 0; at < m_blocks[block].size(); ++at)
            if (m_blocks[block][at] != m_marked[block][at])
                records.insert({id, SequenceFields::recordOf(id, at)});
    }
    for (const QMap<CellKey, QString>* texts : {&m_texts, &m_markedTexts})
        for (auto it = texts->keyBegin(); it != texts->keyEnd(); ++it)
            records.insert({std::get<0>(*it), std::get<1>(*it)});
    int count = 0;
    for (const auto& [id, record] : records)
        for (int col = 0; col < SequenceFields::columnCount(id); ++col)
            count += cellText(id, record, col) != markedText(id, record, col) ? 1 : 0;
    return count;
}

void SequenceModel::restore(const Kept& kept)
{
    Step step;
    step.record = -1;
    for (const TableId id : AllTables) {
        const BlockId block = blockOfTable(id);
        const QByteArray& now = m_blocks[std::size_t(block)];
        const QByteArray& then = kept.blocks[std::size_t(block)];
        for (qsizetype at = 0; at < now.size(); ++at) {
            if (now[at] == then[at])
                continue;
            // The undo shows the first table that changed, on the current row an open leaves.
            if (step.record < 0) {
                step.table = id;
                step.record = 0;
            }
            step.before << Write{block, at, now[at]};
            step.after << Write{block, at, then[at]};
        }
    }
    step.setsRequest = kept.request.kind() != ChecksumRequest::Kind::Keep;
    step.request = kept.request.kind() == ChecksumRequest::Kind::Fix   ? Request::Fix
                   : kept.request.kind() == ChecksumRequest::Kind::Put ? Request::Put
                                                                       : Request::Keep;
    step.put = kept.request.pair();
    if (step.after.isEmpty() && !step.setsRequest)
        return;
    push(std::move(step));
    --m_index;
    redo();
}
