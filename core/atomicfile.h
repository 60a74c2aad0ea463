#pragma once

#include "fileresult.h"

#include <QByteArray>
#include <QList>
#include <QFileDevice>
#include <QString>

#include <functional>

class QSaveFile;

// Replacing a whole file all or nothing: everything the editor writes (saved images, patches, patched
// images) goes through here, so a failure part way never leaves a damaged file behind.
namespace atomicfile {

// Fills the temporary file; returns empty on success or the reason the user will read.
using Filler = std::function<QString(QSaveFile& output)>;

// Writes through a temporary file beside `destination` (beside the link target for a symbolic link)
// that replaces it atomically once `fill` succeeded; the destination keeps its permission bits.
// Refuses a name with a NUL, a destination that is not a regular file and one that is read-only by
// its permission bits (the read-only attribute on Windows), even for root.
FileResult replace(const QString& destination, const Filler& fill);
// The same for content already in memory.
FileResult replace(const QString& destination, const QByteArray& bytes);

// One file of a set that is written together.
struct Content
{
    QString destination;
    QByteArray bytes;
};
// Writes every file of the set or none: each destination is checked as replace checks it before
// anything is written, each is written to its temporary file, and only then are they renamed into
// place, each existing file first moved aside under a name of its own. Should a rename still fail,
// every file the set replaced is put back and every file it created removed; on success the moved
// files are removed.
FileResult replaceAll(const QList<Content>& files);
// A test-only observer called just before each file of replaceAll takes its place (a test cancels the
// writing to make that rename fail); nothing in the editor sets it (null by default).
using CommitHook = void (*)(QSaveFile& output);
void setCommitHook(CommitHook hook);

// Writes all of `bytes`; empty on success, otherwise the reason (a full disk included).
QString writeAll(QSaveFile& output, const QByteArray& bytes);

// A file's permission bits for owner, group and others. Qt's flags for the current user come from
// access checks (root may write anything), and setting them sets the owner's bits, so they are left out.
QFileDevice::Permissions permissionBits(const QString& path);

// The message of a write that did not happen, naming the file and the cause.
QString failure(const QString& destination, const QString& reason);

} // namespace atomicfile
