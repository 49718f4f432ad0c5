#pragma once

#include "platform/BusFrame.h"
#include "platform/MessageBus.h"
#include "platform/UniqueFd.h"

#include <QObject>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QSocketNotifier;
class QTimer;

namespace platform {

// Deletes a Qt object through the event loop, after silencing it: it may be the very
// notifier whose signal is being delivered.
struct LaterDeleter
{
    void operator()(QObject *object) const;
};

// One connection that reached a window: a frame being read, then the procedure's result.
struct BusConnection
{
    UniqueFd fd;
    BusFrameReader reader;
    std::chrono::steady_clock::time_point lastProgress;
    bool busy = false; // its window procedure is running
    std::unique_ptr<QSocketNotifier, LaterDeleter> notifier;
};

// The receiving side of one window: its listening socket and files, the connections it has
// accepted, and the procedure that answers their frames. It is served from two places on its
// thread: Qt's event loop (socket notifiers) and the wait of a send from that thread; both use
// the same non-blocking steps, so either may pick up where the other stopped.
class BusReceiver : public std::enable_shared_from_this<BusReceiver>
{
public:
    using Procedure = BusWindow::Procedure;
    using Clock = std::chrono::steady_clock;
    // A peer that sends nothing for this long in the middle of a frame is dropped.
    static constexpr std::chrono::seconds stallLimit{5};

    // Claims a handle, writes the descriptor and listens; throws platform::Exception.
    static std::shared_ptr<BusReceiver> create(const std::string &className,
                                               const std::string &windowName);
    // The live receivers of the calling thread.
    static std::vector<std::shared_ptr<BusReceiver>> ownReceivers();

    BusReceiver(const BusReceiver &) = delete;
    BusReceiver &operator=(const BusReceiver &) = delete;
    ~BusReceiver();

    WindowHandle handle() const { return handle_; }
    int listenDescriptor() const { return listenFd_.get(); }
    void setProcedure(Procedure procedure) { procedure_ = std::move(procedure); }

    // Removes the window's files and stops listening; connections whose procedure runs
    // still get their result. Safe to call more than once.
    void close();

    void acceptPending();
    // Reads what the connection has; once its frame is whole, runs the procedure and answers.
    void service(const std::shared_ptr<BusConnection> &connection);
    void dropStalled(Clock::time_point now);
    // When the next stalled peer may be dropped, or accepting resumes after a pause.
    std::optional<Clock::time_point> nextDeadline() const;
    // False for a while after accepting failed for want of descriptors or memory, so that a
    // listening socket that stays readable does not keep the thread spinning.
    bool accepting(Clock::time_point now) const { return now >= acceptPausedUntil_; }
    // The connections waiting for bytes (not those whose procedure runs).
    std::vector<std::shared_ptr<BusConnection>> readableConnections() const;

private:
    BusReceiver() = default;
    void claim(const std::string &directory, const std::string &className,
               const std::string &windowName);
    void startNotifiers();
    void addConnection(UniqueFd fd);
    void watch(const std::shared_ptr<BusConnection> &connection);
    void drop(const std::shared_ptr<BusConnection> &connection);
    void answer(const std::shared_ptr<BusConnection> &connection);
    void updateStallTimer();
    void pauseAccepting();

    WindowHandle handle_ = 0;
    std::string socketPath_;
    std::string descriptorPath_;
    UniqueFd listenFd_;
    Procedure procedure_;
    bool closed_ = false;
    Clock::time_point acceptPausedUntil_{};
    std::vector<std::shared_ptr<BusConnection>> connections_;
    std::unique_ptr<QSocketNotifier, LaterDeleter> listenNotifier_;
    std::unique_ptr<QTimer, LaterDeleter> stallTimer_;
};

} // namespace platform
