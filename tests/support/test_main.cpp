// Entry point of every test program. On Windows a test program can also be
// started as a child of itself to run one registered scenario (fatal paths,
// start-up orders), see child_process.h.
#include <gtest/gtest.h>

#ifdef _WIN32
#include "child_process.h"
#endif

int main(int argc, char **argv)
{
#ifdef _WIN32
    int childResult = 0;
    if (RunChildScenarioIfAsked(argc, argv, &childResult)) return childResult;
#endif
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
