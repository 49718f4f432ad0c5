// A second process on the message bus for the platform tests. Every line it prints is one
// event the tests wait for.
//
//   bus_peer serve <class> <window> [--result N] [--reply-below N] [--die] [--digest]
//       a window; prints "READY <handle>", then "MSG <wParam> <dwData> <size> <data|md5>" for
//       every frame. --reply-below: while dwData < N, sends dwData+1 back to wParam before
//       returning (prints "NESTED <result|FAILED>"); --die: ends inside the procedure without
//       a result; --wait-fifo PATH: reads a line from that FIFO before it returns;
//       --fd-limit-extra N: allows only N descriptors beyond those open once the window
//       is up. Ends when its standard input closes, removing its window.
//   bus_peer send <handle> <wParam> <dwData> <data> [--size N]: prints "RESULT n" / "FAILED".
//   bus_peer find <class> <window>: prints "FOUND <handle>".
//   bus_peer lock <name>: prints "WAITING", reads a line, tries the instance lock and prints
//       "LOCKED" (then holds it until its standard input closes) or "BUSY".
//   bus_peer foreign-send <socket path> <uid>: as that user, connects and sends one frame;
//       prints "ANSWERED" or "DROPPED".

#include "platform/BusFrame.h"
#include "platform/InstanceLock.h"
#include "platform/MessageBus.h"
#include "platform/SocketIo.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

void say(const std::string &line)
{
    std::cout << line << std::endl; // flushed: the tests read it at once
}

std::string hex(quint32 value)
{
    char text[9];
    std::snprintf(text, sizeof(text), "%08x", unsigned(value));
    return text;
}

QString option(const QStringList &args, const QString &name, const QString &fallback = {})
{
    const qsizetype at = args.indexOf(name);
    return (at >= 0 && at + 1 < args.size()) ? args.at(at + 1) : fallback;
}

// Ends the event loop once standard input closes.
void quitOnStdinEnd(QCoreApplication &app)
{
    auto *notifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [&app, notifier] {
        char buffer[256];
        if (::read(STDIN_FILENO, buffer, sizeof(buffer)) <= 0) {
            notifier->setEnabled(false);
            app.quit();
        }
    });
}

// Leaves exactly `extra` descriptors free: the gaps below the highest open one (inherited
// descriptors leave some) are filled, and the limit is set just above.
void limitDescriptors(int extra)
{
    int highest = 0;
    for (const QString &entry : QDir("/proc/self/fd").entryList(QDir::Files | QDir::System))
        highest = std::max(highest, entry.toInt());
    for (;;) {
        const int filler = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
        if (filler < 0 || filler > highest) {
            if (filler >= 0)
                ::close(filler);
            break;
        }
    }
    const rlimit limit{rlim_t(highest + 1 + extra), rlim_t(highest + 1 + extra)};
    ::setrlimit(RLIMIT_NOFILE, &limit);
}

int serve(QCoreApplication &app, const QStringList &args)
{
    platform::BusWindow window(args.at(2).toStdString(), args.at(3).toStdString());
    const qint32 result = option(args, "--result", "0").toInt();
    const quint32 replyBelow = option(args, "--reply-below", "0").toUInt();
    const bool die = args.contains("--die");
    const bool digest = args.contains("--digest");
    const QString fifo = option(args, "--wait-fifo");
    const platform::WindowHandle own = window.handle();
    window.setProcedure([=](const platform::CopyDataMessage &message) {
        const QByteArray shown =
            digest ? QCryptographicHash::hash(message.data, QCryptographicHash::Md5).toHex()
                   : message.data;
        say("MSG " + hex(message.wParam) + " " + std::to_string(message.dwData) + " " +
            std::to_string(message.data.size()) + " " + shown.toStdString());
        if (die)
            ::_exit(3);
        if (!fifo.isEmpty()) {
            QFile gate(fifo);
            if (gate.open(QIODevice::ReadOnly))
                gate.readLine();
        }
        if (message.dwData < replyBelow) {
            const auto nested =
                platform::sendCopyData(message.wParam, own, message.dwData + 1, message.data);
            say(nested ? "NESTED " + std::to_string(*nested) : "NESTED FAILED");
        }
        return result;
    });
    quitOnStdinEnd(app);
    if (const QString extra = option(args, "--fd-limit-extra"); !extra.isEmpty())
        limitDescriptors(extra.toInt());
    say("READY " + hex(window.handle()));
    return app.exec();
}

int send(const QStringList &args)
{
    QByteArray data = args.at(5).toUtf8();
    if (const QString size = option(args, "--size"); !size.isEmpty()) {
        data.resize(size.toLongLong());
        for (qsizetype i = 0; i < data.size(); ++i)
            data[i] = char(i * 7 + i / 251);
    }
    const auto result = platform::sendCopyData(
        args.at(2).toUInt(nullptr, 16), args.at(3).toUInt(nullptr, 16), args.at(4).toUInt(), data);
    say(result ? "RESULT " + std::to_string(*result) : "FAILED");
    return 0;
}

int lock(QCoreApplication &app, const QStringList &args)
{
    say("WAITING");
    std::string go;
    std::getline(std::cin, go);
    auto held = platform::InstanceLock::tryAcquire(args.at(2).toStdString());
    if (!held) {
        say("BUSY");
        return 0;
    }
    say("LOCKED");
    quitOnStdinEnd(app);
    return app.exec();
}

// Runs as another user, so the receiver sees a foreign peer.
int foreignSend(const QStringList &args)
{
    if (::setuid(uid_t(args.at(3).toUInt())) != 0) {
        say("SETUID FAILED");
        return 1;
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_un address = platform::unixSocketAddress(args.at(2).toStdString());
    if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof(address)) != 0) {
        say(std::string("CONNECT FAILED ") + std::strerror(errno));
        return 1;
    }
    const QByteArray frame = platform::encodeBusFrame({platform::WM_COPYDATA, 0, 1, 0}, "x");
    ::send(fd, frame.constData(), size_t(frame.size()), MSG_NOSIGNAL);
    char answer[4];
    say(::recv(fd, answer, sizeof(answer), MSG_WAITALL) == 4 ? "ANSWERED" : "DROPPED");
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    try {
        const QString mode = args.value(1);
        if (mode == "serve" && args.size() >= 4)
            return serve(app, args);
        if (mode == "send" && args.size() >= 6)
            return send(args);
        if (mode == "find" && args.size() >= 4) {
            say("FOUND " +
                hex(platform::findWindow(args.at(2).toStdString(), args.at(3).toStdString())));
            return 0;
        }
        if (mode == "lock" && args.size() >= 3)
            return lock(app, args);
        if (mode == "foreign-send" && args.size() >= 4)
            return foreignSend(args);
    } catch (const std::exception &error) {
        say(std::string("ERROR ") + error.what());
        return 2;
    }
    std::cerr << "bus_peer: unknown arguments\n";
    return 64;
}
