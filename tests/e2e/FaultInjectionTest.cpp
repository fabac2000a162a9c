// Launches under faults: an Access that crashes or never shows itself, registry values of the
// wrong shape or behind a deny entry, a temporary folder that refuses files or is missing, a log
// file held by someone else, two launchers at once and command lines of odd paths and lengths.
// Each case asserts that the launcher does not crash, shows the message the user is owed, and
// leaves every value of the fixed table as it found it.
#include <gtest/gtest.h>

#include <windows.h>
#include <aclapi.h>

#include <algorithm>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "base/UniqueHandle.h"
#include "capture/CaptureFile.h"
#include "capture/RestoreSet.h"
#include "launch/RecordingOrder.h"
#include "registry/FixedValueTable.h"
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
// the watcher's rules say, still puts everything back, and then says the application did not open.
TEST_F(FaultInjection, AccessThatMisbehavesLeavesNothingSwitched) {
    const struct {
        const char* name;
        std::vector<Environment> environment;
        const char* wait;
        std::vector<std::string> lines;  // line beginnings, in this order in the log
        const char* box;                 // a part of its text; empty: no box and exit code 0, else 7
    } cases[] = {
        {"crashes during the grace period",
         {{"STANDIN_CRASH_AFTER", "1500"}, {"STANDIN_LIFETIME", "infinite"}},
         "-WAIT=60000",
         {"Found main window.", "Waiting just a little longer.", "Done waiting for process launch / main window.",
          "Found main Access window - shutting down", "Restoring registry keys", "Exiting application"},
         ""},
        {"exits at once",
         {{"STANDIN_LIFETIME", "0"}},
         "-WAIT=1",
         {"Wait timed out. Assuming process exited.", "Couldn't find main window of process after ",
          "Timed Out - main Access window not found!", "Restoring registry keys", "Exiting application"},
         "Access ended before its main window appeared, so the application did not open."},
        {"crashes at once",
         {{"STANDIN_CRASH_AFTER", "0"}},
         "-WAIT=1",
         {"Wait timed out. Assuming process exited.", "Timed Out - main Access window not found!",
          "Restoring registry keys"},
         "\nExit code: 32212"},  // 0xC00000..., as the system reports the crash
        // 30 looks a second apart: the one slow case of this file.
        {"never shows its window",
         {{"STANDIN_WINDOW", "none"}, {"STANDIN_LIFETIME", "infinite"}},
         "-WAIT=1",
         {"Couldn't find main window of process after 30 tries. Killing process and exiting.",
          "Timed Out - main Access window not found!", "Restoring registry keys", "Exiting application"},
         "Access did not show its main window within 30 seconds and was ended"},
    };
    AccessInstall& access = install(2002);
    ASSERT_TRUE(access.installed());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        removeFile(logFilePath());
        boxes.clear();
        StandinEnvironment environment;
        for (const auto& e : c.environment)
            environment.set(e.name, e.value);
        DWORD exitCode = 1;
        ASSERT_TRUE(runToEnd("Mallowbrook.exe", std::string("-LOGGING ") + c.wait + " " + kDemo, &exitCode));
        EXPECT_EQ(exitCode, *c.box ? 7u : 0u);
        ASSERT_EQ(boxes.size(), *c.box ? 1u : 0u);
        EXPECT_TRUE(!*c.box || (textHas(boxes[0].text, c.box) &&
                                textHas(boxes[0].text, "\n\nProgram: " + access.executablePath())))
            << boxes[0].text;
        const std::string text = log();
        EXPECT_TRUE(textHas(text, "\r\nAccess.Application\\CurVer (after switch) = Access.Application.10\r\n")) << text;
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

// A launch that cannot do what the shortcut asks says so in a box and an exit code of its own, or
// goes on as if the bad part were not there; Access never gets what nobody asked for.
TEST_F(FaultInjection, ALaunchThatCannotBeDoneSaysSo) {
    const char kFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    const struct {
        const char* name;
        int edition;
        const char* options;
        DWORD exitCode;
        const char* box;  // the start of its text; empty: no box, and Access gets the database
        const char* logLine;
    } cases[] = {
        {"MSACCESS.EXE cut short", 2002, "", 6, "Access could not be started, so the application did not open.",
         "Could not start C:\\Program Files\\Microsoft Office\\OFFICE10\\MSACCESS.EXE: "},
        {"no local application data folder", 2002, "-WINDOWSPROFILE", kExitMinusOne,
         "The application cannot be started: it opens from your local application data folder",
         "The local application data folder cannot be found: "},
        {"-LANG naming no language", 2010, "-LANG=1O36", 0, "",
         "-LANG=1O36 names no language of the language table; ignored"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AccessInstall& access = install(c.edition);
        ASSERT_TRUE(access.installed());
        RegistrySeed folders;
        if (c.exitCode == 6)  // a damaged install: the program's first page alone
            std::ofstream(access.executablePath(), std::ios::binary) << readFile(standinAccessPath()).substr(0, 4096);
        if (textHas(c.options, "-WINDOWSPROFILE"))
            folders.setString(HKEY_CURRENT_USER, kFolders, "Local AppData", "Q:\\Offline\\Local");
        removeFile(logFilePath());
        boxes.clear();
        DWORD exitCode = 1;
        ASSERT_TRUE(
            runToEnd(launcherFor(c.edition), std::string("-LOGGING -WAIT=1 ") + c.options + " " + kDemo, &exitCode));
        folders.undo();
        EXPECT_EQ(exitCode, c.exitCode);
        ASSERT_EQ(boxes.size(), *c.box ? 1u : 0u);
        // The box names the program and the system's reason, its "%1" filled in.
        EXPECT_TRUE(!*c.box || (boxes[0].title == "Mallowbrook Warning" && boxes[0].text.rfind(c.box, 0) == 0 &&
                                !textHas(boxes[0].text, "%1") &&
                                textHas(boxes[0].text, c.exitCode == 6 ? access.executablePath() : "Reason: ")))
            << boxes[0].text;
        EXPECT_TRUE(textHas(log(), "\r\n" + std::string(c.logLine))) << log();
        // Without the folder the run ends before anything is recorded or switched.
        EXPECT_EQ(textHas(log(), "Saving default registry settings"), c.exitCode != kExitMinusOne);
        EXPECT_EQ(access.receivedArguments(), *c.box ? std::vector<std::string>{} : std::vector<std::string>{kDemo});
        EXPECT_FALSE(
            registryKeyExists(HKEY_CURRENT_USER, "Software\\Microsoft\\Office\\14.0\\Common\\LanguageResources"));
        expectAllPutBack(c.name);
        uninstall();
    }
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

namespace {

// Every distinct key of the fixed table closed to writing (setting values and making subkeys)
// for everyone, and opened again as it was when the object goes.
class DeniedKeys {
public:
    explicit DeniedKeys(const std::vector<std::pair<HKEY, std::string>>& keys) {
        for (const auto& key : keys) {
            const std::string original = KeySecurity::dacl(key.first, key.second);
            if (original == "(unreadable)" || !KeySecurity::setDacl(key.first, key.second, kDenyWrite))
                continue;
            denied_.push_back({key.first, key.second, original});
        }
    }
    ~DeniedKeys() {
        for (const auto& key : denied_)
            KeySecurity::setDacl(key.root, key.path, key.original);
    }
    size_t count() const { return denied_.size(); }

private:
    static constexpr const char* kDenyWrite = "D:(D;;0x6;;;WD)(A;;KA;;;WD)";
    struct Denied {
        HKEY root;
        std::string path;
        std::string original;
    };
    std::vector<Denied> denied_;
};

std::vector<std::pair<HKEY, std::string>> fixedKeys() {
    std::vector<std::pair<HKEY, std::string>> keys;
    for (const FixedValue& row : kFixedValues) {
        const HKEY root = row.hive == Hive::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CLASSES_ROOT;
        bool known = false;
        for (const auto& key : keys)
            known = known || (key.first == root && _stricmp(key.second.c_str(), row.key) == 0);
        if (!known)
            keys.push_back({root, row.key});
    }
    return keys;
}

}  // namespace

// The keys of the fixed table may not be written. The launch still starts Access; where the
// launcher checks its write it asks the Registry Error question; nothing changes.
TEST_F(FaultInjection, KeysThatMayNotBeWrittenStayAsTheyAre) {
    const struct {
        int edition;
        size_t questions;  // 2002 checks only the object library; 2010 also CurVer
    } cases[] = {{2002, 1}, {2010, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.edition);
        removeFile(logFilePath());
        boxes.clear();
        AccessInstall& access = install(c.edition);
        ASSERT_TRUE(access.installed());
        const auto keys = fixedKeys();
        DeniedKeys denied(keys);
        ASSERT_EQ(denied.count(), keys.size());
        {
            UniqueKey probe;
            ASSERT_NE(RegOpenKeyExA(HKEY_CLASSES_ROOT, "Access.Application\\CurVer", 0, KEY_SET_VALUE, probe.put()),
                      ERROR_SUCCESS)
                << "the registry does not enforce the deny entry";
        }
        DWORD exitCode = 1;
        ASSERT_TRUE(runToEnd(launcherFor(c.edition), std::string("-LOGGING -WAIT=1 ") + kDemo, &exitCode, IDNO));
        EXPECT_EQ(exitCode, 0u);
        EXPECT_EQ(boxes.size(), c.questions);
        for (const auto& box : boxes) {
            EXPECT_EQ(box.title, "Registry Error");
            EXPECT_EQ(box.text, kQuestion);
        }
        const std::string text = log();
        EXPECT_TRUE(textHas(text, "\r\n" + std::to_string(c.edition) + " - User declined repairing permissions.\r\n"))
            << text;
        EXPECT_EQ(access.receivedArguments(), std::vector<std::string>{kDemo});
        expectAllPutBack("every fixed key closed to writing, " + std::to_string(c.edition));
        endStandinAccess();
    }
}

namespace {

// The temporary folder a launcher started now will use (GetTempPathA takes TMP first).
class TemporaryFolderFor {
public:
    explicit TemporaryFolderFor(const std::string& folder) {
        environment_.set("TMP", folder);
        environment_.set("TEMP", folder);
    }

private:
    StandinEnvironment environment_;
};

std::string ownTemporaryFolder() {
    char folder[MAX_PATH + 1] = {};
    GetTempPathA(sizeof(folder), folder);
    return folder;
}

// A folder in which no file can be made. On Windows a deny entry for adding files does that.
// Wine keeps file DACLs without enforcing them, and the test bench runs as root, for whom no
// Unix permission bites either; there the folder is Linux's /sys, which refuses new files even
// to root (Wine reports that as access denied).
std::string readOnlyFolder() {
    const std::string folder = ownTemporaryFolder() + "Mallowbrook read-only\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    EXPLICIT_ACCESSA deny = {};
    char everyone[] = "EVERYONE";
    BuildExplicitAccessWithNameA(&deny, everyone, FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY, DENY_ACCESS,
                                 SUB_CONTAINERS_AND_OBJECTS_INHERIT);
    PACL acl = nullptr;
    if (SetEntriesInAclA(1, &deny, nullptr, &acl) == ERROR_SUCCESS) {
        UniqueLocalMemory owner(acl);
        SetNamedSecurityInfoA(const_cast<char*>(folder.c_str()), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                              nullptr, acl, nullptr);
    }
    const std::string probe = folder + "probe.txt";
    UniqueFile file(CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return folder;
    file.reset();
    DeleteFileA(probe.c_str());
    return "Z:\\sys\\";
}

bool fileCanBeMadeIn(const std::string& folder) {
    const std::string probe = folder + "probe.txt";
    UniqueFile file(CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    file.reset();
    DeleteFileA(probe.c_str());
    return true;
}

std::string currentFolderFile(const char* name) {
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, folder);
    return std::string(folder) + "\\" + name;
}

std::string errorText(DWORD code) {
    char buffer[4096] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code, 0, buffer, sizeof(buffer), nullptr);
    return std::string(buffer, length);
}

// The launcher's refusal to make the helper's own folder inside the temporary folder.
std::string folderRefused(const std::string& folder, DWORD code) {
    std::string text = errorText(code);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    return "Couldn't create a folder in " + folder + ": " + text;
}

}  // namespace

// A temporary folder that refuses files, does not exist, or is longer than any path: -CAPTURE
// writes no file and says so in a box (a folder that cannot be told at all makes the file
// relative to the current one, which works); the helper extraction of -OPENKEYS ends in the
// error box that names the folder it could not make.
TEST_F(FaultInjection, UnusableTemporaryFolder) {
    const std::string readOnly = readOnlyFolder();
    ASSERT_FALSE(fileCanBeMadeIn(readOnly)) << readOnly;
    const std::string missing = ownTemporaryFolder() + "Mallowbrook missing\\";
    RemoveDirectoryA(missing.c_str());
    const std::string overLong = "C:\\" + std::string(300, 't') + "\\";
    const std::string tooLong =
        "GetTempPath returned a path larger than MAX_PATH + 1, which the documentation says it "
        "shouldn't do.";
    const struct {
        const char* name;
        std::string folder;
        std::vector<std::string> openKeysMessages;  // after "The application encountered an unexpected error: "
        bool captured;
    } cases[] = {
        {"read-only", readOnly, {folderRefused(readOnly, ERROR_ACCESS_DENIED)}, false},
        {"missing",
         missing,
         {folderRefused(missing, ERROR_PATH_NOT_FOUND), folderRefused(missing, ERROR_FILE_NOT_FOUND)},
         false},
        // Windows hands back the whole length, which the launcher refuses; Wine fails the call.
        {"over-long", overLong, {tooLong, errorText(ERROR_FILENAME_EXCED_RANGE)}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TemporaryFolderFor temporary(c.folder);
        for (const char* option : {"-CAPTURE", "-OPENKEYS -NOPROGRESS"}) {
            SCOPED_TRACE(option);
            removeFile(logFilePath());
            boxes.clear();
            DWORD exitCode = 1;
            ASSERT_TRUE(runToEnd("Mallowbrook.exe", std::string("-LOGGING ") + option, &exitCode));
            const std::string text = log();
            if (std::string(option) == "-CAPTURE" && c.captured) {
                EXPECT_EQ(exitCode, 0u);
                EXPECT_TRUE(boxes.empty()) << boxes.front().text;
                EXPECT_TRUE(textHas(text, "\r\n-capture\r\nExiting Mallowbrook because")) << text;
                // A folder that cannot be told at all makes the file relative to the current one.
                EXPECT_TRUE(fileExistsAt(currentFolderFile("~QVReg.dat")));
                removeFile(currentFolderFile("~QVReg.dat"));
            } else if (std::string(option) == "-CAPTURE") {
                EXPECT_EQ(exitCode, kExitMinusOne);
                ASSERT_EQ(boxes.size(), 1u);
                EXPECT_EQ(boxes[0].title, "Mallowbrook");
                EXPECT_TRUE(textHas(boxes[0].text, "could not be written")) << boxes[0].text;
                EXPECT_TRUE(textHas(text, "\r\n" + boxes[0].text + "\r\n")) << text;
                EXPECT_FALSE(fileExistsAt(c.folder + "~QVReg.dat"));
            } else {
                EXPECT_EQ(exitCode, kExitMinusOne);
                ASSERT_EQ(boxes.size(), 1u);
                EXPECT_EQ(boxes[0].title, "Mallowbrook");
                bool known = false;
                for (const auto& message : c.openKeysMessages)
                    known = known || boxes[0].text == kUnexpected + message;
                EXPECT_TRUE(known) << boxes[0].text;
                EXPECT_TRUE(textHas(text, "\r\n" + boxes[0].text)) << text;
            }
            expectAllPutBack(std::string(option) + " with a " + c.name + " temporary folder");
        }
    }
}

// The helper is needed in the middle of a launch (CurVer does not take the 2010 ProgID and the
// user agrees to a repair), but it cannot be written: the error is reported and everything the
// launch had already switched is put back.
TEST_F(FaultInjection, HelperThatCannotBeWrittenDuringALaunch) {
    AccessInstall& access = install(2010);
    ASSERT_TRUE(access.installed());
    const std::string readOnly = readOnlyFolder();
    TemporaryFolderFor temporary(readOnly);
    DeniedKeys denied({{HKEY_CLASSES_ROOT, "Access.Application\\CurVer"}});
    ASSERT_EQ(denied.count(), 1u);
    DWORD exitCode = 1;
    ASSERT_TRUE(runToEnd("Mallowbrook2010.exe", std::string("-LOGGING -WAIT=1 ") + kDemo, &exitCode, IDYES));
    EXPECT_EQ(exitCode, kExitMinusOne);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].title, "Registry Error");
    EXPECT_EQ(boxes[1].title, "Mallowbrook");
    EXPECT_EQ(boxes[1].text, kUnexpected + folderRefused(readOnly, ERROR_ACCESS_DENIED));
    EXPECT_TRUE(access.receivedCommandLines().empty()) << "Access was started after the error";
    // The launch had switched LastAccessInstall, the ACE component and the object library.
    const std::string text = log();
    EXPECT_TRUE(textHas(text, "LastAccessInstall' -> '14'")) << text;
    expectAllPutBack("helper extraction failing in the middle of a 2010 launch");
}

// The log file is held by another program (a second launcher, an editor) or is not a file: the
// run goes on without a log and leaves the holder's file alone.
TEST_F(FaultInjection, LogFileThatCannotBeOpened) {
    AccessInstall& access = install(2002);
    ASSERT_TRUE(access.installed());
    const struct {
        const char* name;
        DWORD share;  // of the holder; ~0u: the log path is a folder
    } cases[] = {
        {"held for writing, shared for reading", FILE_SHARE_READ}, {"held without sharing", 0}, {"a folder", ~0u}};
    size_t starts = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        removeFile(logFilePath());
        UniqueFile holder;
        if (c.share == ~0u) {
            ASSERT_TRUE(CreateDirectoryA(logFilePath().c_str(), nullptr));
        } else {
            holder.reset(CreateFileA(logFilePath().c_str(), GENERIC_WRITE, c.share, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
            ASSERT_TRUE(holder);
            DWORD written = 0;
            ASSERT_TRUE(WriteFile(holder.get(), "holder's text", 13, &written, nullptr));
        }
        DWORD exitCode = 1;
        ASSERT_TRUE(runToEnd("Mallowbrook.exe", std::string("-LOGGING -WAIT=1 ") + kDemo, &exitCode));
        EXPECT_EQ(exitCode, 0u);
        EXPECT_TRUE(boxes.empty());
        EXPECT_EQ(access.receivedArguments().size(), ++starts) << "Access was not started";
        if (c.share == ~0u) {
            EXPECT_TRUE(GetFileAttributesA(logFilePath().c_str()) & FILE_ATTRIBUTE_DIRECTORY);
            RemoveDirectoryA(logFilePath().c_str());
        } else {
            holder.reset();
            EXPECT_EQ(readFile(logFilePath()), "holder's text");
        }
        expectAllPutBack(std::string("log file ") + c.name);
        endStandinAccess();
    }
}

// Two launchers started at the same moment (a double click that registered twice): both start
// Access, and when both have ended the fixed values are as they were before either began.
TEST_F(FaultInjection, TwoLaunchersAtOnce) {
    const struct {
        int first;
        int second;
    } cases[] = {{2002, 2002}, {2002, 2010}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.first) + " and " + std::to_string(c.second));
        AccessInstall& first = install(c.first);
        AccessInstall* second = c.second == c.first ? &first : &install(c.second);
        ASSERT_TRUE(first.installed());
        const size_t firstBefore = first.receivedArguments().size();
        LauncherProcess one(launcherFor(c.first), std::string("-WAIT=1 ") + kDemo);
        LauncherProcess two(launcherFor(c.second), std::string("-WAIT=1 ") + kDemo);
        ASSERT_TRUE(one.started() && two.started());
        ASSERT_TRUE(one.waitForExit(40000));
        ASSERT_TRUE(two.waitForExit(40000));
        EXPECT_EQ(one.exitCode(), 0u);
        EXPECT_EQ(two.exitCode(), 0u);
        if (second == &first)
            EXPECT_EQ(first.receivedArguments().size(), firstBefore + 2);
        else {
            EXPECT_EQ(first.receivedArguments().size(), firstBefore + 1);
            EXPECT_EQ(second->receivedArguments().size(), 1u);
        }
        expectAllPutBack("two launchers at once, " + std::to_string(c.first) + " and " + std::to_string(c.second));
        endStandinAccess();
        uninstall();
    }
}

namespace {

// "C:\Apps\" + name + ".mdb" of exactly `length` characters.
std::string pathOfLength(size_t length) {
    const std::string head = "C:\\Apps\\Long\\", tail = ".mdb";
    return head + std::string(length - head.size() - tail.size(), 'd') + tail;
}

}  // namespace

// Database paths with blanks, quotes, characters beyond ASCII and lengths around MAX_PATH reach
// Access exactly as given; the 2010 launcher also trusts each one's folder.
TEST_F(FaultInjection, OddDatabasePaths) {
    const struct {
        const char* name;
        std::string arguments;
    } cases[] = {
        {"blanks", "\"C:\\My Apps\\Sales Data 2024\\Demo DB.mdb\" /runtime"},
        {"unquoted blanks", "C:\\My Apps\\Demo DB.mdb /x"},
        {"quote never closed", "\"C:\\Apps\\Demo.mdb /runtime"},
        {"quotes inside", "\"C:\\Apps\\\"Q1\" Sales.mdb\" \"\" \"\"\"\""},
        {"beyond ASCII",
         "\"C:\\Apps\\Caf\xE9 M\xFCller\\Donn\xE9"
         "es \xC6\xD8\xC5.mdb\""},
        {"259 characters", "\"" + pathOfLength(259) + "\""},
        {"260 characters", "\"" + pathOfLength(260) + "\""},
        {"261 characters", "\"" + pathOfLength(261) + "\" /runtime"},
    };
    AccessInstall& access = install(2010);
    ASSERT_TRUE(access.installed());
    ASSERT_EQ(pathOfLength(261).size(), 261u);
    size_t starts = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        removeFile(logFilePath());
        DWORD exitCode = 1;
        ASSERT_TRUE(runToEnd("Mallowbrook2010.exe", "-LOGGING -WAIT=1 " + c.arguments, &exitCode));
        EXPECT_EQ(exitCode, 0u);
        EXPECT_TRUE(boxes.empty());
        const auto received = access.receivedArguments();
        ASSERT_EQ(received.size(), ++starts);
        EXPECT_EQ(received.back(), c.arguments);
        EXPECT_TRUE(textHas(log(), "\r\nCommand line after env replacement: " + c.arguments + "\r\n")) << log();
        expectAllPutBack(std::string("database path with ") + c.name);
        endStandinAccess();
    }
    // With -WINDOWSPROFILE the longest path is rewritten below the local application data folder.
    removeFile(logFilePath());
    ASSERT_TRUE(runToEnd("Mallowbrook2010.exe", "-LOGGING -WAIT=1 -WINDOWSPROFILE \"" + pathOfLength(261) + "\""));
    EXPECT_TRUE(textHas(log(), "\r\n******* Windows Profile = true\r\n")) << log();
    EXPECT_EQ(access.receivedArguments().size(), starts + 1);
    expectAllPutBack("database path of 261 characters with -WINDOWSPROFILE");
}

