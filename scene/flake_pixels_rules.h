// The flake picture's conversion from stored 24-bit pixels to texels with alpha. Portable: no
// operating-system header.
//
// The picture is stored without transparency. Each texel's alpha comes from its brightness, so
// that the black background turns transparent and the bright flake opaque.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The flake picture ready for the texture: width x height texels of 4 bytes (blue, green, red,
// alpha), the bottom row first. Empty when there is no picture to show; the flakes are then
// plain squares.
struct FlakePicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> texels;
};

// Alpha for a pixel whose blue, green and red add up to colourSum (0 to 765): a third of the sum
// less one, taken as a magnitude, and fully opaque once it would exceed 225. Pure black gives 1.
std::uint8_t alphaFromBrightness(int colourSum);

// Converts width x height pixels of 3 bytes (blue, green, red) into 4-byte texels (blue, green,
// red, alpha), keeping the row order. Row r of the source starts at byte r x sourceStride; bytes
// between the end of a row's pixels and the next row are skipped. Fills texels and answers true
// when the whole picture lies inside the sourceSize bytes at source; otherwise reads nothing,
// leaves texels empty and answers false. An empty picture converts to no texels.
bool convertFlakePixels(int width, int height, const std::uint8_t* source, std::size_t sourceSize,
                        std::size_t sourceStride, std::vector<std::uint8_t>& texels);
