#include "gotodialog.h"

#include "grid.h"
#include "gridfind.h"
#include "textmatch.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

GoToDialog::GoToDialog(const Grid& grid, QWidget* parent) : QDialog(parent), m_grid(grid)
{
    setObjectName(u"goToDialog"_s);
    setWindowTitle(u"移動"_s);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_number = new QLineEdit(this);
    m_number->setObjectName(u"goToNumber"_s);
    form->addRow(u"番号(&N):"_s, m_number);
    layout->addLayout(form);
    m_message = new QLabel(this);
    m_message->setObjectName(u"goToMessage"_s);
    m_message->setWordWrap(true);
    m_message->setMinimumWidth(
        m_message->fontMetrics().horizontalAdvance(u"0 から 531 までの番号を入れてください。"_s));
    if (const auto range = GridFind::recordRange(grid))
        m_message->setText(QString::number(range->first) + u" から "_s + QString::number(range->second) +
                           u" までの番号"_s);
    layout->addWidget(m_message);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(u"OK"_s);
    buttons->button(QDialogButtonBox::Cancel)->setText(u"キャンセル"_s);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &GoToDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &GoToDialog::reject);
}

QString GoToDialog::message() const
{
    return m_message->text();
}

void GoToDialog::accept()
{
    // Full-width digits typed with the input method count as the digits they look like.
    const QString text = TextMatch::fold(m_number->text()).trimmed();
    bool ok = false;
    const int number = text.toInt(&ok);
    const std::optional<int> row = ok ? GridFind::rowOfRecord(m_grid, number) : std::nullopt;
    if (!row) {
        const auto range = GridFind::recordRange(m_grid);
        const QString span =
            range ? QString::number(range->first) + u" から "_s + QString::number(range->second) : QString();
        m_message->setText((ok ? u"番号 "_s + text + u" はありません。"_s : u"番号を数字で入れてください。"_s) +
                           (span.isEmpty() ? QString() : span + u" までの番号を入れてください。"_s));
        m_number->selectAll();
        m_number->setFocus();
        adjustSize();
        return;
    }
    m_row = row;
    QDialog::accept();
}
