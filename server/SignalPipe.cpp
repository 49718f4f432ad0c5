#include "SignalPipe.h"

#include "platform/Exception.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t writeEnd = -1;

void onSignal(int signalNumber)
{
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    if (writeEnd >= 0) [[maybe_unused]]
        const ssize_t written = ::write(writeEnd, &byte, 1);
    errno = savedErrno;
}

void install(int signalNumber, void (*handler)(int))
{
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(signalNumber, &action, nullptr);
}

} // namespace

SignalPipe::SignalPipe(QObject *parent) : QObject(parent)
{
    if (::pipe2(m_fds, O_CLOEXEC | O_NONBLOCK) != 0)
        throw platform::Exception(std::string("Cannot create the signal pipe: ") +
                                  std::strerror(errno));
    writeEnd = m_fds[1];
    m_notifier = new QSocketNotifier(m_fds[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalPipe::drain);
    install(SIGINT, onSignal);
    install(SIGTERM, onSignal);
}

SignalPipe::~SignalPipe()
{
    install(SIGINT, SIG_DFL);
    install(SIGTERM, SIG_DFL);
    writeEnd = -1;
    ::close(m_fds[0]);
    ::close(m_fds[1]);
}

void SignalPipe::drain()
{
    unsigned char byte = 0;
    ssize_t got = 0;
    while ((got = ::read(m_fds[0], &byte, 1)) == 1 || (got < 0 && errno == EINTR)) {
        if (got == 1)
            emit received(byte);
    }
}
