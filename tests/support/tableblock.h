#pragma once

#include "blockcatalogue.h"
#include "document.h"

// The block that holds a table's bytes, as the tests and the fuzz targets name it on their own: their
// checks do not take the mapping from the code they check.
inline BlockId blockOfTable(TableId id)
{
    switch (id) {
    case TableId::Officer:
        return BlockId::Officer;
    case TableId::City:
        return BlockId::City;
    case TableId::Item:
        return BlockId::Item;
    case TableId::Force:
        return BlockId::Force;
    case TableId::Placement:
        return BlockId::Placement;
    }
    return BlockId::Officer;
}
