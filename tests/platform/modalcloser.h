#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

// Answers the modal dialogs a test provokes, so that exec() returns without a user, and records
// what the message boxes said.
class ModalCloser : public QObject
{
public:
    explicit ModalCloser(QMessageBox::StandardButton answer = QMessageBox::Ok) : m_answer(answer)
    {
        connect(&m_timer, &QTimer::timeout, this, &ModalCloser::poll);
        m_timer.start(10);
    }

    QStringList titles;
    QStringList texts;
    // Button texts of each message box, joined by "|".
    QStringList buttons;
    int otherDialogs = 0;

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
            QAbstractButton* button = box->button(m_answer);
            if (button)
                button->click();
            else
                box->done(0);
            return;
        }
        if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            ++otherDialogs;
            dialog->reject();
        }
    }

    QMessageBox::StandardButton m_answer;
    QTimer m_timer;
};
