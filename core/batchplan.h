#pragma once

#include "document.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <optional>
#include <variant>

class BatchProgram;
class Grid;
class Table;

// What a batch change would do to the rows a table's grid shows: each changed cell with the text that
// goes through the column's commit rule, as if typed there. Every value is computed from the rows as
// they are before the batch, so `武力=知力; 知力=武力` swaps.
class BatchPlan
{
public:
    // The number record `record` holds in column `col`; nullopt when it holds none. The plan reads
    // every value through this one function.
    using ValueSource = std::function<std::optional<double>(int record, int col)>;

    struct Change
    {
        int row;
        int col;
        // The value as it would be typed: a fraction is rounded, and a value above the cap cut, by the
        // column's commit rule when it is applied.
        QString text;
    };

    // The values record by record from the table's block, through the one reader of fields. `block`
    // must outlive the source.
    static ValueSource fieldValues(TableId id, const QByteArray& block);

    // The plan over the shown rows of `table`'s grid, or the message that refuses the whole batch: a
    // division by zero, a column without a number, or a value the commit rule refuses, each naming the
    // first record where it happens.
    static std::variant<BatchPlan, QString> make(const Table& table, const BatchProgram& program,
                                                 const ValueSource& values);

    const QList<Change>& changes() const { return m_changes; }
    int rowCount() const { return m_rows; }
    int cellCount() const { return int(m_changes.size()); }
    // Cells whose value was above the column's cap and becomes the cap.
    int cutCount() const { return m_cut; }

    // "87 行、87 セルが変わります（上限で 3 セルを切り詰め）": what applying would do.
    QString previewText() const;
    // "87 行、87 セルを変更しました（上限で 3 セルを切り詰め）": what applying did.
    QString doneText() const;

    // Sends every change through the table's commit path, with the grid's views hearing one refresh.
    void apply(Table& table) const;

private:
    QString counts(const QString& verb) const;

    QList<Change> m_changes;
    int m_rows = 0;
    int m_cut = 0;
};
