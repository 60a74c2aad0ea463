#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

// Answers the message boxes a test provokes by clicking the button with a given caption, and records
// each box's text and buttons. A box without that button is closed, so a test fails instead of hanging.
class QuestionAnswerer : public QObject
{
public:
    explicit QuestionAnswerer(QString answer) : m_answer(std::move(answer))
    {
        connect(&m_timer, &QTimer::timeout, this, &QuestionAnswerer::poll);
        m_timer.start(10);
    }

    // Later boxes get this answer instead (a failing save after 保存 shows an OK box, say).
    void thenAnswer(const QString& answer) { m_next = answer; }

    QStringList texts;
    QStringList buttons;

private:
    void poll()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        texts << box->text();
        QStringList names;
        QAbstractButton* chosen = nullptr;
        for (QAbstractButton* button : box->buttons()) {
            names << button->text();
            if (button->text() == m_answer)
                chosen = button;
        }
        buttons << names.join(QLatin1Char('|'));
        // TAVRIN_SCREENSHOTS names a folder for pictures of what the user is shown.
        if (qEnvironmentVariableIsSet("TAVRIN_SCREENSHOTS"))
            box->grab().save(qEnvironmentVariable("TAVRIN_SCREENSHOTS") + QStringLiteral("/question.png"));
        if (!m_next.isEmpty())
            m_answer = m_next;
        if (chosen)
            chosen->click();
        else
            box->done(0);
    }

    QString m_answer;
    QString m_next;
    QTimer m_timer;
};
