#include "StopSignals.h"

#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace orinsub::app {

namespace {

int g_wakeFds[2] = {-1, -1}; // written by the handler, read on the UI thread

void EndAtOnce(int)
{
    ::_exit(0);
}

void WakeUiThread(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_wakeFds[0], &byte, 1);
}

void Handle(void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

} // namespace

CStopSignals::CStopSignals(QObject *parent) : QObject(parent)
{
    Handle(EndAtOnce);
}

void CStopSignals::CallOnSignal(std::function<void()> stop)
{
    m_stop = std::move(stop);
    if (m_notifier ||
        ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_wakeFds) != 0)
        return;
    m_notifier = new QSocketNotifier(g_wakeFds[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        while (::read(g_wakeFds[1], bytes, sizeof bytes) > 0) {
        }
        if (m_stop)
            m_stop();
    });
    Handle(WakeUiThread);
}

CStopSignals::~CStopSignals()
{
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    delete m_notifier;
    for (int &fd : g_wakeFds) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

} // namespace orinsub::app
