#pragma once

#include <QList>
#include <QStringList>

#include <functional>

class QEvent;
class QMimeData;
class QWidget;

// Accepts local files dropped on a set of widgets (a view's cells, header and label columns alike)
// and reports them, in the order the drop lists them; anything else dropped is refused.
class FileDropTarget
{
public:
    using Dropped = std::function<void(const QStringList& paths)>;

    explicit FileDropTarget(Dropped dropped);

    bool accepts() const { return m_accepts; }
    // Switches drops on or off for every widget of `targets`.
    void setAccepts(bool on, const QList<QWidget*>& targets);
    // Handles a drag enter, drag move or drop event; returns false for any other event.
    bool handle(QEvent* event);
    // The local files among the URLs of a drop.
    static QStringList localFiles(const QMimeData* mime);

private:
    Dropped m_dropped;
    bool m_accepts = false;
};
