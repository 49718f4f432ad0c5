// What the substitute server answers, without the bus: the content directory's boundary,
// the settings file, the registry of clients and the start of programs.
#include "StdStringCompare.h"
#include "hostlink/CommandCodes.h"
#include "hostlink/MentaroMessageStream.h"
#include "platform/Exception.h"
#include "server/ServerCore.h"
#include "server/ServerOptions.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <set>

Q_DECLARE_METATYPE(std::string)

namespace {

struct Launch
{
    QString program;
    QStringList arguments;
    QString workingDirectory;
};

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

TMentaroMessageStream request(const std::function<void(TMentaroMessageStream &)> &write)
{
    TMentaroMessageStream message;
    write(message);
    message.Seek(0);
    return message;
}

TMentaroMessageStream replyOf(const ServerCore::Outcome &outcome)
{
    TMentaroMessageStream reply;
    if (outcome.reply)
        reply.Write(outcome.reply->constData(), outcome.reply->size());
    reply.Seek(0);
    return reply;
}

TEntity client(quint32 handle, const std::string &title, quint32 lock = 0)
{
    TEntity entity;
    entity.Handle = handle;
    entity.LockHandle = lock;
    entity.setTitle(title);
    entity.setExeName("/opt/" + title);
    return entity;
}

} // namespace

class TestServerCore : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void files_data();
    void files();
    void mapFileName();
    void settingsAndStrings();
    void workAreaIsAlwaysTheContentDirectory();
    void registration();
    void titleLookupPrefersTheLockHolder();
    void deadClientsAreForgotten();
    void execute();
    void truncatedRequestsFail_data();
    void truncatedRequestsFail();
    void options();

private:
    std::unique_ptr<ServerCore> makeCore(const std::string &settingsText = {});

    std::unique_ptr<QTemporaryDir> m_root;
    QString m_content;
    std::set<quint32> m_alive;
    std::vector<Launch> m_launches;
    qint64 m_nextPid = 4242;
};

void TestServerCore::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    QVERIFY(m_root->isValid());
    m_content = m_root->filePath(QStringLiteral("content"));
    QVERIFY(QDir().mkpath(m_content + "/sub"));
    writeFile(m_content + "/book.itl", "[Exit]=Ende|$$");
    writeFile(m_content + "/empty.txt", "");
    writeFile(m_content + "/sub/inner.txt", "inner");
    writeFile(m_root->filePath("secret.txt"), "secret");
    QVERIFY(QFile::link(m_root->filePath("secret.txt"), m_content + "/escape.txt"));
    QVERIFY(QFile::link(m_content + "/sub/inner.txt", m_content + "/link.txt"));
    QVERIFY(QFile::link(m_root->path(), m_content + "/up"));
    m_alive.clear();
    m_launches.clear();
}

std::unique_ptr<ServerCore> TestServerCore::makeCore(const std::string &settingsText)
{
    return std::make_unique<ServerCore>(
        ContentDirectory(m_content), ServerSettings::fromText(settingsText),
        [this](quint32 handle) { return m_alive.count(handle) != 0; },
        [this](const QString &program, const QStringList &arguments, const QString &directory) {
            m_launches.push_back({program, arguments, directory});
            return program.endsWith(u"missing") ? qint64(0) : m_nextPid;
        });
}

void TestServerCore::files_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("available");
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("relative") << "book.itl" << true << QByteArray("[Exit]=Ende|$$");
    QTest::newRow("absolute inside") << "@/sub/inner.txt" << true << QByteArray("inner");
    QTest::newRow("empty file") << "empty.txt" << true << QByteArray();
    QTest::newRow("link inside") << "link.txt" << true << QByteArray("inner");
    QTest::newRow("dot dot inside") << "sub/../book.itl" << true << QByteArray("[Exit]=Ende|$$");
    QTest::newRow("dot dot out") << "../secret.txt" << false << QByteArray();
    QTest::newRow("absolute outside") << "#/secret.txt" << false << QByteArray();
    QTest::newRow("link escaping") << "escape.txt" << false << QByteArray();
    QTest::newRow("directory link escaping") << "up/secret.txt" << false << QByteArray();
    QTest::newRow("directory") << "sub" << false << QByteArray();
    QTest::newRow("missing") << "nothing.txt" << false << QByteArray();
    QTest::newRow("empty name") << "" << false << QByteArray();
    QTest::newRow("etc passwd") << "/etc/passwd" << false << QByteArray();
}

void TestServerCore::files()
{
    QFETCH(QString, name);
    QFETCH(bool, available);
    QFETCH(QByteArray, content);
    name.replace(u'@', m_content).replace(u'#', m_root->path());
    auto core = makeCore();
    TMentaroMessageStream message =
        request([&](TMentaroMessageStream &m) { m.WriteString(name.toStdString()); });
    TMentaroMessageStream reply = replyOf(core->handle(kdbGetFile, 1, message));
    QCOMPARE(reply.ReadByte(), quint8(available ? 1 : 0));
    QCOMPARE(reply.RemainingContent(), content);
}

