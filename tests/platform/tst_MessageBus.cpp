#include "PeerProcess.h"
#include "platform/BusDirectory.h"
#include "platform/BusFrame.h"
#include "platform/Exception.h"
#include "platform/MessageBus.h"
#include "platform/SocketIo.h"
#include "platform/UniqueFd.h"
#include "platform/WindowDescriptor.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

using namespace platform;

namespace {

QString hexHandle(WindowHandle handle)
{
    return QString::fromStdString(handleText(handle));
}

// What a window procedure of this process saw.
struct Received
{
    std::vector<CopyDataMessage> messages;
};

std::unique_ptr<BusWindow> recordingWindow(Received &received, qint32 result = 0)
{
    auto window = std::make_unique<BusWindow>("TestClass", "TestWindow");
    window->setProcedure([&received, result](const CopyDataMessage &message) {
        received.messages.push_back(message);
        return result;
    });
    return window;
}

// A connection of our own making to a window, for peers that misbehave on purpose.
UniqueFd rawConnect(WindowHandle handle)
{
    UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    const sockaddr_un address = unixSocketAddress(busSocketPath(busDirectoryPath(), handle));
    if (::connect(fd.get(), reinterpret_cast<const sockaddr *>(&address), sizeof(address)) != 0)
        return UniqueFd();
    return fd;
}

void rawWrite(int fd, const QByteArray &bytes)
{
    QVERIFY(::send(fd, bytes.constData(), size_t(bytes.size()), MSG_NOSIGNAL) == bytes.size());
}

QByteArray header(quint32 cbData)
{
    return encodeBusFrame({WM_COPYDATA, 1, 2, 0}, {}).left(12) +
           QByteArray(reinterpret_cast<const char *>(&cbData), 4);
}

// True once the window closed our end, waiting while the event loop serves our windows.
bool closedByPeer(int fd, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        QCoreApplication::processEvents();
        if (pollOne(fd, POLLIN, 5) & (POLLIN | POLLHUP)) {
            char byte;
            return ::recv(fd, &byte, 1, MSG_DONTWAIT) <= 0;
        }
    }
    return false;
}

QByteArray patterned(qsizetype size)
{
    QByteArray data(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        data[i] = char(i * 7 + i / 251);
    return data;
}

} // namespace

class MessageBusTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void sendReturnsTheReceiversResult();
    void windowServedFromTheEventLoop();
    void sendToOwnWindowIsServedWhileWaiting();
    void nestedRepliesAreServedWhileWaiting_data();
    void nestedRepliesAreServedWhileWaiting();
    void largestBlockArrivesWhole();
    void windowDestroyedByItsOwnProcedureStillAnswers_data();
    void windowDestroyedByItsOwnProcedureStillAnswers();
    void findWindowIgnoresAsciiCase_data();
    void findWindowIgnoresAsciiCase();
    void windowFilesAndTheirRemoval();
    void windowsOfAKilledPeerAreSkippedAndRemoved();
    void probesAndCutShortFramesAreIgnored();
    void oversizedBlockIsRefused();
    void stalledPeerIsDroppedWithoutBlockingOthers();
    void stalledPeerIsDroppedWhileThisThreadSends();
    void receiverEndingWithoutResultFailsTheSend();
    void receiverOutOfDescriptorsRecovers();
    void foreignUserIsDropped();
    void insecureDirectoryIsRefused_data();
    void insecureDirectoryIsRefused();
    void tooLongSocketPathIsRefused();
    void missingWindowFailsTheSend();

private:
    std::unique_ptr<QTemporaryDir> busDir_;
};

void MessageBusTest::init()
{
    busDir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(busDir_->isValid());
    qputenv("TORVANE_BUS_DIR", QFile::encodeName(busDir_->path()));
}

void MessageBusTest::sendReturnsTheReceiversResult()
{
    PeerProcess peer({"serve", "PeerClass", "PeerWindow", "--result", "-42"});
    const WindowHandle handle = peer.waitForLine("READY ").toUInt(nullptr, 16);
    QVERIFY(handle != 0);

    QCOMPARE(sendCopyData(handle, 0x1234, 7, "hello"), std::optional<qint32>(-42));
    QCOMPARE(peer.waitForLine("MSG "), QString("00001234 7 5 hello"));
    QCOMPARE(sendCopyData(handle, 0, 0, QByteArray()), std::optional<qint32>(-42));
    QCOMPARE(peer.waitForLine("MSG "), QString("00000000 0 0"));
}

