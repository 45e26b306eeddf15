// The flake picture read from a bitmap file, as the Linux program carries it: the kind of file
// it reads, the files it refuses, and the picture it carries.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <vector>

#include "scene/bitmap_file_rules.h"
#include "scene/flake_bitmap_file.h"

namespace {

void putLittle(std::vector<std::uint8_t>& file, std::size_t at, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        file[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// A 24-bit bottom-up bitmap file of width x height whose pixels are the given bytes.
std::vector<std::uint8_t> bitmapFile(std::int32_t width, std::int32_t height,
                                     const std::vector<std::uint8_t>& pixels)
{
    std::vector<std::uint8_t> file(54 + pixels.size(), 0);
    file[0] = 'B';
    file[1] = 'M';
    putLittle(file, 2, static_cast<std::uint32_t>(54 + pixels.size()), 4);
    putLittle(file, 10, 54, 4);
    putLittle(file, 14, 40, 4);
    putLittle(file, 18, static_cast<std::uint32_t>(width), 4);
    putLittle(file, 22, static_cast<std::uint32_t>(height), 4);
    putLittle(file, 26, 1, 2);
    putLittle(file, 28, 24, 2);
    std::copy(pixels.begin(), pixels.end(), file.begin() + 54);
    return file;
}

TEST(BitmapFile, RowsKeepTheirOrderAndTheirPaddingIsSkipped)
{
    // Two rows of two pixels, each row padded from 6 to 8 bytes; the bottom row comes first.
    const std::vector<std::uint8_t> pixels = {
        255, 204, 204, 0, 0, 0, 0xEE, 0xEE,
        1, 2, 3, 255, 255, 255, 0xEE, 0xEE,
    };
    const std::vector<std::uint8_t> file = bitmapFile(2, 2, pixels);
    const FlakePicture picture = readBitmapFile(file.data(), file.size());
    EXPECT_EQ(picture.width, 2);
    EXPECT_EQ(picture.height, 2);
    const std::vector<std::uint8_t> expected = {
        255, 204, 204, 220, 0, 0, 0, 1,
        1, 2, 3, 1, 255, 255, 255, 255,
    };
    EXPECT_EQ(picture.texels, expected);
}

TEST(BitmapFile, OtherKindsAndShortFilesGiveNoPicture)
{
    const std::vector<std::uint8_t> sound = bitmapFile(2, 2, std::vector<std::uint8_t>(16, 9));
    struct Case {
        const char* what;
        std::size_t at;
        std::uint32_t value;
        int bytes;
        std::size_t size;
    };
    const Case cases[] = {
        {"not a bitmap", 0, 'X', 1, sound.size()},
        {"32 bits a pixel", 28, 32, 2, sound.size()},
        {"compressed", 30, 1, 4, sound.size()},
        {"two planes", 26, 2, 2, sound.size()},
        {"rows stored top-down", 22, static_cast<std::uint32_t>(-2), 4, sound.size()},
        {"no columns", 18, 0, 4, sound.size()},
        {"pixels beyond the end", 10, 60, 4, sound.size()},
        {"pixels far beyond the end", 10, 0xFFFFFFFF, 4, sound.size()},
        {"huge width", 18, 0x7FFFFFFF, 4, sound.size()},
        {"last row cut short", 0, 'B', 1, sound.size() - 3},
        {"headers cut short", 0, 'B', 1, 53},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> file = sound;
        putLittle(file, c.at, c.value, c.bytes);
        const FlakePicture picture = readBitmapFile(file.data(), c.size);
        EXPECT_TRUE(picture.texels.empty()) << c.what;
        EXPECT_EQ(picture.width, 0) << c.what;
    }
    EXPECT_TRUE(readBitmapFile(nullptr, 100).texels.empty());
}

TEST(BitmapFile, TheProgramCarriesTheFlakePicture)
{
    std::ifstream committed(TAVREL_SOURCE_DIR "/resources/flake.bmp", std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(committed), {}};
    ASSERT_EQ(std::vector<std::uint8_t>(flakeBitmapFile, flakeBitmapFile + flakeBitmapFileSize),
              bytes);

    const FlakePicture picture = readBitmapFile(flakeBitmapFile, flakeBitmapFileSize);
    ASSERT_EQ(picture.width, 64);
    ASSERT_EQ(picture.height, 64);
    int seeThrough = 0;
    int brightest = 0;
    for (std::size_t i = 3; i < picture.texels.size(); i += 4) {
        seeThrough += picture.texels[i] <= 1 ? 1 : 0;
        brightest = picture.texels[i] > brightest ? picture.texels[i] : brightest;
    }
    EXPECT_GT(seeThrough, 64 * 64 * 3 / 4);
    EXPECT_EQ(brightest, 220);
}

} // namespace
