#include "platform/MessageBus.h"

#include "platform/BusDirectory.h"
#include "platform/BusReceiver.h"
#include "platform/BusWait.h"
#include "platform/SocketIo.h"
#include "platform/WindowDescriptor.h"

#include <cerrno>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform {

namespace {

// A descriptor is a few names long; anything bigger is not one of ours.
constexpr qsizetype maxDescriptorSize = 1 << 20;
// How long a sender waits before knocking again when a window's backlog is full.
constexpr int backlogRetryMs = 10;

enum class Knock { Connected, Busy, Absent };

// A connection attempt on a non-blocking socket.
Knock knock(int fd, const sockaddr_un &address)
{
    for (;;) {
        if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof(address)) == 0)
            return Knock::Connected;
        if (errno == EINTR)
            continue;
        if (errno == EISCONN)
            return Knock::Connected;
        if (errno == EAGAIN || errno == EINPROGRESS)
            return Knock::Busy; // a full backlog: somebody listens there
        return Knock::Absent;
    }
}

bool socketIsLive(const std::string &path)
{
    UniqueFd fd(newUnixStreamSocket());
    return knock(fd.get(), unixSocketAddress(path)) != Knock::Absent;
}

std::optional<WindowDescriptor> readDescriptor(const std::string &path)
{
    // Non-blocking, and regular files only: a FIFO planted under the name must not hang us.
    UniqueFd fd(openRetrying(path, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    struct stat info
    {
    };
    if (!fd.valid() || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    QByteArray bytes;
    char buffer[4096];
    for (;;) {
        const IoResult step = readSome(fd.get(), buffer, sizeof(buffer));
        if (step.status != IoResult::Done)
            break;
        bytes.append(buffer, qsizetype(step.bytes));
        if (bytes.size() > maxDescriptorSize)
            return std::nullopt;
    }
    return parseWindowDescriptor(bytes);
}

bool processIsGone(quint32 pid)
{
    return pid == 0 || (::kill(pid_t(pid), 0) != 0 && errno == ESRCH);
}

bool equalIgnoringAsciiCase(const std::string &a, const std::string &b)
{
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

// Removes a window whose process has died. Checked again right before, because a new window
// may have claimed the handle since it was read.
void removeIfDead(const std::string &directory, WindowHandle handle)
{
    const std::string descriptorPath = busDescriptorPath(directory, handle);
    const auto descriptor = readDescriptor(descriptorPath);
    if (!descriptor || !processIsGone(descriptor->processId))
        return;
    ::unlink(busSocketPath(directory, handle).c_str());
    ::unlink(descriptorPath.c_str());
}

std::vector<WindowHandle> listedHandles(const std::string &directory)
{
    std::vector<WindowHandle> handles;
    DIR *dir = ::opendir(directory.c_str());
    if (dir == nullptr)
        return handles;
    while (const dirent *entry = ::readdir(dir)) {
        const std::string_view name(entry->d_name);
        if (name.size() == 12 && name.substr(8) == ".win") {
            if (const auto handle = parseHandleText(name.substr(0, 8)))
                handles.push_back(*handle);
        }
    }
    ::closedir(dir);
    return handles;
}

void sendAll(int fd, const QByteArray &bytes, bool &ok)
{
    qsizetype done = 0;
    while (ok && done < bytes.size()) {
        const IoResult step = writeSome(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (step.status == IoResult::Done)
            done += qsizetype(step.bytes);
        else if (step.status == IoResult::WouldBlock)
            waitServingOwnWindows(fd, POLLOUT, -1);
        else
            ok = false;
    }
}

std::optional<qint32> receiveResult(int fd)
{
    char bytes[4];
    std::size_t done = 0;
    while (done < sizeof(bytes)) {
        const IoResult step = readSome(fd, bytes + done, sizeof(bytes) - done);
        if (step.status == IoResult::Done)
            done += step.bytes;
        else if (step.status == IoResult::WouldBlock)
            waitServingOwnWindows(fd, POLLIN, -1);
        else
            return std::nullopt; // closed without an answer
    }
    return qint32(getU32(bytes));
}

} // namespace

class BusWindow::Private
{
public:
    std::shared_ptr<BusReceiver> receiver;
};

BusWindow::BusWindow(const std::string &className, const std::string &windowName, QObject *parent)
    : QObject(parent), d(std::make_unique<Private>())
{
    d->receiver = BusReceiver::create(className, windowName);
}

BusWindow::~BusWindow()
{
    d->receiver->close();
}

WindowHandle BusWindow::handle() const
{
    return d->receiver->handle();
}

void BusWindow::setProcedure(Procedure procedure)
{
    d->receiver->setProcedure(std::move(procedure));
}

namespace {

// The first live window whose descriptor satisfies `wanted`; dead entries met on the way are
// removed.
template <typename Predicate> WindowHandle findLiveWindow(Predicate wanted)
{
    const std::string directory = busDirectoryPath();
    for (const WindowHandle handle : listedHandles(directory)) {
        const auto descriptor = readDescriptor(busDescriptorPath(directory, handle));
        if (!descriptor || !wanted(*descriptor))
            continue;
        if (socketIsLive(busSocketPath(directory, handle)))
            return handle;
        removeIfDead(directory, handle);
    }
    return 0;
}

} // namespace

WindowHandle findWindow(const std::string &className, const std::string &windowName)
{
    return findLiveWindow([&](const WindowDescriptor &descriptor) {
        return equalIgnoringAsciiCase(descriptor.className, className) &&
               equalIgnoringAsciiCase(descriptor.windowName, windowName);
    });
}

WindowHandle findWindowOfProcess(const std::string &className, quint32 processId)
{
    return findLiveWindow([&](const WindowDescriptor &descriptor) {
        return descriptor.processId == processId &&
               equalIgnoringAsciiCase(descriptor.className, className);
    });
}

bool isWindow(WindowHandle handle)
{
    if (handle == 0)
        return false;
    return socketIsLive(busSocketPath(busDirectoryPath(), handle));
}

std::optional<qint32> sendCopyData(WindowHandle target, WindowHandle wParam, quint32 dwData,
                                   const QByteArray &data)
{
    if (target == 0 || quint64(data.size()) > busMaxDataSize)
        return std::nullopt;
    const sockaddr_un address = unixSocketAddress(busSocketPath(busDirectoryPath(), target));
    UniqueFd fd(newUnixStreamSocket());
    for (;;) {
        const Knock result = knock(fd.get(), address);
        if (result == Knock::Absent)
            return std::nullopt;
        if (result == Knock::Connected)
            break;
        waitServingOwnWindows(-1, 0, backlogRetryMs);
    }
    bool ok = true;
    sendAll(fd.get(), encodeBusFrame({WM_COPYDATA, wParam, dwData, 0}, data), ok);
    if (!ok)
        return std::nullopt;
    return receiveResult(fd.get());
}

} // namespace platform
