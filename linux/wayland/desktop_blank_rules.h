// The desktop's own blank and lock, and when the resident saver snows beside them: GNOME blanks
// the screen behind its shield after its Screen Blank time, KDE Plasma locks it after its locker's
// time. Snow that came later would never be seen, so where the desktop's time is not longer than
// the wait asked for, the snow comes at four fifths of it (a minute before GNOME's default five).
// Portable: no operating-system header.
#pragma once

#include <cstdint>
#include <string>

enum class BlankingDesktop {
    Other,  // one that blanks nothing of its own accord here (sway, say)
    Gnome,
    KdePlasma,
};

// The desktop that XDG_CURRENT_DESKTOP names (a colon-separated list, "ubuntu:GNOME" say); null
// or empty names none.
BlankingDesktop blankingDesktop(const char* currentDesktop);

// GNOME's blank time from its idle-delay as `gsettings get` prints it ("uint32 300"); 0, as for
// GNOME's own "never", for anything else (a session without the schema prints nothing).
std::uint32_t gnomeBlankSeconds(const std::string& printed);

// KDE Plasma's lock time from its locker's settings: Timeout in minutes as kreadconfig prints it,
// and Autolock; 0 where it does not lock of its own accord (autolock off, a Timeout of 0) or the
// Timeout is not a number.
std::uint32_t kdeLockSeconds(const std::string& timeoutPrinted, bool autolock);

struct SnowWait {
    std::uint32_t seconds = 0;
    // Says that the desktop's time shortened the wait; empty where it did not.
    std::string line;
};

// The wait before the snow: askedSeconds, unless the desktop blanks or locks after
// desktopSeconds (0: never) that are not more, then four fifths of those.
SnowWait snowWait(std::uint32_t askedSeconds, BlankingDesktop desktop,
                  std::uint32_t desktopSeconds);
