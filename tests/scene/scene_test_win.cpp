// The snow scene on the real Win32, WGL and OpenGL (under Wine: Mesa behind Wine's WGL on the
// test display). One full-screen saver window with its OpenGL context is made through the host's
// own operations; every case then gets a fresh OpenGL context on it, so that OpenGL state never
// leaks from one case into the next.
#include <gtest/gtest.h>

#include <windows.h>

#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <cstdint>
#include <memory>
#include <vector>

#include "fields/decelerator_field.h"
#include "fields/gravity_field.h"
#include "fields/spinner_field.h"
#include "particles/particle.h"
#include "particles/particle_system.h"
#include "scene/flake_pixels_rules.h"
#include "scene/flake_texture.h"
#include "scene/mouse_steering.h"
#include "scene/tavrel.h"

namespace {

constexpr const char* testKeyPath = "Software\\Tavrel Tests\\Scene";

struct SaverWindow {
    HWND window = nullptr;
    HDC deviceContext = nullptr;
    int width = 0;
    int height = 0;
};

// Made once per process: the window class can be registered only once.
const SaverWindow& saverWindow()
{
    static const SaverWindow made = [] {
        auto* owner = new Tavrel;
        owner->instance = GetModuleHandleW(nullptr);
        owner->iconId = 101;
        owner->mode = Fullscreen;
        owner->createFullscreenWindow();
        owner->createGLContext();
        return SaverWindow{owner->saverWindow, owner->deviceContext, owner->width, owner->height};
    }();
    return made;
}

void useFreshContext()
{
    static HGLRC context = nullptr;
    HGLRC previous = context;
    context = wglCreateContext(saverWindow().deviceContext);
    ASSERT_NE(context, nullptr);
    ASSERT_TRUE(wglMakeCurrent(saverWindow().deviceContext, context));
    if (previous != nullptr)
        wglDeleteContext(previous);
}

// Stored settings for the next scene; a value of 0 here is written as 0, absent ones are left out.
struct Stored {
    bool hasGravity = false;
    int gravity = 0;
    bool hasTransparent = false;
    int transparent = 0;
    bool hasRate = false;
    int rate = 0;
};

class SceneTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(saverWindow().window, nullptr);
        useFreshContext();
        RegDeleteKeyA(HKEY_CURRENT_USER, testKeyPath);
    }

    std::unique_ptr<Tavrel> makeScene(const Stored& stored = {}, SaverMode mode = Fullscreen)
    {
        auto scene = std::make_unique<Tavrel>();
        scene->settingsKeyPath = testKeyPath;
        scene->openSettingsKey();
        if (stored.hasGravity)
            scene->writeValue("useGravity", stored.gravity);
        if (stored.hasTransparent)
            scene->writeValue("useTransparentFlakes", stored.transparent);
        if (stored.hasRate)
            scene->writeValue("snowCountPerSecond", stored.rate);
        scene->mode = mode;
        scene->instance = GetModuleHandleW(nullptr);
        scene->saverWindow = saverWindow().window;
        scene->deviceContext = saverWindow().deviceContext;
        scene->width = saverWindow().width;
        scene->height = saverWindow().height;
        return scene;
    }

    static Particle& prototype()
    {
        return *particleSystem->emitters.front()->prototype;
    }
};

TEST_F(SceneTest, StoredSettingsAreReadWithDefaultsAndBounds)
{
    struct Case {
        const char* what;
        Stored stored;
        bool gravity;
        bool transparent;
        int rate;
    };
    const Case cases[] = {
        {"nothing stored", {}, false, false, 100},
        {"rate 500", {false, 0, false, 0, true, 500}, false, false, 300},
        {"rate 5", {false, 0, false, 0, true, 5}, false, false, 10},
        {"rate -3", {false, 0, false, 0, true, -3}, false, false, 10},
        {"rate 0", {false, 0, false, 0, true, 0}, false, false, 100},
        {"rate 250", {false, 0, false, 0, true, 250}, false, false, 250},
        {"gravity on", {true, 1, false, 0, false, 0}, true, false, 100},
        {"gravity 0", {true, 0, false, 0, false, 0}, false, false, 100},
        {"transparent on", {false, 0, true, 1, false, 0}, false, true, 100},
        {"all stored", {true, 7, true, 1, true, 42}, true, true, 42},
    };
    for (const Case& c : cases) {
        RegDeleteKeyA(HKEY_CURRENT_USER, testKeyPath);
        auto scene = makeScene(c.stored);
        scene->loadSettings();
        EXPECT_EQ(scene->useGravity, c.gravity) << c.what;
        EXPECT_EQ(scene->keepRunningOnInput, c.gravity) << c.what;
        EXPECT_EQ(scene->useTransparentFlakes, c.transparent) << c.what;
        EXPECT_EQ(scene->snowCountPerSecond, c.rate) << c.what;
    }
}

