// When the resident saver snows beside the desktop's own blank and lock.
#include "linux/wayland/desktop_blank_rules.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>

namespace {

// The whole number that text holds, between blanks; none for anything else or a number past
// limit.
std::optional<std::uint64_t> wholeNumber(const std::string& text, std::uint64_t limit)
{
    const std::size_t first = text.find_first_not_of(" \t\n");
    const std::size_t last = text.find_last_not_of(" \t\n");
    if (first == std::string::npos)
        return std::nullopt;
    std::uint64_t value = 0;
    for (std::size_t i = first; i <= last; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(text[i] - '0');
        if (value > limit)
            return std::nullopt;
    }
    return value;
}

} // namespace

BlankingDesktop blankingDesktop(const char* currentDesktop)
{
    std::string names = currentDesktop != nullptr ? currentDesktop : "";
    std::size_t start = 0;
    while (start <= names.size()) {
        const std::size_t end = std::min(names.find(':', start), names.size());
        const std::string name = names.substr(start, end - start);
        if (name == "GNOME")
            return BlankingDesktop::Gnome;
        if (name == "KDE")
            return BlankingDesktop::KdePlasma;
        start = end + 1;
    }
    return BlankingDesktop::Other;
}

std::uint32_t gnomeBlankSeconds(const std::string& printed)
{
    const char prefix[] = "uint32 ";
    if (printed.compare(0, std::strlen(prefix), prefix) != 0)
        return 0;
    return static_cast<std::uint32_t>(
        wholeNumber(printed.substr(std::strlen(prefix)), std::numeric_limits<std::uint32_t>::max())
            .value_or(0));
}

std::uint32_t kdeLockSeconds(const std::string& timeoutPrinted, bool autolock)
{
    const auto minutes = wholeNumber(timeoutPrinted, std::numeric_limits<std::uint32_t>::max());
    if (!autolock || !minutes)
        return 0;
    // Minutes past what 32 bits of seconds hold are as good as never.
    return static_cast<std::uint32_t>(
        std::min<std::uint64_t>(*minutes * 60, std::numeric_limits<std::uint32_t>::max()));
}

SnowWait snowWait(std::uint32_t askedSeconds, BlankingDesktop desktop,
                  std::uint32_t desktopSeconds)
{
    if (desktop == BlankingDesktop::Other || desktopSeconds == 0 || desktopSeconds > askedSeconds)
        return {askedSeconds, ""};
    const auto seconds = static_cast<std::uint32_t>(
        std::max<std::uint64_t>(std::uint64_t{desktopSeconds} * 4 / 5, 1));
    const std::string what = desktop == BlankingDesktop::Gnome
                                 ? "GNOME blanks the screen after "
                                 : "KDE Plasma locks the screen after ";
    return {seconds, what + std::to_string(desktopSeconds) + " s: snowing after " +
                         std::to_string(seconds) + " s"};
}
