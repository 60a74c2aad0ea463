#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <chrono>

// Watches for a modal dialog, message box or pop-up menu that blocks the test in its own event loop
// with nothing to answer it (a fault made the program ask where the test expected no question).
// After `limit` the running test fails, naming what was shown, and the widget is closed, so that the
// run goes on instead of waiting for the harness to kill it. Dialogs a test shows without exec() are
// driven by the test itself and left alone.
class ModalGuard : public QObject
{
public:
    explicit ModalGuard(std::chrono::milliseconds limit = std::chrono::seconds(3)) : m_limit(limit.count())
    {
        connect(&m_timer, &QTimer::timeout, this, &ModalGuard::check);
        m_timer.start(100);
    }

private:
    void check()
    {
        QWidget* waiting = QApplication::activePopupWidget();
        if (!waiting)
            waiting = QApplication::activeModalWidget();
        // Only exec() runs an event loop of its own; tests themselves run outside any.
        if (!waiting || QThread::currentThread()->loopLevel() == 0) {
            m_waiting = nullptr;
            return;
        }
        if (waiting != m_waiting) {
            m_waiting = waiting;
            m_since.start();
            return;
        }
        if (m_since.elapsed() < m_limit)
            return;
        m_waiting = nullptr;
        QString what = QString::fromLatin1(waiting->metaObject()->className()) + QStringLiteral(" \"") +
                       waiting->windowTitle() + QLatin1Char('"');
        if (auto* box = qobject_cast<QMessageBox*>(waiting))
            what += QStringLiteral(": ") + box->text();
        const QString message =
            QStringLiteral("Nothing answered a modal %1 within %2 ms; closed it").arg(what).arg(m_limit);
        QTest::qFail(qPrintable(message), __FILE__, __LINE__);
        if (auto* dialog = qobject_cast<QDialog*>(waiting))
            dialog->reject();
        else
            waiting->close();
    }

    qint64 m_limit;
    QTimer m_timer;
    QPointer<QWidget> m_waiting;
    QElapsedTimer m_since;
};
