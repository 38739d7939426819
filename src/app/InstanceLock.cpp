#include "app/InstanceLock.h"

InstanceLock::InstanceLock(const QString& appDir)
    : m_lock(appDir + QStringLiteral("Pinora.lock")) {
    m_lock.setStaleLockTime(0); // held for the whole run; only a dead owner makes it stale
}

bool InstanceLock::otherInstanceRunning() {
    if (m_lock.isLocked())
        return false;
    return !m_lock.tryLock(0);
}
