#include "core/AppError.h"
#include "core/LaunchFields.h"

#include <gtest/gtest.h>

TEST(LaunchFields, ReadingPastTheEndNamesTheMissingIndex)
{
    const LaunchFields fields(QStringList{"T001"});
    EXPECT_EQ(fields.at(0), QStringLiteral("T001"));
    try {
        fields.at(1);
        FAIL() << "no error";
    } catch (const AppError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("List index out of bounds (1)"));
    }
}
