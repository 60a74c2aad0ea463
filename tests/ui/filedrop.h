#pragma once

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QStringList>
#include <QUrl>
#include <QWidget>

// Drops local files on `receiver` as a file manager does, a drag enter and then the drop; returns
// whether the receiver took them. The window opens a dropped file only after the drop has returned.
inline bool dropFiles(QWidget* receiver, const QStringList& paths)
{
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    mime.setUrls(urls);
    const QPoint at(40, 40);
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(receiver, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(receiver, &drop);
    return drop.isAccepted();
}

// Runs what a drop left for the event loop (the open, and any question it asks) now.
inline void finishDrop()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
}
