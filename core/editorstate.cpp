#include "editorstate.h"

using namespace Qt::StringLiterals;

EditorState::EditorState(QObject* parent) : QObject(parent), m_caption(applicationTitle())
{
    for (const BlockSpec& spec : BlockCatalogue)
        m_blocks[index(spec.id)] = QByteArray(spec.size, '\0');
}

QString EditorState::applicationTitle()
{
    return u"Tavrinエディター"_s;
}

bool EditorState::replaceBlocks(const std::array<QByteArray, 5>& blocks)
{
    for (const BlockSpec& spec : BlockCatalogue)
        if (blocks[index(spec.id)].size() != spec.size)
            return false;
    for (const BlockSpec& spec : BlockCatalogue) {
        QByteArray& target = m_blocks[index(spec.id)];
        const QByteArray& source = blocks[index(spec.id)];
        std::copy(source.cbegin(), source.cend(), target.begin());
    }
    return true;
}

void EditorState::setTitle(const QString& text)
{
    m_caption = applicationTitle() % u" ["_s % text % u']';
    Q_EMIT captionChanged(m_caption);
}
