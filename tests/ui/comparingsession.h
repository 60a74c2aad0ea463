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

// The bar's count for ComparedSample, and its note on the byte outside the tables.
inline const QString AllDifferences =
    QStringLiteral("相違 6 セル（武将 2、都市 1、アイテム 1、勢力 1、配置 1）");
inline const QString OutsideNote = QStringLiteral("　表の外でも 1 バイト違います（取り込みません）");

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

// Writes the other side as a file of the kind its extension names, beside the sample.
inline QString writeOtherSide(EditorSession& session, const ComparedSample& s, const QString& name)
{
    QByteArray bytes = s.other;
    if (name.endsWith(QStringLiteral(".sfc")))
        bytes = CopierHeader::removed(s.other).bytes;
    else if (name.endsWith(QStringLiteral(".ips")))
        bytes = PatchFile::create(PatchFormat::Ips, s.original, s.other).bytes;
    else if (name.endsWith(QStringLiteral(".bps")))
        bytes = PatchFile::create(PatchFormat::Bps, s.original, s.other).bytes;
    else if (name.startsWith(QStringLiteral("same")))
        bytes = s.original;
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
