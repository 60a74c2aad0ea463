#include "romfile.h"

#include "blockcatalogue.h"
#include "romfileopen.h"

#include <QFile>

#include <algorithm>
#include <cstring>

// Reading: the five blocks, a whole image or file, and an image with blocks laid over it.
namespace romfile {

using namespace detail;

namespace {

// Reading in pieces keeps the composition to one copy of the image however large it is.
constexpr qint64 ReadChunk = 1024 * 1024;

bool blocksMatchCatalogue(const std::array<QByteArray, 5>& blocks)
{
    return std::all_of(BlockCatalogue.cbegin(), BlockCatalogue.cend(), [&](const BlockSpec& range) {
        return blocks[static_cast<std::size_t>(range.id)].size() == range.size;
    });
}

// Lays the parts of the blocks that fall into [at, at + chunk size) over the chunk.
void overlayBlocks(QByteArray& chunk, qint64 at, const std::array<QByteArray, 5>& blocks, ImageForm form)
{
    const qint64 chunkEnd = at + chunk.size();
    for (const BlockSpec& range : BlockCatalogue) {
        const qint64 position = blockPosition(range, form);
        const qint64 start = std::max(at, position);
        const qint64 end = std::min(chunkEnd, position + range.size);
        if (start >= end)
            continue;
        const QByteArray& block = blocks[static_cast<std::size_t>(range.id)];
        std::memcpy(chunk.data() + (start - at), block.constData() + (start - position),
                    static_cast<std::size_t>(end - start));
    }
}

// Reads the whole of an opened file of `size` bytes; empty on success, otherwise the reason.
QString readAll(QFile& file, qint64 size, QByteArray& bytes)
{
    QByteArray read = file.read(size);
    if (read.size() != size)
        return file.error() == QFileDevice::NoError ? wording::endedEarly() : wording::cannotRead(file.errorString());
    bytes = std::move(read);
    return {};
}

} // namespace

FileResult ReadBlocks(const QString& path, std::array<QByteArray, 5>& blocks, ImageForm* form, ReadOnlyFlag readOnly)
{
    QFile file;
    qint64 size = 0;
    QString reason;
    if (!openChecked(path, readOnly == ReadOnlyFlag::Clear, file, size, reason))
        return FileResult::failed(wording::openFailed(path, reason));
    const ImageForm found = imageFormForSize(size);

    // Into fresh arrays, so that the caller's blocks are only ever replaced as a whole.
    std::array<QByteArray, 5> read;
    for (const BlockSpec& range : BlockCatalogue) {
        QByteArray& bytes = read[static_cast<std::size_t>(range.id)];
        if (!file.seek(blockPosition(range, found)))
            return FileResult::failed(wording::openFailed(path, wording::cannotRead(file.errorString())));
        bytes = file.read(range.size);
        // The size was checked, so a short read means the file shrank while it was being read.
        if (bytes.size() != range.size)
            return FileResult::failed(wording::openFailed(path, wording::endedEarly()));
    }
    blocks = std::move(read);
    if (form)
        *form = found;
    return FileResult::done();
}

FileResult ReadImage(const QString& path, QByteArray& image, ImageForm* form)
{
    QFile file;
    qint64 size = 0;
    QString reason;
    if (!openChecked(path, false, file, size, reason))
        return FileResult::failed(wording::openFailed(path, reason));
    reason = readAll(file, size, image);
    if (!reason.isEmpty())
        return FileResult::failed(wording::openFailed(path, reason));
    if (form)
        *form = imageFormForSize(size);
    return FileResult::done();
}

FileResult ReadWholeFile(const QString& path, qint64 limit, QByteArray& bytes)
{
    QFile file;
    qint64 size = 0;
    QString reason;
    if (!openChecked(path, false, file, size, reason, SizeRule{false, limit}))
        return FileResult::failed(wording::openFailed(path, reason));
    reason = readAll(file, size, bytes);
    if (!reason.isEmpty())
        return FileResult::failed(wording::openFailed(path, reason));
    return FileResult::done();
}

FileResult ComposeImage(const QString& source, const std::array<QByteArray, 5>& blocks, std::optional<ImageForm> form,
                        QByteArray& image)
{
    if (!blocksMatchCatalogue(blocks))
        return FileResult::failed(wording::badBlocks());
    QFile input;
    qint64 size = 0;
    QString reason;
    if (!openChecked(source, false, input, size, reason))
        return FileResult::failed(wording::sourceUnusable(source, reason));
    const ImageForm found = imageFormForSize(size);
    if (form && *form != found)
        return FileResult::failed(wording::sourceUnusable(source, wording::formChanged(*form, found)));
    QByteArray composed;
    composed.reserve(size);
    for (qint64 at = 0; at < size;) {
        QByteArray chunk = input.read(std::min(ReadChunk, size - at));
        if (chunk.isEmpty()) {
            const QString why = input.error() == QFileDevice::NoError ? wording::endedEarly()
                                                                      : wording::cannotRead(input.errorString());
            return FileResult::failed(wording::sourceUnusable(source, why));
        }
        overlayBlocks(chunk, at, blocks, found);
        composed += chunk;
        at += chunk.size();
    }
    image = std::move(composed);
    return FileResult::done();
}

} // namespace romfile
