#pragma once

#include "fileresult.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <deque>

// The images one editor hands to emulators. Each lies in a new folder of its own under the given
// parent (the system's temporary folder), under the opened image's own file name, so that the
// emulator shows the name the user knows and files its saves under it. Only the newest `keep` are
// kept; older ones, and all of them when this goes, are removed as far as the system lets: a file an
// emulator still holds open (Windows refuses to remove it) is left without a word.
class TestPlayImages
{
public:
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
    static void removeFolderOf(const QString& path);

    QString m_parent;
    int m_keep;
    std::deque<QString> m_paths;
};
