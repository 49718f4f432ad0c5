#pragma once

#include "KdbCustomDemon.h"

#include <functional>

// The host-link component that the program places on its main window: the requests of
// TkdbCustomDemon answered by the host server, registration when loaded and unregistration
// when destroyed.
class TkdbDemonClient : public TkdbCustomDemon
{
    Q_OBJECT
public:
    // Creates the hidden window; throws EMentaro when that fails.
    explicit TkdbDemonClient(QObject *owner);
    ~TkdbDemonClient() override;

    void Loaded() override;

    std::string GetWindowClassName() const override;
    std::string GetWindowName() const override;
    std::unique_ptr<TEntity> FindPeerByTitle(const std::string &title) override;
    std::unique_ptr<TEntity> FindPeerByHandle(quint32 handle) override;
    qint32 Execute(const std::string &file, const std::string &arguments, bool wait,
                   qint32 option) override;
    std::unique_ptr<QBuffer> GetFileStream(const std::string &fileName) override;
    std::string MapFileName(const std::string &fileName) override;
    std::string QueryServerString(const std::string &text) override;
    std::string GetEnvValue(const std::string &name) override;

    void Connect();
    void RegisterWithServer();
    void UnregisterFromServer();

protected:
    void LockAcquired() override;

private:
    using PayloadWriter = std::function<void(TMentaroMessageStream &)>;
    // Sends one request to the server and returns its reply, empty when none came.
    std::unique_ptr<TMentaroMessageStream> Request(quint32 command, const PayloadWriter &write);
    std::unique_ptr<TEntity> EntityFromReply(TMentaroMessageStream &reply);

    bool m_registered = false;
};
