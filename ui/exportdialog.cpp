#include "exportdialog.h"

#include "uifont.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

// In the order of the Edit menu's view items; the first entry is every table at once.
const QList<std::pair<QString, std::optional<TableId>>> Targets{
    {u"すべての表（フォルダーへ）"_s, std::nullopt},
    {u"武将"_s, TableId::Officer},
    {u"都市"_s, TableId::City},
    {u"アイテム"_s, TableId::Item},
    {u"勢力"_s, TableId::Force},
    {u"配置"_s, TableId::Placement},
};

} // namespace

ExportDialog::ExportDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(u"エクスポート"_s);
    setFont(UiFont::grid());
    m_table = new QComboBox(this);
    for (const auto& [caption, id] : Targets)
        m_table->addItem(caption);
    m_format = new QComboBox(this);
    m_format->addItem(u"TSV（タブ区切り）"_s);
    m_format->addItem(u"CSV（カンマ区切り）"_s);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(u"OK"_s);
    buttons->button(QDialogButtonBox::Cancel)->setText(u"キャンセル"_s);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QFormLayout(this);
    layout->addRow(u"表(&T):"_s, m_table);
    layout->addRow(u"形式(&F):"_s, m_format);
    layout->addRow(buttons);
}

std::optional<TableId> ExportDialog::table() const
{
    return Targets.value(m_table->currentIndex()).second;
}

void ExportDialog::setTable(std::optional<TableId> id)
{
    for (qsizetype i = 0; i < Targets.size(); ++i)
        if (Targets[i].second == id)
            m_table->setCurrentIndex(int(i));
}

FileFormat ExportDialog::format() const
{
    return m_format->currentIndex() == 1 ? FileFormat::Csv : FileFormat::Tsv;
}

void ExportDialog::setFormat(FileFormat format)
{
    m_format->setCurrentIndex(format == FileFormat::Csv ? 1 : 0);
}
