#include "checksumfixcommand.h"

#include "cartridgechecksum.h"
#include "document.h"

#include <QUndoStack>

using namespace Qt::StringLiterals;

ChecksumFixCommand::ChecksumFixCommand(Document& document)
    : QUndoCommand(u"チェックサムを修正"_s), m_document(document)
{
}

FileResult ChecksumFixCommand::request(Document& document, QUndoStack& stack)
{
    QByteArray image;
    if (const FileResult composed = document.composeSavedImage(image); !composed.isDone())
        return composed;
    if (CartridgeChecksum::storedPair(image, document.imageForm()).isEmpty())
        return FileResult::failed(u"このイメージにはカートリッジヘッダーがないため、チェックサムを修正できません。"_s);
    stack.push(new ChecksumFixCommand(document));
    return FileResult::done();
}

void ChecksumFixCommand::undo()
{
    // While the step is done every save writes the fix (a step above it only ever gives Fix back), so
    // a save since the redo is one that wrote it. Without one the four bytes on disk are not ours and
    // the step leaves exactly what it found; under an earlier fix or an earlier undo still to be saved,
    // that request is what the file must get.
    if (m_document.checksumSaves() == m_savesAtRedo || m_before.kind() != ChecksumRequest::Kind::Keep) {
        m_document.setChecksumRequest(m_before);
        return;
    }
    m_document.setChecksumRequest(ChecksumRequest::put(m_document.pairOverwrittenBy(m_savesAtRedo)));
}

void ChecksumFixCommand::redo()
{
    m_before = m_document.checksumRequest();
    m_savesAtRedo = m_document.checksumSaves();
    m_document.setChecksumRequest(ChecksumRequest::fix());
}
