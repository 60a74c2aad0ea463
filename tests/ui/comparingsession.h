#pragma once

#include "comparebar.h"
#include "comparecommands.h"
#include "comparedsample.h"
#include "copierheader.h"
#include "editorsession.h"
#include "filebytes.h"
#include "patchfile.h"

#include <QString>

// What the comparison tests through the window share: the other side written beside the sample, a
// session comparing with it, and how a cell's mark reads.

// The bar's count for ComparedSample, and its notes on the bytes no column shows (officer 0's byte 21
// and the lower half of officer 300's 寿命 byte) and the byte outside the tables.
inline const QString AllDifferences =
    QStringLiteral("相違 6 セル（武将 2、都市 1、アイテム 1、勢力 1、配置 1）");
inline const QString OutsideNote = QStringLiteral("　表の外でも 1 バイト違います（取り込みません）");
inline const QString UnshownNote = QStringLiteral("　どの列にも出ない 2 バイトも違います");

inline CompareCommands& comparing(EditorSession& session)
{
    return session.main().compareCommands();
}

inline QModelIndex comparedCell(EditorSession& session, TableId id, int row, int col)
{
    const GridModel* model = session.view(id)->gridModel();
    return model->index(GridModel::toModelRow(row), col);
}

inline bool isMarked(EditorSession& session, TableId id, int row, int col)
{
    return comparedCell(session, id, row, col).data(GridModel::ComparedRole).toBool();
}

// The other side as an image with its header: the sample itself for a name beginning "same", the
// sample with three bytes of its tables that no stored column shows changed for "unshown" (officer 0's
// byte 21, city 0's byte 9 and the upper half of its byte 8), else ComparedSample's other image.
inline QByteArray otherImage(const ComparedSample& s, const QString& name)
{
    if (name.startsWith(QStringLiteral("same")))
        return s.original;
    if (!name.startsWith(QStringLiteral("unshown")))
        return s.other;
    QByteArray bytes = s.original;
    const qint64 officer = blockSpec(BlockId::Officer).position;
    const qint64 city = blockSpec(BlockId::City).position;
    bytes[officer + ComparedSample::UnshownOffset] = char(bytes.at(officer + ComparedSample::UnshownOffset) ^ 0x3C);
    bytes[city + 9] = char(bytes.at(city + 9) ^ 0x24);
    bytes[city + 8] = char(bytes.at(city + 8) ^ 0x40);
    return bytes;
}

// Writes the other side as a file of the kind its extension names, beside the sample.
inline QString writeOtherSide(EditorSession& session, const ComparedSample& s, const QString& name)
{
    QByteArray bytes = otherImage(s, name);
    if (name.endsWith(QStringLiteral(".sfc")))
        bytes = CopierHeader::removed(s.other).bytes;
    else if (name.endsWith(QStringLiteral(".ips")))
        bytes = PatchFile::create(PatchFormat::Ips, s.original, s.other).bytes;
    else if (name.endsWith(QStringLiteral(".bps")))
        bytes = PatchFile::create(PatchFormat::Bps, s.original, s.other).bytes;
    const QString path = session.dir.filePath(name);
    return writeFileBytes(path, bytes) ? path : QString();
}

// A session comparing the sample with the other image, of either form or as a patch.
struct ComparingSession : EditorSession
{
    ComparedSample s{readFileBytes(sample)};
    QString other;

    explicit ComparingSession(const QString& name = QStringLiteral("friend.smc"))
    {
        other = writeOtherSide(*this, s, name);
        if (!comparing(*this).compareWith(other))
            other.clear();
    }
    CompareBar& bar() { return comparing(*this).bar(); }
};
