// A small program with a host-link component on its window, for the whole-program tests.
// Environment: DEMO_USE_SERVER (default 1), DEMO_MULTISTART (default 0), DEMO_DENY_QUIT
// (default 0), DEMO_NESTED_CODE (a command code whose arrival makes the handler ask the server
// for DEMO_NESTED_SETTING while the message is handled). Requests come as tab-separated lines
// on standard input; every event and result is one line on standard output.
#include "hostlink/KdbDemonClient.h"
#include "platform/Application.h"
#include "platform/Cp1252.h"
#include "tests/common/ModalWatcher.h"

#include "translate/Lexaro2000.h"
#include <QMessageBox>

#include <QPointer>
#include <QSocketNotifier>
#include <QWidget>
#include <cstdio>
#include <unistd.h>

namespace {

void say(const std::string &line)
{
    std::fprintf(stdout, "%s\n", line.c_str());
    std::fflush(stdout);
}

bool flag(const char *name, bool fallback)
{
    const QByteArray value = qgetenv(name);
    return value.isEmpty() ? fallback : value != "0";
}

std::string hex(quint32 value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%08x", value);
    return text;
}

std::string joined(const std::vector<std::string> &items)
{
    std::string text;
    for (size_t i = 0; i < items.size(); ++i)
        text += (i == 0 ? "" : "|") + items[i];
    return text;
}

std::string describe(const std::unique_ptr<TEntity> &entity)
{
    if (!entity)
        return "none";
    return hex(entity->Handle) + " " + std::to_string(entity->LockHandle) + " " +
           entity->storedExeName() + " " + entity->storedTitle();
}

class Driver : public QObject
{
public:
    Driver(TkdbDemonClient *client, QWidget *window)
        : QObject(window), m_client(client), m_window(window)
    {
        auto *notifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this,
                [this, notifier] { platform::runGuarded([&] { readInput(notifier); }); });
    }

private:
    void readInput(QSocketNotifier *notifier)
    {
        char buffer[4096];
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got <= 0) {
            notifier->setEnabled(false);
            say("stdin closed");
            m_window->deleteLater();
            return;
        }
        m_pending.append(buffer, got);
        qsizetype end;
        while ((end = m_pending.indexOf('\n')) >= 0) {
            const QByteArray line = m_pending.left(end);
            m_pending.remove(0, end + 1);
            run(line.split('\t'));
        }
    }

    void run(const QList<QByteArray> &fields)
    {
        const std::string command = fields.value(0).toStdString();
        const auto arg = [&](int i) { return fields.value(i).toStdString(); };
        say("request " + command);
        try {
            say("result " + command + " " + perform(command, arg));
        } catch (const std::exception &error) {
            say("error " + command + " " + error.what());
        }
    }

    std::string perform(const std::string &command, const std::function<std::string(int)> &arg)
    {
        if (command == "env")
            return m_client->GetEnvValue(arg(1));
        if (command == "map")
            return m_client->MapFileName(arg(1));
        if (command == "query")
            return m_client->QueryServerString(arg(1));
        if (command == "title")
            return describe(m_client->FindPeerByTitle(arg(1)));
        if (command == "handle")
            return describe(m_client->FindPeerByHandle(std::stoul(arg(1), nullptr, 16)));
        if (command == "file") {
            const auto stream = m_client->GetFileStream(arg(1));
            return stream ? std::to_string(stream->size()) + " " + stream->readAll().toStdString()
                          : std::string("none");
        }
        if (command == "exec")
            return std::to_string(m_client->Execute(arg(1), arg(2), arg(3) == "1", 0));
        if (command == "params") {
            std::vector<std::string> entries;
            for (int i = 0; i <= m_client->ParamCount(); ++i)
                entries.push_back(m_client->ParamStr(i));
            return std::to_string(m_client->ParamCount()) + " " + joined(entries);
        }
        if (command == "paramstr")
            return m_client->ParamStr(std::stoi(arg(1)));
        if (command == "pending")
            return std::to_string(m_client->PendingReplyCount());
        if (command == "translate") {
            std::string value;
            m_client->Translator()->Translate(arg(1), {}, value);
            return value;
        }
        if (command == "close") {
            m_window->deleteLater();
            return "closing";
        }
        return "unknown";
    }

    TkdbDemonClient *m_client;
    QWidget *m_window;
    QByteArray m_pending;
};

void connectEvents(TkdbDemonClient *client)
{
    client->OnParamsChange = [](TkdbCustomDemon *sender) {
        say("params-change " + joined(sender->Params()));
    };
    client->OnQuitMsgReceived = [](TkdbCustomDemon *, bool serverDown, bool &allowQuit) {
        allowQuit = !flag("DEMO_DENY_QUIT", false);
        say("quit-notice server-down=" + std::to_string(serverDown) +
            " allow=" + std::to_string(allowQuit));
    };
    const quint32 nestedCode = qgetenv("DEMO_NESTED_CODE").toUInt();
    client->OnGotAMessage = [nestedCode](TkdbCustomDemon *sender, TMentaroMessageStream &msg) {
        const QByteArray payload = msg.RemainingContent();
        say("message " + std::to_string(msg.Command) + " from " + hex(msg.Sender.Handle) +
            " payload " + payload.toStdString());
        if (msg.Command == nestedCode && nestedCode != 0)
            say("nested " + sender->GetEnvValue(qgetenv("DEMO_NESTED_SETTING").toStdString()));
    };
}

} // namespace

int main(int argc, char **argv)
{
    platform::Application application(argc, argv);
    new ModalWatcher(
        [](QDialog *dialog) {
            if (auto *box = qobject_cast<QMessageBox *>(dialog))
                say("messagebox " + box->text().toStdString());
        },
        &application);
    int status = 0;
    {
        auto *window = new QWidget;
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        window->setObjectName(QStringLiteral("Form1"));
        try {
            auto *client = new TkdbDemonClient(window);
            client->setObjectName(QStringLiteral("clidemon"));
            client->setProperty("AutoTranslate", true);
            client->setProperty("AutoCreateItlFile", false);
            client->setProperty("MultiStart", flag("DEMO_MULTISTART", false));
            client->setProperty("UseTorvaneServer", flag("DEMO_USE_SERVER", true));
            connectEvents(client);
            say("handle " + hex(client->OwnEntity.Handle) + " server " +
                hex(client->ServerEntity.Handle) + " title " + client->OwnEntity.Title());
            client->Loaded();
            if (client->terminationRequested()) {
                say("terminating");
                delete window;
                say("exit");
                return 0;
            }
            new Driver(client, window);
            say("running lock=" + std::to_string(client->OwnEntity.LockHandle != 0));
        } catch (const std::exception &error) {
            say("loaded-error " + std::string(error.what()));
            delete window;
            say("exit");
            return 1;
        }
        QPointer<QWidget> alive(window);
        status = QApplication::exec();
        delete alive.data();
    }
    say("exit");
    return status;
}
