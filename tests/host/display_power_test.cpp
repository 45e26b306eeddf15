// What the display's power messages say, and which states still show the picture.
#include "host/display_power.h"

#include <gtest/gtest.h>

namespace {

TEST(DisplayPowerTest, MessagesMeanTheirStates) {
    struct Row {
        long long value;
        DisplayPower consoleState;
        DisplayPower monitorRequest;
    };
    const Row rows[] = {{0, DisplayPower::Off, DisplayPower::On},
                        {1, DisplayPower::On, DisplayPower::LowPower},
                        {2, DisplayPower::Dimmed, DisplayPower::Off},
                        {-1, DisplayPower::On, DisplayPower::On},
                        {3, DisplayPower::On, DisplayPower::On}};
    for (const Row& row : rows) {
        EXPECT_EQ(consoleDisplayState(static_cast<unsigned long>(row.value)), row.consoleState)
            << row.value;
        EXPECT_EQ(monitorPowerRequest(row.value), row.monitorRequest) << row.value;
    }
    EXPECT_TRUE(displayShowsPicture(DisplayPower::On));
    EXPECT_TRUE(displayShowsPicture(DisplayPower::Dimmed));
    EXPECT_FALSE(displayShowsPicture(DisplayPower::LowPower));
    EXPECT_FALSE(displayShowsPicture(DisplayPower::Off));
}

} // namespace
