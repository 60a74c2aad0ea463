#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;

// The bar under the menu bar for finding and filtering in the visible grid: a find box with 前へ and
// 次へ, a 絞り込み box, the count of shown rows, a 一括変更 box and one line for messages. It only
// collects what the user asks and shows what the commands answer; FindCommands and BatchCommands do
// the work.
class FindBar : public QWidget
{
    Q_OBJECT

public:
    explicit FindBar(QWidget* parent = nullptr);

    QLineEdit* findEdit() const { return m_find; }
    QLineEdit* filterEdit() const { return m_filter; }
    QLineEdit* batchEdit() const { return m_batch; }
    QString findText() const;
    QString filterText() const;
    // Puts a filter text into the box without asking for it to be applied.
    void setFilterText(const QString& text);

    // "532 件中 17 件".
    void showCount(int shown, int total);
    // A message on the bar's message line; an error shows in the palette's error colour.
    void showMessage(const QString& text, bool error = false);
    QString message() const;
    QString countText() const;

Q_SIGNALS:
    // A find; `incremental` while the text is being typed (the current cell counts as a match then).
    void findRequested(bool forward, bool incremental);
    // The filter box's text changed, or Enter asked for it again.
    void filterRequested();
    // The batch box's text was edited, or the box got the keyboard: the commands say what Enter would do.
    void batchEdited();
    // Enter in the batch box.
    void batchRequested();
    // Escape or the close button.
    void closeRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLineEdit* m_find = nullptr;
    QLineEdit* m_filter = nullptr;
    QLineEdit* m_batch = nullptr;
    QLabel* m_count = nullptr;
    QLabel* m_message = nullptr;
};