// Inputs far longer than anyone writes: a -CMD key and a stored command line of 5000 characters,
// and a command line of 32000 characters. No key has so long a name, so the launch goes on with
// the parsed command line; the stored command line is used whole, however long.
TEST_F(FaultInjection, VeryLongInputs) {
    AccessInstall& access = install(2002);
    ASSERT_TRUE(access.installed());
    const std::string storedKey = "Software\\MallowbrookE2E\\Long";
    const std::string stored5000 = "\"C:\\Apps\\Stored.mdb\" /cmd " + std::string(5000 - 26, 'c');
    const std::string stored4095 = "\"C:\\Apps\\Stored.mdb\" /cmd " + std::string(4095 - 26, 'c');
    ASSERT_EQ(stored5000.size(), 5000u);
    ASSERT_TRUE(seed.setString(HKEY_LOCAL_MACHINE, storedKey, "Five", stored5000));
    ASSERT_TRUE(seed.setString(HKEY_LOCAL_MACHINE, storedKey, "Fits", stored4095));
    const std::string longKey = "HKLM\\Software\\" + std::string(5000 - 14, 'k');
    const std::string padding(32000 - 40, 'p');
    const struct {
        const char* name;
        std::string options;
        std::string arguments;
        std::string received;  // empty: Access may not start at all
        std::string logLine;
    } cases[] = {
        {"-CMD key of 5000 characters", "-CMD=\"" + longKey + "\"", kDemo, kDemo,
         std::string("Using only parsed command line (no registry): ") + kDemo},
        {"stored command line of 5000 characters", "-CMD=\"HKLM\\" + storedKey + "\" -VALUE=\"Five\"", kDemo,
         stored5000 + " " + kDemo, "Have command line from registry: " + stored5000},
        {"stored command line of 4095 characters", "-CMD=\"HKLM\\" + storedKey + "\" -VALUE=\"Fits\"", kDemo,
         stored4095 + " " + kDemo, "Have command line from registry: " + stored4095},
        {"command line of 32000 characters", "", std::string(kDemo) + " /x " + padding, "",
         "Command line: -LOGGING -WAIT=1  " + std::string(kDemo) + " /x " + padding},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        removeFile(logFilePath());
        const size_t startsBefore = access.receivedArguments().size();
        DWORD exitCode = 1;
        const std::string commandLine = "-LOGGING -WAIT=1 " + c.options + " " + c.arguments;
        ASSERT_TRUE(runToEnd("Mallowbrook.exe", commandLine, &exitCode));
        EXPECT_EQ(exitCode, 0u);
        EXPECT_TRUE(boxes.empty());
        const std::string text = log();
        EXPECT_TRUE(textHas(text, "\r\n" + c.logLine + "\r\n")) << text.substr(0, 2000);
        const auto received = access.receivedArguments();
        if (!c.received.empty()) {
            ASSERT_EQ(received.size(), startsBefore + 1);
            EXPECT_EQ(received.back(), c.received);
        } else {
            // Whether so long a command line can be handed on is the system's affair; if Access
            // started it got all of it, and if not the launcher said so.
            if (received.size() > startsBefore)
                EXPECT_EQ(received.back(), c.arguments);
            else
                EXPECT_TRUE(textHas(text, "\r\nTimed Out - main Access window not found!\r\n"));
            std::cout << "[ note     ] " << c.name << ": Access "
                      << (received.size() > startsBefore ? "started with all of it" : "could not be started")
                      << std::endl;
        }
        EXPECT_TRUE(textHas(text, "\r\nRestoring registry keys\r\n"));
        expectAllPutBack(c.name);
        endStandinAccess();
    }
}

