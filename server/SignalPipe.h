#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGINT and SIGTERM into a signal of the event loop: the handler only writes the
// signal's number into a pipe, and the loop reads it from there.
class SignalPipe : public QObject
{
    Q_OBJECT
public:
    // Only one may exist at a time; it installs the handlers.
    explicit SignalPipe(QObject *parent = nullptr);
    ~SignalPipe() override;

signals:
    void received(int signalNumber);

private:
    void drain();

    int m_fds[2] = {-1, -1};
    QSocketNotifier *m_notifier = nullptr;
};
