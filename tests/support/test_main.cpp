// main() of every test binary: a child mode when asked for one, else the GoogleTest run.
#include "child_process.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    int exitCode = 0;
    if (testing_support::RunChildModeIfAsked(argc, argv, exitCode)) return exitCode;
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