void TestServerCore::mapFileName()
{
    auto core = makeCore();
    const std::string directory = QDir(m_content).canonicalPath().toStdString() + "/";
    for (const std::string &path :
         {std::string("C:\\Books\\book.exe"), std::string("/opt/book.exe")}) {
        TMentaroMessageStream message =
            request([&](TMentaroMessageStream &m) { m.WriteString(path); });
        TMentaroMessageStream reply = replyOf(core->handle(kdbMapFileName, 1, message));
        QCOMPARE(reply.ReadString(), directory + "book.exe");
    }
}

void TestServerCore::settingsAndStrings()
{
    auto core =
        makeCore("# comment\nColor = red \n[strings]\nping=pong\n[settings]\nSize=3\nbad line\n");
    const auto ask = [&](quint32 command, const std::string &text) {
        TMentaroMessageStream message =
            request([&](TMentaroMessageStream &m) { m.WriteString(text); });
        return replyOf(core->handle(command, 1, message)).ReadString();
    };
    QCOMPARE(ask(kdbGetEnvValue, "Color"), std::string("red"));
    QCOMPARE(ask(kdbGetEnvValue, "Size"), std::string("3"));
    QCOMPARE(ask(kdbGetEnvValue, "color"), std::string());
    QCOMPARE(ask(kdbGetEnvValue, "ping"), std::string());
    QCOMPARE(ask(kdbQueryString, "ping"), std::string("pong"));
    QCOMPARE(ask(kdbQueryString, "Color"), std::string());
}

void TestServerCore::workAreaIsAlwaysTheContentDirectory()
{
    auto core = makeCore("TorvaneWorkArea=/elsewhere/\nTorvaneHomeDir=/home/books/\n");
    const std::string directory = QDir(m_content).canonicalPath().toStdString() + "/";
    const auto ask = [&](const std::string &name) {
        TMentaroMessageStream message =
            request([&](TMentaroMessageStream &m) { m.WriteString(name); });
        return replyOf(core->handle(kdbGetEnvValue, 1, message)).ReadString();
    };
    QCOMPARE(ask("TorvaneWorkArea"), directory);
    QCOMPARE(ask("TorvaneHomeDir"), std::string("/home/books/"));
    QCOMPARE(ask("TorvaneWorkArea").back(), '/');
    auto plain = makeCore();
    TMentaroMessageStream message =
        request([](TMentaroMessageStream &m) { m.WriteString("TorvaneHomeDir"); });
    QCOMPARE(replyOf(plain->handle(kdbGetEnvValue, 1, message)).ReadString(), directory);
}

void TestServerCore::registration()
{
    auto core = makeCore();
    m_alive = {0x10, 0x20};
    for (const TEntity &entity : {client(0x10, "Demo"), client(0x20, "Other")}) {
        TEntity copy = entity;
        TMentaroMessageStream message = request([&](TMentaroMessageStream &m) { copy.WriteTo(m); });
        QVERIFY(!core->handle(kdbRegister, copy.Handle, message).reply);
    }
    const auto findByHandle = [&](quint32 handle) {
        TMentaroMessageStream message = request([&](TMentaroMessageStream &m) {
            m.WriteByte(kdbFindByHandle);
            m.WriteUInt32(handle);
        });
        return replyOf(core->handle(kdbFindPeer, 1, message));
    };
    TMentaroMessageStream found = findByHandle(0x20);
    TEntity entity;
    entity.ReadFrom(found);
    QCOMPARE(entity.Handle, 0x20u);
    QCOMPARE(entity.storedTitle(), std::string("Other"));
    QCOMPARE(entity.storedExeName(), std::string("/opt/Other"));
    QCOMPARE(findByHandle(0x30).Size(), 0);

    TEntity gone = client(0x20, "Other");
    TMentaroMessageStream message = request([&](TMentaroMessageStream &m) { gone.WriteTo(m); });
    QVERIFY(!core->handle(kdbUnregister, 0x20, message).reply);
    QCOMPARE(findByHandle(0x20).Size(), 0);
    QCOMPARE(core->clients().clients().size(), size_t(1));
}

void TestServerCore::titleLookupPrefersTheLockHolder()
{
    auto core = makeCore();
    m_alive = {1, 2, 3};
    core->clients().add(client(1, "Demo"));
    core->clients().add(client(2, "Demo"));
    const auto findByTitle = [&](const std::string &title) {
        TMentaroMessageStream message = request([&](TMentaroMessageStream &m) {
            m.WriteByte(kdbFindByTitle);
            m.WriteString(title);
        });
        TMentaroMessageStream reply = replyOf(core->handle(kdbFindPeer, 9, message));
        TEntity entity;
        if (reply.Size() > 0)
            entity.ReadFrom(reply);
        return entity.Handle;
    };
    QCOMPARE(findByTitle("DEMO"), 1u);
    core->clients().add(client(2, "Demo", 7)); // registers again, now holding its lock
    QCOMPARE(findByTitle("demo"), 2u);
    QCOMPARE(core->clients().clients().size(), size_t(2));
    QCOMPARE(findByTitle("Nobody"), 0u);
}

