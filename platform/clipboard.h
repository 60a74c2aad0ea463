#pragma once

#include <QString>

// The desktop clipboard.
class Clipboard
{
public:
    Clipboard() = delete;

    // Replaces the clipboard's contents by `text` as Unicode text. Returns whether the clipboard holds
    // exactly that text afterwards; false when the application has no clipboard.
    static bool CopyTextToClipboard(const QString& text);
    // The clipboard's text; empty when it holds none or there is no clipboard.
    static QString text();
};
