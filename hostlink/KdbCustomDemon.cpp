#include "KdbCustomDemon.h"

#include "ApplicationTitle.h"
#include "CommandCodes.h"
#include "CommandLine.h"
#include "EMentaro.h"
#include "MessageStamp.h"
#include "ParamsText.h"
#include "ServerDiscovery.h"
#include "platform/Application.h"
#include "platform/Cp1252.h"
#include "platform/ExePath.h"
#include "platform/InstanceLock.h"
#include "platform/MessageBus.h"
#include "translate/Lexaro2000.h"

#include <QCoreApplication>
#include <QFile>
#include <chrono>
#include <cstdio>
#include <thread>

namespace {

// A second instance may ask before the first has announced its lock; it asks again for
// about a second before it gives up on handing over its parameters.
constexpr int LockHolderAttempts = 50;
constexpr auto LockHolderInterval = std::chrono::milliseconds(20);

void postError(const std::string &text)
{
    const QString message = platform::fromCp1252(text);
    QCoreApplication *application = QCoreApplication::instance();
    if (application == nullptr) {
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
        return;
    }
    // Shown from the event loop, so that the window procedure returns at once.
    QMetaObject::invokeMethod(
        application, [message] { platform::Application::showError(message); },
        Qt::QueuedConnection);
}

} // namespace

TkdbCustomDemon::TkdbCustomDemon(QObject *owner)
    : QObject(owner), ServerEntity(this), OwnEntity(this),
      m_translator(std::make_unique<TLexaro2000>(std::string()))
{
    ServerEntity.Handle = FindServerWindow();
    ReadCommandLine();
}

TkdbCustomDemon::~TkdbCustomDemon()
{
    m_pendingReplies.clear();
    delete m_window;
    m_window = nullptr;
    if (m_lock) {
        m_lock.reset();
        OwnEntity.LockHandle = 0;
    }
    m_translator.reset();
    QCoreApplication::quit();
}

void TkdbCustomDemon::CreateHiddenWindow()
{
    try {
        m_window = new platform::BusWindow(GetWindowClassName(), GetWindowName(), this);
    } catch (const platform::Exception &error) {
        throw EMentaro(error.what());
    }
    if (m_window->handle() == 0) {
        delete m_window;
        m_window = nullptr;
        throw EMentaro("Could not create window handle");
    }
    const std::string exeName = platform::toCp1252(platform::executablePath());
    OwnEntity.Handle = m_window->handle();
    OwnEntity.setTitle(ApplicationTitleOf(exeName));
    OwnEntity.setExeName(exeName);
    m_window->setProcedure(
        [this](const platform::CopyDataMessage &message) { return WndProc(message); });
}

bool TkdbCustomDemon::AutoCreateItlFile() const
{
    return m_translator->AutoCreateItlFile();
}

void TkdbCustomDemon::setAutoCreateItlFile(bool value)
{
    m_translator->setAutoCreateItlFile(value);
}

void TkdbCustomDemon::Loaded()
{
    CheckSingleInstance();
}

void TkdbCustomDemon::ReadCommandLine()
{
    m_params = ParamsFromCommandLine(CommandLineEntries());
}

int TkdbCustomDemon::ParamCount() const
{
    return static_cast<int>(m_params.size()) - 1;
}

std::string TkdbCustomDemon::ParamStr(int index) const
{
    if (index < 0 || index > ParamCount())
        throw EMentaro("Illegal \"ParamStr\" parameter: " + std::to_string(index));
    if (index == 0)
        return platform::toCp1252(platform::executablePath());
    return m_params[static_cast<size_t>(index)];
}

void TkdbCustomDemon::SendMsg(TEntity &target, TMentaroMessageStream &message,
                              TMentaroMessageStream *reply)
{
    message.Owner = this;
    if (reply != nullptr)
        reply->Owner = this;
    const MessageStamp stamp = CurrentStamp();
    message.Time = stamp.Time;
    message.Date = stamp.Date;
    if (m_window == nullptr)
        return;
    const QByteArray block = message.ToDataBlock();
    // Messages that arrive while the send waits may ask this component to go away; it waits
    // until the outermost request has returned.
    {
        struct DepthGuard
        {
            int &depth;
            explicit DepthGuard(int &d) : depth(d) { ++depth; }
            ~DepthGuard() { --depth; }
        } guard(m_sendDepth);
        platform::sendCopyData(target.Handle, OwnEntity.Handle, message.Command, block);
    }
    FindPendingReply(message, reply);
    if (m_sendDepth == 0 && m_destroyPending)
        deleteLater();
}

