#include "platform/UnixSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

int g_pipe[2] = {-1, -1};
// Wakes the watchdog; it lives as long as the process.
int g_watchdog[2] = {-1, -1};
constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};

void onSignal(int number) {
    const unsigned char byte = static_cast<unsigned char>(number);
    // Nothing else is safe in here; a full pipe only drops a repeat of a signal.
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
    if (g_watchdog[1] >= 0) {
        [[maybe_unused]] const ssize_t woken = ::write(g_watchdog[1], &byte, 1);
    }
}

} // namespace

UnixSignals::UnixSignals(QObject* parent)
    : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_pipe) != 0)
        return;
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &UnixSignals::readPending);
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : kSignals)
        ::sigaction(number, &action, nullptr);
}

UnixSignals::~UnixSignals() {
    for (int number : kSignals)
        std::signal(number, SIG_DFL);
    for (int& fd : g_pipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void UnixSignals::setDeadline(std::chrono::milliseconds deadline, std::function<void()> lastWords) {
    if (g_watchdog[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_watchdog) != 0)
        return;
    ::fcntl(g_watchdog[1], F_SETFL, O_NONBLOCK);
    std::thread([deadline, lastWords = std::move(lastWords)] {
        unsigned char byte = 0;
        ssize_t got = 0;
        while ((got = ::read(g_watchdog[0], &byte, 1)) < 0 && errno == EINTR) {
        }
        if (got != 1)
            return;
        std::this_thread::sleep_for(deadline);
        lastWords();
        std::_Exit(0);
    }).detach();
}

bool UnixSignals::pending() const {
    pollfd readable = {g_pipe[0], POLLIN, 0};
    return g_pipe[0] >= 0 && ::poll(&readable, 1, 0) > 0 && (readable.revents & POLLIN);
}

void UnixSignals::readPending() {
    unsigned char byte = 0;
    while (::read(g_pipe[0], &byte, 1) == 1)
        emit received(byte);
}
