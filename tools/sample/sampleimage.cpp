#include "sampleimage.h"

#include "blockcatalogue.h"
#include "cartridgechecksum.h"
#include "cartridgeheader.h"
#include "imageform.h"

#include <QSaveFile>

#include <array>
#include <cstdint>

namespace {

// A small xorshift generator: the same numbers on every platform and compiler, unlike <random>'s
// distributions. Each block draws from its own sequence, so changing one block leaves the others.
class Sequence
{
public:
    explicit Sequence(std::uint32_t start) : m_state(start != 0 ? start : 1) {}

    std::uint32_t next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }
    int below(int bound) { return static_cast<int>(next() % static_cast<std::uint32_t>(bound)); }
    int between(int low, int high) { return low + below(high - low + 1); }
    int byte() { return static_cast<int>(next() >> 24); }
    int nonZeroByte() { return between(1, 255); }

private:
    std::uint32_t m_state;
};

// Writes into one block of the image; offsets past the block's end are dropped, which is how the
// last city record loses its final byte.
class BlockWriter
{
public:
    BlockWriter(QByteArray& image, BlockId id) : m_image(image), m_spec(blockSpec(id)) {}

    void put(qsizetype offset, int value)
    {
        if (offset >= 0 && offset < m_spec.size)
            m_image[m_spec.position + offset] = static_cast<char>(value & 0xFF);
    }
    // Little-endian, low byte first, as the game stores its 16-bit numbers.
    void put16(qsizetype offset, int value)
    {
        put(offset, value & 0xFF);
        put(offset + 1, (value >> 8) & 0xFF);
    }
    qsizetype size() const { return m_spec.size; }

private:
    QByteArray& m_image;
    BlockSpec m_spec;
};

// Bytes outside the blocks: never zero and never constant, so a stray write cannot hide.
char fillerByte(qsizetype position)
{
    return static_cast<char>((position * 7 + (position >> 8) * 13) % 255 + 1);
}

struct Abilities
{
    int war, land, naval, intelligence, politics, charisma;
};

// Every class marker, with the cases on both sides of each threshold.
constexpr std::array<Abilities, 12> MarkerCases{{
    {85, 60, 50, 50, 50, 40},       // War above 84: 将
    {84, 100, 100, 60, 60, 20},     // mean command + charisma exactly 120: 将
    {84, 100, 100, 60, 60, 19},     // one short of 120: nothing
    {69, 255, 255, 70, 70, 255},    // War below 70 whatever else: nothing
    {75, 200, 200, 30, 30, 0},      // command alone carries it: 将
    {50, 40, 40, 80, 0, 50},        // intelligence 80: 軍
    {90, 70, 70, 10, 80, 60},       // 将 and politics 80: 将軍
    {0, 0, 0, 0, 0, 0},             // nothing
    {255, 255, 255, 255, 255, 255}, // 将軍
    {70, 100, 99, 79, 79, 21},      // half a point over: 将; 79 is not above 79
    {70, 100, 99, 40, 40, 20},      // half a point under: nothing
    {84, 0, 0, 79, 80, 0},          // 軍 only
}};

constexpr int OfficerCount = 532;
constexpr int OfficerSize = 30;

void writeReading(BlockWriter& out, qsizetype at, int record, Sequence& random)
{
    std::array<int, 8> reading{};
    const int length = record == 24 ? 8 : random.between(1, 8);
    for (int k = 0; k < length; ++k)
        reading[k] = random.between(0xA1, 0xDF); // half-width katakana
    if (record == 12)
        reading = {'A', 'B', 'C', '1', 0, 0, 0, 0};
    // Bytes with no single-byte character: a lone 0x80, a lead byte, 0xA0 and 0xFD.
    constexpr std::array<int, 4> Unmapped{0x80, 0x81, 0xA0, 0xFD};
    if (record >= 20 && record < 20 + int(Unmapped.size())) {
        reading[0] = 0xB1;
        reading[1] = Unmapped[record - 20];
        reading[2] = 0xB2;
    }
    for (int k = 0; k < 8; ++k)
        out.put(at + k, reading[k]);
}

void writeOfficers(QByteArray& image)
{
    BlockWriter out(image, BlockId::Officer);
    Sequence random(0x0FF1CE5u);
    for (int n = 0; n < OfficerCount; ++n) {
        const qsizetype p = qsizetype(n) * OfficerSize;
        Abilities a{random.byte(), random.byte(), random.byte(), random.byte(), random.byte(), random.byte()};
        if (n < int(MarkerCases.size()))
            a = MarkerCases[n];
        out.put(p, random.byte()); // face picture, two opaque bytes
        out.put(p + 1, random.byte());
        out.put(p + 2, random.byte()); // ambition and luck nibbles
        out.put(p + 3, random.byte()); // calmness and bravery nibbles
        // Lifespan 0-8 above a low nibble the game leaves alone; set in every third record.
        out.put(p + 4, ((n % 9) << 4) | (n % 3 == 0 ? (n * 5) % 16 : 0));
        out.put(p + 5, a.land);
        out.put(p + 6, a.naval);
        out.put(p + 7, a.war);
        out.put(p + 8, a.intelligence);
        out.put(p + 9, a.politics);
        out.put(p + 10, a.charisma);
        out.put(p + 11, random.between(0, 150)); // compatibility
        out.put(p + 12, random.between(0, 100)); // duty
        out.put(p + 13, n % 7 == 0 ? 255 : random.between(0, 11));
        out.put(p + 14, random.between(140, 230)); // birth year
        for (int k = 0; k < 6; ++k)
            out.put(p + 15 + k, random.byte()); // name in the game's own codes
        out.put(p + 21, (n * 29 + 3) % 255 + 1);
        writeReading(out, p + 22, n, random);
    }
}

