// DisplayNotices: asks Windows to tell the saver's window when the display goes off, comes on or
// dims, for as long as the object lives.
#pragma once

#include <windows.h>

class DisplayNotices {
public:
    explicit DisplayNotices(HWND window);
    ~DisplayNotices();

    DisplayNotices(const DisplayNotices&) = delete;
    DisplayNotices& operator=(const DisplayNotices&) = delete;

private:
    HPOWERNOTIFY notices;
};
