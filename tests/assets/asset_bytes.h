// Reading the committed picture files from the source tree as plain little-endian bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace assets {

inline std::vector<std::uint8_t> readSourceFile(const std::string& relativePath) {
    std::ifstream in(std::string(TAVREL_SOURCE_DIR) + "/" + relativePath, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in),
                                     std::istreambuf_iterator<char>());
}

inline std::uint32_t littleEndian(const std::vector<std::uint8_t>& bytes, std::size_t at,
                                  int width) {
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i) {
        value = (value << 8) | bytes.at(at + static_cast<std::size_t>(i));
    }
    return value;
}

}  // namespace assets