void writeCities(QByteArray& image)
{
    BlockWriter out(image, BlockId::City);
    Sequence random(0xC17135u);
    for (int n = 0; n < 276; ++n) {
        const qsizetype b = qsizetype(n) * 30;
        const bool overCaps = n % 23 == 22;
        out.put(b, random.nonZeroByte());
        out.put(b + 1, random.nonZeroByte());
        out.put16(b + 2, n == 0 ? 300 : overCaps ? (n % 2 ? 301 : 65535) : random.between(1, 300));
        out.put16(b + 4, overCaps ? (n % 2 ? 700 : 65535) : random.between(0, 655));
        out.put16(b + 6, overCaps ? 65535 : random.between(0, 65535));
        out.put(b + 8, n == 0 ? 0xA3 : (random.between(1, 15) << 4) | random.between(1, 15));
        out.put(b + 9, random.nonZeroByte());
        out.put(b + 10, random.nonZeroByte());
        out.put(b + 11, random.byte()); // development
        out.put(b + 12, random.byte()); // irrigation
        out.put(b + 13, random.byte()); // flood control
        out.put16(b + 14, overCaps ? 65535 : random.between(0, 3000));
        out.put(b + 16, random.between(0, 100)); // tax rate
        out.put(b + 17, random.between(0, 100)); // loyalty of the people
        out.put16(b + 18, random.between(0, 65535));
        out.put16(b + 20, random.between(0, 65535));
        out.put16(b + 22, random.between(0, 65535));
        out.put(b + 24, random.byte());
        out.put(b + 25, random.byte());
        out.put(b + 26, random.byte());
        for (int k = 27; k < 30; ++k)
            out.put(b + k, random.nonZeroByte());
    }
}

void writeItems(QByteArray& image)
{
    BlockWriter out(image, BlockId::Item);
    Sequence random(0x17E45u);
    for (int n = 0; n < 13; ++n) {
        const qsizetype b = qsizetype(n) * 18;
        out.put(b, random.nonZeroByte());
        out.put(b + 1, random.nonZeroByte());
        for (int k = 2; k <= 4; ++k)
            out.put(b + k, random.byte());
        for (int k = 0; k < 12; ++k)
            out.put(b + 5 + k, n == 0 ? (k == 0 ? 0x00 : k == 1 ? 0x0A : k == 2 ? 0xFF : 0x01) : random.byte());
        out.put(b + 17, random.nonZeroByte());
    }
}

void writeForces(QByteArray& image)
{
    BlockWriter out(image, BlockId::Force);
    Sequence random(0xF0ACE5u);
    for (int n = 0; n < 126; ++n) {
        const qsizetype b = qsizetype(n) * 25;
        const int ruler = n == 0 ? 0 : n == 1 ? 531 : n % 10 == 9 ? 65535 : random.between(0, 531);
        out.put16(b, ruler);
        out.put(b + 2, n == 2 ? 46 : n % 8 == 7 ? 255 : random.between(0, 46));
        out.put(b + 3, random.byte());
        for (int k = 4; k < 25; ++k)
            out.put(b + k, random.nonZeroByte());
    }
    out.put(out.size() - 1, 0xA5); // the trailing byte that belongs to no force
}

void writePlacement(QByteArray& image)
{
    BlockWriter out(image, BlockId::Placement);
    Sequence random(0x91ACEu);
    for (int scenario = 0; scenario < 6; ++scenario) {
        for (int n = 0; n < 531; ++n) {
            const qsizetype b = qsizetype(scenario) * 2124 + qsizetype(n) * 4;
            out.put(b, random.byte());                                  // soldiers
            out.put(b + 1, random.between(0, 7));                       // status
            out.put(b + 2, random.between(0, 100));                     // loyalty
            out.put(b + 3, n % 11 == 10 ? 255 : random.between(0, 45)); // location
        }
    }
}

// The cartridge header of a 1 MiB LoROM image: a readable title, the map mode and the size, and (once
// every other byte is final) the checksum pair, so that info and the checksum fix have something true
// to show.
void writeCartridgeHeader(QByteArray& image)
{
    const qint64 at = CopierHeaderSize + CartridgeHeader::Position;
    const QByteArray title = QByteArray("TAVRIN SAMPLE").leftJustified(CartridgeHeader::TitleSize, ' ');
    image.replace(at, title.size(), title);
    image[at + 0x15] = char(0x20); // LoROM
    image[at + 0x17] = char(0x0A); // 2^10 KiB
}

} // namespace

QByteArray SampleImage::generate()
{
    QByteArray image(Size, Qt::Uninitialized);
    for (qsizetype i = 0; i < Size; ++i)
        image[i] = fillerByte(i);
    writeOfficers(image);
    writeCities(image);
    writeItems(image);
    writeForces(image);
    writePlacement(image);
    writeCartridgeHeader(image);
    CartridgeChecksum::fix(image, ImageForm::CopierHeader);
    return image;
}

bool SampleImage::write(const QString& path, QString* error)
{
    QSaveFile file(path);
    const QByteArray image = generate();
    if (!file.open(QIODevice::WriteOnly) || file.write(image) != image.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}
