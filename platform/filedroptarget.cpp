#include "filedroptarget.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

FileDropTarget::FileDropTarget(Dropped dropped) : m_dropped(std::move(dropped)) {}

void FileDropTarget::setAccepts(bool on, const QList<QWidget*>& targets)
{
    m_accepts = on;
    for (QWidget* target : targets)
        target->setAcceptDrops(on);
}

QStringList FileDropTarget::localFiles(const QMimeData* mime)
{
    QStringList paths;
    if (!mime || !mime->hasUrls())
        return paths;
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    return paths;
}

bool FileDropTarget::handle(QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        // A drag enter event is a drag move event.
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (m_accepts && !localFiles(drag->mimeData()).isEmpty())
            drag->acceptProposedAction();
        else
            drag->ignore();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QStringList paths = localFiles(drop->mimeData());
        if (!m_accepts || paths.isEmpty()) {
            drop->ignore();
            return true;
        }
        drop->acceptProposedAction();
        m_dropped(paths);
        return true;
    }
    default:
        return false;
    }
}