namespace {

// How many launchers are between recording and putting back right now.
DWORD launchersRecording() {
    UniqueKernelHandle mapping(OpenFileMappingA(FILE_MAP_READ, FALSE, "Local\\MallowbrookRecordingOrder"));
    if (!mapping)
        return 0;
    auto* list = static_cast<const RecordingOrder::Shared*>(
        MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, sizeof(RecordingOrder::Shared)));
    if (list == nullptr)
        return 0;
    const DWORD count = list->count;
    UnmapViewOfFile(list);
    return count;
}

bool waitForLaunchersRecording(DWORD count, DWORD timeoutMs = 15000) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(10))
        if (launchersRecording() == count)
            return true;
    return false;
}

}  // namespace

// The second launcher starts while the first has the registry switched and ends after it: it
// records the first one's switch. The first waits for it and puts back the state before both.
TEST_F(FaultInjection, ALaterLauncherRecordsTheEarliersSwitch) {
    AccessInstall& first = install(2002);
    AccessInstall& second = install(2010);
    ASSERT_TRUE(first.installed() && second.installed());
    standin.set("STANDIN_WINDOW_DELAY", "1500");
    LauncherProcess one("Mallowbrook.exe", std::string("-LOGGING -WAIT=1 ") + kDemo);
    ASSERT_TRUE(waitForLog("Access.Application\\CurVer (after switch) = Access.Application.10"));
    standin.set("STANDIN_WINDOW_DELAY", "3000");
    LauncherProcess two("Mallowbrook2010.exe", std::string("-WAIT=1 ") + kDemo);
    ASSERT_TRUE(waitForLaunchersRecording(2)) << "the second launcher never recorded";
    ASSERT_TRUE(one.waitForExit(40000));
    ASSERT_TRUE(two.waitForExit(40000));
    EXPECT_EQ(one.exitCode(), 0u);
    EXPECT_EQ(two.exitCode(), 0u);
    EXPECT_EQ(first.receivedArguments().size(), 1u);
    EXPECT_EQ(second.receivedArguments().size(), 1u);
    EXPECT_TRUE(textHas(log(),
                        "\r\nWaiting for a launcher started later to put back its registry values first\r\n"
                        "Restoring registry keys\r\n"))
        << log();
    EXPECT_EQ(launchersRecording(), 0u);
    expectAllPutBack("a later launcher recording the earlier one's switch");
}

// A later launcher that is ended before it puts anything back does not hold up the first one.
TEST_F(FaultInjection, AKilledLaterLauncherDoesNotHoldTheEarlierOne) {
    AccessInstall& access = install(2002);
    ASSERT_TRUE(access.installed());
    standin.set("STANDIN_WINDOW_DELAY", "1500");
    LauncherProcess one("Mallowbrook.exe", std::string("-LOGGING -WAIT=1 ") + kDemo);
    ASSERT_TRUE(waitForLog("Access.Application\\CurVer (after switch) = Access.Application.10"));
    standin.set("STANDIN_WINDOW", "none");
    LauncherProcess two("Mallowbrook.exe", std::string("-WAIT=1 ") + kDemo);
    ASSERT_TRUE(waitForLaunchersRecording(2)) << "the second launcher never recorded";
    TerminateProcess(two.handle(), 1);
    ASSERT_TRUE(one.waitForExit(20000)) << "the first launcher waits for one that is gone";
    EXPECT_EQ(one.exitCode(), 0u);
    EXPECT_EQ(launchersRecording(), 0u);
    expectAllPutBack("a later launcher killed before putting back");
}
