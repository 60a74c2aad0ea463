#pragma once

#include "imageform.h"

#include <QByteArray>

// What a save does with the four checksum bytes of the cartridge header. They lie outside the five
// tables, so a save leaves them as the file holds them unless the user asked otherwise; the request
// is part of the document (set and cleared by the undo step of the window's checksum fix) and every
// save honours it, computing the checksum from exactly the bytes that save writes.
class ChecksumRequest
{
public:
    enum class Kind
    {
        Keep, // the four bytes as the file holds them
        Fix,  // the checksum of what the save writes, with its complement
        Put,  // the four bytes given (what the file held before a fix that is being undone)
    };

    static ChecksumRequest keep() { return {Kind::Keep, {}}; }
    static ChecksumRequest fix() { return {Kind::Fix, {}}; }
    static ChecksumRequest put(const QByteArray& pair) { return {Kind::Put, pair}; }

    Kind kind() const { return m_kind; }
    QByteArray pair() const { return m_pair; }
    bool operator==(const ChecksumRequest&) const = default;

    // Carries the request out on an image about to be written; false (image unchanged) when the
    // image is too short to hold the header.
    bool applyTo(QByteArray& image, ImageForm form) const;

private:
    ChecksumRequest(Kind kind, const QByteArray& pair) : m_kind(kind), m_pair(pair) {}

    Kind m_kind = Kind::Keep;
    QByteArray m_pair;
};
