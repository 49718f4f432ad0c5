#pragma once

#include "platform/UniqueFd.h"

#include <memory>
#include <string>

namespace platform {

// The single-instance lock: an exclusive flock on `<bus dir>/<escaped name>.lock`. The open
// descriptor is the lock handle; the kernel releases it when the process dies, however it
// dies. The file itself stays, since removing a lock file races with its next user.
class InstanceLock
{
public:
    // The lock, or nullptr when another process holds it. One atomic flock decides, so of
    // many simultaneous starts exactly one gets it. Throws platform::Exception (with the
    // reason) when the bus directory or the lock file cannot be used.
    static std::unique_ptr<InstanceLock> tryAcquire(const std::string &instanceName);

    // The lock file for a name: '%' and '/' (and NUL) are written as %25, %2F and %00, so
    // that any name is one file in the bus directory and distinct names stay distinct.
    static std::string lockFilePath(const std::string &instanceName);

    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;
    ~InstanceLock(); // releases the lock

    // The lock handle: the open descriptor, never 0.
    int descriptor() const { return fd_.get(); }

private:
    explicit InstanceLock(UniqueFd fd) : fd_(std::move(fd)) {}
    UniqueFd fd_;
};

} // namespace platform
