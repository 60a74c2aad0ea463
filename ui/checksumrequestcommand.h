#pragma once

#include "checksumrequest.h"

#include <QUndoCommand>

class Document;

// Part of an undo step that sets the document's checksum request to a given one (a restored one) and
// gives the previous request back on undo.
class ChecksumRequestCommand : public QUndoCommand
{
public:
    ChecksumRequestCommand(Document& document, const ChecksumRequest& request, QUndoCommand* parent = nullptr);

    void undo() override;
    void redo() override;

private:
    Document& m_document;
    ChecksumRequest m_request;
    ChecksumRequest m_before = ChecksumRequest::keep();
};
