#include "imagedifference.h"

#include "blockcatalogue.h"
#include "imageform.h"

#include <algorithm>

std::optional<std::array<QByteArray, 5>> ImageDifference::blocksOf(const QByteArray& image)
{
    const ImageForm form = imageFormForSize(image.size());
    if (image.size() < minimumImageSize(form))
        return std::nullopt;
    std::array<QByteArray, 5> blocks;
    for (const BlockSpec& range : BlockCatalogue)
        blocks[static_cast<std::size_t>(range.id)] = image.mid(blockPosition(range, form), range.size);
    return blocks;
}

qint64 ImageDifference::outsideTables(const QByteArray& a, const QByteArray& b)
{
    const qint64 skipA = headerSize(imageFormForSize(a.size()));
    const qint64 skipB = headerSize(imageFormForSize(b.size()));
    const qint64 lengthA = std::max<qint64>(a.size() - skipA, 0);
    const qint64 lengthB = std::max<qint64>(b.size() - skipB, 0);
    const qint64 common = std::min(lengthA, lengthB);
    // The ranges in cartridge positions, in file order, so that one pass skips each in turn.
    std::array<std::pair<qint64, qint64>, 5> ranges;
    for (std::size_t k = 0; k < BlockCatalogue.size(); ++k) {
        const qint64 start = blockPosition(BlockCatalogue[k], ImageForm::Headerless);
        ranges[k] = {start, start + BlockCatalogue[k].size};
    }
    std::sort(ranges.begin(), ranges.end());
    qint64 differing = 0;
    qint64 at = 0;
    const auto count = [&](qint64 from, qint64 to) {
        const char* pa = a.constData() + skipA;
        const char* pb = b.constData() + skipB;
        for (qint64 i = from; i < to; ++i)
            differing += pa[i] != pb[i];
    };
    for (const auto& [start, end] : ranges) {
        count(at, std::min(start, common));
        at = std::max(at, std::min(end, common));
    }
    count(at, common);
    return differing + (std::max(lengthA, lengthB) - common);
}
