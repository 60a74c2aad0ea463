#pragma once

#include <QString>

// Outcome of a file operation the user asked for. `Ignored` is the silent no-op (an empty, missing
// or directory path on open); `Failed` carries a message naming the file and the cause.
class FileResult
{
public:
    enum class Kind
    {
        Done,
        Ignored,
        Failed,
    };

    static FileResult done() { return FileResult(Kind::Done, {}); }
    static FileResult ignored() { return FileResult(Kind::Ignored, {}); }
    static FileResult failed(const QString& message) { return FileResult(Kind::Failed, message); }

    Kind kind() const { return m_kind; }
    bool isDone() const { return m_kind == Kind::Done; }
    bool isFailed() const { return m_kind == Kind::Failed; }
    QString message() const { return m_message; }

private:
    FileResult(Kind kind, const QString& message) : m_kind(kind), m_message(message) {}

    Kind m_kind;
    QString m_message;
};
