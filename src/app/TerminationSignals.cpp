#include "app/TerminationSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int SignalPipe[2] = { -1, -1 };

// Only async-signal-safe work here: one byte into the pipe.
void OnSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(SignalPipe[0], &byte, 1);
}

} // namespace

void QuitOnTerminationSignals()
{
    if (SignalPipe[0] >= 0)
        return;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, SignalPipe) != 0)
        return;
    auto* notifier
        = new QSocketNotifier(SignalPipe[1], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
        char bytes[16];
        while (::read(SignalPipe[1], bytes, sizeof bytes) > 0) { }
        QCoreApplication::quit();
    });

    struct sigaction action { };
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (int sig : { SIGTERM, SIGINT, SIGHUP })
        ::sigaction(sig, &action, nullptr);
}
