// A small Windows program that the end-to-end tests use to look at the saver from inside Wine.
//
//   saver_probe parent WIDTH HEIGHT MILLISECONDS [HIDE_AT HIDDEN_FOR]
//       Plays the settings page: shows a window with a client area of WIDTH x HEIGHT, prints its
//       handle as a decimal number, then "child X Y WIDTH HEIGHT" once a saver window appears
//       inside it (its place in the client area), and after MILLISECONDS destroys the window,
//       prints "destroyed" and ends. With HIDE_AT, the page is hidden HIDE_AT ms after it
//       appeared ("hidden") and shown again HIDDEN_FOR ms later ("shown").
//   saver_probe monitor REQUEST
//       Posts the monitor-power command with REQUEST (2 off, 1 low power, -1 on) to the
//       full-screen saver, as a program that turns the display off does; prints "posted" or
//       "none".
//   saver_probe display WIDTH HEIGHT
//       Switches the display to WIDTH x HEIGHT with ChangeDisplaySettingsEx and prints "changed"
//       and the call's answer (0 when the mode was set).
//   saver_probe find CLASS TITLE
//       Prints "X Y WIDTH HEIGHT" of the top-level window with that class and title, or "none".
//   saver_probe items TITLE ID...
//       For each control ID of the dialog titled TITLE, prints a line "CHECK TEXT": the
//       control's check state (0 for controls that are not check boxes) and its text as the
//       control itself answers it. Prints "none" if there is no such dialog.
//   saver_probe closebox TITLE
//       Prints "X Y", the screen point in the middle of the close box of the dialog titled
//       TITLE, or "none".
//   saver_probe launch PROGRAM MILLISECONDS xHEX...
//       For each xHEX in turn, starts PROGRAM (a Windows path) with the command line made of the
//       quoted path, one blank and the bytes that HEX spells, exactly ("x" alone: the path with
//       nothing after it), as Windows hands a screen saver its switches. The bytes reach the
//       program as they are, where a Unix command line through wine would quote or re-encode
//       them. Prints "exit N" when it ends, or "running" if it still runs after MILLISECONDS, and
//       then stops it. The program shares the probe's output.
#include <windows.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const UINT_PTR lookTimer = 1;
const UINT_PTR endTimer = 2;
const UINT_PTR hideTimer = 3;
const UINT_PTR showTimer = 4;
bool childReported = false;
UINT hiddenFor = 0;

void say(const char* line) {
    std::printf("%s\n", line);
    std::fflush(stdout);
}

void reportChild(HWND parent) {
    HWND child = FindWindowExA(parent, nullptr, "WindowsScreenSaverClass", nullptr);
    if (child == nullptr || childReported) {
        return;
    }
    RECT box;
    GetWindowRect(child, &box);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&box), 2);
    char title[64] = {};
    GetWindowTextA(child, title, sizeof(title));
    std::printf("child %ld %ld %ld %ld %s\n", box.left, box.top, box.right - box.left,
                box.bottom - box.top, title);
    std::fflush(stdout);
    childReported = true;
}

LRESULT CALLBACK parentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == lookTimer) {
        reportChild(window);
        return 0;
    }
    if (message == WM_TIMER && (wParam == hideTimer || wParam == showTimer)) {
        KillTimer(window, wParam);
        const bool hide = wParam == hideTimer;
        ShowWindow(window, hide ? SW_HIDE : SW_SHOW);
        say(hide ? "hidden" : "shown");
        if (hide) {
            SetTimer(window, showTimer, hiddenFor, nullptr);
        }
        return 0;
    }
    if (message == WM_TIMER && wParam == endTimer) {
        DestroyWindow(window);
        std::printf("destroyed\n");
        std::fflush(stdout);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int playSettingsPage(int width, int height, int milliseconds, int hideAt) {
    WNDCLASSA pageClass = {};
    pageClass.lpfnWndProc = parentProc;
    pageClass.hInstance = GetModuleHandleA(nullptr);
    pageClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    pageClass.lpszClassName = "TavrelProbeSettingsPage";
    RegisterClassA(&pageClass);
    RECT frame = {0, 0, width, height};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    HWND page = CreateWindowExA(0, pageClass.lpszClassName, "Tavrel probe settings page",
                                WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                nullptr, pageClass.hInstance, nullptr);
    if (page == nullptr) {
        return 1;
    }
    std::printf("%lld\n", static_cast<long long>(reinterpret_cast<INT_PTR>(page)));
    std::fflush(stdout);
    SetTimer(page, lookTimer, 50, nullptr);
    SetTimer(page, endTimer, static_cast<UINT>(milliseconds), nullptr);
    if (hideAt > 0) {
        SetTimer(page, hideTimer, static_cast<UINT>(hideAt), nullptr);
    }
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        DispatchMessageA(&message);
    }
    return 0;
}

int findWindow(const char* className, const char* title) {
    HWND window = FindWindowA(className, title);
    if (window == nullptr) {
        std::printf("none\n");
        return 0;
    }
    RECT box;
    GetWindowRect(window, &box);
    std::printf("%ld %ld %ld %ld\n", box.left, box.top, box.right - box.left,
                box.bottom - box.top);
    return 0;
}

int postMonitorPower(LPARAM request) {
    HWND saver = FindWindowA("WindowsScreenSaverClass", "ScreenSaver");
    if (saver == nullptr) {
        say("none");
        return 0;
    }
    PostMessageA(saver, WM_SYSCOMMAND, SC_MONITORPOWER, request);
    say("posted");
    return 0;
}

