#pragma once

#include <QString>

class QWidget;

// The system's only kind of message: modal, with an OK button alone.
class OkMessageBox
{
public:
    OkMessageBox() = delete;

    // Shows `text` with `title` as the caption and returns when the user has confirmed it.
    static void show(QWidget* owner, const QString& title, const QString& text);
};
