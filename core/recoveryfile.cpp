#include "recoveryfile.h"

#include "blockcatalogue.h"
#include "document.h"
#include "grid.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace {

constexpr char Signature[] = "TAVRIN RECOVERY\n";
constexpr qsizetype SignatureSize = sizeof(Signature) - 1;
constexpr quint32 FormatVersion = 1;
constexpr qsizetype HashSize = 32;
// Far above the tables and the path; anything larger is not ours and is not read whole.
constexpr qint64 MaximumSize = 1 << 20;

QByteArray sha256(QByteArrayView bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

int countChangedCells(const Document& document)
{
    int count = 0;
    for (const TableId id : AllTables) {
        const Grid& grid = document.grid(id);
        for (int row = grid.fixedRows(); row < grid.rows(); ++row)
            for (int col = 0; col < grid.cols(); ++col)
                count += grid.isChanged(row, col) ? 1 : 0;
    }
    return count;
}

} // namespace

RecoveryFile RecoveryFile::of(const Document& document)
{
    RecoveryFile state;
    state.imagePath = canonicalImagePath(document.state().currentPath());
    state.written = QDateTime::currentDateTimeUtc();
    state.changedCells = countChangedCells(document);
    const DiskSnapshot& onDisk = document.diskSnapshot();
    state.imageSize = onDisk.size();
    state.imageModified = onDisk.modified();
    state.tableHash = onDisk.tableHash();
    state.checksum = document.checksumRequest();
    for (const BlockSpec& range : BlockCatalogue)
        state.blocks[static_cast<std::size_t>(range.id)] = document.state().block(range.id);
    return state;
}

QByteArray RecoveryFile::serialize() const
{
    QByteArray bytes(Signature, SignatureSize);
    QDataStream out(&bytes, QIODevice::WriteOnly | QIODevice::Append);
    out.setVersion(QDataStream::Qt_6_0);
    out << FormatVersion << imagePath << written.toMSecsSinceEpoch() << qint32(changedCells) << imageSize
        << imageModified << tableHash << quint8(checksum.kind()) << checksum.pair();
    for (const QByteArray& block : blocks)
        out << block;
    bytes += sha256(bytes);
    return bytes;
}

std::optional<RecoveryFile> RecoveryFile::parse(const QByteArray& bytes)
{
    // The hash covers every byte before it, so a cut or damaged file is refused before any field is
    // believed.
    if (bytes.size() < SignatureSize + HashSize || !bytes.startsWith(QByteArrayView(Signature, SignatureSize)))
        return std::nullopt;
    const QByteArray body = bytes.first(bytes.size() - HashSize);
    if (sha256(body) != bytes.last(HashSize))
        return std::nullopt;
    QDataStream in(body.sliced(SignatureSize));
    in.setVersion(QDataStream::Qt_6_0);
    RecoveryFile state;
    quint32 version = 0;
    qint64 written = 0;
    qint32 cells = 0;
    quint8 kind = 0;
    QByteArray pair;
    in >> version >> state.imagePath >> written >> cells >> state.imageSize >> state.imageModified >> state.tableHash >>
        kind >> pair;
    for (QByteArray& block : state.blocks)
        in >> block;
    if (in.status() != QDataStream::Ok || !in.atEnd() || version != FormatVersion || cells < 0)
        return std::nullopt;
    for (const BlockSpec& range : BlockCatalogue)
        if (state.blocks[static_cast<std::size_t>(range.id)].size() != range.size)
            return std::nullopt;
    switch (static_cast<ChecksumRequest::Kind>(kind)) {
    case ChecksumRequest::Kind::Keep:
        break;
    case ChecksumRequest::Kind::Fix:
        state.checksum = ChecksumRequest::fix();
        break;
    case ChecksumRequest::Kind::Put:
        if (pair.size() != 4)
            return std::nullopt;
        state.checksum = ChecksumRequest::put(pair);
        break;
    default:
        return std::nullopt;
    }
    state.written = QDateTime::fromMSecsSinceEpoch(written, Qt::UTC);
    state.changedCells = cells;
    return state;
}

std::optional<RecoveryFile> RecoveryFile::read(const QString& path)
{
    QFile file(path);
    // Only a regular file is opened, so that nothing put in its place can block the open.
    if (!QFileInfo(path).isFile() || file.size() > MaximumSize || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return parse(file.read(MaximumSize + 1));
}

bool RecoveryFile::matchesFileOf(const Document& document) const
{
    const DiskSnapshot& now = document.diskSnapshot();
    return now.size() == imageSize && now.modified() == imageModified && now.tableHash() == tableHash;
}

QString RecoveryFile::folder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + u"/recovery"_s;
}

QString RecoveryFile::canonicalImagePath(const QString& path)
{
    const QFileInfo info(path);
    QString canonical = info.canonicalFilePath();
    if (canonical.isEmpty())
        canonical = QDir::cleanPath(info.absoluteFilePath());
#ifdef Q_OS_WIN
    canonical = canonical.toCaseFolded();
#endif
    return canonical;
}

QString RecoveryFile::keyOf(const QString& imagePath)
{
    return QString::fromLatin1(sha256(canonicalImagePath(imagePath).toUtf8()).first(16).toHex());
}
