#pragma once

class FuzzInput;
class SequenceSession;

// The steps of the sequence target that edit cells through the window: clicks, typing into the cell
// editor (Enter, Ctrl+Enter over the selection, Escape), pasting and the officer dialog. Each chooses
// a text that suits the column (a number near its cap, a hex name, a reading), says what it does in
// the session's trace, does it, and sends the same texts through the model's commit rules.
namespace SequenceEditSteps {

// [column][row: 2 bytes]; with Shift the selection is extended instead.
void click(SequenceSession& s, FuzzInput& in, bool shift);
// [choice][value: 2 bytes][Enter, Enter, Ctrl+Enter, Escape]
void typeValue(SequenceSession& s, FuzzInput& in);
// [shape][choice per cell]
void paste(SequenceSession& s, FuzzInput& in);
// [boxes: 2 bytes][OK unless a multiple of 3][one byte per box]
void officerDialog(SequenceSession& s, FuzzInput& in);

} // namespace SequenceEditSteps
