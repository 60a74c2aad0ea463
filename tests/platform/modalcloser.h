#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <algorithm>
#include <functional>

// Answers the modal dialogs a test provokes, so that exec() returns without a user, and records
// what the message boxes said.
class ModalCloser : public QObject
{
public:
    // Whether dialogs other than message boxes are answered too, or left to the test (which drives a
    // dialog it opened itself).
    enum Scope
    {
        AllDialogs,
        LeaveDialogs,
    };

    explicit ModalCloser(QMessageBox::StandardButton answer = QMessageBox::Ok, Scope scope = AllDialogs)
        : m_answer(answer), m_scope(scope)
    {
        connect(&m_timer, &QTimer::timeout, this, &ModalCloser::poll);
        m_timer.start(10);
    }

    QStringList titles;
    QStringList texts;
    // Button texts of each message box, joined by "|".
    QStringList buttons;
    // Window titles of the other dialogs, which are cancelled unless `onDialog` takes them.
    QStringList dialogTitles;
    // A question raised while `onDialog` itself runs is not answered (Qt does not fire a timer inside
    // its own slot): a handler whose keys may raise one schedules them with QTimer::singleShot(0).
    std::function<void(QDialog*)> onDialog;

private:
    void poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            titles << box->windowTitle();
            texts << box->text();
            QStringList names;
            for (QAbstractButton* button : box->buttons())
                names << button->text();
            buttons << names.join(QLatin1Char('|'));
            m_answered = box;
            QAbstractButton* button = box->button(m_answer);
            if (button)
                button->click();
            else
                box->done(0);
            return;
        }
        if (m_scope == LeaveDialogs)
            return;
        // A box that was answered but still exists has not yet handed its answer back to the dialog
        // that asked: Windows' event loop may deliver another tick before the box's exec() returns,
        // and cancelling the dialog then would take the user's answer out of its hands.
        if (m_answered)
            return;
        auto* dialog = qobject_cast<QDialog*>(modal);
        if (!dialog)
            return;
        const auto seen = std::find_if(m_handled.begin(), m_handled.end(),
                                       [dialog](const Handled& handled) { return handled.dialog == dialog; });
        if (seen == m_handled.end()) {
            dialogTitles << dialog->windowTitle();
            Handled handled{dialog, {}};
            handled.since.start();
            m_handled.append(handled);
            if (onDialog)
                onDialog(dialog);
            else
                dialog->reject();
            return;
        }
        // A handler's keys and clicks often come from the event loop, and Windows' loop may deliver more
        // ticks first: only a dialog still open well after its handler ran is cancelled, so that a test
        // fails instead of hanging.
        if (seen->since.hasExpired(HandlerGraceMs))
            dialog->reject();
    }

    struct Handled
    {
        QPointer<QDialog> dialog;
        QElapsedTimer since;
    };
    static constexpr qint64 HandlerGraceMs = 1000;

    QMessageBox::StandardButton m_answer;
    Scope m_scope;
    QList<Handled> m_handled;
    QPointer<QMessageBox> m_answered;
    QTimer m_timer;
};
