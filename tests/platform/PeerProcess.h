#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// A bus_peer process that the tests talk to through its output lines. While a test waits
// for a line, this thread's event loop keeps running, so its own bus windows are served.
class PeerProcess
{
public:
    explicit PeerProcess(const QStringList &arguments);
    ~PeerProcess(); // closes its input, which ends a serving peer cleanly

    // The rest of the first unread line that starts with `prefix`; a null string when none
    // came before the deadline or the process ended without it.
    QString waitForLine(const QString &prefix, int timeoutMs = 30000);
    void write(const QByteArray &bytes) { process_.write(bytes); }
    void closeInput() { process_.closeWriteChannel(); }
    void killHard(); // SIGKILL, and wait for the end
    bool waitForExit(int timeoutMs = 30000);
    QProcess &process() { return process_; }

private:
    QProcess process_;
    QStringList unread_;
    QByteArray partial_;
};
