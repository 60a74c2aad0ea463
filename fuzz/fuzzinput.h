#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstring>

// Reads a fuzz input front to back in the simple record formats that the targets and the starting
// corpus writer share; past the end every read yields zero or empty, so any input is a valid one.
class FuzzInput
{
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    bool atEnd() const { return m_at >= m_size; }

    // A hash of the whole input (FNV-1a), to give a fixed share of inputs a slow check: since it
    // depends on the input alone, an input that fails there fails again when run on its own.
    std::uint32_t hash() const
    {
        std::uint32_t h = 2166136261u;
        for (std::size_t i = 0; i < m_size; ++i)
            h = (h ^ m_data[i]) * 16777619u;
        return h;
    }
    std::size_t remaining() const { return m_size - m_at; }

    std::uint8_t byte() { return m_at < m_size ? m_data[m_at++] : 0; }
    std::uint16_t word()
    {
        const std::uint16_t low = byte();
        return std::uint16_t(low | byte() << 8);
    }
    std::uint32_t triple()
    {
        const std::uint32_t low = word();
        return low | std::uint32_t(byte()) << 16;
    }

    // Up to `count` bytes.
    QByteArray bytes(std::size_t count)
    {
        const std::size_t n = count < remaining() ? count : remaining();
        QByteArray out(reinterpret_cast<const char*>(m_data + m_at), qsizetype(n));
        m_at += n;
        return out;
    }
    QByteArray rest() { return bytes(remaining()); }

    // A length byte, then that many bytes read as UTF-8 (mode 0) or as UTF-16 code units (mode 1),
    // the latter reaching lone surrogates, NULs and the private use stand-ins directly.
    QString text()
    {
        const std::uint8_t mode = byte();
        const QByteArray raw = bytes(byte());
        if (mode % 2 == 0)
            return QString::fromUtf8(raw);
        QString units(raw.size() / 2, Qt::Uninitialized);
        std::memcpy(units.data(), raw.constData(), std::size_t(units.size()) * 2);
        return units;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

// The writing side of FuzzInput, for the starting corpus.
class FuzzRecord
{
public:
    FuzzRecord& byte(int value)
    {
        m_bytes.append(char(value & 0xFF));
        return *this;
    }
    FuzzRecord& word(int value) { return byte(value).byte(value >> 8); }
    FuzzRecord& triple(int value) { return word(value).byte(value >> 16); }
    FuzzRecord& bytes(const QByteArray& raw)
    {
        m_bytes += raw;
        return *this;
    }
    FuzzRecord& utf8(const QString& text)
    {
        const QByteArray raw = text.toUtf8().left(255);
        return byte(0).byte(int(raw.size())).bytes(raw);
    }
    FuzzRecord& utf16(const QString& text)
    {
        const QByteArray raw = QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2).left(254);
        return byte(1).byte(int(raw.size())).bytes(raw);
    }
    QByteArray data() const { return m_bytes; }

private:
    QByteArray m_bytes;
};
