#include "ControlClient.h"

#include "hostlink/CommandCodes.h"
#include "hostlink/MentaroMessageStream.h"
#include "hostlink/MessageStamp.h"
#include "hostlink/ParamsText.h"
#include "hostlink/ServerDiscovery.h"
#include "platform/MessageBus.h"

#include <optional>

namespace {

const char *const ControlWindowClassName = "ThisIsTheMentaroServerControlWindowClass";

void stamp(TMentaroMessageStream &message)
{
    const MessageStamp now = CurrentStamp();
    message.Time = now.Time;
    message.Date = now.Date;
}

TMentaroMessageStream buildMessage(const ServerOptions &options)
{
    TMentaroMessageStream message;
    std::string payload;
    switch (options.mode) {
    case ServerOptions::Mode::SendParams:
        message.Command = kdbParams;
        payload = ParamsToText(options.params);
        break;
    case ServerOptions::Mode::SendQuit:
        message.Command = kdbQuit;
        payload = std::string(1, options.serverDown ? '\1' : '\0');
        break;
    default:
        message.Command = options.command;
        payload = options.payload;
        break;
    }
    message.Write(payload.data(), static_cast<qint64>(payload.size()));
    return message;
}

// The client's window as the server knows it by its title; 0 when none is registered.
quint32 askServerForClient(quint32 server, platform::BusWindow &window, const std::string &title,
                           std::FILE *err)
{
    TMentaroMessageStream request;
    request.Command = kdbFindPeer;
    request.WriteByte(kdbFindByTitle);
    request.WriteString(title);
    stamp(request);
    std::optional<QByteArray> reply;
    window.setProcedure([&](const platform::CopyDataMessage &message) {
        if (message.dwData == kdbReply && message.data.size() >= 8 &&
            message.data.left(8) == request.ToDataBlock().left(8))
            reply = message.data.mid(8);
        return 0;
    });
    platform::sendCopyData(server, window.handle(), kdbFindPeer, request.ToDataBlock());
    if (!reply || reply->isEmpty()) {
        std::fprintf(err, "mentaro-server: no client titled \"%s\" is registered\n", title.c_str());
        return 0;
    }
    TMentaroMessageStream record;
    record.Write(reply->constData(), reply->size());
    record.Seek(0);
    TEntity client;
    try {
        client.ReadFrom(record);
    } catch (const std::exception &error) {
        std::fprintf(err, "mentaro-server: the server's answer is malformed: %s\n", error.what());
        return 0;
    }
    return client.Handle;
}

// "pid:N" names the client window of a process that never registered (a program started on
// its own); any other target is a registered client's title.
quint32 findClient(quint32 server, platform::BusWindow &window, const std::string &target,
                   std::FILE *err)
{
    static const std::string processPrefix = "pid:";
    if (target.rfind(processPrefix, 0) != 0)
        return askServerForClient(server, window, target, err);
    bool ok = false;
    const quint32 processId =
        QByteArray::fromStdString(target.substr(processPrefix.size())).toUInt(&ok);
    const quint32 client = ok ? platform::findWindowOfProcess(ClientWindowClassName, processId) : 0;
    if (client == 0)
        std::fprintf(err, "mentaro-server: no client window of process \"%s\"\n", target.c_str());
    return client;
}

} // namespace

int RunControlClient(const ServerOptions &options, std::FILE *out, std::FILE *err)
{
    const quint32 server = platform::findWindow(ServerWindowClassName(options.suffix),
                                                ServerWindowName(options.suffix));
    if (server == 0) {
        std::fprintf(err, "mentaro-server: no server is running with the suffix %s\n",
                     options.suffix.c_str());
        return 1;
    }
    platform::BusWindow window(ControlWindowClassName, std::string());
    const quint32 client = findClient(server, window, options.title, err);
    if (client == 0)
        return 1;
    TMentaroMessageStream message = buildMessage(options);
    stamp(message);
    if (!platform::sendCopyData(client, window.handle(), message.Command, message.ToDataBlock())) {
        std::fprintf(err, "mentaro-server: the client's window %08x did not answer\n", client);
        return 1;
    }
    std::fprintf(out, "sent %s (%u) to \"%s\" (%08x)\n", CommandName(message.Command),
                 message.Command, options.title.c_str(), client);
    return 0;
}
