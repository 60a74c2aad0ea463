#pragma once

#include "editorsession.h"
#include "findbar.h"
#include "findcommands.h"

#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTest>

// The find bar of a session's window, driven as the user drives it.

// Text as an input method delivers it: one committed string, the way Japanese is typed.
inline void commit(QWidget* target, const QString& text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    QCoreApplication::sendEvent(target, &event);
}

inline FindBar& bar(EditorSession& session)
{
    return session.main().findCommands().bar();
}

inline void openBar(EditorSession&)
{
    EditorSession::press(Qt::Key_F, Qt::ControlModifier);
}

// Replaces what the find box holds, as the user would select it all and type.
inline void typeFind(EditorSession& session, const QString& text)
{
    QLineEdit* edit = bar(session).findEdit();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    commit(edit, text);
}

inline void typeFilter(EditorSession& session, const QString& text)
{
    QLineEdit* edit = bar(session).filterEdit();
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    commit(edit, text);
}