void TestServerCore::deadClientsAreForgotten()
{
    auto core = makeCore();
    m_alive = {1};
    core->clients().add(client(1, "Demo"));
    QVERIFY(core->clients().findByTitle("Demo"));
    m_alive.clear();
    QVERIFY(!core->clients().findByTitle("Demo"));
    QVERIFY(core->clients().clients().empty());
}

void TestServerCore::execute()
{
    auto core = makeCore();
    writeFile(m_content + "/tool.sh", "#!/bin/sh\n");
    const auto run = [&](const std::string &file, const std::string &arguments) {
        TMentaroMessageStream message = request([&](TMentaroMessageStream &m) {
            m.WriteString(file);
            m.WriteString(arguments);
            m.WriteByte(1);
            m.WriteInt32(5);
        });
        return replyOf(core->handle(kdbExecute, 1, message)).ReadInt32();
    };
    QCOMPARE(run("/bin/echo", "one \"two words\""), 4242);
    QCOMPARE(m_launches.back().program, QStringLiteral("/bin/echo"));
    QCOMPARE(m_launches.back().arguments, (QStringList{"one", "two words"}));
    QCOMPARE(m_launches.back().workingDirectory, QDir(m_content).canonicalPath() + "/");
    QCOMPARE(run("tool.sh", ""), 4242);
    QCOMPARE(m_launches.back().program, QDir(m_content).canonicalPath() + "/tool.sh");
    QCOMPARE(run("/bin/missing", ""), 0);
    const size_t launches = m_launches.size();
    QCOMPARE(run("", ""), 0);
    QCOMPARE(m_launches.size(), launches);
    m_nextPid = qint64(1) << 40;
    QCOMPARE(run("/bin/echo", ""), 0);
}

void TestServerCore::truncatedRequestsFail_data()
{
    QTest::addColumn<quint32>("command");
    QTest::addColumn<QByteArray>("payload");
    QTest::newRow("register empty") << quint32(kdbRegister) << QByteArray();
    QTest::newRow("find without key") << quint32(kdbFindPeer) << QByteArray("\x02", 1);
    QTest::newRow("find handle short") << quint32(kdbFindPeer) << QByteArray("\x01\x01\x02", 3);
    QTest::newRow("execute without option")
        << quint32(kdbExecute) << QByteArray("\0\0\0\0\0\0\0\0\x01", 9);
    QTest::newRow("file name past end") << quint32(kdbGetFile) << QByteArray("\x09\0\0\0ab", 6);
    QTest::newRow("setting cut") << quint32(kdbGetEnvValue) << QByteArray("\x01\0", 2);
}

void TestServerCore::truncatedRequestsFail()
{
    QFETCH(quint32, command);
    QFETCH(QByteArray, payload);
    auto core = makeCore();
    TMentaroMessageStream message =
        request([&](TMentaroMessageStream &m) { m.Write(payload.constData(), payload.size()); });
    QVERIFY_THROWS_EXCEPTION(platform::EReadError, core->handle(command, 1, message));
    QVERIFY(m_launches.empty());
}

void TestServerCore::options()
{
    const auto parse = [](const QStringList &arguments) {
        return ServerOptions::parse(QStringList{"mentaro-server"} + arguments);
    };
    ServerOptions plain = parse({});
    QCOMPARE(plain.suffix, std::string("00000000"));
    QVERIFY(plain.mode == ServerOptions::Mode::Serve);
    ServerOptions params = parse({"--suffix", "ab", "--send-params", "Demo", "/p", "--x"});
    QVERIFY(params.mode == ServerOptions::Mode::SendParams);
    QCOMPARE(params.suffix, std::string("ab"));
    QCOMPARE(params.params, (std::vector<std::string>{"/p", "--x"}));
    ServerOptions quit = parse({"--send-quit", "Demo", "--server-down"});
    QVERIFY(quit.mode == ServerOptions::Mode::SendQuit && quit.serverDown);
    ServerOptions command = parse({"--send-command", "Demo", "0x1389", "hi"});
    QCOMPARE(command.command, 5001u);
    QCOMPARE(command.payload, std::string("hi"));
    QVERIFY_THROWS_EXCEPTION(platform::Exception, parse({"--suffix"}));
    QVERIFY_THROWS_EXCEPTION(platform::Exception, parse({"--send-command", "Demo", "x"}));
    QVERIFY_THROWS_EXCEPTION(platform::Exception, parse({"--bogus"}));
}

QTEST_GUILESS_MAIN(TestServerCore)
#include "tst_server_core.moc"
