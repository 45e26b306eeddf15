// Cases that must run in a process of their own: the ones that end the process, and the ones
// that need the process-wide state as a fresh process has it.
#pragma once

#include <functional>

// Registers a case under name; the case's result is the child's exit status.
struct ChildCase {
    ChildCase(const char* name, std::function<int()> body);
};

// Starts this test program again (or program, a copy of it) to run the named case and answers
// its exit status, or -1 when it could not be started or did not end within the timeout.
int runInChildProcess(const char* name, const char* program = nullptr);

// Runs the case named by a "--host-child=NAME" argument, if there is one; answers whether it did
// and, through status, the case's result.
bool runChildCaseFromArguments(int argc, char** argv, int& status);
