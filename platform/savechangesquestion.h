#pragma once

#include <QString>

class QWidget;

// The question before unsaved changes would be lost: 保存 / 保存しない / キャンセル.
class SaveChangesQuestion
{
public:
    enum class Answer
    {
        Save,
        Discard,
        Cancel,
    };

    SaveChangesQuestion() = delete;

    static QString text();
    // Asks modally; closing the box any other way (Escape, the close box) counts as キャンセル.
    static Answer ask(QWidget* owner, const QString& title);
};
