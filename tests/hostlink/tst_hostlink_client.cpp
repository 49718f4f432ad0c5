// The client component against a scripted server window in the same process: every request
// and its reply, replies that arrive during a request, quit notices and broken messages.
#include "StdStringCompare.h"
#include "hostlink/CommandCodes.h"
#include "hostlink/EMentaro.h"
#include "hostlink/KdbDemonClient.h"
#include "hostlink/ServerDiscovery.h"
#include "platform/Exception.h"
#include "platform/ExePath.h"
#include "platform/MessageBus.h"
#include "tests/common/ModalWatcher.h"
#include "translate/Lexaro2000.h"

#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Received
{
    quint32 command = 0;
    quint32 from = 0;
    QByteArray payload;
};

// A server window whose answers the test scripts. By default it answers nothing.
class FakeServer
{
public:
    using Script = std::function<void(FakeServer &, const TMentaroMessageStream &)>;

    FakeServer() : m_window(ServerWindowClassName(""), ServerWindowName(""))
    {
        m_window.setProcedure([this](const platform::CopyDataMessage &message) {
            auto request = TMentaroMessageStream::FromDataBlock(nullptr, message.wParam,
                                                                message.dwData, message.data);
            received.push_back({message.dwData, message.wParam, request->Content()});
            if (script)
                script(*this, *request);
            return 0;
        });
    }

    quint32 handle() const { return m_window.handle(); }

    void send(quint32 target, quint32 command, qint32 time, qint32 date, const QByteArray &payload)
    {
        TMentaroMessageStream message;
        message.Time = time;
        message.Date = date;
        message.Write(payload.constData(), payload.size());
        platform::sendCopyData(target, handle(), command, message.ToDataBlock());
    }

    void reply(const TMentaroMessageStream &request, const QByteArray &payload)
    {
        send(request.Sender.Handle, kdbReply, request.Time, request.Date, payload);
    }

    std::vector<quint32> commands() const
    {
        std::vector<quint32> codes;
        for (const Received &r : received)
            codes.push_back(r.command);
        return codes;
    }

    Script script;
    std::vector<Received> received;

private:
    platform::BusWindow m_window;
};

QByteArray counted(const std::string &text)
{
    TMentaroMessageStream message;
    message.WriteString(text);
    return message.Content();
}

QByteArray record(quint32 handle, quint32 lock, const std::string &exe, const std::string &title)
{
    TEntity entity;
    entity.Handle = handle;
    entity.LockHandle = lock;
    entity.setExeName(exe);
    entity.setTitle(title);
    TMentaroMessageStream message;
    entity.WriteTo(message);
    return message.Content();
}

std::string exePath()
{
    return platform::executablePath().toStdString();
}

} // namespace

class TestHostlinkClient : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void requestsAndReplies();
    void fileStreams();
    void envValueWithoutServer();
    void emptyNamesAreRefreshedFromTheServer();
    void unansweredRequests();
    void executeFailures();
    void replyDuringNestedRequest();
    void unclaimedReplies();
    void quitDuringRequestWaitsForIt();
    void quitNotices_data();
    void quitNotices();
    void quitWithoutItsByte();
    void shortBlockIsReported();
    void paramsMessages();
    void loadedRegistersAndLoadsTheLanguage();
    void withoutServerUseNoRegistration();
    void connectWithoutServerFails();

private:
    std::unique_ptr<TkdbDemonClient> makeClient(bool useServer = true);

    std::unique_ptr<QTemporaryDir> m_bus;
    std::unique_ptr<FakeServer> m_server;
    std::unique_ptr<QObject> m_owner;
    QStringList m_boxes;
};

void TestHostlinkClient::initTestCase()
{
    qputenv("TORVANE_REGISTRY", "/nonexistent/registry.reg");
    new ModalWatcher(
        [this](QDialog *dialog) {
            if (auto *box = qobject_cast<QMessageBox *>(dialog))
                m_boxes << box->text();
        },
        this);
}

void TestHostlinkClient::init()
{
    m_bus = std::make_unique<QTemporaryDir>();
    QVERIFY(m_bus->isValid());
    qputenv("TORVANE_BUS_DIR", m_bus->filePath("bus").toLocal8Bit());
    m_server = std::make_unique<FakeServer>();
    m_owner = std::make_unique<QObject>();
    m_boxes.clear();
}

