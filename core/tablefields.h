#pragma once

#include "blockcatalogue.h"
#include "document.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <cstdint>
#include <optional>

// How one column of a table turns record bytes into the text its cells show.
enum class FieldKind
{
    // Nothing from the block: the fill leaves the cell as it is (the placement names).
    None,
    // A label that depends on the record number only (the number itself, a city or item name).
    Label,
    // An unsigned little-endian number of `width` bytes.
    Number,
    HighNibble,
    LowNibble,
    // `width` bytes as upper-case hex digit pairs.
    Hex,
    // `width` bytes as single-byte code page 932 characters.
    Reading,
    // Computed from other fields of the record (the officer class marker).
    Derived,
};

// One column of a table as the grid shows it.
struct FieldColumn
{
    QString header;
    FieldKind kind = FieldKind::None;
    // First byte, counted from the record's start.
    qsizetype offset = 0;
    int width = 1;
    // True for a column the editor types into and whose store writes its bits back.
    bool stored = false;
    QString (*label)(int record) = nullptr;
    QString (*derived)(const QByteArray& block, qsizetype recordStart) = nullptr;

    bool isNumber() const
    {
        return kind == FieldKind::Number || kind == FieldKind::HighNibble || kind == FieldKind::LowNibble;
    }
};

// The bits of a block that one stored field owns: `count` bytes from `offset`, each under `mask`.
struct FieldBits
{
    qsizetype offset = 0;
    int count = 1;
    std::uint8_t mask = 0xFF;
};

// A table's fields read from any block of its kind, this image's or another's, without a grid: the one
// definition of how bytes become the text a fill shows, which the fills, the comparison, `diff` and the
// merge share. The commit rules stay with the tables.
class TableFields
{
public:
    TableFields(TableId id, BlockId block, int records, qsizetype recordSize, int fixedColumns,
                QVector<FieldColumn> columns);

    static const TableFields& of(TableId id);

    TableId id() const { return m_id; }
    BlockId blockId() const { return m_block; }
    int recordCount() const { return m_records; }
    int columnCount() const { return int(m_columns.size()); }
    // The label columns on the left, which name the record rather than hold its values.
    int fixedColumns() const { return m_fixedColumns; }
    const FieldColumn& column(int col) const { return m_columns[col]; }
    // Where record `record` starts in the block (a column's own offset adds to it).
    qsizetype recordStart(int record) const { return m_recordSize * record; }

    // The text a fill shows in column `col` of record `record` of `block`; empty for a column outside
    // the table or one the fill leaves alone. Bytes past the block's end read as 0, as a fill reads them.
    QString text(const QByteArray& block, int record, int col) const;
    // What names the record in messages: the text of column 0 (the number, or the item's name).
    QString recordLabel(int record) const;
    // The bits column `col` of record `record` owns; nullopt for a column that stores nothing.
    std::optional<FieldBits> bits(int record, int col) const;
    // The field's bits of `block`, packed in order, so that two blocks' fields compare as bytes.
    QByteArray value(const QByteArray& block, const FieldBits& field) const;
    // The bytes of `mine` that would still differ from `theirs` once every stored field whose text
    // differs took the other side's bits: what no stored column shows (a flag between two fields, a
    // read-only column, the unshown half of a byte).
    qint64 unshownDifferences(const QByteArray& mine, const QByteArray& theirs) const;
    // For each byte of the block, the bits that some stored column owns; the rest no column stores.
    const QByteArray& ownedMask() const { return m_owned; }

private:
    TableId m_id;
    BlockId m_block;
    int m_records;
    qsizetype m_recordSize;
    int m_fixedColumns;
    QVector<FieldColumn> m_columns;
    QByteArray m_owned;
};