int changeDisplay(int width, int height) {
    DEVMODEA mode = {};
    mode.dmSize = sizeof(mode);
    mode.dmPelsWidth = static_cast<DWORD>(width);
    mode.dmPelsHeight = static_cast<DWORD>(height);
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    std::printf("changed %ld\n", ChangeDisplaySettingsExA(nullptr, &mode, nullptr, 0, nullptr));
    return 0;
}

bool decodeHex(const char* hex, std::string& bytes) {
    if (hex[0] != 'x') {
        return false;
    }
    for (const char* digit = hex + 1; digit[0] != '\0'; digit += 2) {
        if (!std::isxdigit(static_cast<unsigned char>(digit[0])) ||
            !std::isxdigit(static_cast<unsigned char>(digit[1]))) {
            return false;
        }
        const char pair[3] = {digit[0], digit[1], '\0'};
        bytes.push_back(static_cast<char>(std::strtoul(pair, nullptr, 16)));
    }
    return true;
}

int launchOnce(const char* program, DWORD milliseconds, const std::string& tail) {
    std::string line = std::string("\"") + program + "\"";
    if (!tail.empty()) {
        line += " " + tail;
    }
    std::vector<char> writable(line.begin(), line.end());
    writable.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION started = {};
    if (!CreateProcessA(nullptr, writable.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &started)) {
        std::printf("failed %lu\n", GetLastError());
        std::fflush(stdout);
        return 1;
    }
    if (WaitForSingleObject(started.hProcess, milliseconds) == WAIT_OBJECT_0) {
        DWORD status = 0;
        GetExitCodeProcess(started.hProcess, &status);
        std::printf("exit %lu\n", status);
    } else {
        TerminateProcess(started.hProcess, 1);
        WaitForSingleObject(started.hProcess, 5000);
        std::printf("running\n");
    }
    std::fflush(stdout);
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return 0;
}

int launch(const char* program, DWORD milliseconds, char** tails, int count) {
    for (int i = 0; i < count; ++i) {
        std::string tail;
        if (!decodeHex(tails[i], tail)) {
            std::fprintf(stderr, "not xHEX: %s\n", tails[i]);
            return 2;
        }
        if (launchOnce(program, milliseconds, tail) != 0) {
            return 1;
        }
    }
    return 0;
}

// The control's text is asked for with WM_GETTEXT, which Windows carries across processes;
// GetWindowText would answer the caption kept outside the control, not what an edit box holds.
int printItems(const char* title, int count, char** ids) {
    HWND dialog = FindWindowA(MAKEINTATOM(0x8002), title);
    if (dialog == nullptr) {
        std::printf("none\n");
        return 0;
    }
    for (int i = 0; i < count; ++i) {
        HWND item = GetDlgItem(dialog, std::atoi(ids[i]));
        char text[256] = {};
        SendMessageA(item, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text));
        const LRESULT check = SendMessageA(item, BM_GETCHECK, 0, 0);
        std::printf("%d %s\n", static_cast<int>(check), text);
    }
    return 0;
}

// The close box is the rightmost button of the caption, inside the dialog's fixed frame.
int printCloseBox(const char* title) {
    HWND dialog = FindWindowA(MAKEINTATOM(0x8002), title);
    if (dialog == nullptr) {
        std::printf("none\n");
        return 0;
    }
    RECT box;
    GetWindowRect(dialog, &box);
    const int frameX = GetSystemMetrics(SM_CXFIXEDFRAME);
    const int frameY = GetSystemMetrics(SM_CYFIXEDFRAME);
    const int buttonWidth = GetSystemMetrics(SM_CXSIZE);
    const int captionHeight = GetSystemMetrics(SM_CYCAPTION);
    std::printf("%ld %ld\n", box.right - frameX - buttonWidth / 2 - 1,
                box.top + frameY + captionHeight / 2);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if ((argc == 5 || argc == 7) && std::strcmp(argv[1], "parent") == 0) {
        hiddenFor = argc == 7 ? static_cast<UINT>(std::atoi(argv[6])) : 0;
        return playSettingsPage(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]),
                                argc == 7 ? std::atoi(argv[5]) : 0);
    }
    if (argc == 3 && std::strcmp(argv[1], "monitor") == 0) {
        return postMonitorPower(static_cast<LPARAM>(std::atoi(argv[2])));
    }
    if (argc == 4 && std::strcmp(argv[1], "display") == 0) {
        return changeDisplay(std::atoi(argv[2]), std::atoi(argv[3]));
    }
    if (argc == 4 && std::strcmp(argv[1], "find") == 0) {
        return findWindow(argv[2], argv[3]);
    }
    if (argc >= 5 && std::strcmp(argv[1], "launch") == 0) {
        return launch(argv[2], static_cast<DWORD>(std::atoi(argv[3])), argv + 4, argc - 4);
    }
    if (argc >= 4 && std::strcmp(argv[1], "items") == 0) {
        return printItems(argv[2], argc - 3, argv + 3);
    }
    if (argc == 3 && std::strcmp(argv[1], "closebox") == 0) {
        return printCloseBox(argv[2]);
    }
    std::fprintf(stderr, "usage: saver_probe parent WIDTH HEIGHT MILLISECONDS [HIDE_AT HIDDEN_FOR]"
                         " | monitor REQUEST | display WIDTH HEIGHT | find CLASS TITLE"
                         " | items TITLE ID... | closebox TITLE"
                         " | launch PROGRAM MILLISECONDS xHEX...\n");
    return 2;
}
