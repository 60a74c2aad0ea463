#pragma once

#include "blockcatalogue.h"

#include <QString>
#include <QtGlobal>

// Whether an image carries the 512-byte copier header in front of the cartridge data. The catalogue
// positions count from the start of a file with the header; without it every block lies 0x200 earlier.
enum class ImageForm
{
    CopierHeader,
    Headerless,
};

inline constexpr qint64 CopierHeaderSize = 0x200;

// Decided by the file size alone: a remainder of 512 modulo 1024 is a copier header, a whole number
// of kilobytes is a bare cartridge image, and any other size is read as it always was, with a header.
inline constexpr ImageForm imageFormForSize(qint64 size)
{
    return size % 1024 == 0 ? ImageForm::Headerless : ImageForm::CopierHeader;
}

// Bytes in front of the cartridge data in a file of this form.
inline constexpr qint64 headerSize(ImageForm form)
{
    return form == ImageForm::CopierHeader ? CopierHeaderSize : 0;
}

// Where a block starts in a file of this form.
inline constexpr qint64 blockPosition(const BlockSpec& range, ImageForm form)
{
    return range.position - CopierHeaderSize + headerSize(form);
}

// The smallest file of this form that holds every block (0xAF5A6 with a header, 0xAF3A6 without).
inline constexpr qint64 minimumImageSize(ImageForm form)
{
    return HighestBlockEnd - CopierHeaderSize + headerSize(form);
}

static_assert(minimumImageSize(ImageForm::CopierHeader) == 0xAF5A6);
static_assert(minimumImageSize(ImageForm::Headerless) == 0xAF3A6);

// How the form reads in messages and in `tavrin info`.
inline QString imageFormName(ImageForm form)
{
    return form == ImageForm::CopierHeader ? QStringLiteral("コピアヘッダーあり (.smc)")
                                           : QStringLiteral("ヘッダーなし (.sfc)");
}
