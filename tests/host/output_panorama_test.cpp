// One sky over a Wayland compositor's outputs: the box around them, where each output's part
// lies in it, and the viewport that shows that part.
#include "linux/wayland/output_panorama.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

struct PanoramaCase {
    const char* name;
    std::vector<OutputArea> outputs;
    int width;
    int height;
    std::vector<OutputArea> areas;
};

class PanoramaTest : public ::testing::TestWithParam<PanoramaCase> {};

void expectAreas(const std::vector<OutputArea>& areas, const std::vector<OutputArea>& expected)
{
    ASSERT_EQ(areas.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(areas[i].placed, expected[i].placed) << i;
        EXPECT_EQ(areas[i].x, expected[i].x) << i;
        EXPECT_EQ(areas[i].y, expected[i].y) << i;
        EXPECT_EQ(areas[i].width, expected[i].width) << i;
        EXPECT_EQ(areas[i].height, expected[i].height) << i;
    }
}

TEST_P(PanoramaTest, BoxesTheOutputs)
{
    const PanoramaCase& c = GetParam();
    const Panorama panorama = arrangePanorama(c.outputs);
    EXPECT_EQ(panorama.width, c.width);
    EXPECT_EQ(panorama.height, c.height);
    expectAreas(panorama.areas, c.areas);
}

constexpr OutputArea none{};

INSTANTIATE_TEST_SUITE_P(
    Layouts, PanoramaTest,
    ::testing::Values(
        PanoramaCase{"one_output", {{true, 0, 0, 1280, 720}}, 1280, 720, {{true, 0, 0, 1280, 720}}},
        PanoramaCase{"side_by_side_of_two_heights",
                     {{true, 0, 0, 800, 720}, {true, 800, 0, 480, 600}}, 1280, 720,
                     {{true, 0, 0, 800, 720}, {true, 800, 0, 480, 600}}},
        PanoramaCase{"left_of_and_above_the_origin",
                     {{true, 0, 0, 1920, 1080}, {true, -1280, -720, 1280, 720}}, 3200, 1800,
                     {{true, 1280, 720, 1920, 1080}, {true, 0, 0, 1280, 720}}},
        PanoramaCase{"unplaced_stand_beside_the_placed",
                     {{false, 0, 0, 640, 480}, {true, 100, 50, 800, 600}}, 1440, 600,
                     {{true, 800, 0, 640, 480}, {true, 0, 0, 800, 600}}},
        PanoramaCase{"none_placed", {{false, 7, 7, 640, 480}, {false, 0, 0, 800, 600}}, 1440, 600,
                     {{true, 0, 0, 640, 480}, {true, 640, 0, 800, 600}}},
        PanoramaCase{"an_output_of_no_size_takes_no_room",
                     {{true, 5000, 5000, 0, 0}, {true, 0, 0, 1280, 720}}, 1280, 720,
                     {none, {true, 0, 0, 1280, 720}}},
        PanoramaCase{"no_outputs", {}, 0, 0, {}},
        PanoramaCase{"far_apart_held_to_int",
                     {{true, INT_MIN, 0, 10, 10}, {true, INT_MAX - 10, 0, 10, 10}}, INT_MAX, 10,
                     {{true, 0, 0, 10, 10}, {true, INT_MAX, 0, 10, 10}}}),
    [](const ::testing::TestParamInfo<PanoramaCase>& info) { return std::string(info.param.name); });

TEST(ShownAreas, FollowWhatTheCompositorConfigured)
{
    const OutputArea left{true, 0, 0, 1280, 720};
    const OutputArea right{true, 1280, 0, 1280, 720};
    struct Case {
        const char* name;
        std::vector<OutputSurface> surfaces;
        std::vector<OutputArea> expected;
    };
    const Case cases[] = {
        {"each_at_its_outputs_size", {{left, 1280, 720}, {right, 1280, 720}}, {left, right}},
        {"a_kiosk_gives_both_the_layout_drawn_once",
         {{left, 2560, 720}, {right, 2560, 720}}, {{true, 0, 0, 2560, 720}, none}},
        {"stacked_each_at_its_outputs_size",
         {{left, 1280, 720}, {{true, 0, 720, 1280, 720}, 1280, 720}},
         {left, {true, 0, 720, 1280, 720}}},
        {"a_kiosk_of_two_stacked_gives_both_the_layout_drawn_once",
         {{left, 1280, 1440}, {{true, 0, 720, 1280, 720}, 1280, 1440}},
         {{true, 0, 0, 1280, 1440}, none}},
        {"of_two_in_one_place_the_focused_on_top",
         {{left, 2560, 720, false}, {right, 2560, 720, true}}, {none, {true, 0, 0, 2560, 720}}},
        {"of_another_size_from_the_boxs_corner",
         {{{true, 100, 50, 800, 600}, 640, 480}}, {{true, 100, 50, 640, 480}}},
        {"an_output_of_unknown_size_stays_unplaced",
         {{{false, 0, 0, 0, 0}, 1024, 768}}, {{false, 0, 0, 1024, 768}}},
        {"not_configured_shows_nothing", {{left, 0, 0}, {right, 1280, 720}}, {none, right}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        expectAreas(shownAreas(c.surfaces), c.expected);
    }
}

TEST(PanoramaViewport, ShowsTheOutputsPartFromTheBottomLeft)
{
    // 800x720 beside 480x600, tops level: the narrower one's bottom is 120 above the box's.
    const Panorama panorama =
        arrangePanorama({{true, 0, 0, 800, 720}, {true, 800, 0, 480, 600}});
    struct Case {
        int output;
        int scale;
        PanoramaViewport expected;
    };
    const Case cases[] = {
        {0, 1, {0, 0, 1280, 720}},
        {1, 1, {-800, -120, 1280, 720}},
        {1, 2, {-1600, -240, 2560, 1440}},
        {1, 0, {-800, -120, 1280, 720}},
    };
    for (const Case& c : cases) {
        const PanoramaViewport view =
            panoramaViewport(panorama, panorama.areas[c.output], c.scale);
        EXPECT_EQ(view.x, c.expected.x) << c.output << " at " << c.scale;
        EXPECT_EQ(view.y, c.expected.y) << c.output << " at " << c.scale;
        EXPECT_EQ(view.width, c.expected.width) << c.output << " at " << c.scale;
        EXPECT_EQ(view.height, c.expected.height) << c.output << " at " << c.scale;
    }
}

} // namespace
