#pragma once

class FuzzInput;
class SequenceSession;

// The steps of the sequence target that reach the files: the checksum fix, save, save as, a patch,
// another program's change and opening again. Each says what it does in the session's trace, does it
// through the window, answers the questions it raises as its operands say, and tells the model.
namespace SequenceFileSteps {

void fixChecksum(SequenceSession& s);
// [answer to the question about another program's change]
void save(SequenceSession& s, FuzzInput& in);
// Into the other folder.
void saveAs(SequenceSession& s);
// [IPS or BPS] What a save would write now must be what the model says; the patch from the file as
// last saved to it, applied to that file, must give it.
void makePatch(SequenceSession& s, FuzzInput& in);
// [in a table, outside the tables, the four checksum bytes][where][bytes]
void changeOutside(SequenceSession& s, FuzzInput& in);
// [the open file or the other one, and the answers to the questions]
void openAgain(SequenceSession& s, FuzzInput& in);

} // namespace SequenceFileSteps
