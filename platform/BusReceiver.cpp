#include "platform/BusReceiver.h"

#include "platform/Application.h"
#include "platform/BusDirectory.h"
#include "platform/Exception.h"
#include "platform/LastError.h"
#include "platform/SocketIo.h"
#include "platform/WindowDescriptor.h"

#include <QAbstractEventDispatcher>
#include <QRandomGenerator>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr int claimAttempts = 64;
constexpr int resultWriteLimitMs = 5000;
constexpr int stallCheckIntervalMs = 250;
constexpr std::chrono::milliseconds acceptPause{100};

// Windows are served by the thread that made them, so the registry is per thread.
std::vector<std::weak_ptr<BusReceiver>> &threadRegistry()
{
    thread_local std::vector<std::weak_ptr<BusReceiver>> receivers;
    return receivers;
}

bool hasEventDispatcher()
{
    return QAbstractEventDispatcher::instance() != nullptr;
}

void writeWholeFile(const std::string &path, const QByteArray &bytes)
{
    UniqueFd fd(openRetrying(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!fd.valid())
        throw Exception("Cannot write the window descriptor " + path + ": " + LastErrorText());
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd.get(), bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const std::string reason = LastErrorText();
            ::unlink(path.c_str());
            throw Exception("Cannot write the window descriptor " + path + ": " + reason);
        }
        done += n;
    }
}

WindowHandle randomHandle()
{
    WindowHandle handle = 0;
    while (handle == 0)
        handle = QRandomGenerator::system()->generate();
    return handle;
}

} // namespace

void LaterDeleter::operator()(QObject *object) const
{
    if (auto *notifier = qobject_cast<QSocketNotifier *>(object))
        notifier->setEnabled(false);
    if (auto *timer = qobject_cast<QTimer *>(object))
        timer->stop();
    object->disconnect();
    object->deleteLater();
}

std::shared_ptr<BusReceiver> BusReceiver::create(const std::string &className,
                                                 const std::string &windowName)
{
    std::shared_ptr<BusReceiver> receiver(new BusReceiver);
    receiver->claim(busDirectoryPath(), className, windowName);
    receiver->startNotifiers();
    auto &registry = threadRegistry();
    std::erase_if(registry, [](const auto &weak) { return weak.expired(); });
    registry.push_back(receiver);
    return receiver;
}

std::vector<std::shared_ptr<BusReceiver>> BusReceiver::ownReceivers()
{
    std::vector<std::shared_ptr<BusReceiver>> receivers;
    for (const auto &weak : threadRegistry()) {
        if (auto receiver = weak.lock(); receiver && !receiver->closed_)
            receivers.push_back(std::move(receiver));
    }
    return receivers;
}

BusReceiver::~BusReceiver()
{
    close();
}

void BusReceiver::claim(const std::string &directory, const std::string &className,
                        const std::string &windowName)
{
    const QByteArray descriptor =
        encodeWindowDescriptor({className, windowName, quint32(::getpid())});
    for (int attempt = 0; attempt < claimAttempts; ++attempt) {
        const WindowHandle handle = randomHandle();
        const std::string socketPath = busSocketPath(directory, handle);
        const sockaddr_un address = unixSocketAddress(socketPath);
        const std::string descriptorPath = busDescriptorPath(directory, handle);
        const std::string temporary =
            directory + "/." + handleText(handle) + "-" + std::to_string(::getpid()) + ".tmp";
        writeWholeFile(temporary, descriptor);
        // link() fails when the name exists, so two windows never end up with one handle.
        const int linked = ::link(temporary.c_str(), descriptorPath.c_str());
        const int linkError = errno;
        ::unlink(temporary.c_str());
        if (linked != 0 && linkError == EEXIST)
            continue;
        if (linked != 0)
            throw Exception("Cannot create the window descriptor " + descriptorPath + ": " +
                            errorText(linkError));
        handle_ = handle;
        descriptorPath_ = descriptorPath;
        // The handle is ours now; a socket file under it was left by a dead window.
        ::unlink(socketPath.c_str());
        listenFd_.reset(newUnixStreamSocket());
        if (::bind(listenFd_.get(), reinterpret_cast<const sockaddr *>(&address),
                   sizeof(address)) != 0 ||
            ::listen(listenFd_.get(), SOMAXCONN) != 0) {
            const std::string reason = LastErrorText();
            ::unlink(descriptorPath.c_str());
            throw Exception("Cannot listen on the window socket " + socketPath + ": " + reason);
        }
        socketPath_ = socketPath;
        return;
    }
    throw Exception("Cannot find a free window handle in the message bus directory " + directory);
}

