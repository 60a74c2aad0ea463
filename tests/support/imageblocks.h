#pragma once

#include "blockcatalogue.h"

#include <QByteArray>

#include <algorithm>
#include <array>
#include <cstddef>

// The five table blocks of an image, indexed by BlockId.
using Blocks = std::array<QByteArray, 5>;

// `image` with each block put in its place.
inline QByteArray withBlocks(QByteArray image, const Blocks& blocks)
{
    for (const BlockSpec& range : BlockCatalogue)
        image.replace(range.position, range.size, blocks[std::size_t(range.id)]);
    return image;
}

// Whether a position in an image with its copier header lies in one of the table blocks.
inline bool insideBlock(qint64 position)
{
    return std::any_of(BlockCatalogue.cbegin(), BlockCatalogue.cend(), [&](const BlockSpec& range) {
        return position >= range.position && position < range.position + range.size;
    });
}
