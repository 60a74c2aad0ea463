#include "checksumrequestcommand.h"

#include "document.h"

ChecksumRequestCommand::ChecksumRequestCommand(Document& document, const ChecksumRequest& request, QUndoCommand* parent)
    : QUndoCommand(parent), m_document(document), m_request(request)
{
}

void ChecksumRequestCommand::undo()
{
    m_document.setChecksumRequest(m_before);
}

void ChecksumRequestCommand::redo()
{
    m_before = m_document.checksumRequest();
    m_document.setChecksumRequest(m_request);
}
