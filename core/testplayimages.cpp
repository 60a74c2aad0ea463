#include "testplayimages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <utility>

using namespace Qt::StringLiterals;

TestPlayImages::TestPlayImages(QString parent, int keep) : m_parent(std::move(parent)), m_keep(keep) {}

TestPlayImages::~TestPlayImages()
{
    for (const QString& path : m_paths)
        removeFolderOf(path);
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
    folder.setAutoRemove(false);
    m_paths.push_back(written);
    while (m_paths.size() > static_cast<std::size_t>(m_keep)) {
        removeFolderOf(m_paths.front());
        m_paths.pop_front();
    }
    path = written;
    return FileResult::done();
}

void TestPlayImages::dropNewest()
{
    if (m_paths.empty())
        return;
    removeFolderOf(m_paths.back());
    m_paths.pop_back();
}

QStringList TestPlayImages::paths() const
{
    return QStringList(m_paths.begin(), m_paths.end());
}

void TestPlayImages::removeFolderOf(const QString& path)
{
    // Whatever the system refuses to remove stays; nobody is waiting for this to succeed.
    QFile::remove(path);
    QDir().rmdir(QFileInfo(path).absolutePath());
}
