#pragma once

#include "document.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <optional>

// One place where both sides changed the same thing differently; the result keeps OURS's value there.
struct MergeConflict
{
    // The table it lies in; nullopt for a byte outside the five tables.
    std::optional<TableId> table;
    // The record and column of a stored field; -1 for bits that no column stores.
    int record = -1;
    int column = -1;
    // For bits no column stores: the offset in the table's block, or outside the tables the file
    // position in the result.
    qsizetype offset = -1;
    // The three values as a fill shows them (a field) or as hex bytes (bits no column stores).
    QString base;
    QString ours;
    QString theirs;

    // "武将 12 武力: 元 80 / こちら 90 / あちら 95"; bits no column stores are named by table and offset.
    QString line() const;
};

// What came of merging one table's block or a whole image.
struct MergeOutcome
{
    // The merged block or image; empty when refused.
    QByteArray bytes;
    // Fields and bytes no column stores that took THEIRS's value.
    int taken = 0;
    QVector<MergeConflict> conflicts;
    // Why the images could not be merged; empty otherwise.
    QString refusal;

    bool isRefused() const { return !refusal.isEmpty(); }
};

// The three-way merge of two people's edits of one image, field by field: for each stored field (the two
// halves of a shared byte each their own) and each byte, or the part of one, that no column stores,
// inside the tables and outside them: unchanged on one side gives the other side's value; the same on
// both gives that value; changed differently on both is a conflict, which keeps OURS's value.
class ImageMerge
{
public:
    ImageMerge() = delete;

    // Merges one table's block; the blocks are of the table's size.
    static MergeOutcome mergeTable(TableId id, const QByteArray& base, const QByteArray& ours,
                                   const QByteArray& theirs);

    // Merges three whole images of either form, compared by content; the result has OURS's form. The
    // four checksum bytes are never a conflict: when either side changed them the result's own
    // checksum is written there, otherwise BASE's stay. Images whose data differ in size (the copier
    // header apart) are refused.
    static MergeOutcome mergeImages(const QByteArray& base, const QByteArray& ours, const QByteArray& theirs);

    // "取り込み 120 セル、衝突 3 セル".
    static QString summary(const MergeOutcome& outcome);
    // The table's name as the window's tabs show it.
    static QString tableName(TableId id);
};
