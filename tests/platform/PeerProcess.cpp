#include "PeerProcess.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

PeerProcess::PeerProcess(const QStringList &arguments)
{
    process_.setProgram(QStringLiteral(BUS_PEER_PATH));
    process_.setArguments(arguments);
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start();
}

PeerProcess::~PeerProcess()
{
    if (process_.state() == QProcess::NotRunning)
        return;
    process_.closeWriteChannel();
    if (!waitForExit(10000))
        killHard();
}

QString PeerProcess::waitForLine(const QString &prefix, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        // Read after the state is known, so that the last lines of a finished peer count.
        const bool ended = process_.state() == QProcess::NotRunning;
        partial_ += process_.readAllStandardOutput();
        qsizetype end;
        while ((end = partial_.indexOf('\n')) >= 0) {
            unread_ << QString::fromUtf8(partial_.left(end));
            partial_.remove(0, end + 1);
        }
        for (qsizetype i = 0; i < unread_.size(); ++i) {
            if (unread_.at(i).startsWith(prefix)) {
                const QString line = unread_.takeAt(i);
                return line.mid(prefix.size()).trimmed();
            }
        }
        if (deadline.hasExpired() || ended)
            return QString();
        QCoreApplication::processEvents();
        process_.waitForReadyRead(5);
    }
}

void PeerProcess::killHard()
{
    process_.kill();
    process_.waitForFinished(10000);
}

bool PeerProcess::waitForExit(int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (process_.state() != QProcess::NotRunning && !deadline.hasExpired()) {
        QCoreApplication::processEvents();
        process_.waitForFinished(5);
    }
    return process_.state() == QProcess::NotRunning;
}
