#include "atomicfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <memory>
#include <optional>
#include <vector>

using namespace Qt::StringLiterals;

namespace atomicfile {
namespace {

QString cannotWrite(const QString& why)
{
    return u"書き込みできません: %1"_s.arg(why);
}

} // namespace

QFileDevice::Permissions permissionBits(const QString& path)
{
    return QFile::permissions(path) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser);
}

QString failure(const QString& destination, const QString& reason)
{
    return u"ファイル「%1」に保存できませんでした。\n%2"_s.arg(QDir::toNativeSeparators(destination), reason);
}

QString writeAll(QSaveFile& output, const QByteArray& bytes)
{
    errno = 0;
    if (output.write(bytes) == bytes.size())
        return {};
    // A short write (a full disk, a size limit) leaves the device without an error of its own; the
    // system's reason is still in errno.
    const int cause = errno;
    return cannotWrite(output.error() == QFileDevice::NoError && cause != 0 ? qt_error_string(cause)
                                                                          : output.errorString());
}

namespace {

// Empty when `destination` may be replaced, otherwise the message; `kept` gets the permission bits of
// a destination that exists.
QString checkTarget(const QString& destination, std::optional<QFileDevice::Permissions>& kept)
{
    // The system ends a name at its first NUL, so the file written would be one the user never named.
    if (destination.contains(QChar(u'\0')))
        return failure(destination, u"ファイル名に使えない文字（NUL）が含まれています"_s);
    // The rename would swap a directory, FIFO or device for a plain file, and would succeed over a
    // file its owner made read-only: refuse both before writing anything. Read-only is read from the
    // permission bits as well, since root passes every access check.
    const QFileInfo target(destination);
    kept.reset();
    if (!target.exists())
        return {};
    if (!target.isFile())
        return failure(destination, u"通常のファイルではありません"_s);
    kept = permissionBits(destination);
    if (!target.isWritable() || !kept->testFlag(QFileDevice::WriteOwner))
        return failure(destination, cannotWrite(u"書き込みが許可されていません"_s));
    return {};
}

// Opens and fills the temporary file of `output`; empty on success, otherwise the message. Without
// a commit the temporary file is removed and the destination never changes.
QString fillTemporary(QSaveFile& output, const Filler& fill, const std::optional<QFileDevice::Permissions>& kept)
{
    if (!output.open(QIODevice::WriteOnly))
        return failure(output.fileName(), cannotWrite(output.errorString()));
    if (const QString problem = fill(output); !problem.isEmpty())
        return failure(output.fileName(), problem);
    // QSaveFile gives its temporary file the owner's read permission besides the destination's;
    // the file that replaces the destination has exactly its permissions before it takes its place.
    if (kept && !output.setPermissions(*kept))
        return failure(output.fileName(), cannotWrite(output.errorString()));
    return {};
}

} // namespace

FileResult replace(const QString& destination, const Filler& fill)
{
    std::optional<QFileDevice::Permissions> kept;
    if (const QString refused = checkTarget(destination, kept); !refused.isEmpty())
        return FileResult::failed(refused);
    QSaveFile output(destination);
    if (const QString problem = fillTemporary(output, fill, kept); !problem.isEmpty())
        return FileResult::failed(problem);
    if (!output.commit())
        return FileResult::failed(failure(destination, cannotWrite(output.errorString())));
    return FileResult::done();
}

namespace {

CommitHook commitHook = nullptr;

// The file a write to `destination` replaces: QSaveFile writes through a symbolic link to its target.
QString replacedFile(const QString& destination)
{
    const QFileInfo info(destination);
    return info.isSymLink() ? info.canonicalFilePath() : destination;
}

// An unused name beside `file` to keep it under until the set is complete.
QString asideName(const QString& file)
{
    for (int n = 0;; ++n) {
        const QString name = u"%1.tavrin-old%2"_s.arg(file).arg(n);
        if (!QFileInfo::exists(name) && !QFileInfo(name).isSymLink())
            return name;
    }
}

// Puts back the first `count` files of a set: a file moved aside takes its place again, one the set
// created is removed.
void putBack(const std::vector<QString>& targets, const std::vector<QString>& aside, std::size_t count)
{
    for (std::size_t k = 0; k < count; ++k) {
        QFile::remove(targets[k]);
        if (!aside[k].isEmpty())
            QFile::rename(aside[k], targets[k]);
    }
}

} // namespace

void setCommitHook(CommitHook hook)
{
    commitHook = hook;
}

FileResult replaceAll(const QList<Content>& files)
{
    std::vector<std::optional<QFileDevice::Permissions>> kept(std::size_t(files.size()));
    for (qsizetype k = 0; k < files.size(); ++k)
        if (const QString refused = checkTarget(files.at(k).destination, kept[std::size_t(k)]); !refused.isEmpty())
            return FileResult::failed(refused);
    std::vector<std::unique_ptr<QSaveFile>> outputs;
    for (qsizetype k = 0; k < files.size(); ++k) {
        const QByteArray& bytes = files.at(k).bytes;
        outputs.push_back(std::make_unique<QSaveFile>(files.at(k).destination));
        const QString problem = fillTemporary(
            *outputs.back(), [&bytes](QSaveFile& output) { return writeAll(output, bytes); }, kept[std::size_t(k)]);
        if (!problem.isEmpty())
            return FileResult::failed(problem);
    }
    // Only complete files are renamed into place, and each file they replace is moved aside first:
    // when a rename fails, the set is taken back whole, so the files never mix two sets.
    std::vector<QString> targets;
    std::vector<QString> aside(outputs.size());
    for (std::size_t k = 0; k < outputs.size(); ++k) {
        targets.push_back(replacedFile(outputs[k]->fileName()));
        if (kept[k]) {
            aside[k] = asideName(targets[k]);
            QFile existing(targets[k]);
            if (!existing.rename(aside[k])) {
                putBack(targets, aside, k);
                return FileResult::failed(failure(outputs[k]->fileName(), cannotWrite(existing.errorString())));
            }
        }
        if (commitHook)
            commitHook(*outputs[k]);
        if (!outputs[k]->commit()) {
            const QString reason = failure(outputs[k]->fileName(), cannotWrite(outputs[k]->errorString()));
            // The failed file was never placed: only what was moved aside goes back.
            if (!aside[k].isEmpty())
                QFile::rename(aside[k], targets[k]);
            putBack(targets, aside, k);
            return FileResult::failed(reason);
        }
    }
    for (const QString& old : aside)
        if (!old.isEmpty())
            QFile::remove(old);
    return FileResult::done();
}

FileResult replace(const QString& destination, const QByteArray& bytes)
{
    return replace(destination, [&bytes](QSaveFile& output) { return writeAll(output, bytes); });
}

} // namespace atomicfile
