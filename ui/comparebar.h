#pragma once

#include <QWidget>

class QLabel;

// The bar under the menu bar while a comparison is open: what the document is compared with and how
// many cells differ, a line for messages (F7's wrap, a selection without differences) and a close
// button. It only shows what CompareCommands tells it.
class CompareBar : public QWidget
{
    Q_OBJECT

public:
    explicit CompareBar(QWidget* parent = nullptr);

    // "比較先: friend.smc　相違 37 セル（武将 12、都市 25）".
    void showSummary(const QString& text);
    QString summary() const;
    // A message beside the summary.
    void showMessage(const QString& text);
    QString message() const;

Q_SIGNALS:
    // The close button.
    void closeRequested();

private:
    QLabel* m_summary = nullptr;
    QLabel* m_message = nullptr;
};
