// The flake picture read from the bytes of a bitmap file.
#include "scene/bitmap_file_rules.h"

namespace {

// Offsets into the file header (14 bytes) and the information header that follows it.
constexpr std::size_t pixelOffsetAt = 10;
constexpr std::size_t infoSizeAt = 14;
constexpr std::size_t widthAt = 18;
constexpr std::size_t heightAt = 22;
constexpr std::size_t planesAt = 26;
constexpr std::size_t bitsAt = 28;
constexpr std::size_t compressionAt = 30;
constexpr std::size_t headersEnd = 54;
constexpr std::uint32_t smallestInfoHeader = 40;

std::uint32_t little(const std::uint8_t* at, int bytes)
{
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = (value << 8) | at[i];
    return value;
}

} // namespace

FlakePicture readBitmapFile(const std::uint8_t* bytes, std::size_t size)
{
    FlakePicture picture;
    if (bytes == nullptr || size < headersEnd || bytes[0] != 'B' || bytes[1] != 'M')
        return picture;
    const std::uint32_t pixelOffset = little(bytes + pixelOffsetAt, 4);
    const auto width = static_cast<std::int32_t>(little(bytes + widthAt, 4));
    // A negative height would mean rows stored top-down, which the texture's row order is not.
    const auto height = static_cast<std::int32_t>(little(bytes + heightAt, 4));
    const bool flakeKind = little(bytes + infoSizeAt, 4) >= smallestInfoHeader &&
                           little(bytes + planesAt, 2) == 1 && little(bytes + bitsAt, 2) == 24 &&
                           little(bytes + compressionAt, 4) == 0;
    if (!flakeKind || width <= 0 || height <= 0 || pixelOffset > size)
        return picture;
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
    if (convertFlakePixels(width, height, bytes + pixelOffset, size - pixelOffset, stride,
                           picture.texels)) {
        picture.width = width;
        picture.height = height;
    }
    return picture;
}
