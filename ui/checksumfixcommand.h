#pragma once

#include "checksumrequest.h"
#include "fileresult.h"

#include <QUndoCommand>

class Document;
class QUndoStack;

// One undo step: from now on every save writes the cartridge checksum of what it writes. The four
// bytes lie outside the five tables, so the step changes no block: it changes the document's checksum
// request, which the save honours. Undone before a save wrote the fix, the request goes back to what
// it was, so the four bytes stay whatever the file holds (another program's fix included). Undone after
// a save wrote it, the next save puts back the bytes that save wrote over, as any other undo would.
class ChecksumFixCommand : public QUndoCommand
{
public:
    explicit ChecksumFixCommand(Document& document);

    // What the menu item does: checks that the image has the four bytes and pushes the step. Ignored
    // without an open image; a file that cannot be read is reported and no step is pushed.
    static FileResult request(Document& document, QUndoStack& stack);

    void undo() override;
    void redo() override;

private:
    Document& m_document;
    // Taken at each redo: the request the step replaced and the document's count of checksum saves.
    ChecksumRequest m_before = ChecksumRequest::keep();
    int m_savesAtRedo = 0;
};
