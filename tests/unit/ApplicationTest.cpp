#include <gtest/gtest.h>

#include "app/Application.h"

TEST(Application, SingleBlankIsNotEmpty) {
    Application application(GetModuleHandleA(nullptr), " ", 2002);
    ASSERT_TRUE(application.initialise());
    EXPECT_EQ(application.settings()->arguments(), "");
    EXPECT_FALSE(application.log()->IsEnabled());
}

TEST(Application, EmptyCommandLineIsRejectedBeforeAnyLog) {
    Application application(GetModuleHandleA(nullptr), "", 2002);
    EXPECT_FALSE(application.initialise());
    EXPECT_EQ(application.log(), nullptr);
}
