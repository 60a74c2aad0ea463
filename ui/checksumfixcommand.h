#pragma once

#include "checksumrequest.h"
#include "fileresult.h"

#include <QByteArray>
#include <QUndoCommand>

class Document;
class QUndoStack;

// One undo step: from now on every save writes the cartridge checksum of what it writes. The four
// bytes lie outside the five tables, so the step changes no block: it changes the document's checksum
// request, which the save honours. Undone, the request goes back to what it was; where that was to
// leave the bytes alone, the save writes the four bytes the file held when the fix was chosen, so that
// undoing after a save that already fixed them puts the old ones back as any other undo would.
class ChecksumFixCommand : public QUndoCommand
{
public:
    // `pairOnDisk`: the four bytes the file holds now.
    ChecksumFixCommand(Document& document, const QByteArray& pairOnDisk);

    // What the menu item does: reads the four bytes the file holds and pushes the step. Ignored without
    // an open image; a file that cannot be read is reported and no step is pushed.
    static FileResult request(Document& document, QUndoStack& stack);

    void undo() override;
    void redo() override;

private:
    Document& m_document;
    ChecksumRequest m_before;
    QByteArray m_pairOnDisk;
};
