// The host's window and dialog dispatch, on a real window and a real modal dialog.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/host/child_process.h"
#include "tests/host/probe_saver.h"

namespace {

using WindowDispatchTest = SaverWindowTest;

TEST_F(WindowDispatchTest, AnswersTheTable) {
    struct Row {
        UINT message;
        LRESULT result;
    };
    const Row rows[] = {{WM_INITDIALOG, 1}, {WM_TIMER, 1}, {WM_ERASEBKGND, 0},
                        {WM_COMMAND, 0},    {WM_CTLCOLORSTATIC, 0}};
    for (const Row& row : rows) {
        EXPECT_EQ(SendMessageA(window, row.message, 0, 0), row.result) << "message " << row.message;
    }
    EXPECT_EQ(saver.timerCalls, 1);
    EXPECT_EQ(takePostedCloses(window), 0);
}

TEST_F(WindowDispatchTest, NoHostMeansNoAnswer) {
    ScreenSaver* host = currentSaver;
    currentSaver = nullptr;
    const LRESULT answer = SendMessageA(window, WM_TIMER, 0, 0);
    currentSaver = host;
    EXPECT_EQ(answer, 0);
    EXPECT_EQ(saver.timerCalls, 0);
}

TEST(DialogDispatchTest, CommandsAnswerOneAndOnlyOkOrCancelEnd) {
    struct Row {
        const char* name;
        WPARAM lastCommand;
        INT_PTR dialogResult;
    };
    const Row rows[] = {{"ok", IDOK, IDOK}, {"cancel", IDCANCEL, IDCANCEL}};
    for (const Row& row : rows) {
        ProbeSaver saver;
        saver.dialogId = 103;
        // The other command comes first: it must leave the dialog open for the closing one.
        saver.dialogCommands = {1000, row.lastCommand};
        EXPECT_EQ(saver.showConfigureDialog(), row.dialogResult) << row.name;
        ASSERT_EQ(saver.dialogCommandResults.size(), 2u) << row.name;
        EXPECT_EQ(saver.dialogCommandResults[0], 1) << row.name;
        EXPECT_EQ(saver.dialogCommandResults[1], 1) << row.name;
    }
}

TEST(DialogDispatchTest, UnhandledMessagesAnswerZero) {
    ProbeSaver saver;
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  testInstance(), nullptr);
    EXPECT_EQ(saverDialogProc(window, WM_USER + 1, 0, 0), 0);
    EXPECT_EQ(saverDialogProc(window, WM_MOUSEMOVE, 0, 0), 0);
    DestroyWindow(window);
}

TEST(DialogDispatchTest, StaticTextsAreBlueOnWhite) {
    ProbeSaver saver;
    HDC memory = CreateCompatibleDC(nullptr);
    const INT_PTR first = saverDialogProc(nullptr, WM_CTLCOLORSTATIC,
                                          reinterpret_cast<WPARAM>(memory), 0);
    const INT_PTR second = saverDialogProc(nullptr, WM_CTLCOLORSTATIC,
                                           reinterpret_cast<WPARAM>(memory), 0);
    EXPECT_EQ(GetBkColor(memory), 0x00FFFFFFu);
    EXPECT_EQ(GetTextColor(memory), 0x00FF0000u);
    ASSERT_NE(first, 0);
    EXPECT_EQ(first, second);
    LOGBRUSH brush = {};
    GetObjectA(reinterpret_cast<HBRUSH>(first), sizeof(brush), &brush);
    EXPECT_EQ(brush.lbColor, 0x00FFFFFFu);
    DeleteDC(memory);
}

TEST(DialogDispatchTest, BackgroundIsErasedWhite) {
    ProbeSaver saver;
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 8, 8, nullptr, nullptr,
                                  testInstance(), nullptr);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 8, 8);
    HGDIOBJ old = SelectObject(memory, bitmap);
    EXPECT_EQ(saverDialogProc(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory), 0), 1);
    EXPECT_EQ(GetPixel(memory, 3, 3) & 0x00FFFFFF, 0x00FFFFFFu);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    DestroyWindow(window);
}

// WM_CLOSE ends the process at once with status 0, from inside the window procedure.
const ChildCase sentCloseCase("sent_close", [] {
    ProbeSaver saver;
    saver.width = 50;
    saver.height = 50;
    saver.registerWindowClass();
    HWND window = createHiddenSaverWindow(50, 50);
    SendMessageA(window, WM_CLOSE, 0, 0);
    return 3;
});

// A posted WM_CLOSE ends the run when the loop dispatches it, before another frame is drawn.
const ChildCase postedCloseCase("posted_close", [] {
    ProbeSaver saver;
    saver.width = 50;
    saver.height = 50;
    saver.registerWindowClass();
    saver.saverWindow = createHiddenSaverWindow(50, 50);
    saver.onFrame = [&saver](int frame) {
        if (frame == 3) {
            PostMessageA(saver.saverWindow, WM_CLOSE, 0, 0);
        } else if (frame > 3) {
            ExitProcess(4);
        }
    };
    saver.runLoop();
    return 5;
});

TEST(CloseMessageTest, EndsTheProcessWithStatusZero) {
    EXPECT_EQ(runInChildProcess("sent_close"), 0);
    EXPECT_EQ(runInChildProcess("posted_close"), 0);
}

} // namespace
