// The Linux program's stop signals and the self-pipe that wakes a wait on them.
#include "linux/stop_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace {

volatile std::sig_atomic_t stopFlag = 0;
// Written to by the signal handler, so that a wait for events that began just after the loop
// looked at the stop flag still ends (the self-pipe).
int stopPipe[2] = {-1, -1};

void requestStop(int)
{
    stopFlag = 1;
    if (stopPipe[1] >= 0) {
        const int saved = errno;
        const char byte = 1;
        (void)!write(stopPipe[1], &byte, 1);
        errno = saved;
    }
}

} // namespace

void stopOnSignals()
{
    if (pipe2(stopPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        stopPipe[0] = stopPipe[1] = -1;
    struct sigaction action = {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: the frame wait must end when the signal comes.
    action.sa_flags = 0;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

bool stopRequested()
{
    return stopFlag != 0;
}

int stopSignalDescriptor()
{
    return stopPipe[0];
}
