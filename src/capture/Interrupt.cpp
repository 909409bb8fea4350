#include "capture/Interrupt.hpp"

#include <csignal>
#include <cstring>

namespace
{
// Written by the handler, so it can only be a lock-free integer.
volatile std::sig_atomic_t caught = 0;

// The first one is kept: a Ctrl-C reaches both a script and the tool it runs, and the script
// may pass on a SIGTERM of its own.
void record(int signal)
{
    if (caught == 0)
        caught = signal;
}
} // namespace

void catchInterrupts()
{
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = record;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a blocking write or wait comes back with EINTR, so the job sees it soon.
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int interruptSignal()
{
    return caught;
}

const char* interruptName(int signal)
{
    if (signal == SIGINT)
        return "SIGINT";
    if (signal == SIGTERM)
        return "SIGTERM";
    return "a signal";
}
