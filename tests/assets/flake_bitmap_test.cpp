// The committed flake picture (bitmap resource 112): its file layout and what the picture shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "tests/assets/asset_bytes.h"

namespace {

constexpr int kSide = 64;
constexpr std::size_t kPixelsAt = 54;
constexpr std::size_t kRowBytes = kSide * 3;
// A texel passes the scene's alpha test at full flake alpha from this colour sum on.
constexpr int kVisibleSum = 81;
constexpr double kPi = 3.14159265358979323846;

struct Rgb {
    int red;
    int green;
    int blue;
    int sum() const { return red + green + blue; }
    bool black() const { return sum() == 0; }
};

class FlakeBitmap : public ::testing::Test {
protected:
    static void SetUpTestSuite() { bytes = assets::readSourceFile("resources/flake.bmp"); }

    static bool complete() { return bytes.size() == kPixelsAt + kRowBytes * kSide; }

    // x from the left, y from the top; rows are stored bottom row first.
    static Rgb at(int x, int y) {
        std::size_t p = kPixelsAt + static_cast<std::size_t>(kSide - 1 - y) * kRowBytes +
                        static_cast<std::size_t>(x) * 3;
        return Rgb{bytes.at(p + 2), bytes.at(p + 1), bytes.at(p)};
    }

    // The pixel under a point given by its distance from the centre and its angle, y upward.
    static Rgb polar(double radius, double degrees) {
        double angle = degrees * kPi / 180.0;
        int x = static_cast<int>(std::floor(kSide / 2.0 + radius * std::cos(angle)));
        int y = static_cast<int>(std::floor(kSide / 2.0 - radius * std::sin(angle)));
        return at(x, y);
    }

    static std::vector<Rgb> all() {
        std::vector<Rgb> pixels;
        for (int y = 0; y < kSide; ++y) {
            for (int x = 0; x < kSide; ++x) {
                pixels.push_back(at(x, y));
            }
        }
        return pixels;
    }

    static std::vector<std::uint8_t> bytes;
};

std::vector<std::uint8_t> FlakeBitmap::bytes;

TEST_F(FlakeBitmap, HeadersDescribeAnUncompressedBottomUp24BitPicture) {
    struct Field {
        const char* name;
        std::size_t offset;
        int width;
        std::uint32_t expected;
    };
    const Field fields[] = {
        {"signature", 0, 2, 0x4D42},          {"file size", 2, 4, 54 + 64 * 192},
        {"pixel offset", 10, 4, 54},          {"info header size", 14, 4, 40},
        {"width", 18, 4, 64},                 {"height (positive: bottom-up)", 22, 4, 64},
        {"planes", 26, 2, 1},                 {"bits per pixel", 28, 2, 24},
        {"compression (none)", 30, 4, 0},     {"image size", 34, 4, 64 * 192},
    };
    ASSERT_TRUE(complete()) << "resources/flake.bmp holds " << bytes.size() << " bytes";
    for (const Field& field : fields) {
        EXPECT_EQ(assets::littleEndian(bytes, field.offset, field.width), field.expected)
            << field.name;
    }
}

TEST_F(FlakeBitmap, BrightestColourIsExactlyThePaleBlueWhite) {
    ASSERT_TRUE(complete());
    std::vector<Rgb> pixels = all();
    int brightestPixels = 0;
    Rgb top{0, 0, 0};
    for (const Rgb& p : pixels) {
        top = Rgb{std::max(top.red, p.red), std::max(top.green, p.green),
                  std::max(top.blue, p.blue)};
        brightestPixels += (p.red == 204 && p.green == 204 && p.blue == 255) ? 1 : 0;
    }
    EXPECT_EQ(top.red, 204);
    EXPECT_EQ(top.green, 204);
    EXPECT_EQ(top.blue, 255);
    EXPECT_GT(brightestPixels, 0);
}

TEST_F(FlakeBitmap, EveryLitPixelIsAShadeOfThePaleBlueWhite) {
    ASSERT_TRUE(complete());
    int offShade = 0;
    for (const Rgb& p : all()) {
        // red = green = 0.8 x blue, allowing for rounding of each channel.
        if (p.red != p.green || std::abs(5 * p.red - 4 * p.blue) > 10) {
            ++offShade;
        }
    }
    EXPECT_EQ(offShade, 0);
}

TEST_F(FlakeBitmap, MoreThanThreeQuartersOfThePixelsArePureBlack) {
    ASSERT_TRUE(complete());
    std::vector<Rgb> pixels = all();
    auto black = std::count_if(pixels.begin(), pixels.end(),
                               [](const Rgb& p) { return p.black(); });
    EXPECT_GT(black * 4, kSide * kSide * 3);
}

TEST_F(FlakeBitmap, EightArmsReachOutWithDarkBetweenThem) {
    ASSERT_TRUE(complete());
    for (int arm = 0; arm < 8; ++arm) {
        double along = arm * 45.0;
        for (double radius = 7.0; radius <= 19.0; radius += 1.0) {
            EXPECT_GE(polar(radius, along).sum(), kVisibleSum)
                << "arm at " << along << " degrees, " << radius << " px out";
        }
        EXPECT_LT(polar(8.0, along + 22.5).sum(), kVisibleSum)
            << "between arms at " << along + 22.5 << " degrees";
    }
}

TEST_F(FlakeBitmap, RingJoinsTheArmsNearTheCentre) {
    ASSERT_TRUE(complete());
    for (int gap = 0; gap < 8; ++gap) {
        double between = gap * 45.0 + 22.5;
        EXPECT_GE(polar(4.5, between).sum(), 663 / 2) << "ring at " << between << " degrees";
    }
}

TEST_F(FlakeBitmap, PictureKeepsItsShapeUnderQuarterTurnsAndMirroring) {
    ASSERT_TRUE(complete());
    struct Move {
        const char* name;
        int (*x)(int, int);
        int (*y)(int, int);
    };
    const Move moves[] = {
        {"quarter turn", [](int, int y) { return kSide - 1 - y; }, [](int x, int) { return x; }},
        {"left-right mirror", [](int x, int) { return kSide - 1 - x; },
         [](int, int y) { return y; }},
        {"top-bottom mirror", [](int x, int) { return x; },
         [](int, int y) { return kSide - 1 - y; }},
        {"diagonal mirror", [](int, int y) { return y; }, [](int x, int) { return x; }},
    };
    for (const Move& move : moves) {
        int differing = 0;
        for (int y = 0; y < kSide; ++y) {
            for (int x = 0; x < kSide; ++x) {
                Rgb a = at(x, y);
                Rgb b = at(move.x(x, y), move.y(x, y));
                differing += std::abs(a.sum() - b.sum()) > 24 ? 1 : 0;
            }
        }
        EXPECT_LE(differing, kSide * kSide / 50) << move.name;
    }
}

}  // namespace
