// The run sequence, the main loop and the frame clock, on real windows and a real OpenGL context.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "host/dll_search.h"
#include "host/frame_clock.h"
#include "tests/host/child_process.h"
#include "tests/host/probe_saver.h"

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

TEST_F(RunLoopTest, PacesToTheDisplayUnlessFlatOut) {
    // Xvfb reports no refresh rate, so the loop paces to 60 Hz there; a frame that takes 50 ms is
    // followed by frames at the same pace, not by a burst of catch-up frames.
    for (const bool flatOut : {false, true}) {
        saver.frames.clear();
        saver.runFlatOut = flatOut;
        saver.onFrame = [this](int frame) {
            if (frame == 20) {
                Sleep(50);
            } else if (frame == 60) {
                PostMessageA(saver.saverWindow, WM_QUIT, 0, 0);
            }
        };
        saver.runLoop();
        // Frame k sees the interval of pass k - 1; pass 20 held the slow frame.
        std::vector<double> intervals(saver.frames.begin() + 2, saver.frames.end());
        std::vector<double> afterSlowFrame(saver.frames.begin() + 22, saver.frames.end());
        std::sort(intervals.begin(), intervals.end());
        const double median = intervals[intervals.size() / 2];
        if (flatOut) {
            EXPECT_LT(median, 0.0009) << "passes run without waiting";
        } else {
            EXPECT_GT(median, 0.012) << "one frame per refresh period";
            EXPECT_LT(median, 0.022) << "one frame per refresh period";
            EXPECT_GT(*std::min_element(afterSlowFrame.begin(), afterSlowFrame.end()), 0.008)
                << "no catch-up frames after a slow one";
        }
    }
}

TEST_F(RunLoopTest, QuitWhileTheDisplayIsOffEndsAtOnce) {
    double quitAt = 0.0;
    saver.onFrame = [&](int frame) {
        if (frame == 2) {
            SendMessageA(window, WM_SYSCOMMAND, SC_MONITORPOWER, 2);
            PostMessageA(window, WM_QUIT, 0, 0);
            quitAt = secondsNow();
        }
    };
    // Should the loop wait on after WM_QUIT, a message a second later still ends the wait.
    std::thread waker([this] {
        Sleep(1000);
        PostMessageA(window, WM_NULL, 0, 0);
    });
    saver.runLoop();
    const double ended = secondsNow();
    waker.join();
    EXPECT_EQ(saver.frames.size(), 2u);
    EXPECT_LT(ended - quitAt, 0.5);
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

// A context that cannot be made: a preview ends at once, the full screen stays up over the
// desktop until a key closes it; both end with status 1.
const ChildCase noContextPreview("no_context_preview", [] {
    HWND page = CreateWindowExA(0, "STATIC", "settings page", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                0, 200, 150, nullptr, nullptr, testInstance(), nullptr);
    ProbeSaver saver;
    saver.commandLine = "/p " + std::to_string(reinterpret_cast<INT_PTR>(page));
    saver.makeRealContext = true;
    saver.foreignPixelFormat = true;
    saver.run();
    return 7;
});

const ChildCase noContextFullscreen("no_context_fullscreen", [] {
    ProbeSaver saver;
    saver.commandLine = "/s";
    saver.width = 320;
    saver.height = 240;
    saver.makeRealContext = true;
    saver.foreignPixelFormat = true;
    std::thread([&saver] {
        Sleep(500);
        if (!IsWindowVisible(saver.saverWindow)) {
            ExitProcess(8);
        }
        PostMessageA(saver.saverWindow, WM_KEYDOWN, 'A', 0);
    }).detach();
    saver.run();
    return 7;
});

TEST(NoContextTest, EveryModeEndsWithStatusOne) {
    EXPECT_EQ(runInChildProcess("no_context_preview"), 1);
    EXPECT_EQ(runInChildProcess("no_context_fullscreen"), 1);
}

// Where SetDefaultDllDirectories is missing: the current directory is out of the search, and
// OpenGL is loaded from the system folder before any OpenGL call.
const ChildCase searchWithoutDefaultDirectories("search_without_default_directories", [] {
    if (GetModuleHandleW(L"opengl32.dll") != nullptr) {
        return 8;
    }
    limitDllSearchWithoutDefaultDirectories();
    wchar_t loaded[MAX_PATH] = {};
    wchar_t system[MAX_PATH] = {};
    GetModuleFileNameW(GetModuleHandleW(L"opengl32.dll"), loaded, MAX_PATH);
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    wchar_t searched[4] = {L'x'};
    const bool currentOut = GetDllDirectoryW(4, searched) == 0 && searched[0] == L'\0';
    const bool fromSystem = length > 0 && _wcsnicmp(loaded, system, length) == 0 &&
                            loaded[length] == L'\\';
    return currentOut && fromSystem ? 6 : 7;
});

TEST(DllSearchTest, WithoutDefaultDirectoriesOpenGlComesFromTheSystemFolder) {
    EXPECT_EQ(runInChildProcess("search_without_default_directories"), 6);
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
