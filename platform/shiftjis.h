#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// Shift-JIS (code page 932) text as the game's tools write it: decoding bytes and reading small files.
class ShiftJis
{
public:
    // The most of a file that readFile looks at, so that a huge file cannot exhaust memory.
    static constexpr qint64 MaximumFileSize = 16LL * 1024 * 1024;

    // Decodes code page 932 bytes. Every byte that does not decode (a lead byte without a valid trail
    // byte, a lead byte at the end, a byte that is neither a character nor a lead byte, either byte
    // of a pair that names no character) becomes one U+FFFD; an ASCII byte that follows a failed lead
    // byte still decodes as itself.
    static QString decode(QByteArrayView bytes);

    // The decoded text of the first `maxBytes` bytes of a regular file; nullopt when the path names
    // no regular file (missing, directory, FIFO, device) or cannot be read. Never blocks.
    static std::optional<QString> readFile(const QString& path, qint64 maxBytes = MaximumFileSize);
};