void TestHostlinkClient::cleanup()
{
    const char *const expectsBox[] = {"quitWithoutItsByte", "shortBlockIsReported"};
    if (std::find(std::begin(expectsBox), std::end(expectsBox),
                  std::string_view(QTest::currentTestFunction())) == std::end(expectsBox)) {
        QCoreApplication::processEvents();
        QCOMPARE(m_boxes, QStringList());
    }
    m_owner.reset();
    m_server.reset();
    m_bus.reset();
}

std::unique_ptr<TkdbDemonClient> TestHostlinkClient::makeClient(bool useServer)
{
    auto client = std::make_unique<TkdbDemonClient>(nullptr);
    client->setUseTorvaneServer(useServer);
    return client;
}

void TestHostlinkClient::requestsAndReplies()
{
    auto client = makeClient();
    QCOMPARE(client->ServerEntity.Handle, m_server->handle());
    QVERIFY(client->OwnEntity.Handle != 0);
    m_server->script = [](FakeServer &server, const TMentaroMessageStream &request) {
        TMentaroMessageStream copy;
        copy.CopyFromMessage(request);
        switch (request.Command) {
        case kdbFindPeer:
            if (copy.ReadByte() == kdbFindByTitle && copy.ReadString() == "Peer")
                server.reply(request, record(0x77, 3, "/opt/peer", "Peer"));
            else
                server.reply(request, QByteArray());
            break;
        case kdbExecute:
            server.reply(request, QByteArray("\x39\x30\0\0", 4));
            break;
        case kdbMapFileName:
            server.reply(request, counted("/content/" + copy.ReadString()));
            break;
        case kdbQueryString:
            server.reply(request, counted("answer to " + copy.ReadString()));
            break;
        case kdbGetEnvValue:
            server.reply(request, counted("value of " + copy.ReadString()));
            break;
        default:
            break;
        }
    };
    const std::unique_ptr<TEntity> peer = client->FindPeerByTitle("Peer");
    QVERIFY(peer);
    QCOMPARE(peer->Handle, 0x77u);
    QCOMPARE(peer->LockHandle, 3u);
    QCOMPARE(peer->ExeName(), std::string("/opt/peer"));
    QCOMPARE(peer->Title(), std::string("Peer"));
    QCOMPARE(peer->Owner, client.get());
    QVERIFY(!client->FindPeerByTitle("Nobody"));
    QVERIFY(!client->FindPeerByHandle(0x1234));
    QCOMPARE(client->Execute("tool", "-a b", false, 7), 12345);
    QCOMPARE(client->MapFileName("demo.exe"), std::string("/content/demo.exe"));
    QCOMPARE(client->QueryServerString("q"), std::string("answer to q"));
    QCOMPARE(client->GetEnvValue("TorvaneWorkArea"), std::string("value of TorvaneWorkArea"));

    const auto &received = m_server->received;
    QCOMPARE(m_server->commands(),
             (std::vector<quint32>{kdbFindPeer, kdbFindPeer, kdbFindPeer, kdbExecute,
                                   kdbMapFileName, kdbQueryString, kdbGetEnvValue}));
    for (const Received &r : received)
        QCOMPARE(r.from, client->OwnEntity.Handle);
    QCOMPARE(received[0].payload, QByteArray("\x02") + counted("Peer"));
    QCOMPARE(received[2].payload, QByteArray("\x01\x34\x12\0\0", 5));
    QCOMPARE(received[3].payload,
             counted("tool") + counted("-a b") + QByteArray("\0\x07\0\0\0", 5));
}

void TestHostlinkClient::fileStreams()
{
    auto client = makeClient();
    m_server->script = [](FakeServer &server, const TMentaroMessageStream &request) {
        if (request.Command != kdbGetFile)
            return;
        TMentaroMessageStream copy;
        copy.CopyFromMessage(request);
        const std::string name = copy.ReadString();
        if (name == "full")
            server.reply(request, QByteArray("\x01"
                                             "abc\0d",
                                             6));
        else if (name == "empty")
            server.reply(request, QByteArray("\x01"));
        else
            server.reply(request, QByteArray(1, '\0'));
    };
    const auto full = client->GetFileStream("full");
    QVERIFY(full);
    QCOMPARE(full->pos(), 0);
    QCOMPARE(full->readAll(), QByteArray("abc\0d", 5));
    const auto empty = client->GetFileStream("empty");
    QVERIFY(empty);
    QCOMPARE(empty->size(), 0);
    QVERIFY(!client->GetFileStream("missing"));
}

