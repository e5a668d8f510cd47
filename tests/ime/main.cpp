#include <gtest/gtest.h>

// No application here: each case makes its own once its X server and input method are up.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
