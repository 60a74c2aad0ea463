#include "compareside.h"

#include "imagedifference.h"
#include "patchfile.h"
#include "patchsequence.h"
#include "romfile.h"

#include <QDir>

using namespace Qt::StringLiterals;

std::variant<CompareSide, QString> CompareSide::read(const QString& otherPath, const QString& openedPath,
                                                     PatchSequence::IpsForm ipsForm)
{
    QByteArray other;
    if (const FileResult read = romfile::ReadWholeFile(otherPath, PatchFile::MaximumSize, other); !read.isDone())
        return read.message();
    QByteArray opened;
    if (const FileResult read = romfile::ReadImage(openedPath, opened); !read.isDone())
        return read.message();

    CompareSide side;
    side.m_path = otherPath;
    side.m_patch = PatchFile::formatOfContent(other).has_value();
    if (side.m_patch) {
        PatchSequence sequence(opened);
        if (const QString refused = sequence.apply(other, ipsForm); !refused.isEmpty())
            return QDir::toNativeSeparators(otherPath) % u": "_s % refused;
        other = sequence.image();
        if (const std::optional<std::array<QByteArray, 5>> blocks = ImageDifference::blocksOf(other))
            side.m_blocks = *blocks;
        else
            return QDir::toNativeSeparators(otherPath) % u": パッチを当てた結果はイメージとして開けません。"_s;
    } else {
        // Read again under the checks of an open, so that what is refused is refused with its words.
        if (const FileResult read = romfile::ReadImage(otherPath, other); !read.isDone())
            return read.message();
        const std::optional<std::array<QByteArray, 5>> blocks = ImageDifference::blocksOf(other);
        if (!blocks)
            return QDir::toNativeSeparators(otherPath) % u" を開けません。"_s;
        side.m_blocks = *blocks;
    }
    side.m_outside = ImageDifference::outsideTables(opened, other);
    side.m_image = std::move(other);
    return side;
}

bool CompareSide::recountOutside(const QString& openedPath)
{
    QByteArray opened;
    if (!romfile::ReadImage(openedPath, opened).isDone())
        return false;
    m_outside = ImageDifference::outsideTables(opened, m_image);
    return true;
}
