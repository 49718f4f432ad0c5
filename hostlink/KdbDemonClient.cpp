#include "KdbDemonClient.h"

#include "CommandCodes.h"
#include "EMentaro.h"
#include "ServerDiscovery.h"
#include "platform/ExePath.h"
#include "platform/ProcessWait.h"

namespace {

EMentaro couldNotExecute(const std::string &file)
{
    return EMentaro("Could not execute \"" + file + ".\"");
}

} // namespace

TkdbDemonClient::TkdbDemonClient(QObject *owner) : TkdbCustomDemon(owner)
{
    CreateHiddenWindow();
}

TkdbDemonClient::~TkdbDemonClient()
{
    if (ServerDownFlag)
        return;
    // A destructor must not throw; a server that is gone simply does not hear it.
    try {
        UnregisterFromServer();
    } catch (...) {
    }
}

void TkdbDemonClient::Loaded()
{
    Connect();
    TkdbCustomDemon::Loaded();
}

std::string TkdbDemonClient::GetWindowClassName() const
{
    return ClientWindowClassName;
}

std::string TkdbDemonClient::GetWindowName() const
{
    return {};
}

std::unique_ptr<TMentaroMessageStream> TkdbDemonClient::Request(quint32 command,
                                                                const PayloadWriter &write)
{
    TMentaroMessageStream request(this);
    auto reply = std::make_unique<TMentaroMessageStream>(this);
    request.Command = command;
    if (write)
        write(request);
    request.SendTo(ServerEntity, reply.get());
    return reply;
}

std::unique_ptr<TEntity> TkdbDemonClient::EntityFromReply(TMentaroMessageStream &reply)
{
    if (reply.Size() == 0)
        return nullptr;
    auto entity = std::make_unique<TEntity>(this);
    entity->ReadFrom(reply);
    return entity;
}

std::unique_ptr<TEntity> TkdbDemonClient::FindPeerByTitle(const std::string &title)
{
    const auto reply = Request(kdbFindPeer, [&](TMentaroMessageStream &request) {
        request.WriteByte(kdbFindByTitle);
        request.WriteString(title);
    });
    return EntityFromReply(*reply);
}

std::unique_ptr<TEntity> TkdbDemonClient::FindPeerByHandle(quint32 handle)
{
    const auto reply = Request(kdbFindPeer, [&](TMentaroMessageStream &request) {
        request.WriteByte(kdbFindByHandle);
        request.WriteUInt32(handle);
    });
    return EntityFromReply(*reply);
}

qint32 TkdbDemonClient::Execute(const std::string &file, const std::string &arguments, bool wait,
                                qint32 option)
{
    const auto reply = Request(kdbExecute, [&](TMentaroMessageStream &request) {
        request.WriteString(file);
        request.WriteString(arguments);
        request.WriteByte(wait ? 1 : 0);
        request.WriteInt32(option);
    });
    const qint32 processId = reply->ReadInt32();
    if (processId == 0)
        throw couldNotExecute(file);
    if (!wait)
        return processId;
    const std::optional<int> exitCode = platform::waitForProcess(processId);
    if (!exitCode)
        throw couldNotExecute(file);
    return *exitCode;
}

std::unique_ptr<QBuffer> TkdbDemonClient::GetFileStream(const std::string &fileName)
{
    const auto reply =
        Request(kdbGetFile, [&](TMentaroMessageStream &request) { request.WriteString(fileName); });
    if (reply->ReadByte() == 0)
        return nullptr;
    auto stream = std::make_unique<QBuffer>();
    stream->setData(reply->RemainingContent());
    stream->open(QIODevice::ReadOnly);
    return stream;
}

std::string TkdbDemonClient::MapFileName(const std::string &fileName)
{
    const auto reply = Request(
        kdbMapFileName, [&](TMentaroMessageStream &request) { request.WriteString(fileName); });
    return reply->ReadString();
}

std::string TkdbDemonClient::QueryServerString(const std::string &text)
{
    const auto reply =
        Request(kdbQueryString, [&](TMentaroMessageStream &request) { request.WriteString(text); });
    return reply->ReadString();
}

std::string TkdbDemonClient::GetEnvValue(const std::string &name)
{
    if (UseTorvaneServer()) {
        const auto reply = Request(
            kdbGetEnvValue, [&](TMentaroMessageStream &request) { request.WriteString(name); });
        return reply->ReadString();
    }
    if (name != "TorvaneWorkArea" && name != "TorvaneHomeDir")
        return {};
    std::string directory = platform::directoryPart(ParamStr(0));
    if (!directory.empty() && directory.back() != '\\' && directory.back() != '/')
        directory += '/';
    return directory;
}

void TkdbDemonClient::Connect()
{
    if (UseTorvaneServer()) {
        if (ServerEntity.Handle == 0)
            throw EMentaro("Mentaro server application is not running");
        RegisterWithServer();
    }
    LoadLanguage();
}

void TkdbDemonClient::RegisterWithServer()
{
    TMentaroMessageStream request(this);
    request.Command = kdbRegister;
    OwnEntity.WriteTo(request);
    request.SendTo(ServerEntity, nullptr);
    m_registered = true;
}

void TkdbDemonClient::UnregisterFromServer()
{
    TMentaroMessageStream request(this);
    request.Command = kdbUnregister;
    OwnEntity.WriteTo(request);
    request.SendTo(ServerEntity, nullptr);
}

void TkdbDemonClient::LockAcquired()
{
    // Registered before the lock existed: tell the server which instance holds it, so that a
    // later start of the same executable is pointed at this one.
    if (m_registered)
        RegisterWithServer();
}
