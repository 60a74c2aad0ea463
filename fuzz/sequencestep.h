#pragma once

#include <cstdint>

// The steps of the sequence target; the first byte of each step in an input chooses one. A byte
// names the step of its value modulo 32; the values from Count to 31 name the editing steps again
// (stepOf), so that most steps edit: a step through the files (a megabyte composed, summed,
// written or diffed) costs ten times as much. The starting corpus writes its sequences with the same names.
enum class SequenceStep : std::uint8_t
{
    Click,         // [column][row: 2 bytes]
    ShiftClick,    // [column][row: 2 bytes]
    Type,          // [value: 2 bytes][Enter, Enter, Ctrl+Enter, Escape]
    Paste,         // [shape][one byte per cell]
    OfficerDialog, // [boxes: 2 bytes][OK unless a multiple of 3][one byte per box]
    Filter,        // [kind][column][number]
    Sort,          // [column] a double-click on the officers' header
    Undo,
    Redo,
    FixChecksum,
    Save, // [answer to the question about another program's change]
    SaveAs,
    Patch,         // [IPS or BPS]
    ChangeOutside, // [where][position or table and offset][bytes]
    Open,          // [which file and the answers to the questions]
    ShowTable,     // [officers, cities, items, forces or placement]
    HeaderClick,   // [column][a press, or a double-click]
    Batch,         // [column][operator][number]
    Stop,          // [復元, 破棄 or キャンセル] the process stops; the next start opens the image again
    Count,
};

// The step a byte names.
inline SequenceStep stepOf(std::uint8_t byte)
{
    constexpr SequenceStep Editing[]{SequenceStep::Click, SequenceStep::ShiftClick, SequenceStep::Type,
                                     SequenceStep::Paste, SequenceStep::Filter,     SequenceStep::Undo,
                                     SequenceStep::Redo,  SequenceStep::ShowTable,  SequenceStep::HeaderClick};
    const int value = byte % 32;
    return value < int(SequenceStep::Count) ? SequenceStep(value) : Editing[(value - int(SequenceStep::Count)) % 9];
}
