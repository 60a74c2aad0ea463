#pragma once

#include <QString>

class Document;
class QWidget;

// ファイル > "パッチを作成...": asks for the original image and where to write the patch, and writes
// the IPS or BPS patch (by the chosen type) that turns the original into what a save would write now.
class PatchCreator
{
public:
    PatchCreator(QWidget* parent, Document& document);

    // The whole command, from the first dialog to the closing message. Cancelling a dialog ends it
    // silently; every other way it ends says what happened, and nothing is written unless a patch was
    // made.
    void run();

private:
    void tell(const QString& text) const;

    QWidget* m_parent;
    Document& m_document;
};
