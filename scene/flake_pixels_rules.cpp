// The flake picture's conversion from stored 24-bit pixels to texels with alpha.
#include "scene/flake_pixels_rules.h"

#include <cstdlib>
#include <limits>

std::uint8_t alphaFromBrightness(int colourSum)
{
    // The factor is the single-precision value nearest to one third; the result is truncated
    // towards zero, so sums of 1 and 2 give 0 while pure black gives 1.
    const int third = static_cast<int>(colourSum * 0.3333333432674408 - 1.0);
    const int alpha = std::abs(third);
    return static_cast<std::uint8_t>(alpha > 225 ? 255 : alpha);
}

namespace {

bool pictureFits(std::size_t width, std::size_t height, const std::uint8_t* source,
                 std::size_t sourceSize, std::size_t sourceStride)
{
    const std::size_t most = std::numeric_limits<std::size_t>::max();
    if (width > most / 4 || height > most / 4 / width)
        return false;
    const std::size_t rowBytes = width * 3;
    if (source == nullptr || sourceStride < rowBytes || sourceSize < rowBytes)
        return false;
    // The last row starts at (height - 1) x stride and needs rowBytes; asked by division so that
    // no product can overflow.
    return height - 1 <= (sourceSize - rowBytes) / sourceStride;
}

} // namespace

bool convertFlakePixels(int width, int height, const std::uint8_t* source, std::size_t sourceSize,
                        std::size_t sourceStride, std::vector<std::uint8_t>& texels)
{
    texels.clear();
    if (width < 0 || height < 0)
        return false;
    if (width == 0 || height == 0)
        return true;
    const std::size_t columns = static_cast<std::size_t>(width);
    const std::size_t rows = static_cast<std::size_t>(height);
    if (!pictureFits(columns, rows, source, sourceSize, sourceStride))
        return false;

    texels.resize(columns * rows * 4);
    std::uint8_t* out = texels.data();
    for (std::size_t row = 0; row < rows; ++row) {
        const std::uint8_t* in = source + row * sourceStride;
        for (std::size_t column = 0; column < columns; ++column, in += 3, out += 4) {
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
            out[3] = alphaFromBrightness(in[0] + in[1] + in[2]);
        }
    }
    return true;
}
