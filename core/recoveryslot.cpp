#include "recoveryslot.h"

#include "recoveryfile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

// Enough for the same image open in several editors at once.
constexpr int SlotCount = 8;

} // namespace

RecoverySlot::RecoverySlot(const QString& file) : m_file(file), m_lock(file + u".lock"_s)
{
    // Only a lock whose process has gone is stale: an editor may hold its lock for days.
    m_lock.setStaleLockTime(0);
}

RecoverySlot::~RecoverySlot() = default;

std::unique_ptr<RecoverySlot> RecoverySlot::claim(const QString& imagePath, Claim how)
{
    const QString folder = RecoveryFile::folder();
    if (!QDir().mkpath(folder))
        return nullptr;
    const QString base = QDir(folder).filePath(RecoveryFile::keyOf(imagePath));
    std::unique_ptr<RecoverySlot> empty;
    for (int n = 0; n < SlotCount; ++n) {
        std::unique_ptr<RecoverySlot> slot(new RecoverySlot(u"%1-%2.recovery"_s.arg(base).arg(n)));
        if (!slot->m_lock.tryLock(0))
            continue;
        if (slot->hasFile()) {
            if (how == Claim::Offered)
                return slot;
        } else if (how == Claim::Empty) {
            return slot;
        } else if (!empty) {
            empty = std::move(slot);
        }
    }
    return empty;
}

bool RecoverySlot::hasFile() const
{
    return QFileInfo::exists(m_file);
}

bool RecoverySlot::remove() const
{
    return QFile::remove(m_file) || !hasFile();
}

QString RecoverySlot::setAside() const
{
    // The name no longer ends in ".recovery", so no claim looks at it again; the user may.
    const QString aside =
        u"%1.unreadable-%2"_s.arg(m_file, QDateTime::currentDateTime().toString(u"yyyyMMdd-HHmmss"_s));
    if (QFile::rename(m_file, aside))
        return aside;
    remove();
    return {};
}
