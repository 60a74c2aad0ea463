#pragma once

#include <QString>

class QWidget;

// The question before a save over a file that another program changed after it was opened or last
// saved: 上書き / キャンセル.
class DiskChangedQuestion
{
public:
    enum class Answer
    {
        Overwrite,
        Cancel,
    };

    DiskChangedQuestion() = delete;

    static QString text();
    // Asks modally. キャンセル is the default, so that Enter does not revert another program's work;
    // closing the box any other way (Escape, the close box) counts as キャンセル too.
    static Answer ask(QWidget* owner, const QString& title);
};
