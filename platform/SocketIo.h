#pragma once

#include <cstddef>
#include <string>
#include <sys/types.h>

struct sockaddr_un;

namespace platform {

// What one non-blocking transfer step achieved.
struct IoResult
{
    enum Status { Done, WouldBlock, Closed, Failed };
    Status status = Failed;
    std::size_t bytes = 0; // transferred by this step (Done only)
};

// open() retried on EINTR; -1 with errno set on failure.
int openRetrying(const std::string &path, int flags, unsigned mode = 0);

// One read() that is retried on EINTR; 0 bytes read is Closed.
IoResult readSome(int fd, void *buffer, std::size_t size);

// One send() with MSG_NOSIGNAL that is retried on EINTR; a vanished peer is Closed.
IoResult writeSome(int fd, const void *buffer, std::size_t size);

// poll() of one descriptor, retried on EINTR with the rest of the time-out; returns revents
// (0 on time-out). timeoutMs < 0 waits without a limit.
short pollOne(int fd, short events, int timeoutMs);

// Writes all bytes of a non-blocking descriptor, waiting at most timeoutMs for the peer to
// take more; false when the peer closed, failed or stalled.
bool writeAllWithin(int fd, const void *buffer, std::size_t size, int timeoutMs);

// The address of a Unix socket at `path`; throws platform::Exception when the path does not
// fit sun_path (it is never truncated).
sockaddr_un unixSocketAddress(const std::string &path);

// A new non-blocking, close-on-exec Unix stream socket; throws on failure.
int newUnixStreamSocket();

// The user id of a connected Unix socket's peer, or -1 when it cannot be told.
long peerUserId(int fd);

} // namespace platform
