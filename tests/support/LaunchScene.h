#pragma once
// The scene of a whole launch for tests that try faults on it: the ground of LaunchFixture (the
// stand-in Access installed with its object library, the keys a launch touches taken away for
// the test and put back after it), every value of the fixed table given a known text, a
// snapshot of the fixed values taken before the launcher starts, and every box the launcher
// shows answered.
//
//   class MyTest : public LaunchScene {};
//   TEST_F(MyTest, X) {
//       install(2002);
//       LauncherProcess run(launcherFor(2002), "-LOGGING -WAIT=1 x.mdb");
//       ...
//       expectAllPutBack("what was tried");   // counts the values checked and lost
//   }
#include <string>

#include "support/FixedValueSnapshot.h"
#include "support/LaunchFixture.h"

class LaunchScene : public LaunchFixture {
protected:
    LaunchScene() { answerBoxes = true; }
    void SetUp() override;

    // The fixed values now against those before the launch: every one that existed must be back.
    // Prints one line per call for the figures of the run.
    void expectAllPutBack(const std::string& context);
    // Takes the snapshot again, after the test changed the seeded values itself.
    void retakeBefore() { before = FixedValueSnapshot::take(); }

    FixedValueSnapshot before;
};
