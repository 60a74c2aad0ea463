#include "romfile.h"

#include "atomicfile.h"
#include "blockcatalogue.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <functional>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#include <optional>
#include <string>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace romfile {
namespace {

// Every text the user can read from this file, kept together so the wording stays consistent.
namespace wording {

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString openFailed(const QString& path, const QString& reason)
{
    return u"ファイル「%1」を開けませんでした。\n%2"_s.arg(shown(path), reason);
}

QString saveFailed(const QString& path, const QString& reason)
{
    return atomicfile::failure(path, reason);
}

QString sourceUnusable(const QString& path, const QString& reason)
{
    return u"元のファイル「%1」を読み込めません: %2"_s.arg(shown(path), reason);
}

QString missing()
{
    return u"ファイルが見つかりません"_s;
}

QString notRegular()
{
    return u"通常のファイルではありません"_s;
}

QString tooShort(qint64 size, ImageForm form)
{
    // The form is named because its minimum depends on it, and it is decided by the size alone.
    return u"ファイルが短すぎます（%1 バイト。%2 バイト以上必要です）。形式: %3"_s.arg(size)
        .arg(minimumImageSize(form))
        .arg(imageFormName(form));
}

QString tooLarge(qint64 size, qint64 limit)
{
    return u"ファイルが大きすぎます（%1 バイト。%2 バイトまでです）"_s.arg(size).arg(limit);
}

QString formChanged(ImageForm opened, ImageForm now)
{
    return u"開いたときは%1でしたが、いまは%2です。ほかのプログラムで変更された可能性があります"_s.arg(
        imageFormName(opened), imageFormName(now));
}

QString cannotRead(const QString& why)
{
    return u"読み込めません: %1"_s.arg(why);
}

QString endedEarly()
{
    return cannotRead(u"ファイルが途中で終わっています"_s);
}

QString badBlocks()
{
    return u"データブロックの大きさが正しくありません"_s;
}

} // namespace wording

SaveStepHook saveStepHook = nullptr;

void reached(SaveStep step)
{
    if (saveStepHook)
        saveStepHook(step);
}

// Copying in pieces keeps memory flat however large the image is.
constexpr qint64 CopyChunk = 1024 * 1024;

// What a file must be to be read: an image (its form's minimum up to MaximumImageSize) or any file
// up to a limit.
struct SizeRule
{
    bool image;
    qint64 limit;
};

constexpr SizeRule ImageRule{true, MaximumImageSize};

// Empty when the size fits the rule.
QString sizeProblem(qint64 size, SizeRule rule)
{
    if (rule.image && size < minimumImageSize(imageFormForSize(size)))
        return wording::tooShort(size, imageFormForSize(size));
    if (size > rule.limit)
        return wording::tooLarge(size, rule.limit);
    return {};
}

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

// Opens `path` for reading when it is a regular file whose size fits `rule`, and then, if
// `makeWritable`, gives the owner write permission (clears the read-only attribute) so that a later
// save over it can succeed; a failure there is left for that save to report. On failure returns
// false with the reason the user will read.
bool openImage(const QString& path, bool makeWritable, QFile& file, qint64& size, QString& reason,
               SizeRule rule = ImageRule)
{
    // The type is checked by name first, so that no FIFO or device is ever opened in the normal case.
    const QFileInfo info(path);
    if (!info.exists()) {
        reason = wording::missing();
        return false;
    }
    if (!info.isFile()) {
        reason = wording::notRegular();
        return false;
    }
#ifdef Q_OS_WIN
    size = info.size();
    reason = sizeProblem(size, rule);
    if (!reason.isEmpty())
        return false;
    if (makeWritable && !info.permissions().testFlag(QFileDevice::WriteOwner))
        QFile::setPermissions(path, info.permissions() | QFileDevice::WriteOwner);
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly)) {
        reason = wording::cannotRead(file.errorString());
        return false;
    }
    // The file may have changed between the check and the open.
    size = file.size();
    reason = sizeProblem(size, rule);
    return reason.isEmpty();
#else
    // Non-blocking, so that a FIFO put in its place after the check still cannot hang the open;
    // the handle is then checked again, since it, not the name, is what gets read.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        reason = wording::cannotRead(qt_error_string(errno));
        return false;
    }
    struct stat st = {};
    if (::fstat(fd, &st) != 0) {
        reason = wording::cannotRead(qt_error_string(errno));
        ::close(fd);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        reason = wording::notRegular();
        ::close(fd);
        return false;
    }
    size = static_cast<qint64>(st.st_size);
    reason = sizeProblem(size, rule);
    if (!reason.isEmpty()) {
        ::close(fd);
        return false;
    }
    if (makeWritable && (st.st_mode & S_IWUSR) == 0)
        (void)::fchmod(fd, (st.st_mode & 07777) | S_IWUSR);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        reason = wording::cannotRead(file.errorString());
        ::close(fd);
        return false;
    }
    return true;
#endif
}

} // namespace

void setSaveStepHook(SaveStepHook hook)
{
    saveStepHook = hook;
}

QString ImageSizeProblem(qint64 size)
{
    return sizeProblem(size, ImageRule);
}

bool FileExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

QString ShortPath(const QString& path)
{
#ifdef Q_OS_WIN
    const QString native = QDir::toNativeSeparators(path);
    const auto* wide = reinterpret_cast<const wchar_t*>(native.utf16());
    const DWORD needed = GetShortPathNameW(wide, nullptr, 0);
    if (needed == 0)
        return path;
    std::wstring buffer(needed, L'\0');
    const DWORD written = GetShortPathNameW(wide, buffer.data(), needed);
    // Without a short form the long name still opens; an empty name would not.
    if (written == 0 || written >= needed)
        return path;
    return QString::fromWCharArray(buffer.data(), static_cast<qsizetype>(written));
#else
    return path;
#endif
}

