// A snowfall of the resident saver in a process of its own.
#include "linux/snowfall_process.h"

#include <errno.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "linux/monotonic_clock.h"

namespace {

// A snowfall asked to end does so within a frame; one held up inside the GL driver is not waited
// for longer than this before it is killed.
constexpr int graceMilliseconds = 2000;

// How a snowfall that failed ended, in the words of one line.
std::string endedHow(int status)
{
    if (WIFEXITED(status))
        return "the snowfall ended with status " + std::to_string(WEXITSTATUS(status));
    const int signal = WTERMSIG(status);
    const char* abbreviation = sigabbrev_np(signal);
    return "the snowfall was ended by signal " +
           (abbreviation != nullptr ? "SIG" + std::string(abbreviation)
                                    : std::to_string(signal)) +
           " (" + strsignal(signal) + ")";
}

// In the new process, before it becomes the snowfall: only calls that are safe after fork.
[[noreturn]] void becomeSnowfall(pid_t resident, char* const* argv, const sigset_t& mask)
{
    // The stop signals' handler writes to the resident saver's pipe; the snowfall has its own.
    signal(SIGTERM, SIG_DFL);
    signal(SIGINT, SIG_DFL);
    // Tied to the resident saver's life, even if it is killed: no snowfall is left behind.
    if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || getppid() != resident)
        _exit(127);
    sigprocmask(SIG_SETMASK, &mask, nullptr);
    execv("/proc/self/exe", argv);
    const char line[] = "tavrel: cannot start a snowfall: /proc/self/exe cannot be run\n";
    (void)!write(STDERR_FILENO, line, sizeof line - 1);
    _exit(127);
}

} // namespace

SnowfallProcess::~SnowfallProcess()
{
    end();
}

bool SnowfallProcess::start(const std::vector<std::string>& arguments, std::string& error)
{
    std::vector<char*> argv = {program_invocation_name};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    // A stop signal that comes while the new process is not yet the snowfall must not reach the
    // resident saver's handler there: held back until the handler is gone.
    sigset_t stops, mask;
    sigemptyset(&stops);
    sigaddset(&stops, SIGTERM);
    sigaddset(&stops, SIGINT);
    sigprocmask(SIG_BLOCK, &stops, &mask);
    const pid_t resident = getpid();
    const pid_t child = fork();
    if (child == 0)
        becomeSnowfall(resident, argv.data(), mask);
    const int forkError = errno;
    sigprocmask(SIG_SETMASK, &mask, nullptr);
    if (child < 0) {
        error = std::string("cannot start a snowfall: ") + std::strerror(forkError);
        return false;
    }
    pid = child;
    // A pidfd is always closed on exec, and polls readable once the process has ended. (Called
    // through syscall: C++ cannot link the C library's own pidfd_open, whose header declares it
    // without C linkage.)
    endWatch = static_cast<int>(syscall(SYS_pidfd_open, child, 0));
    if (endWatch < 0) {
        error = std::string("cannot watch a snowfall: ") + std::strerror(errno);
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        forget();
        return false;
    }
    return true;
}

bool SnowfallProcess::collect(std::string& failure)
{
    failure.clear();
    if (pid <= 0)
        return false;
    int status = 0;
    const pid_t ended = waitpid(pid, &status, WNOHANG);
    if (ended == 0)
        return false;
    forget();
    if (ended > 0 && !(WIFEXITED(status) && WEXITSTATUS(status) == 0))
        failure = endedHow(status);
    return true;
}

void SnowfallProcess::end()
{
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    const std::int64_t deadline = monotonicMilliseconds() + graceMilliseconds;
    pollfd watch = {endWatch, POLLIN, 0};
    int ready;
    do {
        // A stop signal for the resident saver interrupts the wait, which goes on.
        const auto left = std::max<std::int64_t>(deadline - monotonicMilliseconds(), 0);
        ready = poll(&watch, 1, static_cast<int>(left));
    } while (ready < 0 && errno == EINTR);
    if (ready <= 0)
        kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    forget();
}

void SnowfallProcess::forget()
{
    if (endWatch >= 0)
        close(endWatch);
    pid = -1;
    endWatch = -1;
}
