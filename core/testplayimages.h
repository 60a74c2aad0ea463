#pragma once

#include "fileresult.h"

#include <QByteArray>
#include <QLockFile>
#include <QString>
#include <QStringList>

#include <deque>
#include <memory>

// The images one editor hands to emulators. Each lies in a new folder of its own under the given
// parent (the system's temporary folder), under the opened image's own file name, so that the
// emulator shows the name the user knows and files its saves under it. Only the newest `keep` are
// kept; older ones, and all of them when this goes, are removed with whatever the emulator wrote
// beside them, as far as the system lets: a file an emulator still holds open (Windows refuses to
// remove it) is left without a word. A lock file in each folder marks it as in use while this holds
// it, so that the folders of an editor that ended without closing are removed at the next start and
// never those of one still running.
class TestPlayImages
{
public:
    // The name of the lock file in each folder.
    static constexpr const char* LockFileName = "tavrin-testplay.lock";

    // Removes the folders under `parent` that an earlier editor left behind and no running one holds.
    explicit TestPlayImages(QString parent, int keep = 3);
    ~TestPlayImages();
    TestPlayImages(const TestPlayImages&) = delete;
    TestPlayImages& operator=(const TestPlayImages&) = delete;

    // Writes `image` as `fileName` in a new folder and sets `path` to it; removes the oldest images
    // beyond the number kept. On failure nothing is left behind and the message names the file.
    FileResult add(const QString& fileName, const QByteArray& image, QString& path);
    // Removes the newest image: the emulator it was written for did not start.
    void dropNewest();
    // The images kept, oldest first.
    QStringList paths() const;

private:
    struct Kept
    {
        QString path;
        std::unique_ptr<QLockFile> lock;
    };

    void removeLeftovers() const;
    static void removeFolderOf(Kept& kept);

    QString m_parent;
    int m_keep;
    std::deque<Kept> m_kept;
};
