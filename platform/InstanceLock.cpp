#include "platform/InstanceLock.h"

#include "platform/BusDirectory.h"
#include "platform/Exception.h"
#include "platform/LastError.h"
#include "platform/SocketIo.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace platform {

namespace {

std::string escapedName(const std::string &name)
{
    std::string escaped;
    for (const char c : name) {
        if (c == '%')
            escaped += "%25";
        else if (c == '/')
            escaped += "%2F";
        else if (c == '\0')
            escaped += "%00";
        else
            escaped += c;
    }
    return escaped;
}

// A handle of 0 reads as "no lock" to callers, so a lock that lands on a closed standard
// input moves to another number.
UniqueFd avoidingZero(UniqueFd fd)
{
    if (fd.get() != 0)
        return fd;
    UniqueFd moved(::fcntl(fd.get(), F_DUPFD_CLOEXEC, 1));
    if (!moved.valid())
        throw Exception("Cannot open the single-instance lock: " + LastErrorText());
    return moved;
}

} // namespace

std::string InstanceLock::lockFilePath(const std::string &instanceName)
{
    return busDirectoryPath() + "/" + escapedName(instanceName) + ".lock";
}

std::unique_ptr<InstanceLock> InstanceLock::tryAcquire(const std::string &instanceName)
{
    const std::string path = lockFilePath(instanceName);
    const int opened = openRetrying(path, O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (opened < 0)
        throw Exception("Cannot open the single-instance lock " + path + ": " + LastErrorText());
    UniqueFd fd = avoidingZero(UniqueFd(opened));
    int locked;
    do {
        locked = ::flock(fd.get(), LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked == 0)
        return std::unique_ptr<InstanceLock>(new InstanceLock(std::move(fd)));
    if (errno == EWOULDBLOCK)
        return nullptr;
    throw Exception("Cannot take the single-instance lock " + path + ": " + LastErrorText());
}

InstanceLock::~InstanceLock() = default; // closing the descriptor releases the flock

} // namespace platform
