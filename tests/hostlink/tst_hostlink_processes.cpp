// The host link between real processes: mentaro-server and demo_client, each test on a bus
// directory of its own.
#include "platform/MessageBus.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <memory>
#include <set>

namespace {

constexpr int Timeout = 20000;

// A program under test whose standard output is collected line by line.
class Program
{
public:
    Program(const QString &path, const QStringList &arguments, const QProcessEnvironment &env)
    {
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        QObject::connect(&m_process, &QProcess::readyReadStandardOutput, &m_process, [this] {
            m_buffer += m_process.readAllStandardOutput();
            qsizetype end;
            while ((end = m_buffer.indexOf('\n')) >= 0) {
                m_lines << QString::fromLocal8Bit(m_buffer.left(end));
                m_buffer.remove(0, end + 1);
            }
        });
        m_process.start(path, arguments);
    }
    ~Program()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    const QStringList &lines() const { return m_lines; }
    bool has(const QString &line) const { return m_lines.contains(line); }
    bool hasPrefix(const QString &prefix) const { return !withPrefix(prefix).isEmpty(); }
    QStringList withPrefix(const QString &prefix) const
    {
        QStringList found;
        for (const QString &line : m_lines)
            if (line.startsWith(prefix))
                found << line;
        return found;
    }
    QString first(const QString &prefix) const { return withPrefix(prefix).value(0); }
    bool finished() const { return m_process.state() == QProcess::NotRunning; }
    int exitCode() const { return m_process.exitCode(); }
    qint64 pid() const { return m_process.processId(); }
    void send(const QString &line) { m_process.write((line + "\n").toLocal8Bit()); }
    void signal(int number) { ::kill(static_cast<pid_t>(pid()), number); }
    QString dump() const { return m_lines.join(u'\n'); }

private:
    QProcess m_process;
    QByteArray m_buffer;
    QStringList m_lines;
};

void writeRegistry(const QString &path, const QByteArray &viewerHandle)
{
    QFile registry(path);
    QVERIFY(registry.open(QIODevice::WriteOnly));
    registry.write("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Zantro\\torvane\\demon]\r\n"
                   "\"ViewerHandle\"=\"" +
                   viewerHandle + "\"\r\n");
}

// Waits until a client runs on; a client that ends instead fails at once, with its output.
#define WAIT_RUNNING(client)                                                                       \
    do {                                                                                           \
        QTRY_VERIFY_WITH_TIMEOUT((client)->has("running lock=1") || (client)->finished(),          \
                                 Timeout);                                                         \
        QVERIFY2((client)->has("running lock=1"), qPrintable((client)->dump()));                   \
    } while (false)

QString clientTitle()
{
    return QStringLiteral("Demo_client");
}

} // namespace

class TestHostlinkProcesses : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void registrationAndRequests();
    void executeWithAndWithoutWaiting();
    void secondInstanceHandsOverItsParams();
    void secondInstanceWithoutServer();
    void quitNotices_data();
    void quitNotices();
    void stoppedServerSendsServerDown();
    void paramsAndCommandsFromTheCommandLine();
    void requestWhileHandlingAMessage();
    void serverSuffixAndParamsFilter();
    void registryNamesTheServer();
    void serverKilledDuringARequest();
    void leftoversOfKilledProcesses();
    void shortBlockIsReportedNotDispatched();
    void twentySimultaneousStarts();

private:
    Program *startServer(const QStringList &extra = {});
    Program *startClient(const QStringList &arguments = {},
                         const QList<QPair<QString, QString>> &env = {});
    Program *control(const QStringList &arguments);
    QString clientHandle(Program *client) const;
    QString serverLog() const { return m_server ? m_server->dump() : QString(); }

    std::unique_ptr<QTemporaryDir> m_dir;
    QProcessEnvironment m_env;
    QString m_content;
    QString m_contentCanonical;
    Program *m_server = nullptr;
    std::vector<std::unique_ptr<Program>> m_programs;
};

