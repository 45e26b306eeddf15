// The Windows-side host tests' entry point: either one child case or the whole suite.
#include <gtest/gtest.h>

#include "tests/host/child_process.h"

int main(int argc, char** argv) {
    int status = 0;
    if (runChildCaseFromArguments(argc, argv, status)) {
        return status;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
