// What one snow frame costs OpenGL, offscreen on Mesa's software renderer: the scene's real set-up
// and frame at the default rate, its snow at its full count, beside a frame that only clears the
// colour buffer, on the 24-bit depth and 8-bit stencil buffer a saver's window gets. The
// process's CPU time counts the renderer's threads too.
#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include "particles/particle_system.h"
#include "scene/bitmap_file_rules.h"
#include "scene/flake_bitmap_file.h"
#include "scene/picture_shape_rules.h"
#include "scene/snow_scene.h"
#include "tests/gl/offscreen_context.h"

namespace {

constexpr int width = 1280;
constexpr int height = 720;
constexpr double frameSeconds = 1.0 / 60.0;

// One context and one scene for the process, as in the saver; the snow is advanced one flake
// life without drawing, after which births and retirements balance.
bool sceneReady()
{
    static OffscreenContext context(width, height, true);
    static const bool ready = [] {
        if (!context.ready)
            return false;
        glViewport(0, 0, width, height);
        setUpSnowScene(SnowSettings{}, readBitmapFile(flakeBitmapFile, flakeBitmapFileSize),
                       pictureAspect(width, height));
        for (int frame = 0; frame < 15 * 60; ++frame)
            particleSystem->update(frameSeconds);
        return true;
    }();
    return ready;
}

// range(0) 1: with depth writes on again for the run, as the set-up left them before it masked
// them, to show what the frame's clear of the unread depth buffer costs. range(0) 2: the frame in
// a one-pixel viewport, so that all of it is paid but the flakes' own pixels: the full clear, the
// snow's advance and OpenGL's vertex work.
void BM_SnowFrame(benchmark::State& state)
{
    if (!sceneReady()) {
        state.SkipWithError("no offscreen OpenGL context");
        return;
    }
    glDepthMask(state.range(0) == 1 ? GL_TRUE : GL_FALSE);
    if (state.range(0) == 2)
        glViewport(0, 0, 1, 1);
    for (auto _ : state) {
        drawSnowFrame(frameSeconds);
        glFinish();
    }
    glDepthMask(GL_FALSE);
    glViewport(0, 0, width, height);
    state.counters["live"] = particleSystem->liveCount;
}

void BM_ColourClear(benchmark::State& state)
{
    if (!sceneReady()) {
        state.SkipWithError("no offscreen OpenGL context");
        return;
    }
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT);
        glFinish();
    }
}

BENCHMARK(BM_ColourClear)->MeasureProcessCPUTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SnowFrame)->Arg(0)->Arg(1)->Arg(2)->MeasureProcessCPUTime()->Unit(benchmark::kMicrosecond);

}

BENCHMARK_MAIN();
