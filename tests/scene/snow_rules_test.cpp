// The snow scene's portable rules: the stored flake rate, the alpha from brightness and the
// flake picture's conversion, the cursor recentring arithmetic, the extension list and the
// picture's shape.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "scene/flake_pixels_rules.h"
#include "scene/gl_extension_rules.h"
#include "scene/mouse_steering_rules.h"
#include "scene/picture_shape_rules.h"
#include "scene/snow_settings_rules.h"

namespace {

TEST(StoredSnowRate, ZeroKeepsTheCurrentRateAndOtherValuesAreClamped)
{
    const std::int32_t intMin = std::numeric_limits<std::int32_t>::min();
    const std::int32_t intMax = std::numeric_limits<std::int32_t>::max();
    struct Case {
        std::int32_t stored;
        std::int32_t expected;
    };
    const Case cases[] = {
        {0, 100}, {500, 300}, {5, 10}, {-3, 10}, {10, 10},
        {300, 300}, {301, 300}, {9, 10}, {250, 250}, {intMin, 10}, {intMax, 300},
    };
    for (const Case& c : cases)
        EXPECT_EQ(storedSnowRate(c.stored, 100, 10, 300), c.expected) << "stored " << c.stored;
}

TEST(AlphaFromBrightness, FollowsTheThirdOfTheColourSum)
{
    struct Case {
        int blue, green, red;
        int alpha;
    };
    const Case cases[] = {
        {0, 0, 0, 1},       {1, 0, 0, 0},       {1, 1, 1, 0},     {2, 1, 0, 0},
        {3, 3, 3, 2},       {255, 255, 170, 225}, {255, 255, 171, 255},
        {255, 255, 255, 255}, {255, 204, 204, 220},
    };
    for (const Case& c : cases)
        EXPECT_EQ(alphaFromBrightness(c.blue + c.green + c.red), c.alpha)
            << c.blue << "," << c.green << "," << c.red;
}

TEST(AlphaFromBrightness, MatchesTheWholeNumberRuleForEverySum)
{
    for (int sum = 0; sum <= 765; ++sum) {
        int expected = sum == 0 ? 1 : sum < 3 ? 0 : sum / 3 - 1;
        if (sum >= 681)
            expected = 255;
        EXPECT_EQ(alphaFromBrightness(sum), expected) << "sum " << sum;
    }
}

TEST(ConvertFlakePixels, KeepsColoursAndRowOrderAndAppendsAlpha)
{
    // Two rows of two pixels, with two bytes of padding after each row.
    const std::vector<std::uint8_t> source = {
        255, 204, 204, 0, 0, 0, 0xEE, 0xEE,
        1, 2, 3, 255, 255, 255, 0xEE, 0xEE,
    };
    std::vector<std::uint8_t> texels;
    ASSERT_TRUE(convertFlakePixels(2, 2, source.data(), source.size(), 8, texels));
    const std::vector<std::uint8_t> expected = {
        255, 204, 204, 220, 0, 0, 0, 1,
        1, 2, 3, 1, 255, 255, 255, 255,
    };
    EXPECT_EQ(texels, expected);
}

TEST(ConvertFlakePixels, UnpaddedRowsReadAsConsecutivePixels)
{
    std::vector<std::uint8_t> source(64 * 64 * 3, 0);
    source[source.size() - 3] = 255;
    source[source.size() - 2] = 255;
    source[source.size() - 1] = 255;
    std::vector<std::uint8_t> texels;
    ASSERT_TRUE(convertFlakePixels(64, 64, source.data(), source.size(), 192, texels));
    ASSERT_EQ(texels.size(), 64u * 64u * 4u);
    EXPECT_EQ(texels[3], 1);
    EXPECT_EQ(texels.back(), 255);
}

TEST(ConvertFlakePixels, RefusesPicturesThatDoNotFitTheirSource)
{
    const std::vector<std::uint8_t> source(12, 7);
    const std::size_t huge = std::numeric_limits<std::size_t>::max();
    struct Case {
        const char* what;
        int width, height;
        std::size_t size, stride;
        bool accepted;
        std::size_t texelBytes;
    };
    const Case cases[] = {
        {"exact fit", 2, 2, 12, 6, true, 16},
        {"one byte short", 2, 2, 11, 6, false, 0},
        {"stride shorter than a row", 2, 2, 12, 5, false, 0},
        {"stride runs past the end", 2, 2, 12, 7, false, 0},
        {"huge stride, one row", 2, 1, 12, huge, true, 8},
        {"huge stride, two rows", 2, 2, 12, huge, false, 0},
        {"negative width", -1, 2, 12, 6, false, 0},
        {"negative height", 2, -1, 12, 6, false, 0},
        {"no columns", 0, 5, 12, 0, true, 0},
        {"no rows", 4, 0, 12, 12, true, 0},
        {"huge width", std::numeric_limits<int>::max(), 1, 12, huge, false, 0},
        {"huge height", 1, std::numeric_limits<int>::max(), 12, 3, false, 0},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> texels(3, 9);
        EXPECT_EQ(convertFlakePixels(c.width, c.height, source.data(), c.size, c.stride, texels),
                  c.accepted)
            << c.what;
        EXPECT_EQ(texels.size(), c.texelBytes) << c.what;
    }
    std::vector<std::uint8_t> texels;
    EXPECT_FALSE(convertFlakePixels(1, 1, nullptr, 3, 3, texels));
}

TEST(MouseSteering, RecentresAtTheEdgesToTheTruncatedMiddle)
{
    struct Case {
        int position, extent;
        bool recentre;
    };
    const Case cases[] = {
        {0, 1920, true},    {-4, 1920, true},    {1, 1920, false},   {1914, 1920, false},
        {1915, 1920, true}, {1919, 1920, true},  {539, 1080, false}, {1075, 1080, true},
        {1360, 1365, true}, {1359, 1365, false}, {3, std::numeric_limits<int>::min(), true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(needsRecentring(c.position, c.extent), c.recentre)
            << c.position << " of " << c.extent;
    EXPECT_EQ(recentredPosition(1920), 960);
    EXPECT_EQ(recentredPosition(1080), 540);
    EXPECT_EQ(recentredPosition(1365), 682);
    EXPECT_EQ(recentredPosition(1), 0);
}

TEST(PictureAspect, WidthOverHeightAndSquareForNoSize)
{
    const int most = std::numeric_limits<int>::max();
    struct Case {
        int width, height;
        double expected;
    };
    const Case cases[] = {
        {1280, 720, 16.0 / 9.0}, {2560, 720, 32.0 / 9.0}, {720, 1280, 9.0 / 16.0},
        {1, 1, 1.0},             {most, 1, most},         {0, 720, 1.0},
        {1280, 0, 1.0},          {-1280, 720, 1.0},       {1280, -720, 1.0},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(pictureAspect(c.width, c.height), c.expected) << c.width << "x" << c.height;
}

TEST(ListsExtension, MatchesWholeNamesOnly)
{
    const char* list = "WGL_EXT_swap_control_tear WGL_ARB_pixel_format WGL_EXT_swap_control";
    EXPECT_TRUE(listsExtension(list, "WGL_EXT_swap_control"));
    EXPECT_TRUE(listsExtension(list, "WGL_ARB_pixel_format"));
    EXPECT_FALSE(listsExtension("WGL_EXT_swap_control_tear", "WGL_EXT_swap_control"));
    EXPECT_FALSE(listsExtension("XWGL_EXT_swap_control", "WGL_EXT_swap_control"));
    EXPECT_FALSE(listsExtension("", "WGL_EXT_swap_control"));
    EXPECT_FALSE(listsExtension(nullptr, "WGL_EXT_swap_control"));
    EXPECT_FALSE(listsExtension(list, ""));
}

TEST(UsableProcAddress, SentinelsAndNullAreAbsent)
{
    const struct {
        std::intptr_t address;
        bool usable;
    } cases[] = {{0, false}, {1, false}, {2, false}, {3, false}, {-1, false},
                 {4, true},  {-2, true}, {0x7ffe1000, true}};
    for (const auto& c : cases)
        EXPECT_EQ(usableProcAddress(reinterpret_cast<const void*>(c.address)), c.usable)
            << c.address;
}

} // namespace