void MessageBusTest::windowServedFromTheEventLoop()
{
    Received received;
    const auto window = recordingWindow(received, 1234);
    PeerProcess sender({"send", hexHandle(window->handle()), "abcdef01", "99", "payload"});
    QCOMPARE(sender.waitForLine("RESULT "), QString("1234"));
    QCOMPARE(received.messages.size(), std::size_t(1));
    QCOMPARE(received.messages[0].wParam, WindowHandle(0xabcdef01));
    QCOMPARE(received.messages[0].dwData, quint32(99));
    QCOMPARE(received.messages[0].data, QByteArray("payload"));
}

void MessageBusTest::sendToOwnWindowIsServedWhileWaiting()
{
    Received received;
    const auto window = recordingWindow(received, 5);
    QCOMPARE(sendCopyData(window->handle(), 1, 2, "self"), std::optional<qint32>(5));
    QCOMPARE(received.messages.size(), std::size_t(1));
}

void MessageBusTest::nestedRepliesAreServedWhileWaiting_data()
{
    QTest::addColumn<quint32>("depth");
    QTest::newRow("one reply") << 1u;
    QTest::newRow("ping-pong eight deep") << 8u;
}

// We send to the peer; it sends back to us before it answers; we send to it again before we
// answer, and so on: every level is served by the send that waits below it.
void MessageBusTest::nestedRepliesAreServedWhileWaiting()
{
    QFETCH(quint32, depth);
    PeerProcess peer(
        {"serve", "Peer", "Peer", "--result", "77", "--reply-below", QString::number(depth)});
    const WindowHandle peerHandle = peer.waitForLine("READY ").toUInt(nullptr, 16);

    BusWindow window("Own", "Own");
    std::vector<quint32> seen;
    std::vector<std::optional<qint32>> nestedResults;
    window.setProcedure([&](const CopyDataMessage &message) {
        seen.push_back(message.dwData);
        if (message.dwData < depth) {
            nestedResults.push_back(
                sendCopyData(message.wParam, window.handle(), message.dwData + 1, message.data));
        }
        return qint32(message.dwData);
    });

    QCOMPARE(sendCopyData(peerHandle, window.handle(), 0, "nest"), std::optional<qint32>(77));
    std::vector<quint32> expected;
    for (quint32 level = 1; level <= depth; level += 2)
        expected.push_back(level);
    QCOMPARE(seen, expected); // all of it happened inside the one send
    for (const auto &result : nestedResults)
        QCOMPARE(result, std::optional<qint32>(77));
    for (quint32 level = 0; level <= depth; level += 2)
        QCOMPARE(peer.waitForLine("MSG ").section(' ', 1, 1).toUInt(), level);
}

void MessageBusTest::largestBlockArrivesWhole()
{
    PeerProcess peer({"serve", "Big", "Big", "--result", "1", "--digest"});
    const WindowHandle handle = peer.waitForLine("READY ").toUInt(nullptr, 16);
    const QByteArray data = patterned(qsizetype(busMaxDataSize));
    QCOMPARE(sendCopyData(handle, 0, 3, data), std::optional<qint32>(1));
    const QString expected =
        "00000000 3 " + QString::number(data.size()) + " " +
        QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Md5).toHex());
    QCOMPARE(peer.waitForLine("MSG "), expected);
    // One byte more is refused by the sender before anything is written.
    QCOMPARE(sendCopyData(handle, 0, 3, data + 'x'), std::nullopt);
}

void MessageBusTest::windowDestroyedByItsOwnProcedureStillAnswers_data()
{
    QTest::addColumn<bool>("fromEventLoop");
    QTest::newRow("served by the event loop") << true;
    QTest::newRow("served while this thread sends") << false;
}

// A quit notice destroys the window that receives it; the sender still gets its result.
void MessageBusTest::windowDestroyedByItsOwnProcedureStillAnswers()
{
    QFETCH(bool, fromEventLoop);
    auto window = std::make_unique<BusWindow>("Quits", "Quits");
    const WindowHandle handle = window->handle();
    window->setProcedure([&window](const CopyDataMessage &) {
        window.reset();
        return 9;
    });
    if (fromEventLoop) {
        PeerProcess sender({"send", hexHandle(handle), "0", "0", "quit"});
        QCOMPARE(sender.waitForLine("RESULT "), QString("9"));
    } else {
        QCOMPARE(sendCopyData(handle, 0, 0, "quit"), std::optional<qint32>(9));
    }
    QVERIFY(!window);
    QVERIFY(!isWindow(handle));
    QVERIFY(QDir(busDir_->path()).entryList(QDir::Files | QDir::System | QDir::Hidden).isEmpty());
}