#ifdef Q_OS_WIN
namespace {

std::optional<BY_HANDLE_FILE_INFORMATION> fileIdentity(const QString& path)
{
    const QString native = QDir::toNativeSeparators(path);
    // No access rights are needed to ask for the identity; backup semantics admit directories.
    HANDLE handle = CreateFileW(reinterpret_cast<const wchar_t*>(native.utf16()), 0,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool ok = GetFileInformationByHandle(handle, &info) != 0;
    CloseHandle(handle);
    if (!ok)
        return std::nullopt;
    return info;
}

} // namespace
#endif

bool SameFile(const QString& a, const QString& b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
#ifdef Q_OS_WIN
    const auto first = fileIdentity(a);
    const auto second = fileIdentity(b);
    return first && second && first->dwVolumeSerialNumber == second->dwVolumeSerialNumber &&
           first->nFileIndexHigh == second->nFileIndexHigh && first->nFileIndexLow == second->nFileIndexLow;
#else
    struct stat first = {};
    struct stat second = {};
    if (::stat(QFile::encodeName(a).constData(), &first) != 0 || ::stat(QFile::encodeName(b).constData(), &second) != 0)
        return false;
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
#endif
}

FileResult ReadBlocks(const QString& path, std::array<QByteArray, 5>& blocks, ImageForm* form)
{
    QFile file;
    qint64 size = 0;
    QString reason;
    if (!openImage(path, true, file, size, reason))
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

namespace {

// Reads the whole of an opened file of `size` bytes; empty on success, otherwise the reason.
QString readAll(QFile& file, qint64 size, QByteArray& bytes)
{
    QByteArray read = file.read(size);
    if (read.size() != size)
        return file.error() == QFileDevice::NoError ? wording::endedEarly() : wording::cannotRead(file.errorString());
    bytes = std::move(read);
    return {};
}

// Streams `source` with the blocks laid over it to `sink`, one chunk at a time; empty on success,
// otherwise the reason the user will read.
QString copyWithBlocks(const QString& source, const std::array<QByteArray, 5>& blocks, std::optional<ImageForm> form,
                       const std::function<QString(const QByteArray&, qint64)>& sink)
{
    QFile input;
    qint64 size = 0;
    QString reason;
    if (!openImage(source, false, input, size, reason))
        return wording::sourceUnusable(source, reason);
    const ImageForm found = imageFormForSize(size);
    if (form && *form != found)
        return wording::sourceUnusable(source, wording::formChanged(*form, found));
    for (qint64 at = 0; at < size;) {
        QByteArray chunk = input.read(std::min(CopyChunk, size - at));
        if (chunk.isEmpty()) {
            const QString why = input.error() == QFileDevice::NoError ? wording::endedEarly()
                                                                      : wording::cannotRead(input.errorString());
            return wording::sourceUnusable(source, why);
        }
        overlayBlocks(chunk, at, blocks, found);
        const QString problem = sink(chunk, at);
        if (!problem.isEmpty())
            return problem;
        at += chunk.size();
    }
    return {};
}

} // namespace

FileResult ReadImage(const QString& path, QByteArray& image, ImageForm* form)
{
    QFile file;
    qint64 size = 0;
    QString reason;
    if (!openImage(path, false, file, size, reason))
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
    if (!openImage(path, false, file, size, reason, SizeRule{false, limit}))
        return FileResult::failed(wording::openFailed(path, reason));
    reason = readAll(file, size, bytes);
    if (!reason.isEmpty())
        return FileResult::failed(wording::openFailed(path, reason));
    return FileResult::done();
}

FileResult WriteImage(const QString& source, const QString& destination, const std::array<QByteArray, 5>& blocks,
                      std::optional<ImageForm> form)
{
    if (!blocksMatchCatalogue(blocks))
        return FileResult::failed(wording::saveFailed(destination, wording::badBlocks()));
    // The source is checked before anything is created beside the destination.
    QFile probe;
    qint64 size = 0;
    QString reason;
    if (!openImage(source, false, probe, size, reason))
        return FileResult::failed(wording::saveFailed(destination, wording::sourceUnusable(source, reason)));
    probe.close();

    const FileResult written = atomicfile::replace(destination, [&](QSaveFile& output) {
        reached(SaveStep::TemporaryOpened);
        const QString problem = copyWithBlocks(source, blocks, form, [&](const QByteArray& chunk, qint64 at) {
            const QString failed = atomicfile::writeAll(output, chunk);
            if (failed.isEmpty() && at == 0)
                reached(SaveStep::FirstChunkWritten);
            return failed;
        });
        // The source is closed by now: some platforms refuse to replace a file that is still open.
        if (problem.isEmpty())
            reached(SaveStep::AllWritten);
        return problem;
    });
    if (written.isDone())
        reached(SaveStep::Replaced);
    return written;
}

FileResult ComposeImage(const QString& source, const std::array<QByteArray, 5>& blocks, std::optional<ImageForm> form,
                        QByteArray& image)
{
    if (!blocksMatchCatalogue(blocks))
        return FileResult::failed(wording::openFailed(source, wording::badBlocks()));
    QByteArray composed;
    const QString problem = copyWithBlocks(source, blocks, form, [&](const QByteArray& chunk, qint64) {
        composed += chunk;
        return QString();
    });
    if (!problem.isEmpty())
        return FileResult::failed(problem);
    image = std::move(composed);
    return FileResult::done();
}

} // namespace romfile
