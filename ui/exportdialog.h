#pragma once

#include "document.h"
#include "tableformat.h"

#include <QDialog>

#include <optional>

class QComboBox;

// ファイル > "エクスポート...": which table (or all five, into a folder) and in which file form.
class ExportDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ExportDialog(QWidget* parent = nullptr);

    // nullopt for all five tables into a folder.
    std::optional<TableId> table() const;
    void setTable(std::optional<TableId> id);
    FileFormat format() const;
    void setFormat(FileFormat format);

    QComboBox* tableBox() const { return m_table; }
    QComboBox* formatBox() const { return m_format; }

private:
    QComboBox* m_table = nullptr;
    QComboBox* m_format = nullptr;
};
