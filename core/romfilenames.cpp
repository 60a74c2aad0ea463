#include "romfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#include <optional>
#include <string>
#else
#include <sys/stat.h>
#endif

// What a name designates: whether it exists, its short form, whether two names are one file.
namespace romfile {

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

} // namespace romfile
