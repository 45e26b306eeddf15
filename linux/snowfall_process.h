// One snowfall of the resident saver as a process of its own: the program itself, started again
// with a snowfall's command line. Whatever a snowfall loads (the GL driver, its threads) or
// whatever ends it (a fault in the driver, a compositor that sends something unexpected) stays in
// that process; the resident saver that waits holds only what waiting needs, and goes on waiting.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

class SnowfallProcess {
public:
    SnowfallProcess() = default;
    SnowfallProcess(const SnowfallProcess&) = delete;
    SnowfallProcess& operator=(const SnowfallProcess&) = delete;
    // A snowfall still running is ended first.
    ~SnowfallProcess();

    // Starts /proc/self/exe with the arguments, tied to this process's life (it is killed if
    // this one dies), with its standard streams and nothing else of this process's. Answers false
    // with a one-line reason when no process could be started.
    bool start(const std::vector<std::string>& arguments, std::string& error);
    bool running() const { return pid > 0; }
    // Readable once the snowfall has ended, for a wait to watch; -1 while none runs.
    int descriptor() const { return endWatch; }

    // Collects the snowfall if it has ended by itself, answering whether it had. failure is then
    // empty when it ended with status 0, else a line saying how it ended.
    bool collect(std::string& failure);
    // Asks the snowfall to end (SIGTERM) and collects it; one that has not ended after a grace
    // period is killed.
    void end();

private:
    void forget();

    pid_t pid = -1;
    int endWatch = -1;  // the snowfall's pidfd
};
