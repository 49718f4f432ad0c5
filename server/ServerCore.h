#pragma once

#include "ClientRegistry.h"
#include "ContentDirectory.h"
#include "ServerSettings.h"

#include <QByteArray>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>

class TMentaroMessageStream;

// What the server does with each request, apart from the bus: it decodes a request, acts on
// it and gives the reply payload. Requests that expect no reply give none.
class ServerCore
{
public:
    // Starts a program; gives its process id, 0 on failure.
    using Launcher = std::function<qint64(const QString &program, const QStringList &arguments,
                                          const QString &workingDirectory)>;

    ServerCore(ContentDirectory content, ServerSettings settings,
               ClientRegistry::LivenessTest isAlive, Launcher launcher);

    struct Outcome
    {
        std::optional<QByteArray> reply; // the payload of the kdbReply, when one is due
        std::string detail;              // what happened, for the log line
    };

    // Throws platform::EReadError on a payload that is cut short.
    Outcome handle(quint32 command, quint32 from, TMentaroMessageStream &request);

    ClientRegistry &clients() { return m_clients; }
    const ContentDirectory &content() const { return m_content; }

private:
    Outcome registerClient(TMentaroMessageStream &request);
    Outcome unregisterClient(TMentaroMessageStream &request);
    Outcome findPeer(TMentaroMessageStream &request);
    Outcome execute(TMentaroMessageStream &request);
    Outcome getFile(TMentaroMessageStream &request);
    Outcome mapFileName(TMentaroMessageStream &request);
    Outcome queryString(TMentaroMessageStream &request);
    Outcome getEnvValue(TMentaroMessageStream &request);

    ContentDirectory m_content;
    ServerSettings m_settings;
    ClientRegistry m_clients;
    Launcher m_launcher;
};

// The default launcher: QProcess::startDetached.
qint64 StartDetached(const QString &program, const QStringList &arguments,
                     const QString &workingDirectory);
