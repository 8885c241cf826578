#include "TestEnvironment.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    tbmtest::SetUpHermeticEnvironment();
    const int result = RUN_ALL_TESTS();
    tbmtest::TearDownHermeticEnvironment(result != 0);
    return result;
}
