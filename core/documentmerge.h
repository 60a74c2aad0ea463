#pragma once

#include "imagemerge.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <array>
#include <variant>

class Document;

// Another person's edits merged into the open document: BASE and THEIRS read once, then THEIRS's
// changes since BASE that OURS (the document's current tables) did not change differently go into
// the five tables, bytes and cells alike. The bytes outside the tables are not the document's to hold.
class DocumentMerge
{
public:
    // Reads BASE and THEIRS, each of either form; refused, with a message naming the file, when one
    // cannot be read as an image or its size does not fit the file at `openedPath`.
    static std::variant<DocumentMerge, QString> read(const QString& basePath, const QString& theirsPath,
                                                     const QString& openedPath);

    // Merges with `doc`'s current tables, changing nothing yet: taken() and conflicts() tell the result.
    void merge(const Document& doc);
    // Puts the merged blocks into `doc` and sets every live cell whose text they change, on whatever row
    // shows its record, so that the edit can be recorded as one step.
    void apply(Document& doc) const;

    QString theirsPath() const { return m_theirsPath; }
    // What the last apply took and where it found conflicts (OURS's values kept there).
    int taken() const { return m_taken; }
    const QVector<MergeConflict>& conflicts() const { return m_conflicts; }

private:
    QString m_theirsPath;
    std::array<QByteArray, 5> m_base;
    std::array<QByteArray, 5> m_theirs;
    std::array<QByteArray, 5> m_merged;
    int m_taken = 0;
    QVector<MergeConflict> m_conflicts;
};