void MessageBusTest::findWindowIgnoresAsciiCase_data()
{
    QTest::addColumn<QByteArray>("className");
    QTest::addColumn<QByteArray>("windowName");
    QTest::addColumn<bool>("found");
    QTest::newRow("same") << QByteArray("TkdbServer") << QByteArray("Mentaro\xC4") << true;
    QTest::newRow("ascii case") << QByteArray("TKDBSERVER") << QByteArray("mENTARO\xC4") << true;
    QTest::newRow("non-ascii case differs")
        << QByteArray("TkdbServer") << QByteArray("Mentaro\xE4") << false;
    QTest::newRow("other class") << QByteArray("TkdbServe") << QByteArray("Mentaro\xC4") << false;
    QTest::newRow("other window") << QByteArray("TkdbServer") << QByteArray("Mentaro") << false;
    QTest::newRow("empty") << QByteArray() << QByteArray() << false;
}

void MessageBusTest::findWindowIgnoresAsciiCase()
{
    QFETCH(QByteArray, className);
    QFETCH(QByteArray, windowName);
    QFETCH(bool, found);
    BusWindow decoy("Decoy", "Mentaro\xC4");
    BusWindow window("TkdbServer", "Mentaro\xC4");
    const WindowHandle handle = findWindow(className.toStdString(), windowName.toStdString());
    QCOMPARE(handle, found ? window.handle() : WindowHandle(0));
}

void MessageBusTest::windowFilesAndTheirRemoval()
{
    const QDir dir(busDir_->path());
    QString socketName, descriptorName;
    {
        BusWindow window("Class", "Name");
        socketName = hexHandle(window.handle()) + ".sock";
        descriptorName = hexHandle(window.handle()) + ".win";
        QCOMPARE(dir.entryList(QDir::System | QDir::Files | QDir::Hidden, QDir::Name),
                 QStringList({socketName, descriptorName}));
        QFile file(dir.filePath(descriptorName));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const auto descriptor = parseWindowDescriptor(file.readAll());
        QVERIFY(descriptor.has_value());
        QCOMPARE(descriptor->className, std::string("Class"));
        QCOMPARE(descriptor->windowName, std::string("Name"));
        QCOMPARE(descriptor->processId, quint32(::getpid()));
        QVERIFY(isWindow(window.handle()));
        QVERIFY(BusWindow("Class", "Name").handle() != window.handle());
    }
    QVERIFY(dir.entryList(QDir::System | QDir::Files | QDir::Hidden).isEmpty());
}

void MessageBusTest::windowsOfAKilledPeerAreSkippedAndRemoved()
{
    PeerProcess dead({"serve", "Server", "Suffix"});
    const WindowHandle deadHandle = dead.waitForLine("READY ").toUInt(nullptr, 16);
    dead.killHard();
    const QDir dir(busDir_->path());
    QVERIFY(dir.exists(hexHandle(deadHandle) + ".win")); // SIGKILL leaves them behind

    QVERIFY(!isWindow(deadHandle));
    QCOMPARE(sendCopyData(deadHandle, 0, 0, "x"), std::nullopt);
    QCOMPARE(findWindow("Server", "Suffix"), WindowHandle(0));
    QVERIFY(!dir.exists(hexHandle(deadHandle) + ".win"));
    QVERIFY(!dir.exists(hexHandle(deadHandle) + ".sock"));

    // Nor does a descriptor that is no file hold up the search.
    QVERIFY(::mkfifo(QFile::encodeName(dir.filePath("0000abcd.win")).constData(), 0600) == 0);
    QCOMPARE(findWindow("Server", "Suffix"), WindowHandle(0));

    PeerProcess alive({"serve", "Server", "Suffix", "--result", "8"});
    const WindowHandle aliveHandle = alive.waitForLine("READY ").toUInt(nullptr, 16);
    QCOMPARE(findWindow("server", "SUFFIX"), aliveHandle);
    QCOMPARE(sendCopyData(aliveHandle, 0, 0, "x"), std::optional<qint32>(8));
}