void BusReceiver::startNotifiers()
{
    if (!hasEventDispatcher())
        return;
    listenNotifier_.reset(new QSocketNotifier(listenFd_.get(), QSocketNotifier::Read));
    std::weak_ptr<BusReceiver> weak = weak_from_this();
    QObject::connect(listenNotifier_.get(), &QSocketNotifier::activated, listenNotifier_.get(),
                     [weak] {
                         if (auto self = weak.lock())
                             runGuarded([&] { self->acceptPending(); });
                     });
    stallTimer_.reset(new QTimer);
    stallTimer_->setInterval(stallCheckIntervalMs);
    QObject::connect(stallTimer_.get(), &QTimer::timeout, stallTimer_.get(), [weak] {
        if (auto self = weak.lock())
            runGuarded([&] { self->dropStalled(Clock::now()); });
    });
}

void BusReceiver::close()
{
    if (closed_)
        return;
    closed_ = true;
    // The descriptor goes first so that nobody finds a window that is going away.
    if (!descriptorPath_.empty())
        ::unlink(descriptorPath_.c_str());
    if (!socketPath_.empty())
        ::unlink(socketPath_.c_str());
    listenNotifier_.reset();
    stallTimer_.reset();
    listenFd_.reset();
    // Connections whose procedure runs are kept alive by service() and still answered.
    for (const auto &connection : connections_) {
        if (!connection->busy) {
            connection->notifier.reset();
            connection->fd.reset();
        }
    }
    connections_.clear();
}

void BusReceiver::acceptPending()
{
    const auto self = shared_from_this();
    while (!closed_) {
        const int fd = ::accept4(listenFd_.get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK)
                pauseAccepting(); // out of descriptors or memory: try again a little later
            return;
        }
        UniqueFd connection(fd);
        if (peerUserId(fd) != long(::geteuid()))
            continue; // another user's peer is dropped unheard
        addConnection(std::move(connection));
    }
}

void BusReceiver::addConnection(UniqueFd fd)
{
    auto connection = std::make_shared<BusConnection>();
    connection->fd = std::move(fd);
    connection->lastProgress = Clock::now();
    connections_.push_back(connection);
    // The frame is usually there already: reading it at once saves a trip through the loop,
    // and the notifier and the stall timer are only set up for a peer that keeps us waiting.
    service(connection);
    if (connection->fd.valid() && !connection->busy && !closed_)
        watch(connection);
}

void BusReceiver::watch(const std::shared_ptr<BusConnection> &connection)
{
    if (hasEventDispatcher()) {
        connection->notifier.reset(
            new QSocketNotifier(connection->fd.get(), QSocketNotifier::Read));
        std::weak_ptr<BusReceiver> weakSelf = weak_from_this();
        std::weak_ptr<BusConnection> weakConnection = connection;
        QObject::connect(connection->notifier.get(), &QSocketNotifier::activated,
                         connection->notifier.get(), [weakSelf, weakConnection] {
                             auto self = weakSelf.lock();
                             auto connection = weakConnection.lock();
                             if (self && connection)
                                 runGuarded([&] { self->service(connection); });
                         });
    }
    updateStallTimer();
}

