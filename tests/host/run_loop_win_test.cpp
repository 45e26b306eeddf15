// The run sequence, the main loop and the frame clock, on real windows and a real OpenGL context.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "host/dll_search.h"
#include "host/frame_clock.h"
#include "tests/host/child_process.h"
#include "tests/host/probe_saver.h"

// The program's imports of the functions the host makes its context with, writes its debug line
// through, reads the refresh rate with and narrows the DLL search with, which the cases below
// stand in for.
extern "C" {
extern int(WINAPI* __imp_ChoosePixelFormat)(HDC, const PIXELFORMATDESCRIPTOR*);
extern BOOL(WINAPI* __imp_SetPixelFormat)(HDC, int, const PIXELFORMATDESCRIPTOR*);
extern HGLRC(WINAPI* __imp_wglCreateContext)(HDC);
extern BOOL(WINAPI* __imp_wglMakeCurrent)(HDC, HGLRC);
extern void(WINAPI* __imp_OutputDebugStringA)(LPCSTR);
extern BOOL(WINAPI* __imp_EnumDisplaySettingsW)(LPCWSTR, DWORD, DEVMODEW*);
extern BOOL(WINAPI* __imp_SetDllDirectoryW)(LPCWSTR);
}

namespace {

double secondsNow() {
    LARGE_INTEGER now;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

class RunLoopTest : public SaverWindowTest {
protected:
    // Posts WM_QUIT to the saver window at the end of frame quitFrame.
    void quitAfterFrame(int quitFrame) {
        saver.onFrame = [this, quitFrame](int frame) {
            lastFrameEnd = secondsNow();
            if (frame == quitFrame) {
                PostMessageA(saver.saverWindow, WM_QUIT, 0, 0);
            }
        };
    }
    double lastFrameEnd = 0.0;
};

TEST_F(RunLoopTest, FirstFrameSeesZeroSecondSeesTheFirstPass) {
    saver.onFrame = [this](int frame) {
        if (frame == 1) {
            Sleep(30);
        } else if (frame == 3) {
            PostMessageA(saver.saverWindow, WM_QUIT, 0, 0);
        }
    };
    saver.runLoop();
    ASSERT_EQ(saver.frames.size(), 4u);
    EXPECT_EQ(saver.initSceneCalls, 1);
    EXPECT_EQ(saver.frames[0], 0.0);
    EXPECT_GE(saver.frames[1], 0.029);
    EXPECT_LT(saver.frames[1], 1.0);
    EXPECT_GT(saver.frames[2], 0.0);
    EXPECT_LT(saver.frames[2], saver.frames[1]);
}

TEST_F(RunLoopTest, QuitPassStillDrawsTicksAndWaits) {
    quitAfterFrame(5);
    saver.runLoop();
    const double afterLoop = secondsNow();
    EXPECT_EQ(saver.frames.size(), 6u);
    // The last pass's tick measured the fifth and sixth frames' interval, then it waited.
    EXPECT_GT(frameSeconds(), 0.0);
    EXPECT_GE(afterLoop - lastFrameEnd, 0.0009);
}

// The refresh rate the display reports, as a stand-in for the pacer's EnumDisplaySettingsW.
DWORD standInHertz = 0;

BOOL WINAPI standInDisplaySettings(LPCWSTR, DWORD, DEVMODEW* mode) {
    mode->dmDisplayFrequency = standInHertz;
    return TRUE;
}

TEST_F(RunLoopTest, PacesToTheDisplayUnlessFlatOut) {
    // Xvfb reports no refresh rate, so the loop paces to 60 Hz there; a frame that takes 50 ms is
    // followed by frames at the same pace, not by a burst of catch-up frames. A display whose
    // mode changes to 30 Hz (WM_DISPLAYCHANGE) is followed at its new pace.
    const struct {
        bool flatOut;
        DWORD hertzFromFrame20; // 0: frame 20 is slow instead
        double least, most;     // the median interval after frame 20
    } rows[] = {{false, 0, 0.012, 0.022}, {true, 0, 0.0, 0.0009}, {false, 30, 0.028, 0.040}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.flatOut ? "flat out" : row.hertzFromFrame20 ? "30 Hz" : "paced");
        // The changing display reports nothing either until its change, as Xvfb does.
        const auto realDisplaySettings = __imp_EnumDisplaySettingsW;
        if (row.hertzFromFrame20 != 0) {
            standInHertz = 0;
            standIn(__imp_EnumDisplaySettingsW, standInDisplaySettings);
        }
        saver.frames.clear();
        saver.runFlatOut = row.flatOut;
        saver.onFrame = [this, &row](int frame) {
            if (frame == 20 && row.hertzFromFrame20 != 0) {
                standInHertz = row.hertzFromFrame20;
                SendMessageA(saver.saverWindow, WM_DISPLAYCHANGE, 32, MAKELPARAM(160, 120));
            } else if (frame == 20) {
                Sleep(50);
            } else if (frame == 60) {
                PostMessageA(saver.saverWindow, WM_QUIT, 0, 0);
            }
        };
        saver.runLoop();
        standIn(__imp_EnumDisplaySettingsW, realDisplaySettings);
        // Frame k sees the interval of pass k - 1; pass 20 held the slow frame or the change.
        std::vector<double> afterFrame20(saver.frames.begin() + 22, saver.frames.end());
        std::sort(afterFrame20.begin(), afterFrame20.end());
        const double median = afterFrame20[afterFrame20.size() / 2];
        EXPECT_GE(median, row.least) << "one frame per refresh period";
        EXPECT_LT(median, row.most) << "one frame per refresh period";
        if (!row.flatOut) {
            EXPECT_GT(afterFrame20.front(), 0.008) << "no catch-up frames after a slow one";
        }
    }
}

// WM_QUIT posted by the last frame before the wait, or by another thread while the loop already
// waits, right behind a WM_TIMER that wakes it: the loop takes one message a pass and the wait
// takes the rest, so that WM_QUIT comes to the wait (onTimer holds on until it is posted).
TEST_F(RunLoopTest, QuitWhileTheDisplayIsOffEndsAtOnce) {
    for (const bool duringWait : {false, true}) {
        SCOPED_TRACE(duringWait ? "posted during the wait" : "posted before the wait");
        saver.frames.clear();
        saver.displayPower = DisplayPower::On;
        std::atomic<double> quitAt{0.0};
        std::thread poster;
        const auto postQuit = [&] {
            if (duringWait) {
                Sleep(300);
                PostMessageA(window, WM_TIMER, 0, 0);
            }
            PostMessageA(window, WM_QUIT, 0, 0);
            quitAt = secondsNow();
        };
        saver.onFrame = [&](int frame) {
            if (frame == 2) {
                SendMessageA(window, WM_SYSCOMMAND, SC_MONITORPOWER, 2);
                if (duringWait) {
                    poster = std::thread(postQuit);
                } else {
                    postQuit();
                }
            }
        };
        saver.onTimerCalled = [&] {
            for (int i = 0; i < 1000 && quitAt == 0.0; ++i) {
                Sleep(1);
            }
        };
        // Should the loop wait on after WM_QUIT, a message a second later still ends the wait.
        std::thread waker([this] {
            Sleep(1000);
            PostMessageA(window, WM_NULL, 0, 0);
        });
        saver.runLoop();
        const double ended = secondsNow();
        if (poster.joinable()) {
            poster.join();
        }
        waker.join();
        EXPECT_EQ(saver.frames.size(), 2u);
        EXPECT_LT(ended - quitAt, 0.5);
    }
}

// A settings page of another thread, shown by setting WS_VISIBLE on its own window: nothing is
// sent to the preview, which must look again by itself.
TEST_F(RunLoopTest, AHiddenPreviewLooksAgainWithoutAMessage) {
    std::atomic<HWND> page{nullptr};
    std::atomic<double> shownAt{0.0};
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread owner([&] {
        page = CreateWindowExA(0, "STATIC", "settings page", WS_POPUP, 0, 0, 200, 150, nullptr,
                               nullptr, testInstance(), nullptr);
        const double started = secondsNow();
        // Takes what the preview's thread sends the page while it waits.
        while (MsgWaitForMultipleObjects(1, &done, FALSE, 50, QS_ALLINPUT) != WAIT_OBJECT_0 &&
               secondsNow() - started < 5.0) {
            MSG message;
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
                DispatchMessageA(&message);
            }
            if (shownAt == 0.0 && secondsNow() - started > 0.6) {
                SetWindowLongPtrA(page, GWL_STYLE, GetWindowLongPtrA(page, GWL_STYLE) | WS_VISIBLE);
                shownAt = secondsNow();
            }
        }
        DestroyWindow(page);
    });
    while (page == nullptr) {
        Sleep(1);
    }
    HWND preview = CreateWindowExA(WS_EX_NOPARENTNOTIFY, "WindowsScreenSaverClass", "Preview",
                                   WS_CHILD | WS_VISIBLE, 0, 0, 100, 75, page, nullptr,
                                   testInstance(), nullptr);
    ASSERT_NE(preview, nullptr);
    saver.mode = Preview;
    saver.parentWindow = page;
    saver.saverWindow = preview;
    double firstFrameShown = 0.0;
    saver.onFrame = [&](int) {
        if (shownAt != 0.0 && firstFrameShown == 0.0) {
            firstFrameShown = secondsNow();
            PostMessageA(preview, WM_QUIT, 0, 0);
        }
    };
    saver.runLoop();
    // Gone before the page, whose end would otherwise wait for this thread to take its message.
    DestroyWindow(preview);
    SetEvent(done);
    owner.join();
    CloseHandle(done);
    ASSERT_GT(firstFrameShown, 0.0) << "no frame once the page was shown";
    EXPECT_LT(firstFrameShown - shownAt, 0.5);
}

