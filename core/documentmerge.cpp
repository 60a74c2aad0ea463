#include "documentmerge.h"

#include "grid.h"
#include "imagedifference.h"
#include "romfile.h"
#include "tablefields.h"
#include "tableformat.h"

#include <QDir>
#include <QFileInfo>

#include <utility>

using namespace Qt::StringLiterals;

namespace {

qint64 cartridgeSize(qint64 fileSize)
{
    return fileSize - headerSize(imageFormForSize(fileSize));
}

// Sets the cells of every row whose record's text the bytes now give differently.
void refreshCells(Grid& grid, const TableFields& fields, const QByteArray& block, bool keyedByNumber)
{
    for (int row = grid.fixedRows(); row < grid.rows(); ++row) {
        bool ok = true;
        const int record = keyedByNumber ? grid.text(row, 0).trimmed().toInt(&ok) : row - grid.fixedRows();
        if (!ok || record < 0 || record >= fields.recordCount())
            continue;
        for (int c = fields.fixedColumns(); c < fields.columnCount() && c < grid.cols(); ++c) {
            if (fields.column(c).kind == FieldKind::None)
                continue;
            const QString text = fields.text(block, record, c);
            if (grid.text(row, c) != text)
                grid.setText(row, c, text);
        }
    }
}

} // namespace

std::variant<DocumentMerge, QString> DocumentMerge::read(const QString& basePath, const QString& theirsPath,
                                                         const QString& openedPath)
{
    DocumentMerge merge;
    merge.m_theirsPath = theirsPath;
    const qint64 opened = cartridgeSize(QFileInfo(openedPath).size());
    const std::array<std::pair<QString, std::array<QByteArray, 5>*>, 2> sides{
        {{basePath, &merge.m_base}, {theirsPath, &merge.m_theirs}}};
    for (const auto& [path, into] : sides) {
        QByteArray image;
        if (const FileResult read = romfile::ReadImage(path, image); !read.isDone())
            return read.message();
        if (cartridgeSize(image.size()) != opened)
            return u"%1 は開いているイメージと大きさが違うので、マージできません。"_s.arg(
                QDir::toNativeSeparators(path));
        const std::optional<std::array<QByteArray, 5>> blocks = ImageDifference::blocksOf(image);
        if (!blocks)
            return u"%1 はイメージとして読めません。"_s.arg(QDir::toNativeSeparators(path));
        *into = *blocks;
    }
    return merge;
}

void DocumentMerge::merge(const Document& doc)
{
    m_taken = 0;
    m_conflicts.clear();
    for (const TableId id : AllTables) {
        const BlockId block = TableFields::of(id).blockId();
        const auto b = static_cast<std::size_t>(block);
        const QByteArray& ours = doc.state().block(block);
        MergeOutcome merged = ImageMerge::mergeTable(id, m_base[b], ours, m_theirs[b]);
        m_merged[b] = merged.isRefused() ? ours : merged.bytes;
        m_taken += merged.taken;
        m_conflicts += merged.conflicts;
    }
}

void DocumentMerge::apply(Document& doc) const
{
    for (const TableId id : AllTables) {
        const TableFields& fields = TableFields::of(id);
        QByteArray& block = doc.state().block(fields.blockId());
        const QByteArray& merged = m_merged[static_cast<std::size_t>(fields.blockId())];
        if (merged.size() != block.size())
            continue;
        block = merged;
        refreshCells(doc.grid(id), fields, block, TableFormat::of(id).keyedByNumber);
    }
}
