// Fuzzes the reading of a bitmap file with any bytes: it never reads outside them, and gives
// either no picture at all or a whole one, four bytes a texel.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "scene/bitmap_file_rules.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A copy of exactly the input's size, so that AddressSanitizer catches any read beyond it.
    const std::vector<std::uint8_t> file(data, data + size);
    const FlakePicture picture = readBitmapFile(file.empty() ? nullptr : file.data(), file.size());
    if (picture.texels.empty()) {
        FUZZ_CHECK(picture.width == 0 && picture.height == 0);
        return 0;
    }
    FUZZ_CHECK(picture.width > 0 && picture.height > 0);
    FUZZ_CHECK(picture.texels.size() ==
               std::size_t(picture.width) * std::size_t(picture.height) * 4);
    return 0;
}
