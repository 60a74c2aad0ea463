#pragma once

#include "blockcatalogue.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// What every column of the five grids shows of its record and what a value sent into it stores, as
// the sequence target knows them from the record layouts and commit rules, never from the tables
// under test: the number fields with their caps and rounding, the two halves of a shared byte, 寿命
// with its unshown half, the hex names and 顔グラ, the reading, and the derived columns.
namespace SequenceFields {

enum class Kind
{
    None,      // a label, the record number or an empty column: no bytes
    Byte,      // one byte as a number
    Word,      // two bytes, low first, as a number
    LowNibble, // the lower half of a byte; the upper half kept
    PairHigh,  // the upper half of a byte whose lower half the next column shows
    PairLow,   // the lower half of a byte whose upper half the previous column shows
    Lifespan,  // the upper half of a byte; a store clears the lower half, which no column shows
    Hex,       // `size` bytes as two hex digits each
    Reading,   // eight bytes as half-width characters, padded with NULs
    Marker,    // the officer class marker, derived from five bytes
    ShownByte, // a byte shown without a store
    ShownHigh, // the upper half of a byte shown without a store
};

struct Field
{
    Kind kind = Kind::None;
    qsizetype offset = 0; // within the record (for placement, within the first scenario's record)
    int cap = 255;        // numbers: the largest value kept as typed
    int over = 255;       // numbers: what a larger value becomes
    int length = 0;       // how many characters the cell editor takes; 0: the column does not open it
    int size = 1;         // hex: bytes
};

struct Write
{
    BlockId block;
    qsizetype offset;
    char value;
};

int columnCount(TableId id);
int recordCount(TableId id);
Field field(TableId id, int col);
bool editable(TableId id, int col);
// The block offset of the field of `col` in `record`.
qsizetype offsetOf(TableId id, int record, int col);
// The record a block offset belongs to.
int recordOf(TableId id, qsizetype offset);

// What a fill shows in the cell; `names` is the list beside the image (placement names).
QString display(TableId id, const QByteArray& block, int record, int col, const QStringList& names);
// The text a commit puts into the cell, or nullopt when it refuses `typed`.
std::optional<QString> accept(TableId id, int col, const QString& typed);
// The bytes the store of an accepted `text` writes; `partner` is the text of the other half of a
// shared byte (PairHigh, PairLow).
QList<Write> store(TableId id, const QByteArray& block, int record, int col, const QString& text,
                   const QString& partner);
// A number as the filter and the sort read a cell: a sign, digits, one point; otherwise nullopt.
std::optional<double> numberIn(const QString& text);

} // namespace SequenceFields
