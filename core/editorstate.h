#pragma once

#include "blockcatalogue.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <array>

// The open document: the current path, the five blocks and the window caption that reports them.
class EditorState : public QObject
{
    Q_OBJECT

public:
    explicit EditorState(QObject* parent = nullptr);

    static QString applicationTitle();

    // The path exactly as it was given to the open or save that made it current; empty before.
    QString currentPath() const { return m_currentPath; }
    void setCurrentPath(const QString& path) { m_currentPath = path; }

    // Fixed-size arrays, zero until the first open. References stay valid for the life of the state.
    QByteArray& block(BlockId id) { return m_blocks[index(id)]; }
    const QByteArray& block(BlockId id) const { return m_blocks[index(id)]; }
    // Copies each new block over the old one in place; every size must match the catalogue.
    bool replaceBlocks(const std::array<QByteArray, 5>& blocks);

    QString caption() const { return m_caption; }
    // Caption becomes the title, a space and the text in square brackets.
    void setTitle(const QString& text);
    // Sets the bracketed part back to the current path (after edits, sorts and dialogs); does nothing
    // while no image is open.
    void showCurrentPath();

Q_SIGNALS:
    void captionChanged(const QString& caption);

private:
    static constexpr std::size_t index(BlockId id) { return static_cast<std::size_t>(id); }

    QString m_currentPath;
    std::array<QByteArray, 5> m_blocks;
    QString m_caption;
};
