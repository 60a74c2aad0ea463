#include "atomicfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <optional>

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

FileResult replace(const QString& destination, const Filler& fill)
{
    // The system ends a name at its first NUL, so the file written would be one the user never named.
    if (destination.contains(QChar(u'\0')))
        return FileResult::failed(failure(destination, u"ファイル名に使えない文字（NUL）が含まれています"_s));
    // The rename would swap a directory, FIFO or device for a plain file, and would succeed over a
    // file its owner made read-only: refuse both before writing anything. Read-only is read from the
    // permission bits as well, since root passes every access check.
    const QFileInfo target(destination);
    std::optional<QFileDevice::Permissions> kept;
    if (target.exists()) {
        if (!target.isFile())
            return FileResult::failed(failure(destination, u"通常のファイルではありません"_s));
        kept = permissionBits(destination);
        if (!target.isWritable() || !kept->testFlag(QFileDevice::WriteOwner))
            return FileResult::failed(failure(destination, cannotWrite(u"書き込みが許可されていません"_s)));
    }

    // Without a commit the temporary file is removed and the destination never changes.
    QSaveFile output(destination);
    if (!output.open(QIODevice::WriteOnly))
        return FileResult::failed(failure(destination, cannotWrite(output.errorString())));
    const QString problem = fill(output);
    if (!problem.isEmpty())
        return FileResult::failed(failure(destination, problem));
    // QSaveFile gives its temporary file the owner's read permission besides the destination's;
    // the file that replaces the destination has exactly its permissions before it takes its place.
    if (kept && !output.setPermissions(*kept))
        return FileResult::failed(failure(destination, cannotWrite(output.errorString())));
    if (!output.commit())
        return FileResult::failed(failure(destination, cannotWrite(output.errorString())));
    return FileResult::done();
}

FileResult replace(const QString& destination, const QByteArray& bytes)
{
    return replace(destination, [&bytes](QSaveFile& output) { return writeAll(output, bytes); });
}

} // namespace atomicfile
