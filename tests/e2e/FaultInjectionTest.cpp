// Launches under faults: an Access that crashes or never shows itself, registry values of the
// wrong shape or behind a deny entry, a temporary folder that refuses files or is missing, a log
// file held by someone else, two launchers at once and command lines of odd paths and lengths.
// Each case asserts that the launcher does not crash, shows the message the user is owed, and
// leaves every value of the fixed table as it found it.
#include <gtest/gtest.h>

#include <windows.h>
#include <aclapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/UniqueHandle.h"
#include "registry/CaptureFile.h"
#include "registry/FixedValueTable.h"
#include "registry/RestoreSet.h"
#include "support/KeySecurity.h"
#include "support/LaunchScene.h"

namespace {

const DWORD kExitMinusOne = 0xFFFFFFFF;
const char kDemo[] = "\"C:\\Apps\\Demo.mdb\"";
const char kUnexpected[] = "The application encountered an unexpected error: ";
const char kQuestion[] =
    "The application has encountered an error writing to the registry.\n\n"
    "The application will not run properly until the registry permissions are reset.\n\n"
    "Do you want to repair the registry permissions now?";

class FaultInjection : public LaunchScene {};

struct Environment {
    const char* name;
    const char* value;
};

}  // namespace

// Access crashing, never showing its window or ending at once: the launcher gives up on it as
// the watcher's rules say and still puts everything back.
TEST_F(FaultInjection, AccessThatMisbehavesLeavesNothingSwitched) {
    const struct {
        const char* name;
        std::vector<Environment> environment;
        const char* wait;
        std::vector<std::string> lines;  // line beginnings, in this order in the log
    } cases[] = {
        {"crashes during the grace period",
         {{"STANDIN_CRASH_AFTER", "1500"}, {"STANDIN_LIFETIME", "infinite"}},
         "-WAIT=60000",
         {"Found main window.", "Waiting just a little longer.", "Done waiting for process launch / main window.",
          "Found main Access window - shutting down", "Restoring registry keys", "Exiting application"}},
        {"exits at once",
         {{"STANDIN_LIFETIME", "0"}},
         "-WAIT=1",
         {"Wait timed out. Assuming process exited.", "Couldn't find main window of process after ",
          "Timed Out - main Access window not found!", "Restoring registry keys", "Exiting application"}},
        {"crashes at once",
         {{"STANDIN_CRASH_AFTER", "0"}},
         "-WAIT=1",
         {"Wait timed out. Assuming process exited.", "Timed Out - main Access window not found!",
          "Restoring registry keys"}},
        // 30 looks a second apart: the one slow case of this file.
        {"never shows its window",
         {{"STANDIN_WINDOW", "none"}, {"STANDIN_LIFETIME", "infinite"}},
         "-WAIT=1",
         {"Couldn't find main window of process after 30 tries. Killing process and exiting.",
          "Timed Out - main Access window not found!", "Restoring registry keys", "Exiting application"}},
    };
    AccessInstall& access = install(2002);
    ASSERT_TRUE(access.installed());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        removeFile(logFilePath());
        StandinEnvironment environment;
        for (const auto& e : c.environment)
            environment.set(e.name, e.value);
        DWORD exitCode = 1;
        ASSERT_TRUE(runToEnd("Mallowbrook.exe", std::string("-LOGGING ") + c.wait + " " + kDemo, &exitCode));
        EXPECT_EQ(exitCode, 0u);
        EXPECT_TRUE(boxes.empty()) << boxes.front().text;
        const std::string text = log();
        EXPECT_TRUE(textHas(text, "\r\nAccess.Application\\CurVer (after switch) = Access.Application.10\r\n"))
            << text;
        size_t at = 0;
        for (const auto& line : c.lines) {
            size_t found = text.find("\r\n" + line, at);
            EXPECT_NE(found, std::string::npos) << "missing or out of order: " << line << "\n" << text;
            at = found == std::string::npos ? at : found;
        }
        // Whatever Access did, it is not left running.
        EXPECT_FALSE(isAccessRunning());
        expectAllPutBack(std::string("Access ") + c.name);
        endStandinAccess();
    }
    EXPECT_EQ(access.receivedArguments().size(), std::size(cases));
}