TEST_F(SceneTest, FlakesCarrySpinnerAndGroundZoneAndGravityOnlyWhenSteering)
{
    for (const bool steering : {false, true}) {
        useFreshContext();
        auto scene = makeScene({true, steering ? 1 : 0});
        scene->initScene();
        const FieldList& fields = prototype().fields;
        ASSERT_EQ(fields.size(), steering ? 3u : 2u);
        EXPECT_EQ(fields[0], scene->spinnerField);
        EXPECT_EQ(fields[1], scene->decelleratorField);
        EXPECT_EQ(scene->gravityField != nullptr, steering);
        if (steering) {
            EXPECT_EQ(fields[2], scene->gravityField);
        }
        EXPECT_TRUE(scene->decelleratorField->bounded);
        EXPECT_EQ(scene->decelleratorField->regionMax.y, -15.0);
    }
}

TEST_F(SceneTest, TheOneEmitterSpawnsTheClampedRate)
{
    struct Case {
        Stored stored;
        double perSecond;
    };
    const Case cases[] = {
        {{}, 100.0},
        {{false, 0, false, 0, true, 5}, 10.0},
        {{false, 0, false, 0, true, 1000}, 300.0},
        {{false, 0, false, 0, true, 0}, 100.0},
    };
    for (const Case& c : cases) {
        RegDeleteKeyA(HKEY_CURRENT_USER, testKeyPath);
        useFreshContext();
        makeScene(c.stored)->initScene();
        ASSERT_EQ(particleSystem->emitters.size(), 1u);
        EXPECT_EQ(particleSystem->emitters.front()->perSecond, c.perSecond);
    }
}

TEST_F(SceneTest, BlendingOnlyForTransparentFlakesWhileTheAlphaTestStaysOn)
{
    for (const bool transparent : {false, true}) {
        useFreshContext();
        makeScene({false, 0, true, transparent ? 1 : 0})->initScene();
        EXPECT_EQ(glIsEnabled(GL_BLEND), transparent ? GL_TRUE : GL_FALSE);
        EXPECT_EQ(glIsEnabled(GL_ALPHA_TEST), GL_TRUE);
        EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D), GL_TRUE);
        EXPECT_EQ(glIsEnabled(GL_DEPTH_TEST), GL_FALSE);
        GLint alphaFunc = 0;
        GLfloat alphaRef = 0;
        glGetIntegerv(GL_ALPHA_TEST_FUNC, &alphaFunc);
        glGetFloatv(GL_ALPHA_TEST_REF, &alphaRef);
        EXPECT_EQ(alphaFunc, GL_GREATER);
        EXPECT_NEAR(alphaRef, 0.1f, 1e-6f);
        if (transparent) {
            GLint source = 0;
            GLint destination = 0;
            glGetIntegerv(GL_BLEND_SRC, &source);
            glGetIntegerv(GL_BLEND_DST, &destination);
            EXPECT_EQ(source, GL_SRC_ALPHA);
            EXPECT_EQ(destination, GL_ONE);
        }
    }
}

