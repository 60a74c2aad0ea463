#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The name list beside the image: one Shift-JIS name per CR LF line, line n + 1 naming record n.
// Officers and placement records share it.
class NameList
{
public:
    NameList() = default;

    // The list in a file; nullopt when the path names no regular file that can be read, or an empty
    // one. Only CR LF ends a name: a lone CR or LF stays inside it, and a final CR LF leaves one empty
    // name after the last. Undecodable bytes show as U+FFFD.
    static std::optional<NameList> read(const QString& path);

    // The name of record n; empty beyond the list.
    QString name(int record) const { return m_names.value(record); }
    qsizetype size() const { return m_names.size(); }

private:
    explicit NameList(QStringList names) : m_names(std::move(names)) {}

    QStringList m_names;
};