namespace {

struct OddValue {
    const char* name;
    DWORD type;
    std::string bytes;
    bool withoutNul = false;  // text stored with no terminating NUL at all
};

bool writeOdd(size_t row, const OddValue& odd) {
    return odd.withoutNul ? writeRowTextWithoutNul(row, odd.type, odd.bytes) : writeRowRaw(row, odd.type, odd.bytes);
}

std::vector<OddValue> oddValues() {
    const std::string text = "Access.Application.9";
    return {
        {"binary", REG_BINARY, std::string("\x01\x00\xFF\x7F\x00\x02", 6)},
        {"multi-string", REG_MULTI_SZ, std::string("Access.Application.9\0second\0\0", 29)},
        {"64-bit number", REG_QWORD, std::string("\x01\x02\x03\x04\x05\x06\x07\x08", 8)},
        {"two-byte REG_DWORD", REG_DWORD, std::string("\x0B\x00", 2)},
        {"text of 4096 bytes", REG_SZ, std::string(4095, 'a') + '\0'},
        {"text of 5000 bytes", REG_SZ, std::string(4999, 'b') + '\0'},
        {"text without its NUL", REG_SZ, text, true},
        {"empty REG_SZ without data", REG_SZ, ""},
        {"expandable text", REG_EXPAND_SZ, "%SystemRoot%\\Access.Application.9" + std::string(1, '\0')},
    };
}

}  // namespace

// Values the launch switches hold data of a shape the launcher cannot read as text or number:
// whatever their shape, they must come back as they were. The 2010 launcher switches the most
// values of the table and, switching to an edition from 14 on, never keeps the object library.
TEST_F(FaultInjection, OddRegistryValuesComeBackAsTheyWere) {
    AccessInstall& access = install(2010);
    ASSERT_TRUE(access.installed());

    // Which fixed values this launch switches: looked at while Access runs.
    std::vector<size_t> switched;
    {
        standin.set("STANDIN_LIFETIME", "infinite");
        LauncherProcess run("Mallowbrook2010.exe", std::string("-LOGGING -WAIT=60000 ") + kDemo);
        ASSERT_TRUE(run.started());
        ASSERT_TRUE(waitForLog("Waiting just a little longer."));
        for (const ValueChange& change : FixedValueSnapshot::take().changedSince(before))
            switched.push_back(change.row);
        endStandinAccess();
        ASSERT_TRUE(run.waitForExit());
        standin.set("STANDIN_LIFETIME", "20000");
        expectAllPutBack("reference launch");
    }
    const int curVerRow = fixedRow(HKEY_CLASSES_ROOT, "Access.Application\\CurVer", "");
    ASSERT_NE(std::find(switched.begin(), switched.end(), static_cast<size_t>(curVerRow)), switched.end());
    ASSERT_GE(switched.size(), 20u) << "the 2010 launch switches CurVer, LastAccessInstall and the COM servers";

    for (const OddValue& odd : oddValues()) {
        SCOPED_TRACE(odd.name);
        for (size_t row : switched)
            ASSERT_TRUE(writeOdd(row, odd)) << describeRow(row);
        retakeBefore();
        const RawRegistryValue& curVer = before.value(static_cast<size_t>(curVerRow));
        ASSERT_EQ(curVer.type, odd.type);
        if (odd.withoutNul) {
            ASSERT_FALSE(curVer.data.empty());
            ASSERT_NE(curVer.data.back(), 0) << "the value was stored with its NUL";
        }
        DWORD exitCode = 1;
        ASSERT_TRUE(runToEnd("Mallowbrook2010.exe", std::string("-WAIT=1 ") + kDemo, &exitCode));
        EXPECT_EQ(exitCode, 0u);
        EXPECT_TRUE(boxes.empty()) << boxes.front().text;
        expectAllPutBack(std::string(odd.name) + " in the " + std::to_string(switched.size()) + " switched values");
        endStandinAccess();
    }
    EXPECT_EQ(access.receivedArguments().size(), 1 + oddValues().size()) << "every launch started Access";
}

// Every value of the table at once in one of the odd shapes. CurVer is binary: a text there that
// names no edition would make the launcher keep its object library switch, as it should.
TEST_F(FaultInjection, EveryValueOddAtOnce) {
    const auto odd = oddValues();
    const size_t curVerRow = static_cast<size_t>(fixedRow(HKEY_CLASSES_ROOT, "Access.Application\\CurVer", ""));
    for (size_t row = 0; row < kFixedValueCount; ++row) {
        const OddValue& shape = row == curVerRow ? odd[0] : odd[row % odd.size()];
        ASSERT_TRUE(writeOdd(row, shape)) << describeRow(row);
    }
    for (int edition : {2002, 2016}) {
        SCOPED_TRACE(edition);
        retakeBefore();
        AccessInstall& access = install(edition);
        ASSERT_TRUE(access.installed());
        DWORD exitCode = 1;
        ASSERT_TRUE(runToEnd(launcherFor(edition), std::string("-LOGGING -WAIT=1 ") + kDemo, &exitCode));
        EXPECT_EQ(exitCode, 0u);
        EXPECT_TRUE(boxes.empty()) << boxes.front().text;
        EXPECT_TRUE(textHas(log(), "\r\nFound main Access window - shutting down\r\n")) << log();
        expectAllPutBack("every fixed value odd, " + std::to_string(edition));
        endStandinAccess();
        removeFile(logFilePath());
    }
}
