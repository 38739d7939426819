#pragma once

#include <QLockFile>
#include <QString>

// Tells whether another copy of the program runs on the same application
// directory: each running copy holds a lock file there. A lock left by a copy
// that died is recognised as stale and taken over.
class InstanceLock {
public:
    explicit InstanceLock(const QString& appDir);

    // True when another live copy holds the lock; otherwise this copy holds it now.
    bool otherInstanceRunning();

private:
    QLockFile m_lock;
};
