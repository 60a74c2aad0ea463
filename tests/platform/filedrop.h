#pragma once

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QStringList>
#include <QUrl>
#include <QWidget>

// Drops `urls` on `receiver` as a file manager does, a drag enter and then the drop; returns whether
// the receiver took them. The window opens a dropped file only after the drop has returned.
inline bool dropUrls(QWidget* receiver, const QList<QUrl>& urls, QPoint at = QPoint(40, 40))
{
    QMimeData mime;
    mime.setUrls(urls);
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(receiver, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(receiver, &drop);
    return drop.isAccepted();
}

inline bool dropFiles(QWidget* receiver, const QStringList& paths)
{
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    return dropUrls(receiver, urls);
}

// Runs what a drop left for the event loop (the open, and any question it asks) now.
inline void finishDrop()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
}
