#pragma once

#include <QString>
#include <memory>

class QLockFile;

namespace tv {

// Keeps one running copy per station profile. The lock goes with the process,
// so a copy that crashed does not lock the profile out.
class InstanceLock final {
public:
    explicit InstanceLock(const QString& lockFile);
    ~InstanceLock();
    // True when this process now holds the profile; false when another copy does.
    bool acquire();

private:
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace tv
