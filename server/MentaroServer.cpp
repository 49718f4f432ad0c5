#include "MentaroServer.h"

#include "hostlink/CommandCodes.h"
#include "hostlink/MentaroMessageStream.h"
#include "hostlink/ServerDiscovery.h"
#include "platform/Exception.h"
#include "platform/MessageBus.h"

namespace {

std::string hexHandle(quint32 handle)
{
    char text[16];
    std::snprintf(text, sizeof text, "%08x", handle);
    return text;
}

} // namespace

TMentaroServer::TMentaroServer(const std::string &suffix, ServerCore core, std::FILE *log,
                               QObject *parent)
    : QObject(parent), m_core(std::move(core)), m_log(log)
{
    const std::string className = ServerWindowClassName(suffix);
    const std::string windowName = ServerWindowName(suffix);
    if (platform::findWindow(className, windowName) != 0)
        throw platform::Exception("A Mentaro server with the suffix " + suffix +
                                  " is already running");
    m_window = new platform::BusWindow(className, windowName, this);
    m_window->setProcedure(
        [this](const platform::CopyDataMessage &message) { return Procedure(message); });
}

TMentaroServer::~TMentaroServer() = default;

quint32 TMentaroServer::handle() const
{
    return m_window->handle();
}

qint32 TMentaroServer::Procedure(const platform::CopyDataMessage &message)
{
    std::string line = std::to_string(message.dwData) + " " + CommandName(message.dwData) +
                       " from " + hexHandle(message.wParam) + ": ";
    try {
        std::unique_ptr<TMentaroMessageStream> request = TMentaroMessageStream::FromDataBlock(
            nullptr, message.wParam, message.dwData, message.data);
        ServerCore::Outcome outcome = m_core.handle(message.dwData, message.wParam, *request);
        Log(line + outcome.detail);
        if (outcome.reply)
            Reply(message.wParam, request->Time, request->Date, *outcome.reply);
    } catch (const std::exception &error) {
        Log(line + "error: " + error.what());
    }
    return 0;
}

void TMentaroServer::Reply(quint32 target, qint32 time, qint32 date, const QByteArray &payload)
{
    TMentaroMessageStream reply;
    reply.Time = time;
    reply.Date = date;
    reply.Command = kdbReply;
    reply.Write(payload.constData(), payload.size());
    platform::sendCopyData(target, handle(), kdbReply, reply.ToDataBlock());
}

void TMentaroServer::Shutdown()
{
    // A copy: a client that unregisters while it is told to quit changes the list.
    const std::vector<TEntity> clients = m_core.clients().clients();
    for (const TEntity &client : clients) {
        TMentaroMessageStream notice;
        notice.Command = kdbQuit;
        notice.WriteByte(1);
        const bool delivered =
            platform::sendCopyData(client.Handle, handle(), kdbQuit, notice.ToDataBlock())
                .has_value();
        Log("quit notice with ServerDown to " + hexHandle(client.Handle) + " \"" +
            client.storedTitle() + "\"" + (delivered ? "" : " (not delivered)"));
    }
}

void TMentaroServer::Log(const std::string &line)
{
    if (m_log == nullptr)
        return;
    std::fprintf(m_log, "%s\n", line.c_str());
    std::fflush(m_log);
}
