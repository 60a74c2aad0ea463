#include "clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

bool Clipboard::CopyTextToClipboard(const QString& text)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    clipboard->setText(text, QClipboard::Clipboard);
    // setText reports nothing: reading back is the only way to learn whether the text arrived.
    return clipboard->text(QClipboard::Clipboard) == text;
}

QString Clipboard::text()
{
    const QClipboard* clipboard = QGuiApplication::clipboard();
    return clipboard ? clipboard->text(QClipboard::Clipboard) : QString();
}
