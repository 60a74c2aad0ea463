#include "comparebar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

using namespace Qt::StringLiterals;

CompareBar::CompareBar(QWidget* parent) : QWidget(parent)
{
    setObjectName(u"compareBar"_s);
    // The tool bar gives a widget only what it asks for: the bar takes the whole line.
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    m_summary = new QLabel(this);
    m_summary->setObjectName(u"compareSummary"_s);
    m_summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_message = new QLabel(this);
    m_message->setObjectName(u"compareMessage"_s);
    auto* close = new QToolButton(this);
    close->setObjectName(u"compareClose"_s);
    close->setText(u"×"_s);
    close->setToolTip(u"比較を終了"_s);
    close->setAutoRaise(true);
    layout->addWidget(m_summary);
    layout->addSpacing(16);
    layout->addWidget(m_message, 1);
    layout->addWidget(close);
    connect(close, &QToolButton::clicked, this, &CompareBar::closeRequested);
}

void CompareBar::showSummary(const QString& text)
{
    m_summary->setText(text);
    m_summary->setToolTip(text);
    // Wide enough for the whole text: the tool bar does not grow a label whose text grew.
    m_summary->setMinimumWidth(m_summary->fontMetrics().horizontalAdvance(text) + 8);
}

QString CompareBar::summary() const
{
    return m_summary->text();
}

void CompareBar::showMessage(const QString& text)
{
    m_message->setText(text);
    m_message->setToolTip(text);
}

QString CompareBar::message() const
{
    return m_message->text();
}