void TkdbCustomDemon::FindPendingReply(const TMentaroMessageStream &sent,
                                       TMentaroMessageStream *reply)
{
    for (auto it = m_pendingReplies.begin(); it != m_pendingReplies.end(); ++it) {
        if ((*it)->Time == sent.Time && (*it)->Date == sent.Date) {
            const std::unique_ptr<TMentaroMessageStream> found = std::move(*it);
            m_pendingReplies.erase(it);
            if (reply != nullptr)
                reply->CopyFromMessage(*found);
            return;
        }
    }
}

qint32 TkdbCustomDemon::WndProc(const platform::CopyDataMessage &message)
{
    // Errors stop here: none may pass back through the bus's callback.
    try {
        std::unique_ptr<TMentaroMessageStream> received = TMentaroMessageStream::FromDataBlock(
            this, message.wParam, message.dwData, message.data);
        HandleMessage(received);
    } catch (const std::exception &error) {
        postError(error.what());
    } catch (...) {
        postError("Unknown error");
    }
    return 0;
}

void TkdbCustomDemon::HandleMessage(std::unique_ptr<TMentaroMessageStream> &message)
{
    switch (message->Command) {
    case kdbQuit:
        HandleQuit(*message);
        break;
    case kdbReply:
        m_pendingReplies.push_back(std::move(message));
        break;
    case kdbParams: {
        const QByteArray text = message->RemainingContent();
        m_params = ParamsFromText(std::string(text.constData(), static_cast<size_t>(text.size())));
        if (OnParamsChange)
            OnParamsChange(this);
        break;
    }
    default:
        if (OnGotAMessage)
            OnGotAMessage(this, *message);
        break;
    }
}

void TkdbCustomDemon::HandleQuit(TMentaroMessageStream &message)
{
    ServerDownFlag = message.ReadByte() != 0;
    bool allowQuit = true;
    if (OnQuitMsgReceived)
        OnQuitMsgReceived(this, ServerDownFlag, allowQuit);
    if (allowQuit)
        DestroySelf();
}

void TkdbCustomDemon::DestroySelf()
{
    if (m_destroyPending)
        return;
    m_destroyPending = true;
    // The bus is inside this component's window procedure now, so the deletion always waits
    // for the event loop; under a waiting request SendMsg schedules it when it returns.
    if (m_sendDepth == 0)
        deleteLater();
}

void TkdbCustomDemon::LoadLanguage()
{
    std::unique_ptr<QIODevice> stream;
    if (m_useTorvaneServer) {
        const std::string mapped = MapFileName(platform::toCp1252(platform::executablePath()));
        stream = GetFileStream(platform::withExtension(mapped, std::string(".itl")));
    } else {
        auto file =
            std::make_unique<QFile>(platform::withExtension(platform::executablePath(), ".itl"));
        if (file->open(QIODevice::ReadOnly))
            stream = std::move(file);
    }
    if (stream)
        m_translator->LoadFromStream(*stream);
    if (m_autoTranslate && m_translator && parent() != nullptr)
        m_translator->TranslateComponent(parent());
}

void TkdbCustomDemon::CheckSingleInstance()
{
    if (m_multiStart)
        return;
    m_lock = platform::InstanceLock::tryAcquire(OwnEntity.InstanceName());
    if (m_lock) {
        OwnEntity.LockHandle = static_cast<quint32>(m_lock->descriptor());
        LockAcquired();
        return;
    }
    HandOverParams();
    RequestTermination();
}

void TkdbCustomDemon::HandOverParams()
{
    const std::string title = OwnEntity.Title();
    std::unique_ptr<TEntity> peer = FindPeerByTitle(title);
    // The first instance announces its lock once it holds it; until then the server may name
    // another starting instance (or this one), which would drop the parameters.
    for (int attempt = 0; attempt < LockHolderAttempts && peer && peer->LockHandle == 0;
         ++attempt) {
        std::this_thread::sleep_for(LockHolderInterval);
        peer = FindPeerByTitle(title);
    }
    if (!peer || peer->Handle == OwnEntity.Handle)
        return;
    TMentaroMessageStream message(this);
    message.Command = kdbParams;
    const std::string text = ParamsToText(m_params);
    message.Write(text.data(), static_cast<qint64>(text.size()));
    SendMsg(*peer, message, nullptr);
}

void TkdbCustomDemon::RequestTermination()
{
    m_terminationRequested = true;
    // Also ends the event loop should the entry enter it anyway.
    if (QCoreApplication *application = QCoreApplication::instance())
        QMetaObject::invokeMethod(application, &QCoreApplication::quit, Qt::QueuedConnection);
}
