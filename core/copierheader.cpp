#include "copierheader.h"

#include "imageform.h"

using namespace Qt::StringLiterals;

bool CopierHeader::isPresent(qint64 size)
{
    return size % 1024 == CopierHeaderSize;
}

bool CopierHeader::isAbsent(qint64 size)
{
    return size % 1024 == 0;
}

PatchOutcome CopierHeader::added(const QByteArray& image)
{
    if (!isAbsent(image.size()))
        return PatchOutcome::refused(isPresent(image.size())
                                         ? u"このイメージにはもうコピアヘッダーがあります。"_s
                                         : u"大きさが 1024 バイトの倍数でないため、ヘッダーのない形式ではありません。"_s);
    return PatchOutcome::made(QByteArray(CopierHeaderSize, '\0') + image);
}

PatchOutcome CopierHeader::removed(const QByteArray& image)
{
    if (!isPresent(image.size()))
        return PatchOutcome::refused(isAbsent(image.size())
                                         ? u"このイメージにはコピアヘッダーがありません。"_s
                                         : u"大きさが 1024 バイトの倍数 + 512 でないため、コピアヘッダーのある形式ではありません。"_s);
    return PatchOutcome::made(image.mid(CopierHeaderSize));
}