TEST_F(RunLoopTest, EndsWhenTheWindowIsGone) {
    saver.onFrame = [this](int frame) {
        if (frame == 3) {
            DestroyWindow(window);
        }
    };
    saver.runLoop();
    EXPECT_EQ(saver.frames.size(), 3u);
}

class RunSequenceTest : public ::testing::Test {
protected:
    void SetUp() override {
        keyPath = freshTestKeyPath("RunSequence");
        saver.settingsKeyPath = keyPath;
    }
    void TearDown() override {
        if (saver.saverWindow != nullptr) {
            DestroyWindow(saver.saverWindow);
        }
        unregisterSaverClass();
        removeTestKey(keyPath);
    }
    ProbeSaver saver;
    std::string keyPath;
};

TEST_F(RunSequenceTest, PreviewWithoutAWindowEndsBeforeAnyContext) {
    const char* lines[] = {"/p 0", "/p", "/p 12345", "/p -7", "/p 99999999999"};
    for (const char* line : lines) {
        saver.commandLine = line;
        saver.run();
        EXPECT_EQ(saver.mode, Preview) << line;
        EXPECT_EQ(saver.saverWindow, nullptr) << line;
        EXPECT_EQ(saver.glContextCalls, 0) << line;
        EXPECT_EQ(saver.initSceneCalls, 0) << line;
        unregisterSaverClass();
    }
    EXPECT_EQ(saver.keyCreatedCalls + saver.keyOpenedCalls, 5);
}