void TestHostlinkClient::envValueWithoutServer()
{
    auto client = makeClient(false);
    const std::string directory = platform::directoryPart(platform::executablePath()).toStdString();
    QCOMPARE(directory.back(), '/');
    QCOMPARE(client->GetEnvValue("TorvaneWorkArea"), directory);
    QCOMPARE(client->GetEnvValue("TorvaneHomeDir"), directory);
    QCOMPARE(client->GetEnvValue("torvaneworkarea"), std::string());
    QCOMPARE(client->GetEnvValue("Other"), std::string());
    QVERIFY(m_server->received.empty());
}

void TestHostlinkClient::emptyNamesAreRefreshedFromTheServer()
{
    auto client = makeClient();
    bool answer = true;
    m_server->script = [&answer](FakeServer &server, const TMentaroMessageStream &request) {
        if (request.Command == kdbFindPeer && answer)
            server.reply(request, record(0x55, 2, "/opt/peer", "Peer"));
        else if (request.Command == kdbFindPeer)
            server.reply(request, QByteArray());
    };
    TEntity known(client.get());
    known.Handle = 0x55;
    QCOMPARE(known.Title(), std::string("Peer"));
    QCOMPARE(known.LockHandle, 2u);
    QCOMPARE(known.ExeName(), std::string("/opt/peer"));
    QCOMPARE(m_server->received.size(), size_t(1));
    QCOMPARE(m_server->received[0].payload, QByteArray("\x01\x55\0\0\0", 5));

    answer = false;
    TEntity unknown(client.get());
    unknown.Handle = 0x66;
    TMentaroMessageStream message;
    unknown.WriteTo(message);
    QCOMPARE(message.Content(), QByteArray("\x66\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 16));
    QCOMPARE(m_server->received.size(), size_t(3));
}

void TestHostlinkClient::unansweredRequests()
{
    for (bool serverRuns : {true, false}) {
        if (!serverRuns)
            m_server.reset();
        auto client = makeClient();
        QCOMPARE(client->ServerEntity.Handle != 0, serverRuns);
        QVERIFY(!client->FindPeerByTitle("x"));
        QVERIFY(!client->FindPeerByHandle(1));
        QVERIFY_THROWS_EXCEPTION(platform::EReadError, client->Execute("x", "", false, 0));
        QVERIFY_THROWS_EXCEPTION(platform::EReadError, client->GetFileStream("x"));
        QVERIFY_THROWS_EXCEPTION(platform::EReadError, client->MapFileName("x"));
        QVERIFY_THROWS_EXCEPTION(platform::EReadError, client->QueryServerString("x"));
        QVERIFY_THROWS_EXCEPTION(platform::EReadError, client->GetEnvValue("x"));
        client->RegisterWithServer();
        client->UnregisterFromServer();
    }
}

void TestHostlinkClient::executeFailures()
{
    auto client = makeClient();
    qint32 pid = 0;
    m_server->script = [&pid](FakeServer &server, const TMentaroMessageStream &request) {
        TMentaroMessageStream reply;
        reply.WriteInt32(pid);
        server.reply(request, reply.Content());
    };
    try {
        client->Execute("demo.exe", "", false, 0);
        QFAIL("a process id of 0 was taken as a start");
    } catch (const EMentaro &error) {
        QCOMPARE(std::string(error.what()), std::string("Could not execute \"demo.exe.\""));
    }
    // No such process to wait for.
    pid = 0x7ffffff0;
    QCOMPARE(client->Execute("demo.exe", "", false, 0), pid);
    QVERIFY_THROWS_EXCEPTION(EMentaro, client->Execute("demo.exe", "", true, 0));
}

void TestHostlinkClient::replyDuringNestedRequest()
{
    auto client = makeClient();
    std::string nested;
    client->OnGotAMessage = [&nested](TkdbCustomDemon *sender, TMentaroMessageStream &) {
        nested = sender->GetEnvValue("Inner");
    };
    m_server->script = [](FakeServer &server, const TMentaroMessageStream &request) {
        if (request.Command != kdbQueryString && request.Command != kdbGetEnvValue)
            return;
        TMentaroMessageStream copy;
        copy.CopyFromMessage(request);
        const std::string text = copy.ReadString();
        if (request.Command == kdbQueryString)
            server.send(request.Sender.Handle, 5000, 0, 0, QByteArray("poke"));
        server.reply(request, counted("reply to " + text));
    };
    QCOMPARE(client->QueryServerString("Outer"), std::string("reply to Outer"));
    QCOMPARE(nested, std::string("reply to Inner"));
    QCOMPARE(client->PendingReplyCount(), size_t(0));
}

void TestHostlinkClient::unclaimedReplies()
{
    auto client = makeClient();
    m_server->script = [](FakeServer &server, const TMentaroMessageStream &request) {
        if (request.Command != kdbQueryString)
            return;
        TMentaroMessageStream copy;
        copy.CopyFromMessage(request);
        if (copy.ReadString() == "twice") {
            server.reply(request, counted("first"));
            server.reply(request, counted("second"));
        } else {
            server.send(request.Sender.Handle, kdbReply, request.Time + 1, request.Date,
                        counted("late"));
        }
    };
    QVERIFY_THROWS_EXCEPTION(platform::EReadError, client->QueryServerString("stale"));
    QCOMPARE(client->PendingReplyCount(), size_t(1));
    QCOMPARE(client->QueryServerString("twice"), std::string("first"));
    QCOMPARE(client->PendingReplyCount(), size_t(2));
}

void TestHostlinkClient::quitDuringRequestWaitsForIt()
{
    QPointer<TkdbDemonClient> client = new TkdbDemonClient(m_owner.get());
    bool aliveAfterReply = false;
    m_server->script = [](FakeServer &server, const TMentaroMessageStream &request) {
        if (request.Command != kdbQueryString)
            return;
        server.send(request.Sender.Handle, kdbQuit, 0, 0, QByteArray(1, '\0'));
        server.reply(request, counted("still here"));
    };
    QCOMPARE(client->QueryServerString("q"), std::string("still here"));
    aliveAfterReply = !client.isNull() && client->PendingReplyCount() == 0;
    QVERIFY(aliveAfterReply);
    QTRY_VERIFY(client.isNull());
    // ServerDown was not set, so it said goodbye to the server.
    QCOMPARE(m_server->commands().back(), quint32(kdbUnregister));
}

void TestHostlinkClient::quitNotices_data()
{
    QTest::addColumn<bool>("serverDown");
    QTest::addColumn<bool>("allowQuit");
    QTest::newRow("quit") << false << true;
    QTest::newRow("server down") << true << true;
    QTest::newRow("refused") << false << false;
}

void TestHostlinkClient::quitNotices()
{
    QFETCH(bool, serverDown);
    QFETCH(bool, allowQuit);
    QPointer<TkdbDemonClient> client = new TkdbDemonClient(m_owner.get());
    std::vector<bool> seen;
    client->OnQuitMsgReceived = [&](TkdbCustomDemon *, bool down, bool &allow) {
        seen.push_back(down);
        QVERIFY(allow);
        allow = allowQuit;
    };
    m_server->send(client->OwnEntity.Handle, kdbQuit, 0, 0, QByteArray(1, serverDown ? 7 : 0));
    QCOMPARE(seen, std::vector<bool>{serverDown});
    if (!allowQuit) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!client.isNull());
        return;
    }
    QTRY_VERIFY(client.isNull());
    const bool unregistered =
        !m_server->commands().empty() && m_server->commands().back() == kdbUnregister;
    QCOMPARE(unregistered, !serverDown);
}