void TestHostlinkProcesses::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_content = m_dir->filePath("content");
    QVERIFY(QDir().mkpath(m_content));
    m_contentCanonical = QDir(m_content).canonicalPath() + "/";
    QFile text(m_content + "/demo.txt");
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("hello");
    text.close();
    QFile itl(m_content + "/demo_client.itl");
    QVERIFY(itl.open(QIODevice::WriteOnly));
    itl.write("[Exit]=Ende|$$");
    itl.close();
    QFile settings(m_dir->filePath("settings.ini"));
    QVERIFY(settings.open(QIODevice::WriteOnly));
    settings.write("Color=red\n[strings]\nping=pong\n");
    settings.close();
    QFile secret(m_dir->filePath("secret.txt"));
    QVERIFY(secret.open(QIODevice::WriteOnly));
    secret.close();

    // An installed host system names the default suffix in its registry.
    writeRegistry(m_dir->filePath("registry.reg"), "00000000");

    m_env = QProcessEnvironment::systemEnvironment();
    m_env.insert("TORVANE_BUS_DIR", m_dir->filePath("bus"));
    m_env.insert("TORVANE_REGISTRY", m_dir->filePath("registry.reg"));
    m_env.insert("QT_QPA_PLATFORM", "offscreen");
    qputenv("TORVANE_BUS_DIR", m_dir->filePath("bus").toLocal8Bit());
    m_server = nullptr;
}

void TestHostlinkProcesses::cleanup()
{
    m_programs.clear();
    m_server = nullptr;
    m_dir.reset();
}

Program *TestHostlinkProcesses::startServer(const QStringList &extra)
{
    m_programs.push_back(std::make_unique<Program>(
        MENTARO_SERVER,
        QStringList{"--content", m_content, "--settings", m_dir->filePath("settings.ini")} + extra,
        m_env));
    m_server = m_programs.back().get();
    // Clients look for the server once, when they start; it has to be there first.
    if (!QTest::qWaitFor([this] { return m_server->hasPrefix("mentaro-server: window"); }, Timeout))
        qWarning("the server did not start: %s", qPrintable(m_server->dump()));
    return m_server;
}

Program *TestHostlinkProcesses::startClient(const QStringList &arguments,
                                            const QList<QPair<QString, QString>> &env)
{
    QProcessEnvironment environment = m_env;
    for (const auto &[name, value] : env)
        environment.insert(name, value);
    m_programs.push_back(std::make_unique<Program>(DEMO_CLIENT, arguments, environment));
    return m_programs.back().get();
}

Program *TestHostlinkProcesses::control(const QStringList &arguments)
{
    m_programs.push_back(std::make_unique<Program>(MENTARO_SERVER, arguments, m_env));
    return m_programs.back().get();
}

QString TestHostlinkProcesses::clientHandle(Program *client) const
{
    return client->first("handle ").section(u' ', 1, 1);
}

void TestHostlinkProcesses::registrationAndRequests()
{
    Program *server = startServer();
    QTRY_VERIFY_WITH_TIMEOUT(server->hasPrefix("mentaro-server: window"), Timeout);
    Program *client = startClient({"first"});
    WAIT_RUNNING(client);
    const QString handle = clientHandle(client);
    // Registered without the lock, then again once it holds it.
    const QStringList registrations = server->withPrefix("4098 kdbRegister from " + handle);
    QCOMPARE(registrations.size(), 2);
    QVERIFY(registrations[0].contains(" lock=0 title=\"Demo_client\""));
    QVERIFY(!registrations[1].contains(" lock=0 "));
    QVERIFY(server->dump().contains("4103 kdbGetFile from " + handle + ": file=\"" +
                                    m_contentCanonical + "demo_client.itl\" -> 14 bytes"));

    const std::vector<std::pair<QString, QString>> requests = {
        {"env\tTorvaneWorkArea", "result env " + m_contentCanonical},
        {"env\tColor", "result env red"},
        {"query\tping", "result query pong"},
        {"file\tdemo.txt", "result file 5 hello"},
        {"file\t../secret.txt", "result file none"},
        {"map\tC:\\Books\\x.exe", "result map " + m_contentCanonical + "x.exe"},
        {"handle\t" + handle, "result handle " + handle + " "},
        {"title\tdemo_CLIENT", "result title " + handle + " "},
        {"title\tNobody", "result title none"},
        {"translate\tExit", "result translate Ende"},
    };
    for (const auto &[request, expected] : requests) {
        client->send(request);
        QTRY_VERIFY2_WITH_TIMEOUT(client->lines().last().startsWith(expected),
                                  qPrintable(client->dump()), Timeout);
    }
    QCOMPARE(server->withPrefix("4106 kdbGetEnvValue from " + handle).size(), 2);
    client->send("close");
    QTRY_VERIFY_WITH_TIMEOUT(client->finished(), Timeout);
    QCOMPARE(client->exitCode(), 0);
    QVERIFY(server->hasPrefix("4099 kdbUnregister from " + handle));
}

