#pragma once

#include "editorstate.h"
#include "grid.h"
#include "table.h"

#include <QByteArray>
#include <QString>
#include <QTest>

#include <optional>

// A block where neighbouring bytes differ, so that a stray write shows up.
inline QByteArray patternedBlock(qsizetype size)
{
    QByteArray bytes(size, '\0');
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char((i * 37 + 11) & 0xFF);
    return bytes;
}

// Every grid but the officer grid types with the input method off; only `opens` columns have a limit.
inline void compareEditRule(const EditRule& rule, bool opens, int length)
{
    QCOMPARE(rule.opensEditor, opens);
    if (opens)
        QCOMPARE(rule.maxLength, length);
    QCOMPARE(rule.inputMode, InputMode::Off);
}

// One table over its own grid and state, set up, with a patterned block.
template <typename T> struct TableFixture
{
    Grid grid;
    EditorState state;
    T table{grid, state};

    explicit TableFixture(BlockId id)
    {
        table.setUpGrid();
        state.block(id) = patternedBlock(state.block(id).size());
    }

    // What the in-place editor does on Enter: the commit rule, then the cell, then the store.
    bool commit(int row, int col, const QString& typed)
    {
        grid.setCurrentCell(row, col);
        const std::optional<QString> accepted = table.checkText(col, typed);
        if (!accepted)
            return false;
        grid.setText(row, col, *accepted);
        table.storeCell();
        return true;
    }

    // Stores `text` as the cell's own text, without the commit rule in between.
    void store(int row, int col, const QString& text)
    {
        grid.setCurrentCell(row, col);
        grid.setText(row, col, text);
        table.storeCell();
    }
};
