#include <gtest/gtest.h>

#include "base/OsVersionFlags.h"
#include "launch/ProcessWatcher.h"

TEST(OsVersionFlags, FollowTheMajorVersionAndPlatform) {
    const struct {
        unsigned long major;
        unsigned long platform;
        int nt4, vista, win9x;
    } cases[] = {
        {4, 2, 1, 0, 0},  // NT 4
        {4, 1, 1, 0, 1},  // Windows 95/98/Me report major 4 as well
        {5, 2, 0, 0, 0},  // 2000, XP
        {6, 2, 0, 1, 0},  // Vista, 7
        {10, 2, 0, 1, 0}, {3, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        OsVersionFlags flags = OsVersionFlags::fromVersion(c.major, c.platform);
        EXPECT_EQ(flags.isNT4, c.nt4) << c.major << "/" << c.platform;
        EXPECT_EQ(flags.isVistaOrLater, c.vista) << c.major << "/" << c.platform;
        EXPECT_EQ(flags.isWin9x, c.win9x) << c.major << "/" << c.platform;
    }
    // Wine reports Windows 7; on real Windows this follows the machine.
    EXPECT_EQ(OsVersionFlags::current().isVistaOrLater, 1);
}

TEST(ProcessWatcher, FinalWaitFromTheWaitOption) {
    const struct {
        int waitMilliseconds;
        DWORD expected;
    } cases[] = {
        {15000, 15000}, {0, INFINITE}, {1, 1}, {-1, 0xFFFFFFFF}, {-2000, 4294965296u},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProcessWatcher::finalWaitFor(c.waitMilliseconds), c.expected) << c.waitMilliseconds;
}