void MessageBusTest::probesAndCutShortFramesAreIgnored()
{
    Received received;
    const auto window = recordingWindow(received, 6);
    {
        UniqueFd probe = rawConnect(window->handle());
        QVERIFY(probe.valid());
        UniqueFd shortHeader = rawConnect(window->handle());
        rawWrite(shortHeader.get(), header(10).left(9));
        UniqueFd shortBody = rawConnect(window->handle());
        rawWrite(shortBody.get(), header(10) + "12345");
    }
    PeerProcess sender({"send", hexHandle(window->handle()), "0", "1", "whole"});
    QCOMPARE(sender.waitForLine("RESULT "), QString("6"));
    QCOMPARE(received.messages.size(), std::size_t(1));
    QCOMPARE(received.messages[0].data, QByteArray("whole"));
}

void MessageBusTest::oversizedBlockIsRefused()
{
    Received received;
    const auto window = recordingWindow(received);
    UniqueFd fd = rawConnect(window->handle());
    rawWrite(fd.get(), header(busMaxDataSize + 1) + "abc");
    QVERIFY(closedByPeer(fd.get(), 10000));
    QVERIFY(received.messages.empty());
}

void MessageBusTest::stalledPeerIsDroppedWithoutBlockingOthers()
{
    Received received;
    const auto window = recordingWindow(received, 3);
    UniqueFd stalled = rawConnect(window->handle());
    rawWrite(stalled.get(), header(100) + "partial");
    QElapsedTimer sinceStall;
    sinceStall.start();

    PeerProcess sender({"send", hexHandle(window->handle()), "0", "1", "meanwhile"});
    QCOMPARE(sender.waitForLine("RESULT "), QString("3"));
    QVERIFY(sinceStall.elapsed() < 4000);
    QVERIFY(!(pollOne(stalled.get(), POLLIN, 0) & (POLLIN | POLLHUP))); // still waited for

    QVERIFY(closedByPeer(stalled.get(), 15000));
    QVERIFY2(sinceStall.elapsed() >= 4500, qPrintable(QString::number(sinceStall.elapsed())));
    QCOMPARE(received.messages.size(), std::size_t(1));
}

// The same limit holds while this thread waits inside a send: a helper thread opens the
// peer's gate only once our window has dropped the stalled connection.
void MessageBusTest::stalledPeerIsDroppedWhileThisThreadSends()
{
    const QString fifo = busDir_->filePath("gate");
    QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    PeerProcess peer({"serve", "Slow", "Slow", "--result", "2", "--wait-fifo", fifo});
    const WindowHandle peerHandle = peer.waitForLine("READY ").toUInt(nullptr, 16);

    Received received;
    const auto window = recordingWindow(received);
    UniqueFd stalled = rawConnect(window->handle());
    rawWrite(stalled.get(), header(100));
    QElapsedTimer sinceStall;
    sinceStall.start();
    qint64 droppedAfter = -1;
    std::thread opener([&] {
        if (pollOne(stalled.get(), POLLIN, 20000) & (POLLIN | POLLHUP))
            droppedAfter = sinceStall.elapsed();
        QFile gate(fifo);
        if (gate.open(QIODevice::WriteOnly))
            gate.write("go\n");
    });
    const auto result = sendCopyData(peerHandle, window->handle(), 0, "slow");
    opener.join();
    QCOMPARE(result, std::optional<qint32>(2));
    QVERIFY2(droppedAfter >= 4500 && droppedAfter < 15000,
             qPrintable(QString::number(droppedAfter)));
    QVERIFY(received.messages.empty());
}

void MessageBusTest::receiverEndingWithoutResultFailsTheSend()
{
    PeerProcess peer({"serve", "Dies", "Dies", "--die"});
    const WindowHandle handle = peer.waitForLine("READY ").toUInt(nullptr, 16);
    QCOMPARE(sendCopyData(handle, 0, 0, "last words"), std::nullopt);
    QVERIFY(!peer.waitForLine("MSG ").isNull()); // the procedure had the whole frame
    QVERIFY(peer.waitForExit());
    QCOMPARE(peer.process().exitCode(), 3);
}

