#pragma once

class FuzzInput;
class SequenceSession;

// The step of the sequence target in which the process stops: the window's recovery file is written as
// the timer would, the window goes without its close and its lock is left as a dead process leaves
// it, and a fresh window opens the same image. It must ask the recovery question exactly when the model
// has unsaved edits, and 復元 must give exactly the model's unsaved tables without writing the file.
namespace SequenceStopStep {

// [復元, 破棄 or キャンセル]
void stop(SequenceSession& s, FuzzInput& in);

} // namespace SequenceStopStep
