#include "host/command_line.h"

#include "host/decimal.h"

namespace {

SaverMode modeOfSwitchLetter(char letter) {
    switch (letter) {
    case '\0':
    case 'C':
    case 'c':
        return Configure;
    case 'A':
    case 'a':
        return ChangePassword;
    case 'P':
    case 'p':
    case 'L':
    case 'l':
        return Preview;
    case 'S':
    case 's':
        return Fullscreen;
    default:
        return Unknown;
    }
}

} // namespace

SaverCommand parseSaverCommand(const std::string& commandLine) {
    if (commandLine.empty()) {
        return {Configure, 0};
    }
    // A one-character line has its terminator at index 1, which reads as Configure.
    const SaverMode mode = modeOfSwitchLetter(commandLine.c_str()[1]);
    if (mode != Preview) {
        return {mode, 0};
    }
    // The handle saturates rather than overflows; a line without a blank carries no handle.
    const std::string::size_type blank = commandLine.find(' ');
    if (blank == std::string::npos) {
        return {Preview, 0};
    }
    return {Preview, parseDecimal(commandLine.c_str() + blank + 1)};
}
