#include "editorstate.h"

#include <QDir>

using namespace Qt::StringLiterals;

EditorState::EditorState(QObject* parent) : QObject(parent), m_caption(applicationTitle())
{
    for (const BlockSpec& range : BlockCatalogue)
        m_blocks[index(range.id)] = QByteArray(range.size, '\0');
}

QString EditorState::applicationTitle()
{
    return u"Tavrinエディター"_s;
}

bool EditorState::replaceBlocks(const std::array<QByteArray, 5>& blocks)
{
    for (const BlockSpec& range : BlockCatalogue)
        if (blocks[index(range.id)].size() != range.size)
            return false;
    for (const BlockSpec& range : BlockCatalogue) {
        QByteArray& target = m_blocks[index(range.id)];
        const QByteArray& source = blocks[index(range.id)];
        std::copy(source.cbegin(), source.cend(), target.begin());
    }
    return true;
}

void EditorState::setTitle(const QString& text)
{
    m_caption = applicationTitle() % u" ["_s % text % u']';
    Q_EMIT captionChanged(m_caption);
}

void EditorState::showCurrentPath()
{
    // Before any image is open there is no path to show: the caption stays the window's first one.
    if (m_currentPath.isEmpty())
        return;
    // Drops and file dialogs spell Windows paths with slashes; the caption names the file the way
    // Explorer and the command line do there.
    setTitle(QDir::toNativeSeparators(m_currentPath));
}