TEST_F(SceneTest, ProjectionHasTheVirtualDesktopsShapeInEveryMode)
{
    const double expected = static_cast<double>(GetSystemMetrics(SM_CXVIRTUALSCREEN)) /
                            GetSystemMetrics(SM_CYVIRTUALSCREEN);
    for (const SaverMode mode : {Fullscreen, Preview}) {
        useFreshContext();
        auto scene = makeScene({}, mode);
        // A preview's own window is small and square; the picture keeps the desktop's shape.
        scene->width = 150;
        scene->height = 150;
        scene->initScene();
        GLdouble projection[16] = {};
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        EXPECT_NEAR(projection[5] / projection[0], expected, 1e-6) << "mode " << mode;
        EXPECT_NEAR(projection[5], 1.0 / std::tan(23.0 * 3.141592653589793 / 180.0), 1e-6);
        GLint matrixMode = 0;
        glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
        EXPECT_EQ(matrixMode, GL_MODELVIEW);
    }
}

// The flake picture as the program file stores it: a bitmap header, then bottom-up rows.
struct StoredPicture {
    const BITMAPINFOHEADER* header = nullptr;
    const std::uint8_t* pixels = nullptr;
};

StoredPicture storedFlakePicture()
{
    StoredPicture picture;
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(flakeBitmapId), MAKEINTRESOURCEW(2));
    if (found == nullptr)
        return picture;
    picture.header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(nullptr, found)));
    picture.pixels = reinterpret_cast<const std::uint8_t*>(picture.header) + picture.header->biSize;
    return picture;
}

TEST_F(SceneTest, FlakeTextureIsThePictureWithAlphaFromBrightness)
{
    const StoredPicture picture = storedFlakePicture();
    ASSERT_NE(picture.header, nullptr) << "the test program carries the flake picture";
    const GLuint name = loadFlakeTexture(GetModuleHandleW(nullptr));
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), name);

    // Without the nearest minification filter the flakes would show as white squares.
    const struct {
        GLenum name;
        GLint value;
    } parameters[] = {{GL_TEXTURE_MAG_FILTER, GL_LINEAR},
                      {GL_TEXTURE_MIN_FILTER, GL_NEAREST},
                      {GL_TEXTURE_WRAP_S, GL_CLAMP},
                      {GL_TEXTURE_WRAP_T, GL_CLAMP}};
    for (const auto& parameter : parameters) {
        GLint value = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, parameter.name, &value);
        EXPECT_EQ(value, parameter.value) << "texture parameter " << parameter.name;
    }

    GLint width = 0;
    GLint height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    ASSERT_EQ(width, 64);
    ASSERT_EQ(height, 64);
    std::vector<std::uint8_t> texels(64 * 64 * 4);
    glGetTexImage(GL_TEXTURE_2D, 0, 0x80E1, GL_UNSIGNED_BYTE, texels.data());

    int seeThrough = 0;
    int brightest = 0;
    for (int i = 0; i < 64 * 64; ++i) {
        // Texture row 0 is the picture's bottom row, the first one stored.
        const std::uint8_t* stored = picture.pixels + i * 3;
        const std::uint8_t* texel = &texels[i * 4];
        ASSERT_EQ(texel[0], stored[0]) << "texel " << i;
        ASSERT_EQ(texel[1], stored[1]) << "texel " << i;
        ASSERT_EQ(texel[2], stored[2]) << "texel " << i;
        ASSERT_EQ(texel[3], alphaFromBrightness(stored[0] + stored[1] + stored[2])) << i;
        seeThrough += texel[3] <= 1 ? 1 : 0;
        brightest = texel[3] > brightest ? texel[3] : brightest;
    }
    EXPECT_GT(seeThrough, 64 * 64 * 3 / 4);
    EXPECT_EQ(brightest, 220);
}

TEST_F(SceneTest, WithoutTheFlakePictureTheSaverStillDrawsFrames)
{
    HMODULE noPicture = GetModuleHandleW(L"kernel32.dll");
    ASSERT_EQ(LoadImageW(noPicture, MAKEINTRESOURCEW(flakeBitmapId), IMAGE_BITMAP, 0, 0,
                         LR_CREATEDIBSECTION),
              nullptr);
    auto scene = makeScene();
    scene->instance = noPicture;
    scene->initScene();
    GLint width = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 0);
    for (int frame = 0; frame < 3; ++frame)
        scene->drawFrame();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// Bright pixels on the screen under the saver window, read back through GDI as a user would see
