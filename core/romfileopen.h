#pragma once

#include "imageform.h"
#include "romfile.h"

#include <QFile>
#include <QString>

// What the romfile functions share: the checked open of a file to read and the texts the user reads.
namespace romfile::detail {

// Every text the user can read from romfile, kept together so the wording stays consistent.
namespace wording {
QString openFailed(const QString& path, const QString& reason);
QString sourceUnusable(const QString& path, const QString& reason);
QString formChanged(ImageForm opened, ImageForm now);
QString cannotRead(const QString& why);
QString endedEarly();
QString badBlocks();
} // namespace wording

// What a file must be to be read: an image (its form's minimum up to MaximumImageSize) or any file
// up to a limit.
struct SizeRule
{
    bool image;
    qint64 limit;
};

inline constexpr SizeRule ImageRule{true, MaximumImageSize};

// Opens `path` for reading when it is a regular file whose size fits `rule`, and then, if
// `makeWritable`, gives the owner write permission (clears the read-only attribute) so that a later
// save over it can succeed; a failure there is left for that save to report. Never blocks on a FIFO or
// device. On failure returns false with the reason the user will read.
bool openChecked(const QString& path, bool makeWritable, QFile& file, qint64& size, QString& reason,
                 SizeRule rule = ImageRule);

} // namespace romfile::detail
