#pragma once

#include "ServerCore.h"

#include <QObject>
#include <cstdio>
#include <memory>
#include <string>

namespace platform {
class BusWindow;
struct CopyDataMessage;
} // namespace platform

// The server's window on the bus: every message it receives is logged, one line each, and
// every request is answered with a kdbReply to the requesting window before the window
// procedure returns.
class TMentaroServer : public QObject
{
    Q_OBJECT
public:
    // Throws platform::Exception when a server with this suffix already runs or the window
    // cannot be created.
    TMentaroServer(const std::string &suffix, ServerCore core, std::FILE *log,
                   QObject *parent = nullptr);
    ~TMentaroServer() override;

    quint32 handle() const;
    ServerCore &core() { return m_core; }

    // Sends every registered client a quit notice with ServerDown set.
    void Shutdown();

private:
    qint32 Procedure(const platform::CopyDataMessage &message);
    void Reply(quint32 target, qint32 time, qint32 date, const QByteArray &payload);
    void Log(const std::string &line);

    ServerCore m_core;
    std::FILE *m_log;
    platform::BusWindow *m_window = nullptr;
};
