#include "ServerCore.h"

#include "hostlink/CommandCodes.h"
#include "hostlink/MentaroMessageStream.h"
#include "platform/Cp1252.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <cstdio>

namespace {

std::string quoted(const std::string &text)
{
    return "\"" + text + "\"";
}

std::string hexHandle(quint32 handle)
{
    char text[16];
    std::snprintf(text, sizeof text, "%08x", handle);
    return text;
}

QByteArray entityRecord(TEntity entity)
{
    TMentaroMessageStream record;
    entity.Owner = nullptr;
    entity.WriteTo(record);
    return record.Content();
}

QByteArray countedString(const std::string &text)
{
    TMentaroMessageStream reply;
    reply.WriteString(text);
    return reply.Content();
}

std::string describe(const TEntity &entity)
{
    return "handle=" + hexHandle(entity.Handle) + " lock=" + std::to_string(entity.LockHandle) +
           " title=" + quoted(entity.storedTitle()) + " exe=" + quoted(entity.storedExeName());
}

} // namespace

qint64 StartDetached(const QString &program, const QStringList &arguments,
                     const QString &workingDirectory)
{
    qint64 pid = 0;
    if (!QProcess::startDetached(program, arguments, workingDirectory, &pid))
        return 0;
    return pid;
}

ServerCore::ServerCore(ContentDirectory content, ServerSettings settings,
                       ClientRegistry::LivenessTest isAlive, Launcher launcher)
    : m_content(std::move(content)), m_settings(std::move(settings)), m_clients(std::move(isAlive)),
      m_launcher(std::move(launcher))
{
    const std::string directory = platform::toCp1252(m_content.path());
    m_settings.setSetting("TorvaneWorkArea", directory);
    if (!m_settings.setting("TorvaneHomeDir"))
        m_settings.setSetting("TorvaneHomeDir", directory);
}

ServerCore::Outcome ServerCore::handle(quint32 command, quint32 /*from*/,
                                       TMentaroMessageStream &request)
{
    switch (command) {
    case kdbRegister:
        return registerClient(request);
    case kdbUnregister:
        return unregisterClient(request);
    case kdbFindPeer:
        return findPeer(request);
    case kdbExecute:
        return execute(request);
    case kdbGetFile:
        return getFile(request);
    case kdbMapFileName:
        return mapFileName(request);
    case kdbQueryString:
        return queryString(request);
    case kdbGetEnvValue:
        return getEnvValue(request);
    default:
        return {std::nullopt, "ignored, " + std::to_string(request.Size()) + " payload bytes"};
    }
}

ServerCore::Outcome ServerCore::registerClient(TMentaroMessageStream &request)
{
    TEntity client;
    client.ReadFrom(request);
    m_clients.add(client);
    return {std::nullopt, describe(client)};
}

ServerCore::Outcome ServerCore::unregisterClient(TMentaroMessageStream &request)
{
    TEntity client;
    client.ReadFrom(request);
    const bool known = m_clients.remove(client.Handle);
    return {std::nullopt, describe(client) + (known ? "" : " (was not registered)")};
}

ServerCore::Outcome ServerCore::findPeer(TMentaroMessageStream &request)
{
    const quint8 selector = request.ReadByte();
    std::optional<TEntity> found;
    std::string detail;
    if (selector == kdbFindByHandle) {
        const quint32 handle = request.ReadUInt32();
        found = m_clients.findByHandle(handle);
        detail = "by-handle " + hexHandle(handle);
    } else if (selector == kdbFindByTitle) {
        const std::string title = request.ReadString();
        found = m_clients.findByTitle(title);
        detail = "by-title " + quoted(title);
    } else {
        detail = "selector " + std::to_string(selector);
    }
    if (!found)
        return {QByteArray(), detail + " -> none"};
    return {entityRecord(*found), detail + " -> " + describe(*found)};
}

ServerCore::Outcome ServerCore::execute(TMentaroMessageStream &request)
{
    const std::string file = request.ReadString();
    const std::string arguments = request.ReadString();
    const quint8 wait = request.ReadByte();
    const qint32 option = request.ReadInt32();
    QString program = platform::fromCp1252(file);
    const QString inContent = m_content.path() + program;
    if (!QDir::isAbsolutePath(program) && !program.contains(QChar(0)) &&
        QFileInfo(inContent).isFile())
        program = inContent;
    qint64 pid = 0;
    // A zero byte cannot be part of a path or an argument of a started program.
    const bool startable = !program.isEmpty() && file.find('\0') == std::string::npos &&
                           arguments.find('\0') == std::string::npos;
    if (startable)
        pid = m_launcher(program, QProcess::splitCommand(platform::fromCp1252(arguments)),
                         m_content.path());
    if (pid < 0 || pid > std::numeric_limits<qint32>::max())
        pid = 0;
    TMentaroMessageStream reply;
    reply.WriteInt32(static_cast<qint32>(pid));
    return {reply.Content(), "file=" + quoted(file) + " args=" + quoted(arguments) + " wait=" +
                                 std::to_string(wait) + " option=" + std::to_string(option) +
                                 " -> pid " + std::to_string(pid)};
}

ServerCore::Outcome ServerCore::getFile(TMentaroMessageStream &request)
{
    const std::string name = request.ReadString();
    const std::optional<QByteArray> content = m_content.read(name);
    if (!content)
        return {QByteArray(1, '\0'), "file=" + quoted(name) + " -> not available"};
    return {QByteArray(1, '\1') + *content,
            "file=" + quoted(name) + " -> " + std::to_string(content->size()) + " bytes"};
}

ServerCore::Outcome ServerCore::mapFileName(TMentaroMessageStream &request)
{
    const std::string name = request.ReadString();
    const std::string mapped = m_content.map(name);
    return {countedString(mapped), "file=" + quoted(name) + " -> " + quoted(mapped)};
}

ServerCore::Outcome ServerCore::queryString(TMentaroMessageStream &request)
{
    const std::string text = request.ReadString();
    const std::string answer = m_settings.answer(text).value_or(std::string());
    return {countedString(answer), "text=" + quoted(text) + " -> " + quoted(answer)};
}

ServerCore::Outcome ServerCore::getEnvValue(TMentaroMessageStream &request)
{
    const std::string name = request.ReadString();
    const std::string value = m_settings.setting(name).value_or(std::string());
    return {countedString(value), "name=" + quoted(name) + " -> " + quoted(value)};
}
