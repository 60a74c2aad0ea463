#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

#include <functional>

// Answers the modal dialogs one step of a sequence provokes, from inside their own event loop: a
// zero-time timer runs only while the step does, so a step without a dialog costs nothing and a
// dialog is answered on the first turn of its loop. Each dialog must be the next one expected; what
// was not expected is closed (a question as by Escape) and told in problem(), and so is what was
// expected and never came.
class ModalAnswerer : public QObject
{
public:
    ModalAnswerer() { connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::poll); }

    // A message box whose text is `text`, answered with the button captioned `button`.
    void expectBox(const QString& text, const QString& button) { m_expected << Expected{text, button, {}}; }
    // A dialog that is not a message box, handed to `answer`, which must close it.
    void expectDialog(std::function<void(QDialog*)> answer) { m_expected << Expected{{}, {}, std::move(answer)}; }
    // Message boxes with OK alone (reports of refused cells) are closed without a word.
    void allowReports() { m_reports = true; }

    // Runs `step` with the answers armed; empty problem() when every dialog was the expected one.
    template <typename Step> void run(Step&& step)
    {
        m_problem.clear();
        m_timer.start(0);
        step();
        m_timer.stop();
        if (m_problem.isEmpty() && !m_expected.isEmpty())
            m_problem = m_expected.front().answer ? QStringLiteral("the dialog did not open")
                                                  : QStringLiteral("no box asked \"%1\"").arg(m_expected.front().text);
        m_expected.clear();
        m_reports = false;
    }
    QString problem() const { return m_problem; }

private:
    struct Expected
    {
        QString text;
        QString button;
        std::function<void(QDialog*)> answer;
    };

    void poll()
    {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        auto* box = qobject_cast<QMessageBox*>(dialog);
        const bool expected =
            !m_expected.isEmpty() && (box ? m_expected.front().text == box->text() : bool(m_expected.front().answer));
        if (!expected) {
            if (!(box && m_reports && box->buttons().size() == 1) && m_problem.isEmpty())
                m_problem = QStringLiteral("unexpected %1: %2")
                                .arg(box ? QStringLiteral("message") : QStringLiteral("dialog"),
                                     box ? box->text() : dialog->windowTitle());
            dialog->reject();
            return;
        }
        const Expected next = m_expected.takeFirst();
        if (!box) {
            next.answer(dialog);
            return;
        }
        for (QAbstractButton* button : box->buttons())
            if (button->text() == next.button) {
                button->click();
                return;
            }
        m_problem = QStringLiteral("no button %1 on \"%2\"").arg(next.button, box->text());
        box->reject();
    }

    QList<Expected> m_expected;
    bool m_reports = false;
    QString m_problem;
    QTimer m_timer;
};
