#include "testplayimages.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <utility>

using namespace Qt::StringLiterals;

namespace {

const QString FolderPrefix = u"tavrin-testplay-"_s;

QString lockPathIn(const QString& folder)
{
    return QDir(folder).filePath(QString::fromLatin1(TestPlayImages::LockFileName));
}

} // namespace

TestPlayImages::TestPlayImages(QString parent, int keep) : m_parent(std::move(parent)), m_keep(keep)
{
    removeLeftovers();
}

TestPlayImages::~TestPlayImages()
{
    for (Kept& kept : m_kept)
        removeFolderOf(kept);
}

void TestPlayImages::removeLeftovers() const
{
    const QFileInfoList folders =
        QDir(m_parent).entryInfoList({FolderPrefix + u'*'}, QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    for (const QFileInfo& folder : folders) {
        const QString lockPath = lockPathIn(folder.absoluteFilePath());
        // A folder without its lock may be one another editor made a moment ago and has not locked yet.
        if (!QFileInfo::exists(lockPath) && folder.lastModified().secsTo(QDateTime::currentDateTime()) < 60)
            continue;
        QLockFile lock(lockPath);
        // Only a lock whose process is gone is taken over; a running editor's stays however old it is.
        lock.setStaleLockTime(0);
        if (!lock.tryLock(0))
            continue;
        lock.unlock();
        QDir(folder.absoluteFilePath()).removeRecursively();
    }
}

FileResult TestPlayImages::add(const QString& fileName, const QByteArray& image, QString& path)
{
    // A folder of its own for each image: the file keeps the opened image's name, and an emulator
    // still running on an earlier one never sees its file replaced.
    QTemporaryDir folder(QDir(m_parent).filePath(u"tavrin-testplay-XXXXXX"_s));
    if (!folder.isValid())
        return FileResult::failed(u"テストプレイ用のフォルダーを「%1」に作れませんでした。\n%2"_s.arg(
            QDir::toNativeSeparators(m_parent), folder.errorString()));
    const QString written = folder.filePath(fileName);
    // A plain write, not a save's synced replace: the emulator reads the file straight back from the
    // system's cache, and the sync to disk was half the time from F5 to the emulator. A failed write
    // leaves nothing, since the folder removes itself with what it holds.
    QFile file(written);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly) || file.write(image) != image.size() || !file.flush())
        return FileResult::failed(u"テストプレイ用のイメージ「%1」を書き込めませんでした。\n%2"_s.arg(
            QDir::toNativeSeparators(written), file.errorString()));
    file.close();
    auto lock = std::make_unique<QLockFile>(lockPathIn(folder.path()));
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return FileResult::failed(u"テストプレイ用のフォルダー「%1」に印のファイルを作れませんでした。"_s.arg(
            QDir::toNativeSeparators(folder.path())));
    folder.setAutoRemove(false);
    m_kept.push_back({written, std::move(lock)});
    while (m_kept.size() > static_cast<std::size_t>(m_keep)) {
        removeFolderOf(m_kept.front());
        m_kept.pop_front();
    }
    path = written;
    return FileResult::done();
}

void TestPlayImages::dropNewest()
{
    if (m_kept.empty())
        return;
    removeFolderOf(m_kept.back());
    m_kept.pop_back();
}

QStringList TestPlayImages::paths() const
{
    QStringList paths;
    for (const Kept& kept : m_kept)
        paths << kept.path;
    return paths;
}

void TestPlayImages::removeFolderOf(Kept& kept)
{
    // The lock goes first (Windows keeps a held lock file open); whatever the system then refuses to
    // remove stays, and the next start removes it once no process holds it. Nobody waits for this.
    kept.lock->unlock();
    QDir(QFileInfo(kept.path).absolutePath()).removeRecursively();
}
