#pragma once

#include "Entity.h"
#include "MentaroMessageStream.h"

#include <QBuffer>
#include <QObject>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TLexaro2000;
namespace platform {
class BusWindow;
class InstanceLock;
struct CopyDataMessage;
} // namespace platform

// The non-visual host-link component: a QObject whose parent is its owner window. It owns a
// hidden bus window through which every host-link message arrives, finds the server, keeps the
// parameter list, keeps a second start of the same executable from running on, loads the
// language file and turns incoming messages into events. The requests made of the server are
// the pure virtual operations that TkdbDemonClient implements.
//
// Life cycle as the program's entry uses it:
//   1. construct the client on the main window (new TkdbDemonClient(window)), set the stored
//      properties, connect the events;
//   2. call Loaded() (it registers, loads the language, translates the window and runs the
//      single-instance check);
//   3. when terminationRequested() is true, return from main without entering the event loop:
//      destroying the window destroys the component, which unregisters;
//   4. otherwise run the event loop; a quit notice or the window's destruction ends it.
//
// Ending: the destructor asks the application to quit (QCoreApplication::quit()). A quit
// notice never deletes the component inside its window procedure: it is deleted from the
// event loop (deleteLater), and while a request of this component waits in SendMsg the
// deletion is scheduled only when the outermost request has returned. A second instance,
// found by CheckSingleInstance before any event loop runs, sets terminationRequested() (and
// posts a quit for an entry that enters the loop anyway).
//
// Errors raised while an incoming message is handled (a block below 8 bytes, a quit notice
// without its byte, an exception of an event handler) stop in the window procedure and are
// shown by platform::Application::showError from the event loop, so the procedure returns at
// once and nothing passes back through the bus. "The own window is gone" means the hidden
// BusWindow no longer exists (after destruction began); SendMsg then sends nothing.
class TkdbCustomDemon : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool AutoTranslate READ AutoTranslate WRITE setAutoTranslate)
    Q_PROPERTY(bool AutoCreateItlFile READ AutoCreateItlFile WRITE setAutoCreateItlFile)
    Q_PROPERTY(bool MultiStart READ MultiStart WRITE setMultiStart)
    Q_PROPERTY(bool UseTorvaneServer READ UseTorvaneServer WRITE setUseTorvaneServer)

public:
    using TGotAMessageEvent =
        std::function<void(TkdbCustomDemon *Sender, TMentaroMessageStream &Msg)>;
    using TOnQuitMsgReceived =
        std::function<void(TkdbCustomDemon *Sender, bool ServerDown, bool &AllowQuit)>;
    using TNotifyEvent = std::function<void(TkdbCustomDemon *Sender)>;

    ~TkdbCustomDemon() override;

    // Events; empty means not assigned. They run on the UI thread, possibly in the middle of a
    // request of this component.
    TGotAMessageEvent OnGotAMessage;
    TOnQuitMsgReceived OnQuitMsgReceived;
    TNotifyEvent OnParamsChange;

    bool AutoTranslate() const { return m_autoTranslate; }
    void setAutoTranslate(bool value) { m_autoTranslate = value; }
    bool AutoCreateItlFile() const;
    void setAutoCreateItlFile(bool value);
    bool MultiStart() const { return m_multiStart; }
    void setMultiStart(bool value) { m_multiStart = value; }
    bool UseTorvaneServer() const { return m_useTorvaneServer; }
    void setUseTorvaneServer(bool value) { m_useTorvaneServer = value; }

    // Called by the window's builder once every stored property is set.
    virtual void Loaded();

    void SendMsg(TEntity &target, TMentaroMessageStream &message, TMentaroMessageStream *reply);
    int ParamCount() const;
    std::string ParamStr(int index) const;
    const std::vector<std::string> &Params() const { return m_params; }
    void LoadLanguage();

    virtual void HandleMessage(std::unique_ptr<TMentaroMessageStream> &message);
    virtual std::string GetWindowClassName() const = 0;
    virtual std::string GetWindowName() const = 0;
    virtual std::unique_ptr<TEntity> FindPeerByTitle(const std::string &title) = 0;
    virtual std::unique_ptr<TEntity> FindPeerByHandle(quint32 handle) = 0;
    virtual qint32 Execute(const std::string &file, const std::string &arguments, bool wait,
                           qint32 option) = 0;
    virtual std::unique_ptr<QBuffer> GetFileStream(const std::string &fileName) = 0;
    virtual std::string MapFileName(const std::string &fileName) = 0;
    virtual std::string QueryServerString(const std::string &text) = 0;
    virtual std::string GetEnvValue(const std::string &name) = 0;

    TEntity ServerEntity;
    TEntity OwnEntity;
    bool ServerDownFlag = false;
    TLexaro2000 *Translator() const { return m_translator.get(); }
    size_t PendingReplyCount() const { return m_pendingReplies.size(); }

    // True once the program was asked to end before its event loop ran (a second instance);
    // the entry then returns instead of entering the event loop.
    bool terminationRequested() const { return m_terminationRequested; }

protected:
    explicit TkdbCustomDemon(QObject *owner);

    // The part of creation that needs the derived class's window class and name; a derived
    // constructor calls it last.
    void CreateHiddenWindow();
    void ReadCommandLine();
    void CheckSingleInstance();
    // Asks the program to end through its normal exit path.
    void RequestTermination();
    // Runs once this instance holds the single-instance lock.
    virtual void LockAcquired() {}

private:
    qint32 WndProc(const platform::CopyDataMessage &message);
    void HandleQuit(TMentaroMessageStream &message);
    void FindPendingReply(const TMentaroMessageStream &sent, TMentaroMessageStream *reply);
    void HandOverParams();
    void DestroySelf();

    std::unique_ptr<TLexaro2000> m_translator;
    bool m_autoTranslate = true;
    bool m_multiStart = false;
    bool m_useTorvaneServer = true;
    std::deque<std::unique_ptr<TMentaroMessageStream>> m_pendingReplies;
    std::vector<std::string> m_params;
    platform::BusWindow *m_window = nullptr; // child; deleted first in the destructor
    std::unique_ptr<platform::InstanceLock> m_lock;
    int m_sendDepth = 0;
    bool m_destroyPending = false;
    bool m_terminationRequested = false;
};
