#pragma once

#include "document.h"

#include <memory>

class EditorState;
class Grid;
class Table;

// A table of one kind over any grid and any state: the scratch fills that read a table in record
// order (export, comparison) use the same modules the document does.
class TableFactory
{
public:
    TableFactory() = delete;

    static std::unique_ptr<Table> make(TableId id, Grid& grid, EditorState& state);
};
