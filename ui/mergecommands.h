#pragma once

#include <QObject>
#include <QString>

class CompareCommands;
class EditSession;

// ファイル > マージ...: another person's edits of the same original merged into the open image. The
// changes of THEIRS that are no conflict go in as one undo step; then a comparison with THEIRS marks
// only the conflicts, where the open image kept its own value, so F7 walks them and Alt+Left takes
// THEIRS's value. Nothing is written until the user saves.
class MergeCommands : public QObject
{
    Q_OBJECT

public:
    MergeCommands(EditSession& session, CompareCommands& compare);

    // Asks for BASE, then THEIRS, in file dialogs, then merges.
    void open();
    // Merges THEIRS's changes since BASE into the open image; a file that does not fit is reported and
    // nothing changes. False then.
    bool mergeWith(const QString& basePath, const QString& theirsPath);

private:
    EditSession& m_session;
    CompareCommands& m_compare;
};
