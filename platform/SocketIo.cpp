#include "platform/SocketIo.h"

#include "platform/Exception.h"
#include "platform/LastError.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform {

namespace {

IoResult fromReturn(ssize_t n)
{
    if (n > 0)
        return {IoResult::Done, std::size_t(n)};
    if (n == 0)
        return {IoResult::Closed, 0};
    if (errno == EAGAIN || errno == EWOULDBLOCK)
        return {IoResult::WouldBlock, 0};
    if (errno == EPIPE || errno == ECONNRESET)
        return {IoResult::Closed, 0};
    return {IoResult::Failed, 0};
}

} // namespace

int openRetrying(const std::string &path, int flags, unsigned mode)
{
    int fd;
    do {
        fd = ::open(path.c_str(), flags, mode_t(mode));
    } while (fd < 0 && errno == EINTR);
    return fd;
}

IoResult readSome(int fd, void *buffer, std::size_t size)
{
    ssize_t n;
    do {
        n = ::read(fd, buffer, size);
    } while (n < 0 && errno == EINTR);
    return fromReturn(n);
}

IoResult writeSome(int fd, const void *buffer, std::size_t size)
{
    if (size == 0)
        return {IoResult::Done, 0};
    ssize_t n;
    do {
        n = ::send(fd, buffer, size, MSG_NOSIGNAL);
    } while (n < 0 && errno == EINTR);
    if (n == 0)
        return {IoResult::WouldBlock, 0};
    return fromReturn(n);
}

short pollOne(int fd, short events, int timeoutMs)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    pollfd entry{fd, events, 0};
    for (;;) {
        int wait = timeoutMs;
        if (timeoutMs >= 0) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            wait = int(std::max<long long>(0, left.count()));
        }
        const int n = ::poll(&entry, 1, wait);
        if (n > 0)
            return entry.revents;
        if (n == 0)
            return 0;
        if (errno != EINTR)
            return POLLERR;
    }
}

bool writeAllWithin(int fd, const void *buffer, std::size_t size, int timeoutMs)
{
    const char *bytes = static_cast<const char *>(buffer);
    std::size_t done = 0;
    while (done < size) {
        const IoResult step = writeSome(fd, bytes + done, size - done);
        if (step.status == IoResult::Done) {
            done += step.bytes;
        } else if (step.status == IoResult::WouldBlock) {
            const short events = pollOne(fd, POLLOUT, timeoutMs);
            if (!(events & POLLOUT))
                return false;
        } else {
            return false;
        }
    }
    return true;
}

sockaddr_un unixSocketAddress(const std::string &path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof(address.sun_path)) {
        throw Exception("Message bus socket path is too long (" + std::to_string(path.size()) +
                        " bytes, the limit is " + std::to_string(sizeof(address.sun_path) - 1) +
                        "): " + path);
    }
    std::memcpy(address.sun_path, path.data(), path.size());
    return address;
}

int newUnixStreamSocket()
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        throw Exception("Cannot create a message bus socket: " + LastErrorText());
    return fd;
}

long peerUserId(int fd)
{
    ucred credentials{};
    socklen_t length = sizeof(credentials);
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0)
        return -1;
    return long(credentials.uid);
}

} // namespace platform
