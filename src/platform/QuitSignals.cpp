#include "platform/QuitSignals.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <iterator>
#include <unistd.h>
#include <utility>

namespace gx {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
// Read end, write end; the handler sees only the write end.
int pipeEnds[2] = {-1, -1};
// Which of kSignals we caught: one ignored when we started (nohup) stays so.
bool caught[std::size(kSignals)] = {};

void onSignal(int number)
{
    const int saved = errno;
    const auto byte = static_cast<unsigned char>(number);
    // A full pipe already holds a request to quit: nothing is lost.
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &byte, 1);
    errno = saved;
}

} // namespace

QuitSignals::QuitSignals(QObject* parent)
    : QObject(parent)
{
    if (pipeEnds[0] >= 0 || ::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    notifier_ = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &QuitSignals::readPipe);
    struct sigaction action { };
    action.sa_handler = &onSignal;
    sigemptyset(&action.sa_mask);
    // The first signal asks; the next one is the default's again.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
        struct sigaction before { };
        caught[i] = sigaction(kSignals[i], nullptr, &before) == 0 && before.sa_handler != SIG_IGN
            && sigaction(kSignals[i], &action, nullptr) == 0;
    }
}

QuitSignals::~QuitSignals()
{
    if (!notifier_)
        return;
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        if (std::exchange(caught[i], false))
            std::signal(kSignals[i], SIG_DFL);
    delete notifier_;
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    pipeEnds[0] = pipeEnds[1] = -1;
}

void QuitSignals::readPipe()
{
    unsigned char bytes[16];
    ssize_t n = 0;
    while ((n = ::read(pipeEnds[0], bytes, sizeof bytes)) > 0)
        for (ssize_t i = 0; i < n; ++i)
            emit quitRequested(bytes[i]);
}

} // namespace gx
