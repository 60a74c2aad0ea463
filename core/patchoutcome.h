#pragma once

#include <QByteArray>
#include <QString>

// The bytes a patch operation produced, or why it refused (then `bytes` is empty).
struct PatchOutcome
{
    QByteArray bytes;
    QString error;

    bool ok() const { return error.isEmpty(); }
    static PatchOutcome made(QByteArray bytes) { return {std::move(bytes), {}}; }
    static PatchOutcome refused(const QString& why) { return {{}, why}; }
};