void BusReceiver::service(const std::shared_ptr<BusConnection> &connection)
{
    if (connection->busy || !connection->fd.valid())
        return;
    const auto self = shared_from_this();
    BusFrameReader &reader = connection->reader;
    for (;;) {
        std::size_t room = 0;
        char *area = reader.space(room);
        if (area == nullptr)
            break;
        const IoResult step = readSome(connection->fd.get(), area, room);
        if (step.status == IoResult::WouldBlock)
            return;
        if (step.status != IoResult::Done) {
            // Closed before a whole frame: a liveness probe, or a peer that gave up.
            drop(connection);
            return;
        }
        reader.commit(step.bytes);
        connection->lastProgress = Clock::now();
    }
    if (reader.state() == BusFrameReader::State::Complete)
        answer(connection);
    else
        drop(connection); // refused before its block was allocated
}

void BusReceiver::answer(const std::shared_ptr<BusConnection> &connection)
{
    connection->busy = true;
    if (connection->notifier)
        connection->notifier->setEnabled(false);
    const BusFrameHeader header = connection->reader.header();
    CopyDataMessage message{header.wParam, header.dwData, connection->reader.takeData()};
    qint32 result = 0;
    // Only copy-data reaches the procedure; any other message gets the default answer 0.
    if (header.message == WM_COPYDATA) {
        const Procedure procedure = procedure_; // it may be replaced while it runs
        if (procedure)
            runGuarded([&] { result = procedure(message); });
    }
    char bytes[4];
    putU32(bytes, quint32(result));
    // A sender that already left only costs us the write; never a signal.
    writeAllWithin(connection->fd.get(), bytes, sizeof(bytes), resultWriteLimitMs);
    connection->busy = false;
    drop(connection);
}

void BusReceiver::drop(const std::shared_ptr<BusConnection> &connection)
{
    connection->notifier.reset();
    connection->fd.reset();
    std::erase(connections_, connection);
    updateStallTimer();
}

void BusReceiver::dropStalled(Clock::time_point now)
{
    const auto self = shared_from_this();
    for (const auto &connection : readableConnections()) {
        if (now - connection->lastProgress < stallLimit)
            continue;
        // Bytes that wait unread mean we were busy, not that the peer stalled.
        if (pollOne(connection->fd.get(), POLLIN, 0) & POLLIN)
            continue;
        drop(connection);
    }
}

std::optional<BusReceiver::Clock::time_point> BusReceiver::nextDeadline() const
{
    std::optional<Clock::time_point> deadline;
    if (!accepting(Clock::now()))
        deadline = acceptPausedUntil_;
    for (const auto &connection : connections_) {
        if (connection->busy)
            continue;
        const auto due = connection->lastProgress + stallLimit;
        if (!deadline || due < *deadline)
            deadline = due;
    }
    return deadline;
}

std::vector<std::shared_ptr<BusConnection>> BusReceiver::readableConnections() const
{
    std::vector<std::shared_ptr<BusConnection>> result;
    for (const auto &connection : connections_) {
        if (!connection->busy && connection->fd.valid())
            result.push_back(connection);
    }
    return result;
}

void BusReceiver::pauseAccepting()
{
    acceptPausedUntil_ = Clock::now() + acceptPause;
    if (!listenNotifier_)
        return;
    listenNotifier_->setEnabled(false);
    std::weak_ptr<BusReceiver> weak = weak_from_this();
    QTimer::singleShot(acceptPause, listenNotifier_.get(), [weak] {
        if (auto self = weak.lock(); self && !self->closed_ && self->listenNotifier_)
            self->listenNotifier_->setEnabled(true);
    });
}

void BusReceiver::updateStallTimer()
{
    if (!stallTimer_)
        return;
    const bool waiting = !readableConnections().empty();
    if (waiting && !stallTimer_->isActive())
        stallTimer_->start();
    else if (!waiting && stallTimer_->isActive())
        stallTimer_->stop();
}

} // namespace platform
