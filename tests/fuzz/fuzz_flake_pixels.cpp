// Fuzzes the flake picture's conversion with bitmaps of any size and row stride over a buffer of
// any length: it converts exactly the pictures that lie inside the buffer, never reads outside it,
// copies every colour and gives every texel the alpha its brightness calls for.
#include <cstddef>
#include <cstdint>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "scene/flake_pixels_rules.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

// The alpha rule in whole numbers: a third of the colour sum less one, as a magnitude, and fully
// opaque beyond 225.
int expectedAlpha(int colourSum)
{
    if (colourSum == 0)
        return 1;
    if (colourSum < 3)
        return 0;
    const int alpha = colourSum / 3 - 1;
    return alpha > 225 ? 255 : alpha;
}

bool pictureFits(int width, int height, std::size_t size, std::size_t stride)
{
    if (width < 0 || height < 0)
        return false;
    if (width == 0 || height == 0)
        return true;
    using Wide = unsigned __int128;
    const Wide rowBytes = Wide{static_cast<unsigned>(width)} * 3;
    const Wide lastRowStart = Wide{static_cast<unsigned>(height) - 1} * stride;
    return stride >= rowBytes && lastRowStart + rowBytes <= size;
}

int pickDimension(FuzzedDataProvider& input)
{
    return input.ConsumeBool() ? input.ConsumeIntegralInRange<int>(-2, 80)
                               : input.ConsumeIntegral<int>();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const int width = pickDimension(input);
    const int height = pickDimension(input);
    const std::size_t stride = input.ConsumeBool()
                                   ? input.ConsumeIntegralInRange<std::size_t>(0, 260)
                                   : input.ConsumeIntegral<std::size_t>();
    // A buffer of exactly the stated size, so that AddressSanitizer catches any read beyond it.
    const std::vector<std::uint8_t> source = input.ConsumeRemainingBytes<std::uint8_t>();
    const std::uint8_t* bytes = source.empty() ? nullptr : source.data();

    std::vector<std::uint8_t> texels(3, 0xAB);
    const bool converted =
        convertFlakePixels(width, height, bytes, source.size(), stride, texels);
    const bool fits = pictureFits(width, height, source.size(), stride);
    FUZZ_CHECK(converted == fits);
    if (!converted) {
        FUZZ_CHECK(texels.empty());
        return 0;
    }
    FUZZ_CHECK(texels.size() == std::size_t(width) * std::size_t(height) * 4);
    if (texels.empty())
        return 0;
    std::size_t out = 0;
    for (int row = 0; row < height; ++row) {
        const std::uint8_t* in = bytes + std::size_t(row) * stride;
        for (int column = 0; column < width; ++column, in += 3, out += 4) {
            FUZZ_CHECK(texels[out] == in[0] && texels[out + 1] == in[1] &&
                       texels[out + 2] == in[2]);
            FUZZ_CHECK(texels[out + 3] == expectedAlpha(in[0] + in[1] + in[2]));
        }
    }
    return 0;
}
