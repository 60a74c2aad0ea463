#pragma once

#include <QDateTime>
#include <QString>

class QWidget;

// The question when an image opens for which unsaved edits were kept: 復元 / 破棄 / キャンセル.
class RecoveryQuestion
{
public:
    enum class Answer
    {
        Restore,
        Discard,
        Cancel,
    };

    RecoveryQuestion() = delete;

    // The question for `cells` changed cells kept at `written`; a note follows when the file has
    // changed since.
    static QString text(int cells, const QDateTime& written, bool fileChangedSince);
    // Asks modally; closing the box any other way (Escape, the close box) counts as キャンセル.
    static Answer ask(QWidget* owner, const QString& title, const QString& text);
};
