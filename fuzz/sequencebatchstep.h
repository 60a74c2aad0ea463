#pragma once

class FuzzInput;
class SequenceSession;

// The batch step of the sequence target: 編集 > 一括変更... with one assignment to a one-byte number
// column of the grid shown, Enter, and Escape. The model works out every shown row's new byte itself.
namespace SequenceBatchStep {

// [column][= += -= *=][number]
void batch(SequenceSession& s, FuzzInput& in);

} // namespace SequenceBatchStep
