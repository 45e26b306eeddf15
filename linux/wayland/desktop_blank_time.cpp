// The desktop's blank or lock time, read through the desktop's own tools.
#include "linux/wayland/desktop_blank_time.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "linux/monotonic_clock.h"

namespace {

constexpr int toolMilliseconds = 1000;

// What the tool printed, read until it closes its output or the time is up.
std::string readOutput(int descriptor, std::int64_t deadline)
{
    std::string output;
    pollfd watch = {descriptor, POLLIN, 0};
    for (;;) {
        const auto left = static_cast<int>(deadline - monotonicMilliseconds());
        if (left <= 0 || output.size() > 4096)
            break;
        const int ready = poll(&watch, 1, left);
        if (ready < 0 && errno == EINTR)
            continue;
        char buffer[256];
        const ssize_t got = ready > 0 ? read(descriptor, buffer, sizeof buffer) : 0;
        if (got <= 0)
            break;
        output.append(buffer, static_cast<std::size_t>(got));
    }
    return output;
}

// Runs the tool, found on PATH, with no input and its complaints dropped; answers its exit
// status (-1 when it could not run, ended by a signal, or took too long, then killed) and what it
// printed.
int runTool(const std::vector<const char*>& command, std::string& output)
{
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (const char* part : command)
        argv.push_back(const_cast<char*>(part));
    argv.push_back(nullptr);
    pid_t pid = -1;
    // glibc's posix_spawn resets every handled signal in the new process, so the stop signals'
    // handler never runs there.
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    const std::int64_t deadline = monotonicMilliseconds() + toolMilliseconds;
    output = spawned == 0 ? readOutput(pipeEnds[0], deadline) : std::string();
    close(pipeEnds[0]);
    if (spawned != 0)
        return -1;
    // A tool that has closed its output is about to end.
    int status = 0;
    pid_t ended;
    while ((ended = waitpid(pid, &status, WNOHANG)) == 0 && monotonicMilliseconds() < deadline) {
        const timespec moment = {0, 2000000};
        nanosleep(&moment, nullptr);
    }
    if (ended == 0) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        return -1;
    }
    return ended > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::uint32_t gnomeBlank()
{
    std::string printed;
    if (runTool({"gsettings", "get", "org.gnome.desktop.session", "idle-delay"}, printed) != 0)
        return 0;
    return gnomeBlankSeconds(printed);
}

// KDE Plasma 6's tool, else Plasma 5's. With --type bool kreadconfig prints nothing and answers
// in its status: 0 for true, 1 for false.
std::uint32_t kdeLock()
{
    for (const char* tool : {"kreadconfig6", "kreadconfig5"}) {
        std::string timeout, unused;
        if (runTool({tool, "--file", "kscreenlockerrc", "--group", "Daemon", "--key", "Timeout",
                     "--default", "5"},
                    timeout) != 0)
            continue;
        const int autolock = runTool({tool, "--file", "kscreenlockerrc", "--group", "Daemon",
                                      "--key", "Autolock", "--type", "bool", "--default", "true"},
                                     unused);
        return kdeLockSeconds(timeout, autolock == 0);
    }
    return 0;
}

} // namespace

DesktopBlank readDesktopBlank()
{
    DesktopBlank blank;
    blank.desktop = blankingDesktop(std::getenv("XDG_CURRENT_DESKTOP"));
    if (blank.desktop == BlankingDesktop::Gnome)
        blank.seconds = gnomeBlank();
    else if (blank.desktop == BlankingDesktop::KdePlasma)
        blank.seconds = kdeLock();
    return blank;
}