void TestHostlinkClient::quitWithoutItsByte()
{
    QPointer<TkdbDemonClient> client = new TkdbDemonClient(m_owner.get());
    bool called = false;
    client->OnQuitMsgReceived = [&](TkdbCustomDemon *, bool, bool &) { called = true; };
    m_server->send(client->OwnEntity.Handle, kdbQuit, 0, 0, QByteArray());
    QTRY_COMPARE(m_boxes, QStringList{"Stream read error"});
    QVERIFY(!called);
    QVERIFY(!client.isNull());
}

void TestHostlinkClient::shortBlockIsReported()
{
    auto client = makeClient();
    bool called = false;
    client->OnGotAMessage = [&](TkdbCustomDemon *, TMentaroMessageStream &) { called = true; };
    client->OnParamsChange = [&](TkdbCustomDemon *) { called = true; };
    const auto result = platform::sendCopyData(client->OwnEntity.Handle, m_server->handle(),
                                               kdbParams, QByteArray("abc"));
    QCOMPARE(result, std::optional<qint32>(0));
    QVERIFY(m_boxes.isEmpty()); // shown from the event loop, not inside the window procedure
    QTRY_COMPARE(m_boxes, QStringList{"Integer overflow"});
    QVERIFY(!called);
}

void TestHostlinkClient::paramsMessages()
{
    auto client = makeClient();
    int changes = 0;
    client->OnParamsChange = [&](TkdbCustomDemon *sender) {
        QCOMPARE(sender, client.get());
        ++changes;
    };
    m_server->send(client->OwnEntity.Handle, kdbParams, 0, 0, "/other/prog\r\nA\nb c\r");
    QCOMPARE(changes, 1);
    QCOMPARE(client->Params(), (std::vector<std::string>{"/other/prog", "A", "b c"}));
    QCOMPARE(client->ParamCount(), 2);
    QCOMPARE(client->ParamStr(0), exePath());
    QCOMPARE(client->ParamStr(2), std::string("b c"));
    try {
        client->ParamStr(3);
        QFAIL("index past the end accepted");
    } catch (const EMentaro &error) {
        QCOMPARE(std::string(error.what()), std::string("Illegal \"ParamStr\" parameter: 3"));
    }
    QVERIFY_THROWS_EXCEPTION(EMentaro, client->ParamStr(-1));

    m_server->send(client->OwnEntity.Handle, kdbParams, 0, 0, QByteArray());
    QCOMPARE(changes, 2);
    QCOMPARE(client->ParamCount(), -1);
    try {
        client->ParamStr(0);
        QFAIL("ParamStr(0) of an empty list accepted");
    } catch (const EMentaro &error) {
        QCOMPARE(std::string(error.what()), std::string("Illegal \"ParamStr\" parameter: 0"));
    }
}

