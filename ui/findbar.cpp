#include "findbar.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

bool isEnter(const QKeyEvent* key)
{
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

} // namespace

FindBar::FindBar(QWidget* parent) : QWidget(parent)
{
    setObjectName(u"findBar"_s);
    // Two lines: finding and filtering above; below, the batch box beside the message line, which then
    // has room for what a batch would change or why it cannot.
    auto* lines = new QVBoxLayout(this);
    lines->setContentsMargins(4, 2, 4, 2);
    lines->setSpacing(2);
    auto* layout = new QHBoxLayout;
    auto* second = new QHBoxLayout;
    lines->addLayout(layout);
    lines->addLayout(second);

    auto* findLabel = new QLabel(u"検索(&F):"_s, this);
    m_find = new QLineEdit(this);
    m_find->setObjectName(u"findText"_s);
    m_find->setMinimumWidth(fontMetrics().horizontalAdvance(u"ソウソウソウ"_s) + 24);
    m_find->setClearButtonEnabled(true);
    m_find->setToolTip(u"Enter・F3: 次へ　Shift+Enter・Shift+F3: 前へ　Esc: 閉じる"_s);
    findLabel->setBuddy(m_find);
    auto* previous = new QToolButton(this);
    previous->setText(u"前へ"_s);
    previous->setObjectName(u"findPrevious"_s);
    auto* next = new QToolButton(this);
    next->setText(u"次へ"_s);
    next->setObjectName(u"findNext"_s);

    auto* filterLabel = new QLabel(u"絞り込み(&L):"_s, this);
    m_filter = new QLineEdit(this);
    m_filter->setObjectName(u"filterText"_s);
    m_filter->setMinimumWidth(fontMetrics().horizontalAdvance(u"武力>=90 寿命=0 S3所在"_s) + 24);
    m_filter->setClearButtonEnabled(true);
    m_filter->setPlaceholderText(u"例: 武力>=90 寿命=0"_s);
    m_filter->setToolTip(u"空白で区切った条件をすべて満たす行だけを表示します。"
                         u"「列名 比較 数」(= != < <= > >=) か、行に含まれる文字。"_s);
    filterLabel->setBuddy(m_filter);

    auto* batchLabel = new QLabel(u"一括変更(&B):"_s, this);
    m_batch = new QLineEdit(this);
    m_batch->setObjectName(u"batchText"_s);
    m_batch->setMinimumWidth(fontMetrics().horizontalAdvance(u"魅力=(武力+知力)/2"_s) + 24);
    m_batch->setClearButtonEnabled(true);
    m_batch->setPlaceholderText(u"例: 武力+=10; 知力*=1.1"_s);
    m_batch->setToolTip(u"表示している行の列を式で変えます。「列名 = += -= *= /= 式」を ; で区切って並べます。"
                        u"式には数、列名、+ - * /、( )、min(…)、max(…) が使えます。Enter: 変更　Esc: 閉じる"_s);
    batchLabel->setBuddy(m_batch);

    m_count = new QLabel(this);
    m_count->setObjectName(u"filterCount"_s);
    // Wide enough for the largest grid, so that the bar does not shift as the count changes.
    m_count->setMinimumWidth(fontMetrics().horizontalAdvance(u"0000 件中 0000 件"_s));
    m_message = new QLabel(this);
    m_message->setObjectName(u"findMessage"_s);
    m_message->setMinimumWidth(fontMetrics().horizontalAdvance(u"見つかりません"_s));

    auto* close = new QToolButton(this);
    close->setObjectName(u"findClose"_s);
    close->setText(u"×"_s);
    close->setToolTip(u"閉じる (Esc)"_s);
    close->setAutoRaise(true);

    layout->addWidget(findLabel);
    layout->addWidget(m_find, 1);
    layout->addWidget(previous);
    layout->addWidget(next);
    layout->addSpacing(12);
    layout->addWidget(filterLabel);
    layout->addWidget(m_filter, 2);
    layout->addWidget(m_count);
    layout->addStretch(1);
    layout->addWidget(close);
    second->addWidget(batchLabel);
    second->addWidget(m_batch, 2);
    second->addSpacing(12);
    second->addWidget(m_message, 3);

    connect(previous, &QToolButton::clicked, this, [this] { Q_EMIT findRequested(false, false); });
    connect(next, &QToolButton::clicked, this, [this] { Q_EMIT findRequested(true, false); });
    connect(close, &QToolButton::clicked, this, &FindBar::closeRequested);
    connect(m_find, &QLineEdit::textEdited, this, [this] { Q_EMIT findRequested(true, true); });
    connect(m_filter, &QLineEdit::textChanged, this, &FindBar::filterRequested);
    connect(m_batch, &QLineEdit::textChanged, this, &FindBar::batchEdited);
    m_find->installEventFilter(this);
    m_filter->installEventFilter(this);
    m_batch->installEventFilter(this);
}

QString FindBar::findText() const
{
    return m_find->text();
}

QString FindBar::filterText() const
{
    return m_filter->text();
}

void FindBar::setFilterText(const QString& text)
{
    const QSignalBlocker quiet(m_filter);
    m_filter->setText(text);
}

void FindBar::showCount(int shown, int total)
{
    m_count->setText(QString::number(total) + u" 件中 "_s + QString::number(shown) + u" 件"_s);
}

void FindBar::showMessage(const QString& text, bool error)
{
    // A style sheet, since styles may draw a label's text without its palette's colour.
    m_message->setStyleSheet(error ? u"color: #c00000;"_s : QString());
    m_message->setText(text);
    // A narrow window may cut the line short; the whole message stays one hover away.
    m_message->setToolTip(text);
}

QString FindBar::message() const
{
    return m_message->text();
}

QString FindBar::countText() const
{
    return m_count->text();
}

bool FindBar::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && (watched == m_find || watched == m_filter || watched == m_batch)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (isEnter(key)) {
            if (watched == m_find)
                Q_EMIT findRequested(!(key->modifiers() & Qt::ShiftModifier), false);
            else if (watched == m_filter)
                Q_EMIT filterRequested();
            else
                Q_EMIT batchRequested();
            return true;
        }
    }
    // Back in the batch box after a new filter, an undo or another grid, the preview is said again.
    if (event->type() == QEvent::FocusIn && watched == m_batch)
        Q_EMIT batchEdited();
    return QWidget::eventFilter(watched, event);
}

void FindBar::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        Q_EMIT closeRequested();
        return;
    }
    QWidget::keyPressEvent(event);
}
