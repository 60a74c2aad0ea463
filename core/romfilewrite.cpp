#include "romfile.h"

#include "atomicfile.h"

#include <QSaveFile>

#include <algorithm>

// Writing a composed image, observed at its steps by the crash-safety test.
namespace romfile {
namespace {

SaveStepHook saveStepHook = nullptr;

void reached(SaveStep step)
{
    if (saveStepHook)
        saveStepHook(step);
}

// Written in pieces, so that a crash can find the temporary file part written.
constexpr qint64 WriteChunk = 1024 * 1024;

} // namespace

void setSaveStepHook(SaveStepHook hook)
{
    saveStepHook = hook;
}

FileResult WriteImage(const QString& destination, const QByteArray& image)
{
    const FileResult written = atomicfile::replace(destination, [&](QSaveFile& output) {
        reached(SaveStep::TemporaryOpened);
        for (qint64 at = 0; at < image.size(); at += WriteChunk) {
            const QByteArray chunk =
                QByteArray::fromRawData(image.constData() + at, std::min(WriteChunk, image.size() - at));
            if (const QString failed = atomicfile::writeAll(output, chunk); !failed.isEmpty())
                return failed;
            if (at == 0)
                reached(SaveStep::FirstChunkWritten);
        }
        reached(SaveStep::AllWritten);
        return QString();
    });
    if (written.isDone())
        reached(SaveStep::Replaced);
    return written;
}

} // namespace romfile
