// One flag, written only by the handler and only once.
#include "StopSignals.h"

#include <csignal>

namespace {

volatile std::sig_atomic_t receivedSignal = 0;

void recordSignal(int signal)
{
    if (receivedSignal == 0)
        receivedSignal = signal;
}

} // namespace

void StopSignals::install()
{
    struct sigaction action { };
    action.sa_handler = recordSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int StopSignals::received()
{
    return receivedSignal;
}

int StopSignals::exitStatus()
{
    return 128 + receivedSignal;
}

const char* StopSignals::name()
{
    return receivedSignal == SIGINT ? "SIGINT" : receivedSignal == SIGTERM ? "SIGTERM" : "a signal";
}