// Connections wait in the backlog while the receiver has no descriptor to accept them with;
// once some are freed, the waiting send is served.
void MessageBusTest::receiverOutOfDescriptorsRecovers()
{
#if defined(__SANITIZE_ADDRESS__)
    QSKIP("the sanitizer runtime needs descriptors of its own to check memory");
#endif
    PeerProcess peer({"serve", "Tight", "Tight", "--result", "4", "--fd-limit-extra", "2"});
    const QString handleText = peer.waitForLine("READY ");
    const WindowHandle handle = handleText.toUInt(nullptr, 16);
    const QDir peerFds(QString("/proc/%1/fd").arg(peer.process().processId()));
    const qsizetype before = peerFds.entryList(QDir::Files | QDir::System).size();

    std::vector<UniqueFd> held;
    for (int i = 0; i < 6; ++i)
        held.push_back(rawConnect(handle));
    QTRY_COMPARE(peerFds.entryList(QDir::Files | QDir::System).size(), before + 2);
    PeerProcess sender({"send", handleText, "0", "5", "queued"});
    QVERIFY(peer.process().state() == QProcess::Running);
    held.clear();
    QCOMPARE(sender.waitForLine("RESULT ", 20000), QString("4"));
    QCOMPARE(peer.waitForLine("MSG "), QString("00000000 5 6 queued"));
}

// Needs root to become another user; the bus directory then has to let that user reach the
// socket, which the rules allow (search permission only).
void MessageBusTest::foreignUserIsDropped()
{
    if (::getuid() != 0)
        QSKIP("only root can run a peer as another user");
    Received received;
    const auto window = recordingWindow(received, 1);
    const QString socket = busDir_->filePath(hexHandle(window->handle()) + ".sock");
    QVERIFY(::chmod(QFile::encodeName(busDir_->path()).constData(), 0711) == 0);
    QVERIFY(::chmod(QFile::encodeName(socket).constData(), 0777) == 0);

    PeerProcess foreign({"foreign-send", socket, "65534"});
    QCOMPARE(foreign.waitForLine("", 20000), QString("DROPPED"));
    QVERIFY(received.messages.empty());
}

void MessageBusTest::insecureDirectoryIsRefused_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("owner");
    QTest::addColumn<QString>("message");
    QTest::newRow("others write") << 0703 << -1 << "other users";
    QTest::newRow("group write") << 0730 << -1 << "other users";
    QTest::newRow("others read") << 0704 << -1 << "other users";
    QTest::newRow("another owner") << 0700 << 65534 << "another user";
}

void MessageBusTest::insecureDirectoryIsRefused()
{
    QFETCH(int, mode);
    QFETCH(int, owner);
    QFETCH(QString, message);
    const QByteArray path = QFile::encodeName(busDir_->path());
    if (owner >= 0 && ::getuid() != 0)
        QSKIP("only root can give a directory away");
    QVERIFY(::chmod(path.constData(), mode_t(mode)) == 0);
    if (owner >= 0)
        QVERIFY(::chown(path.constData(), uid_t(owner), gid_t(-1)) == 0);

    const auto refused = [&](auto &&use) {
        try {
            use();
        } catch (const Exception &error) {
            return QString::fromUtf8(error.what()).contains(message) &&
                   QString::fromUtf8(error.what()).contains(busDir_->path());
        }
        return false;
    };
    QVERIFY(refused([] { BusWindow("C", "W"); }));
    QVERIFY(refused([] { findWindow("C", "W"); }));
    QVERIFY(refused([] { sendCopyData(0x12345678, 0, 0, "x"); }));
    QVERIFY(refused([] { busDirectory(); }));
    QVERIFY(::chmod(path.constData(), 0700) == 0); // so that it can be removed
}

void MessageBusTest::tooLongSocketPathIsRefused()
{
    const QString deep = busDir_->filePath(QString(110, 'd'));
    qputenv("TORVANE_BUS_DIR", QFile::encodeName(deep));
    try {
        BusWindow window("C", "W");
        QFAIL("a window was made on a socket path that does not fit");
    } catch (const Exception &error) {
        QVERIFY2(QString::fromUtf8(error.what()).contains("too long"), error.what());
    }
    QVERIFY(QDir(deep).entryList(QDir::Files | QDir::System | QDir::Hidden).isEmpty());
}

void MessageBusTest::missingWindowFailsTheSend()
{
    QCOMPARE(sendCopyData(0, 0, 0, "x"), std::nullopt);
    QCOMPARE(sendCopyData(0x0badf00d, 0, 0, "x"), std::nullopt);
    QVERIFY(!isWindow(0));
    QVERIFY(!isWindow(0x0badf00d));
}

QTEST_GUILESS_MAIN(MessageBusTest)
#include "tst_MessageBus.moc"