void TestHostlinkClient::loadedRegistersAndLoadsTheLanguage()
{
    const std::string itlName = "/content/tst_hostlink_client.itl";
    m_server->script = [&](FakeServer &server, const TMentaroMessageStream &request) {
        TMentaroMessageStream copy;
        copy.CopyFromMessage(request);
        if (request.Command == kdbMapFileName)
            server.reply(request,
                         counted("/content/" + copy.ReadString().substr(exePath().rfind('/') + 1)));
        if (request.Command == kdbGetFile)
            server.reply(request, copy.ReadString() == itlName ? QByteArray("\x01[Exit]=Ende|$$")
                                                               : QByteArray(1, '\0'));
    };
    QWidget window;
    auto *label = new QLabel(QStringLiteral("LX_Exit"), &window);
    auto *client = new TkdbDemonClient(&window);
    client->Loaded();
    QVERIFY(!client->terminationRequested());
    QVERIFY(client->OwnEntity.LockHandle != 0);
    QCOMPARE(label->text(), QStringLiteral("Ende"));
    std::string value;
    client->Translator()->Translate("Exit", {}, value);
    QCOMPARE(value, std::string("Ende"));
    QCOMPARE(m_server->commands(),
             (std::vector<quint32>{kdbRegister, kdbMapFileName, kdbGetFile, kdbRegister}));
    TMentaroMessageStream first;
    first.Write(m_server->received[0].payload.constData(), m_server->received[0].payload.size());
    first.Seek(0);
    TEntity registered;
    registered.ReadFrom(first);
    QCOMPARE(registered.Handle, client->OwnEntity.Handle);
    QCOMPARE(registered.LockHandle, 0u);
    QCOMPARE(registered.storedExeName(), exePath());
    QCOMPARE(registered.storedTitle(), std::string("Tst_hostlink_client"));
    delete client;
    QCOMPARE(m_server->commands().back(), quint32(kdbUnregister));
}

void TestHostlinkClient::withoutServerUseNoRegistration()
{
    QWidget window;
    auto *label = new QLabel(QStringLiteral("LX_Exit"), &window);
    auto *client = new TkdbDemonClient(&window);
    client->setUseTorvaneServer(false);
    client->Loaded();
    // No language file beside the test: the window is translated with an empty dictionary.
    QCOMPARE(label->text(), QStringLiteral("Exit"));
    QVERIFY(m_server->received.empty());
    delete client;
    QCOMPARE(m_server->commands(), std::vector<quint32>{kdbUnregister});
}

void TestHostlinkClient::connectWithoutServerFails()
{
    m_server.reset();
    auto client = makeClient();
    try {
        client->Loaded();
        QFAIL("loaded without a server");
    } catch (const EMentaro &error) {
        QCOMPARE(std::string(error.what()),
                 std::string("Mentaro server application is not running"));
    }
}

QTEST_MAIN(TestHostlinkClient)
#include "tst_hostlink_client.moc"
