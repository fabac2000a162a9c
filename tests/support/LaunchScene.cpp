#include "support/LaunchScene.h"

#include <iostream>

void LaunchScene::SetUp() {
    LaunchFixture::SetUp();
    ASSERT_TRUE(seedFixedValues(seed, "Access.Application.15"));
    before = FixedValueSnapshot::take();
}

void LaunchScene::expectAllPutBack(const std::string& context) {
    const auto lost = FixedValueSnapshot::take().changedSince(before);
    EXPECT_TRUE(lost.empty()) << context << ": recorded values left changed:\n" << describe(lost);
    std::cout << "[ values   ] " << context << ": " << before.presentCount() << " fixed values checked, " << lost.size()
              << " lost" << std::endl;
}
