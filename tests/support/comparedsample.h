#pragma once

#include "blockcatalogue.h"
#include "document.h"
#include "tableblock.h"

#include <QByteArray>
#include <QList>
#include <QString>

// An image that differs from the sample in one stored cell of each table (one value above its
// column's cap, one 寿命 whose byte has a lower half of its own), in one byte outside the tables and
// in its copier header, which a comparison leaves out.
struct ComparedValue
{
    TableId table;
    int record;
    int col;
    // The bytes the other image holds there, from `offset` in the block.
    qsizetype offset;
    QByteArray bytes;
    // What its cell shows.
    QString text;
};

struct ComparedSample
{
    // A position of the image with its header that no table holds, and one inside the header.
    static constexpr qint64 OutsidePosition = 0x1234;
    static constexpr qint64 HeaderPosition = 0x10;
    // Officer 0's byte 21, between the name and the reading: inside a table, in no column.
    static constexpr qint64 UnshownOffset = 21;

    QByteArray original;
    QByteArray other;
    QList<ComparedValue> values;

    explicit ComparedSample(const QByteArray& sample) : original(sample), other(sample)
    {
        const auto byteAt = [&](TableId id, qsizetype offset) {
            return quint8(sample.at(blockSpec(blockOfTable(id)).position + offset));
        };
        // Each value differs from the sample's by construction.
        const int war = (byteAt(TableId::Officer, 5 * 30 + 7) + 101) % 256;
        const int life = (byteAt(TableId::Officer, 300 * 30 + 4) >> 4) ^ 0x5;
        const int loyalty = (byteAt(TableId::Item, 2) + 77) % 256;
        const int base = (byteAt(TableId::Force, 3 * 25 + 2) + 9) % 256;
        const int placed = (byteAt(TableId::Placement, 2124 + 10 * 4 + 2) + 50) % 256;
        const int people = 1000 + (byteAt(TableId::City, 30 + 2) == 0xE8);
        values = {
            {TableId::Officer, 5, 3, 5 * 30 + 7, QByteArray(1, char(war)), QString::number(war)},
            {TableId::Officer, 300, 14, 300 * 30 + 4, QByteArray(1, char(life << 4 | 0x3)), QString::number(life)},
            {TableId::City, 1, 2, 30 + 2, QByteArray(1, char(people & 0xFF)) + char(people >> 8), QString::number(people)},
            {TableId::Item, 0, 1, 2, QByteArray(1, char(loyalty)), QString::number(loyalty)},
            {TableId::Force, 3, 2, 3 * 25 + 2, QByteArray(1, char(base)), QString::number(base)},
            {TableId::Placement, 10, 8, 2124 + 10 * 4 + 2, QByteArray(1, char(placed)), QString::number(placed)},
        };
        for (const ComparedValue& value : values)
            other.replace(blockSpec(blockOfTable(value.table)).position + value.offset, value.bytes.size(), value.bytes);
        const qint64 unshown = blockSpec(BlockId::Officer).position + UnshownOffset;
        other[unshown] = char(other.at(unshown) ^ 0x3C);
        other[OutsidePosition] = char(other.at(OutsidePosition) ^ 0x5A);
        other[HeaderPosition] = char(other.at(HeaderPosition) ^ 0x0F);
    }

    // The differing cells of one table.
    int count(TableId id) const
    {
        int n = 0;
        for (const ComparedValue& value : values)
            n += value.table == id;
        return n;
    }
};