// them.
int brightPixels()
{
    const SaverWindow& window = saverWindow();
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = window.width;
    format.bmiHeader.biHeight = window.height;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC copy = CreateCompatibleDC(screen);
    HBITMAP picture = CreateDIBSection(copy, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(copy, picture);
    BitBlt(copy, 0, 0, window.width, window.height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* pixels = static_cast<const std::uint8_t*>(bits);
    int bright = 0;
    for (int i = 0; i < window.width * window.height; ++i)
        bright += pixels[i * 4] + pixels[i * 4 + 1] + pixels[i * 4 + 2] > 300 ? 1 : 0;
    SelectObject(copy, previous);
    DeleteObject(picture);
    DeleteDC(copy);
    ReleaseDC(nullptr, screen);
    return bright;
}

TEST_F(SceneTest, FramesShowFallingFlakesOnBlack)
{
    auto scene = makeScene();
    scene->initScene();
    scene->drawFrame();
    glFinish();
    EXPECT_EQ(brightPixels(), 0) << "the first frame advances by no time and shows no flake";
    // Six seconds of snow, so that the first flakes have fallen from the spawn box into view.
    for (int step = 0; step < 60; ++step)
        particleSystem->update(0.1);
    scene->drawFrame();
    glFinish();
    EXPECT_GT(particleSystem->liveCount, 500);
    EXPECT_GT(brightPixels(), 200);
}

TEST_F(SceneTest, EachFrameClearsWhatTheLastOneLeft)
{
    auto scene = makeScene();
    scene->initScene();
    // What an earlier frame left: the frame's own clear must take it away, or flakes leave trails.
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    scene->drawFrame();
    glFinish();
    EXPECT_EQ(brightPixels(), 0);
}

// The preview shares the input of the settings page, another program's window: the page keeps
// its keyboard, and keys typed there reach it. The full screen takes the keyboard.
TEST_F(SceneTest, OnlyTheFullScreenTakesTheKeyboard)
{
    HWND page = CreateWindowExA(0, "STATIC", "settings page", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                0, 0, 300, 200, nullptr, nullptr, GetModuleHandleW(nullptr),
                                nullptr);
    HWND edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, page,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
    HWND preview = CreateWindowExA(0, "STATIC", "Preview", WS_CHILD | WS_VISIBLE, 0, 40, 150, 100,
                                   page, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetForegroundWindow(page);
    SetFocus(edit);
    auto scene = makeScene({}, Preview);
    scene->saverWindow = preview;
    scene->initScene();
    EXPECT_EQ(GetFocus(), edit);
    INPUT keys[2] = {};
    for (INPUT& key : keys) {
        key.type = INPUT_KEYBOARD;
        key.ki.wVk = 'K';
    }
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof(INPUT));
    char typed[8] = {};
    for (DWORD until = GetTickCount() + 2000; typed[0] == '\0' && GetTickCount() < until;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        GetWindowTextA(edit, typed, sizeof typed);
        Sleep(10);
    }
    EXPECT_STREQ(typed, "k");
    DestroyWindow(page);

    useFreshContext();
    auto fullscreen = makeScene();
    fullscreen->initScene();
    EXPECT_EQ(GetFocus(), saverWindow().window);
}

// The frame after the machine wakes from an hour's sleep, at the highest rate with the mouse
// steering: every flake melts in that one frame, the frame takes a bounded time, and the sky
// fills again on the frames that follow.
TEST_F(SceneTest, AnHoursFrameMeltsTheSnowAndTheSkyFillsAgain)
{
    auto scene = makeScene({true, 1, false, 0, true, 300});
    scene->initScene();
    for (int step = 0; step < 100; ++step)
        particleSystem->update(0.1);
    scene->drawFrame();
    glFinish();
    const int before = brightPixels();
    ASSERT_GT(before, 200);

    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    particleSystem->update(3600.0);
    QueryPerformanceCounter(&end);
    const double seconds =
        static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
    std::printf("an hour's frame at 300 flakes per second took %.3f s\n", seconds);
    EXPECT_LT(seconds, 10.0);
    EXPECT_EQ(particleSystem->liveCount, 0);
    scene->drawFrame();
    glFinish();
    EXPECT_EQ(brightPixels(), 0);

    for (int step = 0; step < 100; ++step)
        particleSystem->update(0.1);
    scene->drawFrame();
    glFinish();
    EXPECT_GT(brightPixels(), before / 2);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

class MouseSteeringTest : public SceneTest {
protected:
    void SetUp() override
    {
        SceneTest::SetUp();
        scene = makeScene({true, 1});
        scene->loadSettings();
        scene->gravityField = new GravityField(80.5, Vector3(0.0, 0.0, 0.0));
        lastMouseX.reset();
        lastMouseY.reset();
    }

    void move(int x, int y) { EXPECT_EQ(scene->onMouseMove(scene->saverWindow, x, y), 1); }

    static POINT cursor()
    {
        POINT at = {};
        GetCursorPos(&at);
        return at;
    }

    std::unique_ptr<Tavrel> scene;
};

TEST_F(MouseSteeringTest, TheCentreFollowsTheMotionWithYTurnedOver)
{
    move(300, 300);
    EXPECT_EQ(scene->gravityField->center.x, 0.0);
    EXPECT_EQ(scene->gravityField->center.y, 0.0);
    move(400, 250);
    EXPECT_DOUBLE_EQ(scene->gravityField->center.x, 1.0);
    EXPECT_DOUBLE_EQ(scene->gravityField->center.y, 0.5);
    EXPECT_EQ(scene->gravityField->center.z, 0.0);
}

TEST_F(MouseSteeringTest, TheCursorIsPutBackToTheMiddleAtTheEdges)
{
    const int desktopWidth = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int desktopHeight = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    const int middleX = desktopWidth / 2;
    const int middleY = desktopHeight / 2;
    struct Case {
        const char* what;
        int x, y;
        int cursorX, cursorY;
    };
    const Case cases[] = {
        {"left edge", 0, 300, middleX, 300},
        {"within 5 of the right edge", desktopWidth - 5, 300, middleX, 300},
        {"top edge", 200, 0, 200, middleY},
        {"within 5 of the bottom edge", 200, desktopHeight - 5, 200, middleY},
        {"corner", desktopWidth - 1, desktopHeight - 1, middleX, middleY},
    };
    for (const Case& c : cases) {
        SetCursorPos(100, 100);
        move(c.x > 10 ? c.x - 10 : c.x + 10, c.y > 10 ? c.y - 10 : c.y + 10);
        move(c.x, c.y);
        const POINT at = cursor();
        EXPECT_EQ(at.x, c.cursorX) << c.what;
        EXPECT_EQ(at.y, c.cursorY) << c.what;
        // The move that putting the cursor back causes does not move the centre.
        const Vector3 before = scene->gravityField->center;
        move(at.x, at.y);
        EXPECT_EQ(scene->gravityField->center.x, before.x) << c.what;
        EXPECT_EQ(scene->gravityField->center.y, before.y) << c.what;
    }
}

TEST_F(MouseSteeringTest, APreviewNeverMovesTheCursor)
{
    scene->mode = Preview;
    SetCursorPos(100, 100);
    move(5, 5);
    move(0, 0);
    const POINT at = cursor();
    EXPECT_EQ(at.x, 100);
    EXPECT_EQ(at.y, 100);
    EXPECT_DOUBLE_EQ(scene->gravityField->center.x, -0.05);
    EXPECT_DOUBLE_EQ(scene->gravityField->center.y, 0.05);
}

TEST_F(MouseSteeringTest, WithoutSteeringOnlyTheHostsCloseRuleRuns)
{
    scene->useGravity = false;
    scene->keepRunningOnInput = false;
    SetCursorPos(100, 100);
    move(300, 300);
    move(0, 400);
    MSG close = {};
    EXPECT_TRUE(PeekMessageW(&close, scene->saverWindow, WM_CLOSE, WM_CLOSE, PM_REMOVE));
    const POINT at = cursor();
    EXPECT_EQ(at.x, 100);
    EXPECT_EQ(at.y, 100);
    EXPECT_EQ(scene->gravityField->center.x, 0.0);
    EXPECT_FALSE(lastMouseX.has_value());
}

} // namespace
