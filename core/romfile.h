#pragma once

#include "fileresult.h"
#include "imageform.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>

// The file side of the image: existence, identity, reading the five blocks, composing an image with
// them laid over the file and writing it.
namespace romfile {

// Largest file the editor will open; no cartridge image comes near it.
inline constexpr qint64 MaximumImageSize = 64LL * 1024 * 1024;

// Why a file of `size` bytes would not open as an image (shorter than its form's minimum, larger
// than MaximumImageSize); empty when it would.
QString ImageSizeProblem(qint64 size);

// True only for an existing path that is not a directory. An empty path is false.
bool FileExists(const QString& path);
// The platform's short form of a path; off Windows the path itself.
QString ShortPath(const QString& path);
// True when both names designate the same existing file (links and case-insensitive file systems
// included), decided by file identity rather than by the text of the names.
bool SameFile(const QString& a, const QString& b);

// Reads the five blocks, indexed by BlockId, into `blocks`, from the positions of the file's form
// (decided by its size), which goes to `form` when given. Refuses anything that is not a regular
// file, a file shorter than its form's minimum or larger than MaximumImageSize; never blocks on a
// FIFO or device. With ReadOnlyFlag::Clear (the window's open) clears the read-only flag first (adding
// the owner's write permission); if that fails the file still opens. Keep reads without a change.
enum class ReadOnlyFlag
{
    Clear,
    Keep,
};
FileResult ReadBlocks(const QString& path, std::array<QByteArray, 5>& blocks, ImageForm* form = nullptr,
                      ReadOnlyFlag readOnly = ReadOnlyFlag::Clear);

// Reads a whole image under the same checks as ReadBlocks, without touching its permissions.
FileResult ReadImage(const QString& path, QByteArray& image, ImageForm* form = nullptr);
// Reads a whole regular file of at most `limit` bytes (a patch, for instance).
FileResult ReadWholeFile(const QString& path, qint64 limit, QByteArray& bytes);

// The current file `source` as it is on disk now, with the five blocks laid over their ranges at the
// positions of its form, in memory. When `form` is given and the source no longer has that form it
// is refused, since the blocks would land in the wrong bytes. A failure says why, naming the source.
FileResult ComposeImage(const QString& source, const std::array<QByteArray, 5>& blocks, std::optional<ImageForm> form,
                        QByteArray& image);

// Writes a composed image to `destination`, all or nothing: a temporary file beside the destination
// is replaced atomically, the destination keeps its permissions, and a symbolic link keeps pointing
// where it did.
FileResult WriteImage(const QString& destination, const QByteArray& image);

// The points inside WriteImage at which the crash-safety test kills a saving process.
enum class SaveStep
{
    TemporaryOpened,   // the temporary file exists, nothing written yet
    FirstChunkWritten, // part of the image is in the temporary file
    AllWritten,        // the temporary file is complete, the destination not yet replaced
    Replaced,          // the destination has been replaced
};
using SaveStepHook = void (*)(SaveStep step);
// A test-only observer of WriteImage's progress; nothing in the editor sets it (null by default).
void setSaveStepHook(SaveStepHook hook);

} // namespace romfile
