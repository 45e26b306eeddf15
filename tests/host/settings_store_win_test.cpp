// The settings store on the real registry, under test-private keys, and the program's resources.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "tests/host/probe_saver.h"

namespace {

TEST(SettingsKeyTest, CreatedOnFirstRunOpenedLater) {
    const std::string path = freshTestKeyPath("FirstRun");
    ProbeSaver first;
    first.settingsKeyPath = path;
    EXPECT_EQ(first.openSettingsKey(), ERROR_SUCCESS);
    EXPECT_EQ(first.keyCreatedCalls, 1);
    EXPECT_EQ(first.keyOpenedCalls, 0);
    EXPECT_FALSE(first.valueExists("snowCountPerSecond"));
    EXPECT_EQ(first.readValue("snowCountPerSecond"), 0);

    ProbeSaver later;
    later.settingsKeyPath = path;
    EXPECT_EQ(later.openSettingsKey(), ERROR_SUCCESS);
    EXPECT_EQ(later.keyCreatedCalls, 0);
    EXPECT_EQ(later.keyOpenedCalls, 1);
    removeTestKey(path);
}

TEST(SettingsValueTest, WrittenValuesReadBackUnchanged) {
    const std::string path = freshTestKeyPath("RoundTrip");
    ProbeSaver saver;
    saver.settingsKeyPath = path;
    saver.openSettingsKey();
    const int values[] = {0, 1, 100, -1, -250, INT32_MAX, INT32_MIN};
    for (int value : values) {
        saver.writeValue("snowCountPerSecond", value);
        EXPECT_TRUE(saver.valueExists("snowCountPerSecond"));
        EXPECT_EQ(saver.readValue("snowCountPerSecond"), value);
    }
    DWORD type = 0;
    DWORD size = 0;
    RegQueryValueExA(saver.settingsKey, "snowCountPerSecond", nullptr, &type, nullptr, &size);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(size, 4u);
    removeTestKey(path);
}

TEST(SettingsValueTest, DataThatIsNoFourByteNumberReadsAsZero) {
    const std::string path = freshTestKeyPath("OtherData");
    ProbeSaver saver;
    saver.settingsKeyPath = path;
    saver.openSettingsKey();
    struct Row {
        const char* name;
        DWORD type;
        const void* data;
        DWORD size;
    };
    const char text[] = "hello";
    const std::uint64_t wide = 0x1122334455667788ull;
    const std::uint16_t narrow = 0x7777;
    const char fourBytesOfText[] = "500";
    const Row rows[] = {{"text", REG_SZ, text, sizeof(text)},
                        {"eightBytes", REG_QWORD, &wide, sizeof(wide)},
                        {"twoBytes", REG_BINARY, &narrow, sizeof(narrow)},
                        {"empty", REG_BINARY, nullptr, 0},
                        {"fourBytesOfText", REG_SZ, fourBytesOfText, sizeof(fourBytesOfText)}};
    for (const Row& row : rows) {
        RegSetValueExA(saver.settingsKey, row.name, 0, row.type,
                       static_cast<const BYTE*>(row.data), row.size);
        EXPECT_TRUE(saver.valueExists(row.name)) << row.name;
        EXPECT_EQ(saver.readValue(row.name), 0) << row.name;
    }
    const std::int32_t four = -300;
    RegSetValueExA(saver.settingsKey, "fourBinaryBytes", 0, REG_BINARY,
                   reinterpret_cast<const BYTE*>(&four), sizeof(four));
    EXPECT_EQ(saver.readValue("fourBinaryBytes"), -300);
    removeTestKey(path);
}

TEST(SettingsValueTest, NoKeyMeansNoValues) {
    ProbeSaver saver;
    ASSERT_EQ(saver.settingsKey, nullptr);
    saver.writeValue("useGravity", 1);
    EXPECT_FALSE(saver.valueExists("useGravity"));
    EXPECT_EQ(saver.readValue("useGravity"), 0);
}

TEST(ResourceTest, FindsTheProgramsOwnBytes) {
    ProbeSaver saver;
    ASSERT_EQ(saver.resourceSize(7, MAKEINTRESOURCEA(10)), 6u); // RT_RCDATA
    const void* bytes = saver.loadResource(7, MAKEINTRESOURCEA(10));
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(std::memcmp(bytes, "tavrel", 6), 0);
    EXPECT_EQ(saver.loadResource(8, MAKEINTRESOURCEA(10)), nullptr);
    EXPECT_EQ(saver.resourceSize(8, MAKEINTRESOURCEA(10)), 0u);
}

} // namespace
