#pragma once

#include <QtGlobal>

#include <array>

// The five byte ranges of the image that the editor knows; everything else is opaque.
enum class BlockId
{
    Officer,
    City,
    Item,
    Placement,
    Force,
};

struct BlockSpec
{
    BlockId id;
    qint64 position; // absolute file position of the first byte
    qsizetype size;
};

// In transfer order: open and save both move the blocks in this order.
inline constexpr std::array<BlockSpec, 5> BlockCatalogue{{
    {BlockId::Officer, 0xA8226, 15960},
    {BlockId::City, 0xAC07F, 8279},
    {BlockId::Item, 0xAF4BC, 234},
    {BlockId::Placement, 0xA505E, 12744},
    {BlockId::Force, 0xAE554, 3151},
}};

inline constexpr BlockSpec blockSpec(BlockId id)
{
    for (const BlockSpec& range : BlockCatalogue)
        if (range.id == id)
            return range;
    return BlockCatalogue[0];
}

// One past the last byte of the block that ends highest in the file (0xAF5A6).
inline constexpr qint64 HighestBlockEnd = 0xAF5A6;
