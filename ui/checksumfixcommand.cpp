#include "checksumfixcommand.h"

#include "cartridgechecksum.h"
#include "document.h"

#include <QUndoStack>

using namespace Qt::StringLiterals;

ChecksumFixCommand::ChecksumFixCommand(Document& document, const QByteArray& pairOnDisk)
    : QUndoCommand(u"チェックサムを修正"_s), m_document(document), m_before(document.checksumRequest()),
      m_pairOnDisk(pairOnDisk)
{
}

FileResult ChecksumFixCommand::request(Document& document, QUndoStack& stack)
{
    QByteArray image;
    if (const FileResult composed = document.composeSavedImage(image); !composed.isDone())
        return composed;
    const QByteArray pair = CartridgeChecksum::storedPair(image, document.imageForm());
    if (pair.isEmpty())
        return FileResult::failed(u"このイメージにはカートリッジヘッダーがないため、チェックサムを修正できません。"_s);
    stack.push(new ChecksumFixCommand(document, pair));
    return FileResult::done();
}

void ChecksumFixCommand::undo()
{
    m_document.setChecksumRequest(m_before.kind() == ChecksumRequest::Kind::Keep ? ChecksumRequest::put(m_pairOnDisk)
                                                                                : m_before);
}

void ChecksumFixCommand::redo()
{
    m_document.setChecksumRequest(ChecksumRequest::fix());
}