TEST_F(RunSequenceTest, UnsupportedModesEndAfterOpeningTheKey) {
    const char* lines[] = {"/a", "/x", "-A"};
    for (const char* line : lines) {
        saver.commandLine = line;
        saver.run();
        EXPECT_EQ(saver.saverWindow, nullptr) << line;
        EXPECT_EQ(saver.glContextCalls, 0) << line;
    }
    EXPECT_EQ(saver.exitUnsupportedCalls, 3);
    EXPECT_EQ(saver.keyCreatedCalls, 1);
    EXPECT_EQ(saver.keyOpenedCalls, 2);
}

TEST_F(RunSequenceTest, FullscreenPopupDrawsWithAContext) {
    saver.commandLine = "/s";
    saver.width = 320;
    saver.height = 240;
    saver.makeRealContext = true;
    saver.onFrame = [this](int frame) {
        if (frame == 2) {
            PostMessageA(saver.saverWindow, WM_QUIT, 0, 0);
        }
    };
    saver.run();
    ASSERT_NE(saver.saverWindow, nullptr);
    RECT box;
    GetWindowRect(saver.saverWindow, &box);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.right, 320);
    EXPECT_EQ(box.bottom, 240);
    char title[32] = {};
    GetWindowTextA(saver.saverWindow, title, sizeof(title));
    EXPECT_STREQ(title, "ScreenSaver");
    char className[64] = {};
    GetClassNameA(saver.saverWindow, className, sizeof(className));
    EXPECT_STREQ(className, "WindowsScreenSaverClass");
    const LONG_PTR style = GetWindowLongPtrA(saver.saverWindow, GWL_STYLE);
    EXPECT_EQ(style & (WS_POPUP | WS_VISIBLE), WS_POPUP | WS_VISIBLE);
    EXPECT_EQ(GetWindowLongPtrA(saver.saverWindow, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_TRUE(saver.contextWasCurrent);
    EXPECT_EQ(saver.frames.size(), 3u);
    wglMakeCurrent(nullptr, nullptr);
}

TEST_F(RunSequenceTest, PreviewFillsItsParentAndDiesWithIt) {
    HWND parent = CreateWindowExA(0, "STATIC", "settings page", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                  40, 40, 300, 220, nullptr, nullptr, testInstance(), nullptr);
    ASSERT_NE(parent, nullptr);
    RECT client;
    GetClientRect(parent, &client);
    saver.commandLine = "/p " + std::to_string(reinterpret_cast<INT_PTR>(parent));
    saver.makeRealContext = true;
    RECT child = {};
    char title[32] = {};
    HWND preview = nullptr;
    saver.onFrame = [&](int frame) {
        if (frame == 2) {
            preview = saver.saverWindow;
            GetClientRect(preview, &child);
            GetWindowTextA(preview, title, sizeof(title));
            EXPECT_EQ(GetParent(preview), parent);
        } else if (frame == 3) {
            DestroyWindow(parent);
        }
    };
    saver.run();
    EXPECT_EQ(saver.frames.size(), 3u);
    EXPECT_EQ(child.right, client.right);
    EXPECT_EQ(child.bottom, client.bottom);
    EXPECT_STREQ(title, "Preview");
    EXPECT_TRUE(saver.contextWasCurrent);
    EXPECT_FALSE(IsWindow(preview));
    saver.saverWindow = nullptr;
    wglMakeCurrent(nullptr, nullptr);
}

TEST_F(RunSequenceTest, TheCursorIsHiddenInFullScreenOnly) {
    const struct {
        const char* line;
        bool shown;
    } cases[] = {{"/s", false}, {"/p 0", true}, {"/c", true}, {"/a", true}, {"", true}};
    for (const auto& c : cases) {
        saver.commandLine = c.line;
        saver.parseCommandLine();
        saver.showCursorForMode();
        // The display count starts at 0 in this thread: 1 after showing, -1 after hiding.
        EXPECT_EQ(ShowCursor(FALSE), c.shown ? 0 : -2) << c.line;
        ShowCursor(TRUE);
        ShowCursor(c.shown ? FALSE : TRUE);
    }
}

// A context that cannot be made, each step refused in turn: by a pixel format the host does not
// ask for set first (SetPixelFormat), or by a stand-in for the step in the import table. A
// preview ends at once, the full screen stays up over the desktop until a key closes it; both
// end with status 1, having written the one debug line naming the step and set up no scene.
struct NoContextCase {
    const char* name;
    const char* step;
    SaverMode mode;
    void (*refuse)(); // null: the foreign pixel format refuses
};
const NoContextCase noContextCases[] = {
    {"no_context_preview", "SetPixelFormat", Preview, nullptr},
    {"no_context_fullscreen", "SetPixelFormat", Fullscreen, nullptr},
    {"refused_choose", "ChoosePixelFormat", Fullscreen,
     [] { standIn(__imp_ChoosePixelFormat, [](HDC, const PIXELFORMATDESCRIPTOR*) { return 0; }); }},
    {"refused_set", "SetPixelFormat", Preview,
     [] {
         standIn(__imp_SetPixelFormat,
                 [](HDC, int, const PIXELFORMATDESCRIPTOR*) -> BOOL { return FALSE; });
     }},
    {"refused_create_preview", "wglCreateContext", Preview,
     [] { standIn(__imp_wglCreateContext, [](HDC) -> HGLRC { return nullptr; }); }},
    {"refused_create_fullscreen", "wglCreateContext", Fullscreen,
     [] { standIn(__imp_wglCreateContext, [](HDC) -> HGLRC { return nullptr; }); }},
    {"refused_current", "wglMakeCurrent", Fullscreen,
     [] { standIn(__imp_wglMakeCurrent, [](HDC, HGLRC) -> BOOL { return FALSE; }); }},
};

// What the host wrote through OutputDebugStringA and what it should have, and the host: checked
// as the process ends, where another line or a scene set up turns the host's status into 8.
std::string debugOutput;
std::string expectedDebugOutput;
const ProbeSaver* refusedSaver = nullptr;

int refusedContext(const NoContextCase& c) {
    standIn(__imp_OutputDebugStringA, [](LPCSTR line) { debugOutput += line; });
    expectedDebugOutput = std::string("Tavrel: no OpenGL: ") + c.step + " failed\n";
    std::atexit([] {
        if (debugOutput != expectedDebugOutput || refusedSaver->initSceneCalls != 0) {
            TerminateProcess(GetCurrentProcess(), 8);
        }
    });
    if (c.refuse != nullptr) {
        c.refuse();
    }
    // Never destroyed: the host ends the process from inside run.
    ProbeSaver& saver = *new ProbeSaver;
    refusedSaver = &saver;
    saver.makeRealContext = true;
    saver.foreignPixelFormat = c.refuse == nullptr;
    // A host that took the refusal for a context goes on to the scene and its frames.
    saver.onFrame = [](int) { ExitProcess(9); };
    if (c.mode == Preview) {
        HWND page = CreateWindowExA(0, "STATIC", "settings page", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                    0, 0, 200, 150, nullptr, nullptr, testInstance(), nullptr);
        saver.commandLine = "/p " + std::to_string(reinterpret_cast<INT_PTR>(page));
    } else {
        saver.commandLine = "/s";
        saver.width = 320;
        saver.height = 240;
        std::thread([&saver] {
            Sleep(500);
            if (!IsWindowVisible(saver.saverWindow)) {
                ExitProcess(10);
            }
            PostMessageA(saver.saverWindow, WM_KEYDOWN, 'A', 0);
        }).detach();
    }
    saver.run();
    return 7;
}

const bool noContextCasesRegistered = [] {
    for (const NoContextCase& c : noContextCases) {
        ChildCase(c.name, [&c] { return refusedContext(c); });
    }
    return true;
}();

TEST(NoContextTest, EveryModeEndsWithStatusOne) {
    // 8: another debug line or a scene set up; 9: frames drawn; 10: the full screen not shown.
    for (const NoContextCase& c : noContextCases) {
        EXPECT_EQ(runInChildProcess(c.name), 1) << c.name;
    }
}

// Where SetDefaultDllDirectories is missing: the current directory is out of the search, and
// OpenGL is loaded from the system folder before any OpenGL call; run in a copy of this program
// with a marker DLL named opengl32.dll beside it. Wine keeps the current directory in the search
// after SetDllDirectoryW(L"") (it takes an empty folder for none), where Windows takes it out: so
// the call itself is what is seen, through a stand-in that notes the folder it names.
std::wstring dllDirectory = L"(never set)";
BOOL(WINAPI* realSetDllDirectory)(LPCWSTR) = nullptr;

const ChildCase searchWithoutDefaultDirectories("search_without_default_directories", [] {
    if (GetModuleHandleW(L"opengl32.dll") != nullptr) {
        return 8;
    }
    realSetDllDirectory = standIn(__imp_SetDllDirectoryW, [](LPCWSTR folder) {
        dllDirectory = folder != nullptr ? folder : L"(null)";
        return realSetDllDirectory(folder);
    });
    limitDllSearchWithoutDefaultDirectories();
    wchar_t loaded[MAX_PATH] = {};
    wchar_t system[MAX_PATH] = {};
    GetModuleFileNameW(GetModuleHandleW(L"opengl32.dll"), loaded, MAX_PATH);
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    const bool fromSystem = length > 0 && _wcsnicmp(loaded, system, length) == 0 &&
                            loaded[length] == L'\\';
    if (!fromSystem) {
        return 7;
    }
    return dllDirectory.empty() ? 6 : 9;
});

TEST(DllSearchTest, WithoutDefaultDirectoriesOpenGlComesFromTheSystemFolder) {
    char scratch[MAX_PATH];
    GetTempPathA(MAX_PATH, scratch);
    const std::string folder = scratch + std::string("tavrel-planted-") +
                               std::to_string(GetCurrentProcessId()) + "\\";
    const std::string program = folder + "host_tests.exe";
    const std::string marker = folder + "opengl32.dll";
    CreateDirectoryA(folder.c_str(), nullptr);
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const bool planted = CopyFileA(self, program.c_str(), FALSE) &&
                         CopyFileA(TAVREL_MARKER_DLL, marker.c_str(), FALSE);
    const int status =
        planted ? runInChildProcess("search_without_default_directories", program.c_str()) : -2;
    // A marker that was loaded left NAME.loaded beside itself.
    for (const std::string& file : {program, marker, marker + ".loaded"}) {
        DeleteFileA(file.c_str());
    }
    RemoveDirectoryA(folder.c_str());
    // 7: OpenGL from elsewhere than the system folder; 9: the current directory left in.
    EXPECT_EQ(status, 6);
}

// Configure shows the dialog, then ends the process with status 0.
const ChildCase configureCase("configure", [] {
    ProbeSaver saver;
    saver.commandLine = "/c:4242";
    saver.dialogId = 103;
    saver.dialogCommands = {IDOK};
    saver.run();
    return 6;
});

TEST(ConfigureModeTest, EndsWithStatusZeroAfterTheDialog) {
    EXPECT_EQ(runInChildProcess("configure"), 0);
}

} // namespace
