// The configuration dialog on the real Win32 dialog manager: what it shows for the stored
// settings, what the check boxes change at once, and what OK, Cancel and the close box store.
// Settings live under a key of this test program's own, never the saver's.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

#include "resources/resource_ids.h"
#include "scene/tavrel.h"
#include "tests/host/child_process.h"

namespace {

const char* const testKeyPath = "Software\\Tavrel Tests\\Configuration Dialog";
const char* const configureKeyPath = "Software\\Tavrel Tests\\Configure Mode";

// What is stored under the test key, read past the host's own value operations.
bool storedValue(const char* name, DWORD* value)
{
    DWORD size = sizeof(*value);
    return RegGetValueA(HKEY_CURRENT_USER, testKeyPath, name, RRF_RT_REG_DWORD, nullptr, value,
                        &size) == ERROR_SUCCESS;
}

DWORD stored(const char* name)
{
    DWORD value = 0xDEADBEEF;
    EXPECT_TRUE(storedValue(name, &value)) << name << " is not stored";
    return value;
}

class ConfigDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegDeleteKeyA(HKEY_CURRENT_USER, testKeyPath);
        saver.settingsKeyPath = testKeyPath;
        saver.instance = GetModuleHandleA(nullptr);
        saver.dialogId = TAVREL_DIALOG_ID;
        saver.openSettingsKey();
        ASSERT_NE(saver.settingsKey, nullptr);
    }

    void TearDown() override
    {
        if (dialog != nullptr)
            DestroyWindow(dialog);
        RegCloseKey(saver.settingsKey);
        RegDeleteKeyA(HKEY_CURRENT_USER, testKeyPath);
    }

    void store(const char* name, int value) { saver.writeValue(name, value); }

    // The dialog, modeless, for inspection: WM_INITDIALOG has run when this returns.
    HWND open()
    {
        dialog = CreateDialogParamA(saver.instance, MAKEINTRESOURCEA(TAVREL_DIALOG_ID), nullptr,
                                    saverDialogProc, 0);
        EXPECT_NE(dialog, nullptr);
        return dialog;
    }

    void close()
    {
        DestroyWindow(dialog);
        dialog = nullptr;
    }

    bool checked(int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

    std::string rateText()
    {
        char text[256] = {};
        GetDlgItemTextA(dialog, TAVREL_RATE_EDIT_ID, text, sizeof(text));
        return text;
    }

    void click(int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

    Tavrel saver;
    HWND dialog = nullptr;
};

TEST_F(ConfigDialog, OpensWithClearBoxesAndTheDefaultRateWhenNothingIsStored)
{
    open();
    EXPECT_FALSE(checked(TAVREL_GRAVITY_BOX_ID));
    EXPECT_FALSE(checked(TAVREL_TRANSPARENT_BOX_ID));
    EXPECT_EQ(rateText(), "100");
    EXPECT_FALSE(saver.useGravity);
    EXPECT_FALSE(saver.useTransparentFlakes);
}

TEST_F(ConfigDialog, ShowsTheStoredSettings)
{
    struct Case {
        int gravity, transparent, rate;
        bool gravityChecked, transparentChecked;
        const char* text;
    };
    const Case cases[] = {
        {1, 1, 500, true, true, "500"},
        {0, 1, 0, false, true, "100"},
        {7, 0, 250, true, false, "250"},
        {0, 0, 5, false, false, "5"},
        {-1, 0, -20, true, false, "-20"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        store("useGravity", c.gravity);
        store("useTransparentFlakes", c.transparent);
        store("snowCountPerSecond", c.rate);
        saver.useGravity = saver.useTransparentFlakes = false;
        open();
        EXPECT_EQ(checked(TAVREL_GRAVITY_BOX_ID), c.gravityChecked);
        EXPECT_EQ(checked(TAVREL_TRANSPARENT_BOX_ID), c.transparentChecked);
        EXPECT_EQ(saver.useGravity, c.gravityChecked);
        EXPECT_EQ(saver.useTransparentFlakes, c.transparentChecked);
        EXPECT_EQ(rateText(), c.text);
        close();
    }
}

TEST_F(ConfigDialog, CheckBoxesChangeTheSceneAtOnceButStoreNothing)
{
    open();
    click(TAVREL_GRAVITY_BOX_ID);
    EXPECT_TRUE(saver.useGravity);
    EXPECT_FALSE(saver.useTransparentFlakes);
    click(TAVREL_TRANSPARENT_BOX_ID);
    EXPECT_TRUE(saver.useTransparentFlakes);
    click(TAVREL_GRAVITY_BOX_ID);
    EXPECT_FALSE(saver.useGravity);
    DWORD value = 0;
    EXPECT_FALSE(storedValue("useGravity", &value));
    EXPECT_FALSE(storedValue("useTransparentFlakes", &value));
}

TEST_F(ConfigDialog, OkStoresTheBoxesAndTheClampedRate)
{
    struct Case {
        std::string typed;
        DWORD rate;
    };
    const Case cases[] = {
        {"", 10},
        {"250", 250},
        {"250abc", 250},
        {" 42", 42},
        {"-20", 10},
        {"abc", 10},
        {"5", 10},
        {"301", 300},
        {"12345678901234567890", 300},
        {std::string(59, '9'), 300},
        // Only the first 59 characters are read: the last digit of 250 falls outside.
        {std::string(57, ' ') + "250", 25},
        {std::string(300, '7'), 300},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("typed \"" + c.typed + "\"");
        store("useTransparentFlakes", 0);
        open();
        click(TAVREL_TRANSPARENT_BOX_ID);
        SetDlgItemTextA(dialog, TAVREL_RATE_EDIT_ID, c.typed.c_str());
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
        EXPECT_EQ(stored("useGravity"), 0u);
        EXPECT_EQ(stored("useTransparentFlakes"), 1u);
        EXPECT_EQ(stored("snowCountPerSecond"), c.rate);
        EXPECT_EQ(saver.snowCountPerSecond, static_cast<int>(c.rate));
        close();
    }
}

TEST_F(ConfigDialog, OtherCommandsLeaveTheDialogOpenAndStoreNothing)
{
    open();
    ShowWindow(dialog, SW_SHOW);
    SetDlgItemTextA(dialog, TAVREL_RATE_EDIT_ID, "250");
    const WORD ids[] = {0, 3, 1000, TAVREL_RATE_EDIT_ID, 0xFFFF};
    for (WORD id : ids) {
        // The dialog procedure's own answer; SendMessageA would hand back the dialog's
        // message result instead.
        EXPECT_EQ(saverDialogProc(dialog, WM_COMMAND, MAKEWPARAM(id, EN_CHANGE), 0), 1) << id;
        EXPECT_TRUE(IsWindowVisible(dialog)) << id;
    }
    DWORD value = 0;
    EXPECT_FALSE(storedValue("snowCountPerSecond", &value));
}

// Steps played on the modal dialog from a timer inside its modal loop, as a user would act.
using DialogSteps = void (*)(HWND dialog);
DialogSteps pendingSteps = nullptr;

HWND findDialog()
{
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM result) -> BOOL {
            char className[16] = {};
            GetClassNameA(window, className, sizeof(className));
            if (std::string(className) != "#32770")
                return TRUE;
            *reinterpret_cast<HWND*>(result) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

void CALLBACK playSteps(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND dialog = findDialog();
    if (dialog == nullptr || pendingSteps == nullptr)
        return;
    KillTimer(nullptr, timer);
    DialogSteps steps = pendingSteps;
    pendingSteps = nullptr;
    steps(dialog);
}

// Plays steps once the dialog is up; a dialog that the steps leave open is cancelled after a
// while, so that no test hangs on it.
class StepPlayer {
public:
    explicit StepPlayer(DialogSteps steps)
    {
        pendingSteps = steps;
        timer = SetTimer(nullptr, 0, 20, playSteps);
        guard = SetTimer(nullptr, 0, 5000, [](HWND, UINT, UINT_PTR, DWORD) {
            if (HWND dialog = findDialog())
                EndDialog(dialog, -2);
        });
    }

    ~StepPlayer()
    {
        KillTimer(nullptr, timer);
        KillTimer(nullptr, guard);
        pendingSteps = nullptr;
    }

    StepPlayer(const StepPlayer&) = delete;
    StepPlayer& operator=(const StepPlayer&) = delete;

private:
    UINT_PTR timer = 0;
    UINT_PTR guard = 0;
};

INT_PTR runModal(Tavrel& saver, DialogSteps steps)
{
    StepPlayer player(steps);
    return saver.showConfigureDialog();
}

void pressOk(HWND dialog) { SendMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0); }

void pressCancel(HWND dialog) { SendMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0); }

// What the close box of the caption does.
void pressCloseBox(HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }

TEST_F(ConfigDialog, ModalOkEndsWithOkAndStores)
{
    store("snowCountPerSecond", 500);
    const INT_PTR result = runModal(saver, [](HWND dialog) {
        SendMessageA(GetDlgItem(dialog, TAVREL_GRAVITY_BOX_ID), BM_CLICK, 0, 0);
        pressOk(dialog);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(stored("useGravity"), 1u);
    EXPECT_EQ(stored("useTransparentFlakes"), 0u);
    EXPECT_EQ(stored("snowCountPerSecond"), 300u);
}

TEST_F(ConfigDialog, ModalCancelAndCloseBoxEndWithCancelAndStoreNothing)
{
    const DialogSteps endings[] = {
        [](HWND dialog) {
            SendMessageA(GetDlgItem(dialog, TAVREL_GRAVITY_BOX_ID), BM_CLICK, 0, 0);
            SetDlgItemTextA(dialog, TAVREL_RATE_EDIT_ID, "250");
            pressCancel(dialog);
        },
        [](HWND dialog) {
            SendMessageA(GetDlgItem(dialog, TAVREL_TRANSPARENT_BOX_ID), BM_CLICK, 0, 0);
            pressCloseBox(dialog);
        },
    };
    for (DialogSteps ending : endings) {
        store("useGravity", 0);
        store("useTransparentFlakes", 0);
        store("snowCountPerSecond", 120);
        EXPECT_EQ(runModal(saver, ending), IDCANCEL);
        EXPECT_EQ(stored("useGravity"), 0u);
        EXPECT_EQ(stored("useTransparentFlakes"), 0u);
        EXPECT_EQ(stored("snowCountPerSecond"), 120u);
    }
}

// Configure mode as the saver runs it, in a process of its own: while the dialog is up there is
// neither the saver's window class nor an OpenGL context (status 3 otherwise), and however the
// dialog ends, the process ends with status 0 rather than going back from run (status 4). A
// dialog that never came up to be looked at ends with status 5.
DialogSteps configureEnding = nullptr;
bool configureLookedAt = false;

int runConfigureMode(DialogSteps ending)
{
    RegDeleteKeyA(HKEY_CURRENT_USER, configureKeyPath);
    Tavrel saver;
    saver.commandLine = "/c";
    saver.settingsKeyPath = configureKeyPath;
    saver.instance = GetModuleHandleA(nullptr);
    saver.dialogId = TAVREL_DIALOG_ID;
    configureEnding = ending;
    StepPlayer player([](HWND dialog) {
        WNDCLASSEXA saverClass = {};
        saverClass.cbSize = sizeof(saverClass);
        if (GetClassInfoExA(GetModuleHandleA(nullptr), "WindowsScreenSaverClass", &saverClass) ||
            wglGetCurrentContext() != nullptr)
            ExitProcess(3);
        configureLookedAt = true;
        configureEnding(dialog);
    });
    std::atexit([] {
        if (!configureLookedAt)
            std::_Exit(5);
    });
    saver.run();
    return 4;
}

const ChildCase configureByOk("configure-ok", [] { return runConfigureMode(pressOk); });
const ChildCase configureByCancel("configure-cancel", [] { return runConfigureMode(pressCancel); });
const ChildCase configureByCloseBox("configure-close-box",
                                    [] { return runConfigureMode(pressCloseBox); });

TEST(ConfigureMode, ShowsOnlyTheDialogAndEndsWithStatusZero)
{
    for (const char* name : {"configure-ok", "configure-cancel", "configure-close-box"})
        EXPECT_EQ(runInChildProcess(name), 0) << name;
    RegDeleteKeyA(HKEY_CURRENT_USER, configureKeyPath);
}

} // namespace
