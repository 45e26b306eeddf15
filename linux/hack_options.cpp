// The Linux program's command line.
#include "linux/hack_options.h"

#include <limits>

#include "host/decimal.h"

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

int hexDigit(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A whole number with an optional sign and at least one digit, nothing else; saturates beyond
// the 32-bit range as parseDecimal does.
bool readRate(const std::string& text, std::int32_t& rate)
{
    const std::size_t start = !text.empty() && (text[0] == '+' || text[0] == '-') ? 1 : 0;
    if (start == text.size())
        return false;
    for (std::size_t i = start; i < text.size(); ++i) {
        if (!isDigit(text[i]))
            return false;
    }
    rate = parseDecimal(text.c_str());
    return true;
}

// The resident saver's idle time: whole seconds, at least one, and few enough that the time in
// milliseconds the idle protocols take fits their 32 bits (about 49 days).
bool readIdleSeconds(const std::string& text, std::uint32_t& seconds)
{
    constexpr std::uint64_t most = std::numeric_limits<std::uint32_t>::max() / 1000;
    std::uint64_t value = 0;
    for (const char c : text) {
        if (!isDigit(c))
            return false;
        value = value * 10 + static_cast<unsigned>(c - '0');
        if (value > most)
            return false;
    }
    seconds = static_cast<std::uint32_t>(value);
    return !text.empty() && value > 0;
}

// An X window id: decimal, or hexadecimal after 0x; never 0, and within the 32 bits X ids have.
bool readWindowId(const std::string& text, unsigned long& id)
{
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const unsigned base = hex ? 16 : 10;
    if (text.empty())
        return false;
    std::uint64_t value = 0;
    for (std::size_t i = hex ? 2 : 0; i < text.size(); ++i) {
        const int digit = hex ? hexDigit(text[i]) : (isDigit(text[i]) ? text[i] - '0' : -1);
        if (digit < 0)
            return false;
        value = value * base + static_cast<unsigned>(digit);
        if (value > std::numeric_limits<std::uint32_t>::max())
            return false;
    }
    id = static_cast<unsigned long>(value);
    return value != 0;
}

// The text between quotes in an error line: control characters (a newline, say) would break the
// one line the error must be, so each shows as '?'.
std::string quoted(const std::string& text)
{
    std::string shown = "'";
    for (const char c : text)
        shown += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? '?' : c;
    return shown + "'";
}

// The option's name without its dashes, and the value joined to it by '=' if there is one.
void splitOption(const std::string& argument, std::string& name, std::string& joined,
                 bool& hasJoined)
{
    const std::size_t dashes = argument.compare(0, 2, "--") == 0 ? 2 : 1;
    const std::size_t equals = argument.find('=');
    hasJoined = equals != std::string::npos;
    name = argument.substr(dashes, hasJoined ? equals - dashes : std::string::npos);
    joined = hasJoined ? argument.substr(equals + 1) : std::string();
}

} // namespace

HackOptions parseHackOptions(const std::vector<std::string>& arguments,
                             const char* screensaverWindow)
{
    HackOptions options;
    bool explicitTarget = false;
    for (std::size_t i = 0; i < arguments.size() && options.error.empty(); ++i) {
        const std::string& argument = arguments[i];
        if (argument.size() < 2 || argument[0] != '-') {
            options.error = "unexpected argument " + quoted(argument);
            break;
        }
        std::string name;
        std::string value;
        bool hasJoined = false;
        splitOption(argument, name, value, hasJoined);
        const bool takesValue = name == "rate" || name == "window-id" || name == "display" ||
                                name == "idle";
        if (hasJoined && !takesValue) {
            options.error = "option " + quoted(argument) + " takes no value";
            break;
        }
        if (takesValue && !hasJoined) {
            if (i + 1 == arguments.size()) {
                options.error = "option " + quoted(argument) + " needs a value";
                break;
            }
            value = arguments[++i];
        }
        // The last target named wins, and a window id given before it goes with it.
        if (name == "root") {
            options.target = HackTarget::Root;
            options.windowId = 0;
        } else if (name == "window") {
            options.target = HackTarget::OwnWindow;
            options.windowId = 0;
            explicitTarget = true;
        } else if (name == "window-id") {
            options.target = HackTarget::NamedWindow;
            explicitTarget = true;
            if (!readWindowId(value, options.windowId))
                options.error = quoted(value) + " is not a window id";
        } else if (name == "display") {
            options.display = value;
        } else if (name == "rate") {
            if (!readRate(value, options.rate))
                options.error = quoted(value) + " is not a number of flakes a second";
        } else if (name == "idle") {
            if (!readIdleSeconds(value, options.idleSeconds))
                options.error = quoted(value) + " is not a number of seconds from 1 to 4294967";
        } else if (name == "transparent") {
            options.transparent = true;
        } else if (name == "gravity") {
            options.gravity = true;
        } else if (name == "wayland") {
            options.wayland = true;
        } else if (name == "resident-snowfall") {
            options.residentSnowfall = true;
        } else if (name == "help" || name == "h") {
            options.help = true;
        } else {
            options.error = "unknown option " + quoted(argument);
        }
    }
    if (options.error.empty() && options.wayland && options.gravity)
        options.error = "--gravity does not work with --wayland: Wayland lets no program move "
                        "the pointer";
    if (options.error.empty() && !options.wayland && options.idleSeconds > 0)
        options.error = "--idle works only with --wayland: on X11 the screen saver daemon starts "
                        "the program";
    if (options.error.empty() && options.residentSnowfall &&
        (!options.wayland || options.idleSeconds > 0))
        options.error = "--resident-snowfall is the resident saver's own: with --wayland alone";
    if (options.error.empty() && !options.wayland && !explicitTarget &&
        screensaverWindow != nullptr) {
        options.target = HackTarget::NamedWindow;
        if (!readWindowId(screensaverWindow, options.windowId))
            options.error = "XSCREENSAVER_WINDOW " + quoted(screensaverWindow) +
                            " is not a window id";
    }
    return options;
}

std::vector<std::string> residentSnowfallArguments(const HackOptions& options)
{
    std::vector<std::string> arguments = {"--wayland", "--resident-snowfall", "--rate",
                                          std::to_string(options.rate)};
    if (options.transparent)
        arguments.push_back("--transparent");
    return arguments;
}

const char* hackUsage()
{
    return "usage: tavrel [options]\n"
           "  -window            draw in a window of its own (the default)\n"
           "  -root              draw in the root window, or in the screen saver's window\n"
           "                     named by XSCREENSAVER_WINDOW\n"
           "  -window-id ID      draw in the window with this id (decimal, or 0x...)\n"
           "  -display NAME      the X display to draw on (default: DISPLAY)\n"
           "  --rate N           flakes a second, 10 to 300 (default 100)\n"
           "  --transparent      overlapping flakes brighten each other\n"
           "  --gravity          the mouse steers a point of gravity (in a window of its own)\n"
           "  --wayland          a screen saver for Wayland: full screen on every output of the\n"
           "                     compositor in WAYLAND_DISPLAY, ended by a key, a button, a touch\n"
           "                     or a move of the pointer (not with --gravity)\n"
           "  --idle SECONDS     with --wayland: stay resident, and snow each time the session\n"
           "                     has been idle for SECONDS, until the next input\n"
           "  --help             show this text\n";
}
