#include "sequencemodel.h"

#include <bit>
#include <set>

namespace {

constexpr qsizetype RecordSize = 30;
constexpr qsizetype ScenarioSize = 2124;
constexpr qsizetype CartridgeStart = 0x200;
constexpr qsizetype PairInCartridge = 0x7FDC;

struct ByteColumn
{
    int col;
    qsizetype offset;
    int cap;
};

// Officer and city columns that show one byte of the 30-byte record; every placement column from 2
// to 25 shows one byte of a 4-byte record in one of six scenario blocks of 2124 bytes.
constexpr std::array<ByteColumn, 10> OfficerColumns{{{3, 7, 255},
                                                     {4, 5, 255},
                                                     {5, 6, 255},
                                                     {6, 8, 255},
                                                     {7, 9, 255},
                                                     {8, 10, 255},
                                                     {13, 14, 255},
                                                     {15, 11, 150},
                                                     {16, 12, 100},
                                                     {17, 13, 255}}};
constexpr std::array<ByteColumn, 8> CityColumns{{{6, 11, 255},
                                                 {7, 13, 255},
                                                 {8, 12, 255},
                                                 {10, 16, 255},
                                                 {11, 17, 255},
                                                 {15, 24, 255},
                                                 {16, 25, 255},
                                                 {17, 26, 255}}};

template <std::size_t N> const ByteColumn* find(const std::array<ByteColumn, N>& columns, int col)
{
    for (const ByteColumn& column : columns)
        if (column.col == col)
            return &column;
    return nullptr;
}

const ByteColumn* byteColumn(TableId id, int col)
{
    static const ByteColumn placement{0, 0, 255};
    switch (id) {
    case TableId::Officer:
        return find(OfficerColumns, col);
    case TableId::City:
        return find(CityColumns, col);
    case TableId::Placement:
        return col >= 2 && col <= 25 ? &placement : nullptr;
    default:
        return nullptr;
    }
}

} // namespace

std::optional<int> SequenceModel::cap(TableId id, int col)
{
    const ByteColumn* column = byteColumn(id, col);
    return column ? std::optional<int>(column->cap) : std::nullopt;
}

std::pair<int, int> SequenceModel::run(TableId id, int col)
{
    int first = col;
    int last = col;
    while (cap(id, first - 1))
        --first;
    while (cap(id, last + 1))
        ++last;
    return {first, last};
}

QList<int> SequenceModel::byteColumns(TableId id)
{
    QList<int> cols;
    for (int col = 0; col < 26; ++col)
        if (cap(id, col))
            cols << col;
    return cols;
}

qsizetype SequenceModel::offsetOf(TableId id, int record, int col)
{
    if (id == TableId::Placement)
        return (col - 2) / 4 * ScenarioSize + 4 * qsizetype(record) + (col - 2) % 4;
    return record * RecordSize + byteColumn(id, col)->offset;
}

int SequenceModel::recordOf(TableId id, qsizetype offset)
{
    return int(id == TableId::Placement ? offset % ScenarioSize / 4 : offset / RecordSize);
}

std::optional<int> SequenceModel::byteFor(const QString& text, int cap)
{
    if (text.isEmpty() || text.size() > 6)
        return std::nullopt;
    for (const QChar c : text)
        if (c < u'0' || c > u'9')
            return std::nullopt;
    return std::min(text.toInt(), cap);
}

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

void SequenceModel::open(const QString& path)
{
    m_current = path;
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

void SequenceModel::edit(const QList<Write>& writes)
{
    Step step;
    std::set<std::pair<BlockId, qsizetype>> seen;
    for (const Write& write : writes) {
        // A cell written twice counts once, with its first value as the one before.
        if (seen.insert({write.block, write.offset}).second)
            step.before << Write{write.block, write.offset, m_blocks[std::size_t(write.block)].at(write.offset)};
        step.after << write;
        apply({write});
    }
    bool changes = false;
    for (const Write& before : std::as_const(step.before))
        changes = changes || m_blocks[std::size_t(before.block)].at(before.offset) != before.value;
    if (changes)
        push(std::move(step));
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
        apply(step.before);
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
    if (!step.fix)
        return apply(step.after);
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
