#pragma once

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QString>
#include <QStringList>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

// What every entry under a folder holds, to prove that an operation changed no file it was not asked
// to write and left no stray file behind. Symbolic links are recorded by their target and never
// followed; FIFOs and devices by their kind only, so nothing here ever blocks on them.
class DiskFingerprint
{
public:
    static DiskFingerprint of(const QString& root)
    {
        DiskFingerprint fingerprint;
        const QDir base(root);
        QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            fingerprint.m_entries.insert(base.relativeFilePath(path), describe(path));
        }
        return fingerprint;
    }

    // Entries that appeared, disappeared or changed, leaving out those named in `allowed`.
    QStringList changedSince(const DiskFingerprint& before, const QStringList& allowed = {}) const
    {
        QStringList changed;
        for (auto it = before.m_entries.cbegin(); it != before.m_entries.cend(); ++it)
            if (!allowed.contains(it.key()) && m_entries.value(it.key()) != it.value())
                changed << it.key();
        for (auto it = m_entries.cbegin(); it != m_entries.cend(); ++it)
            if (!allowed.contains(it.key()) && !before.m_entries.contains(it.key()))
                changed << it.key();
        return changed;
    }

    int size() const { return int(m_entries.size()); }

private:
    // Files up to this size are hashed whole; larger ones (sparse test files of several GiB) by their
    // data extents, which still changes with any byte written.
    static constexpr qint64 WholeHashLimit = 256LL * 1024 * 1024;

    static QString describe(const QString& path)
    {
#ifdef Q_OS_UNIX
        struct stat st = {};
        const QByteArray native = QFile::encodeName(path);
        if (::lstat(native.constData(), &st) != 0)
            return QStringLiteral("unreadable");
        if (S_ISLNK(st.st_mode))
            return QStringLiteral("link to ") + QFile::symLinkTarget(path);
        if (S_ISDIR(st.st_mode))
            return QStringLiteral("directory");
        if (!S_ISREG(st.st_mode))
            return QStringLiteral("special %1").arg(st.st_mode & S_IFMT);
        return QStringLiteral("file %1 %2").arg(st.st_size).arg(QString::fromLatin1(hashOf(native, st.st_size)));
#else
        const QFileInfo info(path);
        if (info.isSymLink())
            return QStringLiteral("link to ") + info.symLinkTarget();
        if (info.isDir())
            return QStringLiteral("directory");
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return QStringLiteral("unreadable");
        QCryptographicHash hash(QCryptographicHash::Sha256);
        if (info.size() <= WholeHashLimit) {
            hash.addData(&file);
        } else {
            // No extents to ask for here: a huge file counts by its ends and its time of last change,
            // which any write moves, instead of gigabytes read twice per test row.
            constexpr qint64 End = 4 * 1024 * 1024;
            hash.addData(file.read(End));
            file.seek(info.size() - End);
            hash.addData(file.read(End));
            hash.addData(QByteArray::number(info.lastModified().toMSecsSinceEpoch()));
        }
        return QStringLiteral("file %1 %2").arg(info.size()).arg(QString::fromLatin1(hash.result().toHex()));
#endif
    }

#ifdef Q_OS_UNIX
    static QByteArray hashOf(const QByteArray& native, qint64 size)
    {
        const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            return "unreadable";
        QCryptographicHash hash(QCryptographicHash::Sha256);
        QByteArray buffer(1024 * 1024, Qt::Uninitialized);
        const auto hashRange = [&](qint64 from, qint64 to) {
            hash.addData(QByteArray::number(from));
            for (qint64 at = from; at < to;) {
                const ssize_t got = ::pread(fd, buffer.data(), size_t(std::min<qint64>(buffer.size(), to - at)), at);
                if (got <= 0)
                    break;
                hash.addData(QByteArrayView(buffer.constData(), got));
                at += got;
            }
        };
        if (size <= WholeHashLimit) {
            hashRange(0, size);
        } else {
            for (off_t data = ::lseek(fd, 0, SEEK_DATA); data >= 0 && data < size;) {
                off_t hole = ::lseek(fd, data, SEEK_HOLE);
                if (hole < 0)
                    hole = size;
                hashRange(data, hole);
                data = ::lseek(fd, hole, SEEK_DATA);
            }
        }
        ::close(fd);
        return hash.result().toHex();
    }
#endif

    QMap<QString, QString> m_entries;
};
