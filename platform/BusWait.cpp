#include "platform/BusWait.h"

#include "platform/BusReceiver.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>

namespace platform {

namespace {

using Clock = BusReceiver::Clock;

// What one entry of the poll set stands for.
struct Watched
{
    std::shared_ptr<BusReceiver> receiver;
    std::shared_ptr<BusConnection> connection; // null: the receiver's listening socket
};

int millisecondsUntil(Clock::time_point when)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(when - Clock::now());
    return int(std::clamp<long long>(left.count(), 0, 60'000));
}

int pollTimeout(const std::vector<std::shared_ptr<BusReceiver>> &receivers,
                std::optional<Clock::time_point> deadline)
{
    for (const auto &receiver : receivers) {
        const auto due = receiver->nextDeadline();
        if (due && (!deadline || *due < *deadline))
            deadline = due;
    }
    return deadline ? millisecondsUntil(*deadline) : -1;
}

void serveReady(const std::vector<pollfd> &entries, const std::vector<Watched> &watched)
{
    for (std::size_t i = 1; i < entries.size(); ++i) {
        if (entries[i].revents == 0)
            continue;
        const Watched &what = watched[i - 1];
        if (what.connection)
            what.receiver->service(what.connection);
        else
            what.receiver->acceptPending();
    }
}

} // namespace

short waitServingOwnWindows(int fd, short events, int timeoutMs)
{
    std::optional<Clock::time_point> deadline;
    if (timeoutMs >= 0)
        deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        // Rebuilt every round: a procedure that ran may have made or destroyed windows.
        const auto receivers = BusReceiver::ownReceivers();
        std::vector<pollfd> entries{{fd, events, 0}};
        std::vector<Watched> watched;
        for (const auto &receiver : receivers) {
            const auto now = Clock::now();
            receiver->dropStalled(now);
            if (receiver->accepting(now)) {
                entries.push_back({receiver->listenDescriptor(), POLLIN, 0});
                watched.push_back({receiver, nullptr});
            }
            for (auto &connection : receiver->readableConnections()) {
                entries.push_back({connection->fd.get(), POLLIN, 0});
                watched.push_back({receiver, std::move(connection)});
            }
        }
        const int n =
            ::poll(entries.data(), nfds_t(entries.size()), pollTimeout(receivers, deadline));
        if (n < 0 && errno != EINTR)
            return POLLERR;
        if (n > 0 && entries[0].revents != 0)
            return entries[0].revents;
        if (n > 0)
            serveReady(entries, watched);
        if (deadline && Clock::now() >= *deadline)
            return 0;
    }
}

} // namespace platform