void TestHostlinkProcesses::executeWithAndWithoutWaiting()
{
    startServer();
    Program *client = startClient({}, {{"DEMO_USE_SERVER", "0"}});
    WAIT_RUNNING(client);
    const QString marker = m_dir->filePath("done.txt");
    client->send("exec\t/bin/sh\t-c \"sleep 0.3; echo done > '" + marker + "'\"\t1");
    QTRY_VERIFY_WITH_TIMEOUT(client->hasPrefix("result exec") || client->hasPrefix("error exec"),
                             Timeout);
    // Waiting means the program has ended: its file is there the moment the result is.
    QCOMPARE(client->first("result exec"), QStringLiteral("result exec 0"));
    QVERIFY(QFile::exists(marker));

    client->send("exec\t/bin/true\t\t0");
    QTRY_COMPARE_WITH_TIMEOUT(client->withPrefix("result exec").size(), 2, Timeout);
    QVERIFY(client->withPrefix("result exec")[1].section(u' ', 2).toLongLong() > 0);

    client->send("exec\t/nonexistent/tool\t\t0");
    QTRY_VERIFY_WITH_TIMEOUT(client->has("error exec Could not execute \"/nonexistent/tool.\""),
                             Timeout);
}

void TestHostlinkProcesses::secondInstanceHandsOverItsParams()
{
    Program *server = startServer();
    Program *first = startClient({"one"});
    WAIT_RUNNING(first);
    Program *second = startClient({"two", "three words"});
    QTRY_VERIFY_WITH_TIMEOUT(second->finished(), Timeout);
    QVERIFY2(second->has("terminating"), qPrintable(second->dump()));
    QCOMPARE(second->exitCode(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(first->withPrefix("params-change").size(), 1, Timeout);
    QCOMPARE(first->first("params-change"),
             "params-change " + QString(DEMO_CLIENT) + "|two|three words");
    QVERIFY(server->hasPrefix("4099 kdbUnregister from " + clientHandle(second)));

    first->send("params");
    QTRY_VERIFY_WITH_TIMEOUT(first->hasPrefix("result params"), Timeout);
    QCOMPARE(first->first("result params"),
             "result params 2 " + QString(DEMO_CLIENT) + "|two|three words");
}

void TestHostlinkProcesses::secondInstanceWithoutServer()
{
    Program *first = startClient({}, {{"DEMO_USE_SERVER", "0"}});
    WAIT_RUNNING(first);
    Program *second = startClient({"x"}, {{"DEMO_USE_SERVER", "0"}});
    QTRY_VERIFY_WITH_TIMEOUT(second->finished(), Timeout);
    QVERIFY(second->has("terminating"));
    QVERIFY(second->first("handle").endsWith("server 00000000 title Demo_client"));
    first->send("pending");
    QTRY_VERIFY_WITH_TIMEOUT(first->hasPrefix("result pending"), Timeout);
    QVERIFY(!first->hasPrefix("params-change"));
}

void TestHostlinkProcesses::quitNotices_data()
{
    QTest::addColumn<bool>("serverDown");
    QTest::addColumn<bool>("deny");
    QTest::newRow("quit") << false << false;
    QTest::newRow("server down") << true << false;
    QTest::newRow("refused") << false << true;
}

void TestHostlinkProcesses::quitNotices()
{
    QFETCH(bool, serverDown);
    QFETCH(bool, deny);
    Program *server = startServer();
    Program *client = startClient({}, {{"DEMO_DENY_QUIT", deny ? "1" : "0"}});
    WAIT_RUNNING(client);
    QStringList arguments{"--send-quit", clientTitle()};
    if (serverDown)
        arguments << "--server-down";
    Program *sender = control(arguments);
    QTRY_VERIFY_WITH_TIMEOUT(sender->finished(), Timeout);
    QCOMPARE(sender->exitCode(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(client->hasPrefix("quit-notice"), Timeout);
    QCOMPARE(client->first("quit-notice"),
             QString("quit-notice server-down=%1 allow=%2").arg(int(serverDown)).arg(int(!deny)));
    const QString unregister = "4099 kdbUnregister from " + clientHandle(client);
    if (deny) {
        client->send("params");
        QTRY_VERIFY_WITH_TIMEOUT(client->hasPrefix("result params"), Timeout);
        QVERIFY(!client->finished());
        return;
    }
    QTRY_VERIFY_WITH_TIMEOUT(client->finished(), Timeout);
    QVERIFY(client->has("exit"));
    // The log is complete up to the client's end: anything it sent was received before.
    server->signal(SIGTERM);
    QTRY_VERIFY_WITH_TIMEOUT(server->finished(), Timeout);
    QCOMPARE(server->hasPrefix(unregister), !serverDown);
}

void TestHostlinkProcesses::stoppedServerSendsServerDown()
{
    Program *server = startServer();
    Program *client = startClient();
    WAIT_RUNNING(client);
    server->signal(SIGINT);
    QTRY_VERIFY_WITH_TIMEOUT(client->finished(), Timeout);
    QVERIFY(client->has("quit-notice server-down=1 allow=1"));
    QTRY_VERIFY_WITH_TIMEOUT(server->finished(), Timeout);
    QCOMPARE(server->exitCode(), 0);
    QVERIFY(server->hasPrefix("quit notice with ServerDown to " + clientHandle(client)));
    QVERIFY(!server->hasPrefix("4099"));
}

void TestHostlinkProcesses::paramsAndCommandsFromTheCommandLine()
{
    startServer();
    Program *client = startClient({"orig"});
    WAIT_RUNNING(client);
    Program *params = control({"--send-params", clientTitle(), "/other/prog", "a"});
    QTRY_VERIFY_WITH_TIMEOUT(params->finished(), Timeout);
    QCOMPARE(params->exitCode(), 0);
    QCOMPARE(client->first("params-change"), QStringLiteral("params-change /other/prog|a"));
    client->send("params");
    QTRY_VERIFY_WITH_TIMEOUT(client->hasPrefix("result params"), Timeout);
    // Entry 0 stays the running executable whatever the message said.
    QCOMPARE(client->first("result params"), "result params 1 " + QString(DEMO_CLIENT) + "|a");

    Program *empty = control({"--send-params", clientTitle()});
    QTRY_VERIFY_WITH_TIMEOUT(empty->finished(), Timeout);
    client->send("paramstr\t0");
    QTRY_VERIFY_WITH_TIMEOUT(client->hasPrefix("error paramstr"), Timeout);
    QCOMPARE(client->first("error paramstr"),
             QStringLiteral("error paramstr Illegal \"ParamStr\" parameter: 0"));

    Program *command = control({"--send-command", clientTitle(), "5000", "hello"});
    QTRY_VERIFY_WITH_TIMEOUT(command->finished(), Timeout);
    QVERIFY(client->first("message 5000 from ").endsWith(" payload hello"));

    Program *nobody = control({"--send-quit", "Nobody"});
    QTRY_VERIFY_WITH_TIMEOUT(nobody->finished(), Timeout);
    QCOMPARE(nobody->exitCode(), 1);
}

void TestHostlinkProcesses::requestWhileHandlingAMessage()
{
    startServer();
    Program *client =
        startClient({}, {{"DEMO_NESTED_CODE", "5001"}, {"DEMO_NESTED_SETTING", "Color"}});
    WAIT_RUNNING(client);
    Program *command = control({"--send-command", clientTitle(), "5001"});
    QTRY_VERIFY_WITH_TIMEOUT(client->has("nested red"), Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(command->finished(), Timeout);
    QCOMPARE(command->exitCode(), 0);
}

void TestHostlinkProcesses::serverSuffixAndParamsFilter()
{
    Program *server = startServer({"--suffix", "sfx"});
    QTRY_VERIFY_WITH_TIMEOUT(server->hasPrefix("mentaro-server: window"), Timeout);
    const QString serverHandle =
        server->first("mentaro-server: window").section(u' ', 2, 2).remove(u',');
    Program *client = startClient({"/SERVERHANDLE=Zz", "/serverhandle=SFX", "keep"});
    WAIT_RUNNING(client);
    QVERIFY(client->first("handle ").contains(" server " + serverHandle + " "));
    client->send("params");
    QTRY_VERIFY_WITH_TIMEOUT(client->hasPrefix("result params"), Timeout);
    QCOMPARE(client->first("result params"),
             "result params 2 " + QString(DEMO_CLIENT) + "|/SERVERHANDLE=Zz|keep");
}

void TestHostlinkProcesses::registryNamesTheServer()
{
    writeRegistry(m_dir->filePath("registry.reg"), "fromreg1");
    Program *server = startServer({"--suffix", "fromreg1"});
    QTRY_VERIFY_WITH_TIMEOUT(server->hasPrefix("mentaro-server: window"), Timeout);
    Program *client = startClient({"/serverhandle=other"});
    WAIT_RUNNING(client);
    QVERIFY(server->hasPrefix("4098 kdbRegister from " + clientHandle(client)));
}

void TestHostlinkProcesses::serverKilledDuringARequest()
{
    Program *server = startServer();
    QTRY_VERIFY_WITH_TIMEOUT(server->hasPrefix("mentaro-server: window"), Timeout);
    Program *client = startClient({}, {{"DEMO_USE_SERVER", "0"}});
    WAIT_RUNNING(client);
    server->signal(SIGSTOP);
    client->send("query\tping");
    QTRY_VERIFY_WITH_TIMEOUT(client->has("request query"), Timeout);
    server->signal(SIGKILL);
    QTRY_VERIFY_WITH_TIMEOUT(client->has("error query Stream read error"), Timeout);
    client->send("params");
    QTRY_VERIFY_WITH_TIMEOUT(client->hasPrefix("result params"), Timeout);
    QVERIFY(!client->finished());
}

void TestHostlinkProcesses::leftoversOfKilledProcesses()
{
    Program *server = startServer();
    Program *first = startClient({}, {{"DEMO_USE_SERVER", "0"}});
    WAIT_RUNNING(first);
    QTRY_VERIFY_WITH_TIMEOUT(server->hasPrefix("mentaro-server: window"), Timeout);
    first->signal(SIGKILL);
    server->signal(SIGKILL);
    QTRY_VERIFY_WITH_TIMEOUT(first->finished() && server->finished(), Timeout);

    // The lock went with the process; the dead server's window is skipped.
    Program *next = startClient({}, {{"DEMO_USE_SERVER", "0"}});
    WAIT_RUNNING(next);
    QVERIFY(next->first("handle ").contains(" server 00000000 "));
    Program *needsServer = startClient({}, {{"DEMO_MULTISTART", "1"}});
    QTRY_VERIFY_WITH_TIMEOUT(needsServer->finished(), Timeout);
    QVERIFY(needsServer->has("loaded-error Mentaro server application is not running"));

    Program *again = startServer();
    QTRY_VERIFY_WITH_TIMEOUT(again->hasPrefix("mentaro-server: window"), Timeout);
}

void TestHostlinkProcesses::shortBlockIsReportedNotDispatched()
{
    Program *client = startClient({}, {{"DEMO_USE_SERVER", "0"}});
    WAIT_RUNNING(client);
    const quint32 handle = clientHandle(client).toUInt(nullptr, 16);
    QCOMPARE(platform::sendCopyData(handle, 0, 4101, QByteArray("abc")), std::optional<qint32>(0));
    QCOMPARE(platform::sendCopyData(handle, 0, 5000, QByteArray(7, 'x')), std::optional<qint32>(0));
    QTRY_COMPARE_WITH_TIMEOUT(client->withPrefix("messagebox").size(), 2, Timeout);
    QCOMPARE(client->withPrefix("messagebox"),
             (QStringList{"messagebox Integer overflow", "messagebox Integer overflow"}));
    QVERIFY(!client->hasPrefix("params-change"));
    QVERIFY(!client->hasPrefix("message "));
}

void TestHostlinkProcesses::twentySimultaneousStarts()
{
    Program *server = startServer();
    QTRY_VERIFY_WITH_TIMEOUT(server->hasPrefix("mentaro-server: window"), Timeout);
    std::vector<Program *> clients;
    for (int i = 0; i < 20; ++i)
        clients.push_back(startClient({QString("n=%1").arg(i)}));
    const auto settled = [&] {
        int running = 0;
        int ended = 0;
        for (Program *client : clients) {
            running += client->has("running lock=1") ? 1 : 0;
            ended += client->finished() ? 1 : 0;
        }
        return running == 1 && ended == 19;
    };
    QTRY_VERIFY_WITH_TIMEOUT(settled(), 60000);
    Program *survivor = nullptr;
    int survivorIndex = -1;
    for (int i = 0; i < 20; ++i) {
        if (!clients[i]->finished()) {
            survivor = clients[i];
            survivorIndex = i;
        } else {
            QVERIFY2(clients[i]->has("terminating"), qPrintable(clients[i]->dump()));
            QCOMPARE(clients[i]->exitCode(), 0);
        }
    }
    QVERIFY(survivor != nullptr);
    // Every other start handed its parameters to the one that runs on.
    QTRY_COMPARE_WITH_TIMEOUT(survivor->withPrefix("params-change").size(), 19, Timeout);
    std::set<int> handedOver;
    for (const QString &line : survivor->withPrefix("params-change"))
        handedOver.insert(line.section(u'=', 1).toInt());
    std::set<int> others;
    for (int i = 0; i < 20; ++i)
        if (i != survivorIndex)
            others.insert(i);
    QCOMPARE(handedOver, others);
}

QTEST_GUILESS_MAIN(TestHostlinkProcesses)
#include "tst_hostlink_processes.moc"
