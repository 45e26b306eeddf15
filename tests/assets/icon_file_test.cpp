// The committed program icon (icon resource 101): its directory and where each image lies.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <vector>

#include "tests/assets/asset_bytes.h"

namespace {

constexpr std::size_t kDirectoryBytes = 6;
constexpr std::size_t kEntryBytes = 16;

struct IconEntry {
    int size;
    std::uint32_t bytesInImage;
    std::uint32_t offset;
};

std::vector<IconEntry> entries(const std::vector<std::uint8_t>& file) {
    std::vector<IconEntry> found;
    std::uint32_t count = assets::littleEndian(file, 4, 2);
    for (std::uint32_t i = 0; i < count; ++i) {
        std::size_t at = kDirectoryBytes + i * kEntryBytes;
        int side = file.at(at);
        found.push_back(IconEntry{side == 0 ? 256 : side, assets::littleEndian(file, at + 8, 4),
                                  assets::littleEndian(file, at + 12, 4)});
    }
    return found;
}

TEST(IconFile, DirectoryListsTheSevenSizesWithImagesInsideTheFile) {
    std::vector<std::uint8_t> file = assets::readSourceFile("resources/tavrel.ico");
    ASSERT_GE(file.size(), kDirectoryBytes) << "resources/tavrel.ico is missing or truncated";
    EXPECT_EQ(assets::littleEndian(file, 0, 2), 0u) << "reserved";
    EXPECT_EQ(assets::littleEndian(file, 2, 2), 1u) << "type: icon";
    ASSERT_LE(kDirectoryBytes + assets::littleEndian(file, 4, 2) * kEntryBytes, file.size());

    std::set<int> sizes;
    for (const IconEntry& entry : entries(file)) {
        sizes.insert(entry.size);
        ASSERT_GE(entry.offset, kDirectoryBytes) << entry.size;
        ASSERT_LE(std::uint64_t{entry.offset} + entry.bytesInImage, file.size()) << entry.size;
        ASSERT_GE(entry.bytesInImage, 8u) << entry.size;
        bool png = assets::littleEndian(file, entry.offset, 4) == 0x474E5089;
        if (!png) {
            // A DIB: its header gives the width and twice the height (colour rows and mask).
            EXPECT_EQ(assets::littleEndian(file, entry.offset, 4), 40u) << entry.size;
            EXPECT_EQ(assets::littleEndian(file, entry.offset + 4, 4),
                      static_cast<std::uint32_t>(entry.size));
            EXPECT_EQ(assets::littleEndian(file, entry.offset + 8, 4),
                      static_cast<std::uint32_t>(entry.size * 2));
        }
    }
    EXPECT_EQ(sizes, (std::set<int>{16, 24, 32, 48, 64, 128, 256}));
}

}  // namespace
