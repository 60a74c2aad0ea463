#include "disksnapshot.h"

#include "romfile.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFileInfo>

namespace {

// Milliseconds since the epoch, or 0 when the platform gives no time; the same on every call for a
// file nobody touched, which is all the comparison needs.
qint64 modificationTime(const QFileInfo& info)
{
    const QDateTime time = info.fileTime(QFileDevice::FileModificationTime);
    return time.isValid() ? time.toMSecsSinceEpoch() : 0;
}

} // namespace

DiskSnapshot DiskSnapshot::take(const QString& path, const std::array<QByteArray, 5>& blocks, ImageForm form)
{
    DiskSnapshot snapshot;
    const QFileInfo info(path);
    snapshot.m_path = path;
    snapshot.m_size = info.size();
    snapshot.m_modified = modificationTime(info);
    snapshot.m_form = form;
    snapshot.m_blocks = blocks;
    return snapshot;
}

DiskSnapshot::Change DiskSnapshot::compare() const
{
    if (isEmpty())
        return Change::None;
    // Read under the checks of any image read, so that no FIFO or device put in the file's place is
    // opened in a way that blocks; what fails here fails the save too, with its reason.
    QByteArray image;
    ImageForm form = ImageForm::CopierHeader;
    if (!romfile::ReadImage(m_path, image, &form).isDone() || form != m_form)
        return Change::Unusable;
    const QFileInfo info(m_path);
    if (image.size() != m_size || info.size() != m_size || modificationTime(info) != m_modified)
        return Change::Changed;
    // The tables are compared too: a copy that kept the old time, or a file system that keeps times
    // coarsely, would otherwise hide a change.
    for (const BlockSpec& range : BlockCatalogue) {
        const QByteArray& taken = m_blocks[static_cast<std::size_t>(range.id)];
        if (image.mid(blockPosition(range, m_form), range.size) != taken)
            return Change::Changed;
    }
    return Change::None;
}

QByteArray DiskSnapshot::tableHash() const
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const QByteArray& block : m_blocks)
        hash.addData(block);
    return hash.result();
}
