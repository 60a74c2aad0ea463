#pragma once

#include "patchoutcome.h"

#include <QByteArray>
#include <QString>

// Converting an image between the two forms: with the 512-byte copier header in front of the
// cartridge data, and without.
class CopierHeader
{
public:
    CopierHeader() = delete;

    // Whether the size says there is a header: a whole number of kilobytes plus 512 bytes.
    static bool isPresent(qint64 size);
    // Whether the size is a whole number of kilobytes, the form of an image without one.
    static bool isAbsent(qint64 size);

    // `image` behind a header of 512 zero bytes; refused when the image is not of the form without one.
    static PatchOutcome added(const QByteArray& image);
    // `image` without its header; refused when its size does not show one.
    static PatchOutcome removed(const QByteArray& image);
};
