// Runs one registered case in a child process: this same program, started with the case's name.
#include "tests/host/child_process.h"

#include <windows.h>

#include <cstring>
#include <map>
#include <string>

namespace {

const char* const childSwitch = "--host-child=";
const DWORD childTimeoutMilliseconds = 30000;

std::map<std::string, std::function<int()>>& childCases() {
    static std::map<std::string, std::function<int()>> cases;
    return cases;
}

} // namespace

ChildCase::ChildCase(const char* name, std::function<int()> body) {
    childCases()[name] = std::move(body);
}

int runInChildProcess(const char* name, const char* program) {
    char thisProgram[MAX_PATH];
    GetModuleFileNameA(nullptr, thisProgram, MAX_PATH);
    if (program == nullptr) {
        program = thisProgram;
    }
    std::string commandLine = std::string("\"") + program + "\" " + childSwitch + name;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION child = {};
    if (!CreateProcessA(program, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &child)) {
        return -1;
    }
    DWORD status = static_cast<DWORD>(-1);
    if (WaitForSingleObject(child.hProcess, childTimeoutMilliseconds) == WAIT_OBJECT_0) {
        GetExitCodeProcess(child.hProcess, &status);
    } else {
        TerminateProcess(child.hProcess, 99);
    }
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    return static_cast<int>(status);
}

bool runChildCaseFromArguments(int argc, char** argv, int& status) {
    const std::size_t switchLength = std::strlen(childSwitch);
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], childSwitch, switchLength) == 0) {
            const auto found = childCases().find(argv[i] + switchLength);
            status = found == childCases().end() ? 100 : found->second();
            return true;
        }
    }
    return false;
}
