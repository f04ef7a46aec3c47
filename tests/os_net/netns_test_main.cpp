// Entry point of the network test programs: nothing runs until the process is known to sit in the
// private test network.
#include <gtest/gtest.h>

#include "netns_env.h"

int main(int argc, char** argv) {
    orvan::netns::RequireIsolated();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
