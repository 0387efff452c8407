#include "instance_lock.h"

#include <QLockFile>

namespace tv {

InstanceLock::InstanceLock(const QString& lockFile)
    : m_lock(std::make_unique<QLockFile>(lockFile)) {
    // Never treat a live holder's lock as stale, however long it has run.
    m_lock->setStaleLockTime(0);
}

InstanceLock::~InstanceLock() = default;

bool InstanceLock::acquire() {
    return m_lock->tryLock(0);
}

} // namespace tv
