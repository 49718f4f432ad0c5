#include "platform/ProcessWait.h"

#include "platform/SocketIo.h"
#include "platform/UniqueFd.h"

#include <cerrno>
#include <climits>
#include <poll.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace platform {

namespace {

int exitCodeOf(const siginfo_t &info)
{
    if (info.si_code == CLD_EXITED)
        return info.si_status;
    return 128 + info.si_status; // killed or dumped by a signal
}

} // namespace

std::optional<int> waitForProcess(qint64 pid)
{
    if (pid <= 0 || pid > INT_MAX)
        return std::nullopt;
    // pidfd_open gives a close-on-exec descriptor that stays bound to this very process,
    // even if its number is reused later.
    UniqueFd process(int(::syscall(SYS_pidfd_open, pid_t(pid), 0)));
    if (!process.valid())
        return std::nullopt;
    while (!(pollOne(process.get(), POLLIN, -1) & (POLLIN | POLLHUP | POLLERR))) {
    }
    // A child is a zombie until reaped, so its pid cannot have been reused meanwhile.
    siginfo_t info{};
    int waited;
    do {
        waited = ::waitid(P_PID, id_t(pid), &info, WEXITED);
    } while (waited != 0 && errno == EINTR);
    if (waited != 0 || info.si_pid != pid_t(pid))
        return 0; // not our child (or reaped by somebody else)
    return exitCodeOf(info);
}

} // namespace platform
