// A GetEnvValue request answered by the real mentaro-server process, beside a raw baseline:
// a process that does the same two Unix-socket connections and frames (the request out, the
// reply sent back while the request waits) and nothing else.
#include "hostlink/KdbDemonClient.h"
#include "platform/MessageBus.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

TkdbDemonClient *client = nullptr;
std::string rawServerPath;
std::string rawClientPath;
int rawListener = -1;

// ---- the raw baseline: plain sockets, the bus's frame layout -------------------------------

bool fullWrite(int fd, const void *data, size_t size)
{
    const char *bytes = static_cast<const char *>(data);
    while (size > 0) {
        const ssize_t put = ::send(fd, bytes, size, MSG_NOSIGNAL);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        bytes += put;
        size -= static_cast<size_t>(put);
    }
    return true;
}

bool fullRead(int fd, void *data, size_t size)
{
    char *bytes = static_cast<char *>(data);
    while (size > 0) {
        const ssize_t got = ::recv(fd, bytes, size, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        bytes += got;
        size -= static_cast<size_t>(got);
    }
    return true;
}

sockaddr_un address(const std::string &path)
{
    sockaddr_un a{};
    a.sun_family = AF_UNIX;
    std::strncpy(a.sun_path, path.c_str(), sizeof a.sun_path - 1);
    return a;
}

int listenOn(const std::string &path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_un a = address(path);
    ::unlink(path.c_str());
    if (::bind(fd, reinterpret_cast<const sockaddr *>(&a), sizeof a) != 0 || ::listen(fd, 64) != 0)
        std::abort();
    return fd;
}

int connectTo(const std::string &path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_un a = address(path);
    if (::connect(fd, reinterpret_cast<const sockaddr *>(&a), sizeof a) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

QByteArray frame(quint32 dwData, const QByteArray &block)
{
    QByteArray bytes(16, '\0');
    const quint32 header[4] = {0x4A, 1, dwData, static_cast<quint32>(block.size())};
    std::memcpy(bytes.data(), header, sizeof header);
    return bytes + block;
}

bool readFrame(int fd, QByteArray &block)
{
    quint32 header[4];
    if (!fullRead(fd, header, sizeof header))
        return false;
    block.resize(header[3]);
    return fullRead(fd, block.data(), header[3]);
}

QByteArray countedString(const std::string &text)
{
    QByteArray bytes(4, '\0');
    const qint32 length = static_cast<qint32>(text.size());
    std::memcpy(bytes.data(), &length, 4);
    return bytes + QByteArray::fromStdString(text);
}

// The raw server: takes one request per connection, sends the reply to the client's socket
// while the request waits, then answers the request.
[[noreturn]] void runRawServer(int listener)
{
    const QByteArray reply = frame(4097, QByteArray(8, '\0') + countedString("/srv/content/"));
    const qint32 result = 0;
    for (;;) {
        const int connection = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0)
            continue;
        QByteArray block;
        if (readFrame(connection, block)) {
            const int back = connectTo(rawClientPath);
            qint32 answer = 0;
            if (back >= 0 && fullWrite(back, reply.constData(), reply.size()))
                fullRead(back, &answer, sizeof answer);
            if (back >= 0)
                ::close(back);
            fullWrite(connection, &result, sizeof result);
        }
        ::close(connection);
    }
}

void rawRequest(const QByteArray &request)
{
    const int fd = connectTo(rawServerPath);
    if (fd < 0 || !fullWrite(fd, request.constData(), request.size()))
        std::abort();
    // Serve our own socket while the request waits, as the bus does.
    for (;;) {
        pollfd fds[2] = {{fd, POLLIN, 0}, {rawListener, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0)
            continue;
        if (fds[1].revents & POLLIN) {
            const int incoming = ::accept4(rawListener, nullptr, nullptr, SOCK_CLOEXEC);
            QByteArray block;
            const qint32 zero = 0;
            if (readFrame(incoming, block))
                fullWrite(incoming, &zero, sizeof zero);
            ::close(incoming);
            benchmark::DoNotOptimize(block.size());
        }
        if (fds[0].revents & (POLLIN | POLLHUP)) {
            qint32 result = 0;
            fullRead(fd, &result, sizeof result);
            ::close(fd);
            return;
        }
    }
}

void BM_GetEnvValue_RawBaseline(benchmark::State &state)
{
    const QByteArray request = frame(4106, QByteArray(8, '\0') + countedString("TorvaneWorkArea"));
    for (auto _ : state)
        rawRequest(request);
    state.counters["requests/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_GetEnvValue_RawBaseline)->UseRealTime();

void BM_GetEnvValue_MentaroServer(benchmark::State &state)
{
    for (auto _ : state) {
        const std::string value = client->GetEnvValue("TorvaneWorkArea");
        if (value.empty())
            state.SkipWithError("no answer from the server");
        benchmark::DoNotOptimize(value.data());
    }
    state.counters["requests/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_GetEnvValue_MentaroServer)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir directory;
    const QString bus = directory.filePath("bus");
    qputenv("TORVANE_BUS_DIR", bus.toLocal8Bit());
    qputenv("TORVANE_REGISTRY", directory.filePath("registry.reg").toLocal8Bit());
    QFile registry(directory.filePath("registry.reg"));
    registry.open(QIODevice::WriteOnly);
    registry.write("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Zantro\\torvane\\demon]\r\n"
                   "\"ViewerHandle\"=\"bench001\"\r\n");
    registry.close();
    QDir().mkpath(directory.filePath("content"));

    rawServerPath = directory.filePath("raw-server.sock").toStdString();
    rawClientPath = directory.filePath("raw-client.sock").toStdString();
    rawListener = listenOn(rawClientPath);
    const int rawServerListener = listenOn(rawServerPath);
    const pid_t rawServer = ::fork();
    if (rawServer == 0)
        runRawServer(rawServerListener);
    ::close(rawServerListener);

    QCoreApplication application(argc, argv);
    QProcess server;
    server.setStandardOutputFile(QProcess::nullDevice());
    server.start(MENTARO_SERVER,
                 {"--suffix", "bench001", "--content", directory.filePath("content")});
    for (int attempt = 0;
         attempt < 500 &&
         platform::findWindow("ThisIsTheMentaroServerComponentWindowClassbench001",
                              "ThisIsTheMentaroServerComponentWindowbench001") == 0;
         ++attempt)
        ::usleep(10000);
    client = new TkdbDemonClient(nullptr);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    delete client;
    server.terminate();
    server.waitForFinished(5000);
    ::kill(rawServer, SIGKILL);
    ::waitpid(rawServer, nullptr, 0);
    return 0;
}
