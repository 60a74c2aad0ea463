#pragma once

#include "blockcatalogue.h"

#include <QtGlobal>

// Officer 武力, the field most tests edit: its column in the officer grid, its byte within a record,
// and officer 0's byte in an image with its copier header (the sample's form).
inline constexpr int WarColumn = 3;
inline constexpr int WarOffset = 7;
inline constexpr qint64 WarByteOfRecord0 = blockSpec(BlockId::Officer).position + WarOffset;
