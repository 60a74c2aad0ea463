#include "tablefields.h"

#include "citytable.h"
#include "codecs.h"
#include "codepage932.h"
#include "forcetable.h"
#include "itemtable.h"
#include "officertable.h"
#include "placementtable.h"

namespace {

std::uint8_t fieldByte(const QByteArray& block, qsizetype offset)
{
    return (offset >= 0 && offset < block.size()) ? static_cast<std::uint8_t>(block[offset]) : 0;
}

} // namespace

TableFields::TableFields(TableId id, BlockId block, int records, qsizetype recordSize, int fixedColumns,
                         QVector<FieldColumn> columns)
    : m_id(id), m_block(block), m_records(records), m_recordSize(recordSize), m_fixedColumns(fixedColumns),
      m_columns(std::move(columns)), m_owned(blockSpec(block).size, '\0')
{
    for (int n = 0; n < m_records; ++n) {
        for (int c = 0; c < columnCount(); ++c) {
            const std::optional<FieldBits> field = bits(n, c);
            if (!field)
                continue;
            for (int k = 0; k < field->count; ++k) {
                const qsizetype at = field->offset + k;
                if (at >= 0 && at < m_owned.size())
                    m_owned[at] = static_cast<char>(static_cast<std::uint8_t>(m_owned[at]) | field->mask);
            }
        }
    }
}

const TableFields& TableFields::of(TableId id)
{
    switch (id) {
    case TableId::Officer:
        return OfficerTable::fields();
    case TableId::City:
        return CityTable::fields();
    case TableId::Item:
        return ItemTable::fields();
    case TableId::Force:
        return ForceTable::fields();
    case TableId::Placement:
        return PlacementTable::fields();
    }
    return OfficerTable::fields();
}

QString TableFields::text(const QByteArray& block, int record, int col) const
{
    if (col < 0 || col >= columnCount())
        return {};
    const FieldColumn& f = m_columns[col];
    const qsizetype at = recordStart(record) + f.offset;
    switch (f.kind) {
    case FieldKind::None:
        return {};
    case FieldKind::Label:
        return f.label ? f.label(record) : QString::number(record);
    case FieldKind::Number: {
        unsigned value = 0;
        for (int k = f.width - 1; k >= 0; --k)
            value = (value << 8) | fieldByte(block, at + k);
        return QString::number(value);
    }
    case FieldKind::HighNibble:
        return QString::number(codecs::HighNibble(fieldByte(block, at)));
    case FieldKind::LowNibble:
        return QString::number(codecs::LowNibble(fieldByte(block, at)));
    case FieldKind::Hex: {
        QString out;
        out.reserve(2 * f.width);
        for (int k = 0; k < f.width; ++k)
            out += codecs::HexByteText(fieldByte(block, at + k));
        return out;
    }
    case FieldKind::Reading: {
        QString out;
        out.reserve(f.width);
        for (int k = 0; k < f.width; ++k)
            out += CodePage932::byteToChar(fieldByte(block, at + k));
        return out;
    }
    case FieldKind::Derived:
        return f.derived ? f.derived(block, recordStart(record)) : QString();
    }
    return {};
}

QString TableFields::recordLabel(int record) const
{
    return text(QByteArray(), record, 0);
}

std::optional<FieldBits> TableFields::bits(int record, int col) const
{
    if (col < 0 || col >= columnCount() || !m_columns[col].stored)
        return std::nullopt;
    const FieldColumn& f = m_columns[col];
    const qsizetype at = recordStart(record) + f.offset;
    switch (f.kind) {
    case FieldKind::HighNibble:
        return FieldBits{at, 1, 0xF0};
    case FieldKind::LowNibble:
        return FieldBits{at, 1, 0x0F};
    case FieldKind::Number:
    case FieldKind::Hex:
    case FieldKind::Reading:
        return FieldBits{at, f.width, 0xFF};
    default:
        return std::nullopt;
    }
}

QByteArray TableFields::value(const QByteArray& block, const FieldBits& field) const
{
    QByteArray out(field.count, '\0');
    for (int k = 0; k < field.count; ++k)
        out[k] = static_cast<char>(fieldByte(block, field.offset + k) & field.mask);
    return out;
}

qint64 TableFields::unshownDifferences(const QByteArray& mine, const QByteArray& theirs) const
{
    QByteArray taken = mine;
    for (int n = 0; n < recordCount(); ++n) {
        for (int c = 0; c < columnCount(); ++c) {
            const std::optional<FieldBits> field = bits(n, c);
            if (!field || text(mine, n, c) == text(theirs, n, c))
                continue;
            for (qsizetype i = field->offset; i < field->offset + field->count && i < taken.size() && i < theirs.size();
                 ++i)
                taken[i] = static_cast<char>((taken[i] & ~field->mask) | (theirs[i] & field->mask));
        }
    }
    qint64 count = 0;
    for (qsizetype i = 0; i < taken.size() && i < theirs.size(); ++i)
        count += taken[i] != theirs[i] ? 1 : 0;
    return count;
}
