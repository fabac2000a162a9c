// The journal puts the registry back after a launch that could not: a session that ended, two
// launchers of which the earlier one was killed, a value someone changed in the meantime, a
// put-back the registry refused. Also the launches the runtime search and the command-line
// limit must allow or refuse.
#include <gtest/gtest.h>

#include <windows.h>

#include <iostream>
#include <string>
#include <vector>

#include "base/UniqueHandle.h"
#include "discovery/AccessEditions.h"
#include "discovery/BasicAccessRuntime.h"
#include "journal/JournalFile.h"
#include "journal/JournalText.h"
#include "log/NullLog.h"
#include "support/KeySecurity.h"
#include "support/LaunchScene.h"
#include "support/TestWait.h"

namespace {

const char kDemo[] = "\"C:\\Apps\\Demo.mdb\"";
const char kCurVerKey[] = "Access.Application\\CurVer";
const char kUserData[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData";
const DWORD kExitPutBackIncomplete = 2;
const DWORD kExitUnprotected = 3;
const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kPlantedKey[] = "SOFTWARE\\Planted";
const char kSecurity2003[] = "Software\\Microsoft\\Office\\11.0\\Access\\Security";
const char kInterrupted[] = "\r\nPutting back the registry values of an interrupted launch started ";

JournalEntry forgedEntry(Hive hive, const char* key, const char* name, std::uint32_t type, const std::string& text) {
    JournalEntry entry;
    entry.hive = hive;
    entry.key = key;
    entry.valueName = name;
    entry.recorded.present = true;
    entry.recorded.type = type;
    entry.recorded.bytes = text + '\0';
    return entry;
}

void writeWholeFile(const std::string& path, const std::string& text) {
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    ASSERT_TRUE(file && WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr));
}

// What stands where a "Mallowbrook" journal folder goes.
enum class Place { Folder, File, Link };

// Gives a place's "Mallowbrook" entry that shape (Folder: plain and empty), with the system's own
// shell on the Unix side of the path: Wine's CreateSymbolicLinkA makes no link, and Wine shows a
// Unix link to a folder as a reparse point, as Windows shows a junction.
bool shapePlace(const std::string& parent, Place shape) {
    using UnixName = char*(CDECL*)(LPCWSTR);
    const auto unixName =
        reinterpret_cast<UnixName>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name"));
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, (parent + "Mallowbrook").c_str(), -1, wide, MAX_PATH);
    char* unix = unixName != nullptr ? unixName(wide) : nullptr;
    if (unix == nullptr)
        return false;
    const std::string name = std::string("'") + unix + "'", other = std::string("'") + unix + "-elsewhere'";
    HeapFree(GetProcessHeap(), 0, unix);
    const std::string make[] = {"mkdir " + name, "echo file >" + name,
                                "mkdir " + other + " && ln -s " + other + " " + name};
    std::string command = "/bin/sh -c \"rm -rf " + name + " " + other + " && " + make[static_cast<int>(shape)] + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return false;
    UniqueKernelHandle process(info.hProcess), thread(info.hThread);
    // Wine's handle does not wait for a Unix program: what it made is awaited instead.
    const DWORD wanted[] = {FILE_ATTRIBUTE_DIRECTORY, 0, FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT};
    for (DWORD start = GetTickCount(); GetTickCount() - start < testWait(10000); Sleep(20)) {
        const DWORD attributes = GetFileAttributesA((parent + "Mallowbrook").c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES &&
            (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == wanted[static_cast<int>(shape)])
            return true;
    }
    return false;
}

bool waitForJournals(size_t count, DWORD timeoutMs = 15000) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(20))
        if (listJournalFiles().size() == count)
            return true;
    return false;
}

size_t valuesOff(const FixedValueSnapshot& before) {
    return FixedValueSnapshot::take().changedSince(before).size();
}

class JournalTest : public LaunchScene {
protected:
    // A launcher ended while it waits for an Access window that never comes: everything switched.
    void killWhileWaiting(int edition) {
        removeFile(logFilePath());
        standin.set("STANDIN_WINDOW", "none");
        LauncherProcess run(launcherFor(edition), std::string("-LOGGING -WAIT=60000 ") + kDemo);
        ASSERT_TRUE(run.started());
        ASSERT_TRUE(waitForLog("\r\nChecking for process...\r\n"));
        TerminateProcess(run.handle(), 1);
        run.waitForExit(5000);
        endStandinAccess();
        standin.set("STANDIN_WINDOW", "OMain");
        ASSERT_GT(valuesOff(before), 0u) << "the kill left nothing switched";
    }
};

}  // namespace

// Logging off while Access runs: the window is told the session ends and puts the values back
// before it returns, with no later launch to do it.
TEST_F(JournalTest, SessionEndPutsTheValuesBackAtOnce) {
    for (int edition : {2002, 2010}) {
        SCOPED_TRACE(edition);
        removeFile(logFilePath());
        ASSERT_TRUE(install(edition).installed());
        standin.set("STANDIN_WINDOW", "none");
        LauncherProcess run(launcherFor(edition), std::string("-LOGGING -WAIT=60000 ") + kDemo);
        ASSERT_TRUE(waitForLog("\r\nChecking for process...\r\n"));
        ASSERT_GT(valuesOff(before), 0u);
        // Wine's wineboot sends WM_QUERYENDSESSION and WM_ENDSESSION to every window, as a logoff does.
        DWORD bootExit = 1;
        {
            STARTUPINFOA startup = {};
            startup.cb = sizeof(startup);
            PROCESS_INFORMATION info = {};
            char command[] = "wineboot.exe -e";
            ASSERT_TRUE(
                CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info));
            UniqueKernelHandle process(info.hProcess), thread(info.hThread);
            WaitForSingleObject(process.get(), testWait(30000));
            GetExitCodeProcess(process.get(), &bootExit);
        }
        run.waitForExit(10000);
        EXPECT_TRUE(textHas(log(), "\r\nSession ending: putting back the registry values\r\n")) << log();
        EXPECT_EQ(valuesOff(before), 0u);
        EXPECT_TRUE(listJournalFiles().empty());
        endStandinAccess();
        writeBack(before);
        uninstall();
    }
}

// The earlier of two launchers is killed while the later one waits for Access. The later one
// records the earlier one's switch and puts back only that; the earlier one's journal brings
// back the state before both.
TEST_F(JournalTest, TwoLaunchersTheEarlierKilled) {
    AccessInstall& first = install(2002);
    AccessInstall& second = install(2010);
    ASSERT_TRUE(first.installed() && second.installed());
    standin.set("STANDIN_WINDOW", "none");
    LauncherProcess one("Mallowbrook.exe", std::string("-LOGGING -WAIT=60000 ") + kDemo);
    ASSERT_TRUE(waitForLog("\r\nChecking for process...\r\n"));
    standin.set("STANDIN_WINDOW", "OMain");
    standin.set("STANDIN_WINDOW_DELAY", "4000");
    LauncherProcess two("Mallowbrook2010.exe", std::string("-WAIT=1 ") + kDemo);
    ASSERT_TRUE(waitForJournals(2)) << "the second launcher never recorded";
    TerminateProcess(one.handle(), 1);
    one.waitForExit(5000);
    ASSERT_TRUE(two.waitForExit(40000));
    EXPECT_EQ(two.exitCode(), 0u);
    std::cout << "[ values   ] once the later launcher ended: " << valuesOff(before) << " left switched" << std::endl;
    endStandinAccess();
    standin.set("STANDIN_WINDOW_DELAY", "0");
    ASSERT_TRUE(runToEnd(launcherFor(2010), std::string("-WAIT=1 ") + kDemo));
    expectAllPutBack("two launchers, the earlier killed, then one more launch");
    EXPECT_TRUE(listJournalFiles().empty());
}

// Someone sets CurVer after the kill and before the next launch: theirs stays, and the log says so.
TEST_F(JournalTest, AValueChangedSinceTheKillIsLeftAsSet) {
    ASSERT_TRUE(install(2010).installed());
    killWhileWaiting(2010);
    ASSERT_TRUE(seed.setString(HKEY_CLASSES_ROOT, kCurVerKey, "", "Access.Application.99"));
    removeFile(logFilePath());
    ASSERT_TRUE(runToEnd(launcherFor(2010), std::string("-LOGGING -WAIT=1 ") + kDemo));
    const std::string text = log();
    EXPECT_TRUE(textHas(text, "\r\nPutting back the registry values of an interrupted launch started ")) << text;
    EXPECT_TRUE(textHas(text, "\r\nLeft alone, changed since the interrupted launch: HKEY_CLASSES_ROOT\\" +
                                  std::string(kCurVerKey) + " []\r\n"))
        << text;
    const auto changes = FixedValueSnapshot::take().changedSince(before);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(describeRow(changes[0].row), "HKEY_CLASSES_ROOT\\" + std::string(kCurVerKey) + " / ''");
}

// A journal that was cut or overwritten is reported and never applied.
TEST_F(JournalTest, ADamagedJournalIsIgnored) {
    ASSERT_TRUE(install(2002).installed());
    const std::string folder = journalFolder();
    ASSERT_FALSE(folder.empty());
    killWhileWaiting(2002);
    const auto journals = listJournalFiles();
    ASSERT_EQ(journals.size(), 1u);
    const std::string whole = readFile(journals[0]);
    const struct {
        const char* name;
        std::string text;
    } kCases[] = {{"cut in half", whole.substr(0, whole.size() / 2)}, {"garbage", std::string(4096, '\x5A')}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        const std::string path = folder + "journal-1-1.txt";
        writeWholeFile(path, c.text);
        const FixedValueSnapshot damaged = FixedValueSnapshot::take();
        removeFile(journals[0]);  // only the damaged one is left to act on
        removeFile(logFilePath());
        ASSERT_TRUE(runToEnd(launcherFor(2002), std::string("-LOGGING -RESTORE")));
        EXPECT_TRUE(textHas(log(), "\r\nIgnoring the damaged journal " + path + ": ")) << log();
        EXPECT_FALSE(textHas(log(), "Putting back the registry values of an interrupted launch")) << log();
        EXPECT_TRUE(FixedValueSnapshot::take().changedSince(damaged).empty());
        removeJournals();
        writeWholeFile(journals[0], whole);  // the good journal goes back for the next case
    }
    ASSERT_TRUE(runToEnd(launcherFor(2002), std::string("-LOGGING -RESTORE")));
    expectAllPutBack("the good journal after the damaged ones");
}

// The registry refuses the put-back of CurVer: the launcher says which value, ends with its
// own exit code and keeps the journal; once the key may be written again the next launch mends it.
TEST_F(JournalTest, ADeniedPutBackIsReportedAndRetried) {
    ASSERT_TRUE(install(2002).installed());
    standin.set("STANDIN_WINDOW_DELAY", "3000");
    const std::string original = KeySecurity::dacl(HKEY_CLASSES_ROOT, kCurVerKey);
    ASSERT_NE(original, "(unreadable)");
    LauncherProcess run("Mallowbrook.exe", std::string("-LOGGING -WAIT=1 ") + kDemo);
    ASSERT_TRUE(waitForLog("\r\nChecking for process...\r\n"));
    ASSERT_TRUE(KeySecurity::setDacl(HKEY_CLASSES_ROOT, kCurVerKey, "D:(D;;0x6;;;WD)(A;;KA;;;WD)"));
    ASSERT_TRUE(run.waitForExit(40000));
    KeySecurity::setDacl(HKEY_CLASSES_ROOT, kCurVerKey, original);
    EXPECT_EQ(run.exitCode(), kExitPutBackIncomplete);
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(textHas(log(), "\r\nCould not put back: HKEY_CLASSES_ROOT\\" + std::string(kCurVerKey) + " []\r\n"))
        << log();
    EXPECT_EQ(listJournalFiles().size(), 1u);
    EXPECT_EQ(valuesOff(before), 1u);
    endStandinAccess();
    standin.set("STANDIN_WINDOW_DELAY", "0");
    DWORD exitCode = 1;
    ASSERT_TRUE(runToEnd(launcherFor(2002), std::string("-WAIT=1 ") + kDemo, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    expectAllPutBack("a denied put-back, retried by the next launch");
}

// A fresh system without the Installer's UserData key: no runtime, and the full install starts.
TEST_F(JournalTest, MissingInstallerDataStillStartsTheFullInstall) {
    AccessInstall& access = install(2002);
    ASSERT_TRUE(access.installed());
    RemovedRegistryTree gone(HKEY_LOCAL_MACHINE, kUserData, KEY_WOW64_64KEY);
    ASSERT_TRUE(gone.removed());
    DWORD exitCode = 1;
    ASSERT_TRUE(runToEnd(launcherFor(2002), std::string("-LOGGING -WAIT=1 ") + kDemo, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(access.receivedArguments().size(), 1u);
    EXPECT_TRUE(textHas(log(), "Couldn't open key:HKEY_LOCAL_MACHINE - '" + std::string(kUserData) + "'")) << log();
}

// Windows Installer registers a runtime's component in the 64-bit view only.
TEST_F(JournalTest, RuntimesRegisteredOnlyInThe64BitViewAreStarted) {
    NullLog quiet;
    for (int edition : {2002, 2003}) {
        SCOPED_TRACE(edition);
        const BasicAccessRuntime runtime(&quiet, *findAccessEdition(edition));
        AccessInstall& access = install(edition, AccessKind::Runtime);
        ASSERT_TRUE(access.installed());
        {
            // Undone before the install goes, so no 32-bit value is left behind.
            RegistrySeed only64;
            ASSERT_TRUE(only64.deleteValue(
                HKEY_LOCAL_MACHINE, std::string(kUserData) + "\\S-1-5-18\\Components\\" + runtime.packedComponentCode(),
                runtime.packedProductCode(), KEY_WOW64_32KEY));
            DWORD exitCode = 1;
            ASSERT_TRUE(runToEnd(launcherFor(edition), std::string("-WAIT=1 ") + kDemo, &exitCode));
            EXPECT_EQ(exitCode, 0u);
            EXPECT_TRUE(boxes.empty()) << boxes.front().text;
            EXPECT_EQ(access.receivedArguments().size(), 1u);
            endStandinAccess();
        }
        uninstall();
    }
}

// Windows would cut a longer line and Access would open half a path: the launch is refused.
TEST_F(JournalTest, ACommandLineOverTheLimitIsRefused) {
    AccessInstall& access = install(2002);
    ASSERT_TRUE(access.installed());
    const std::string storedKey = "Software\\MallowbrookE2E\\Long";
    ASSERT_TRUE(seed.setString(HKEY_LOCAL_MACHINE, storedKey, "Long", "/cmd " + std::string(4000, 'c')));
    const std::string arguments = std::string(kDemo) + " /x " + std::string(30000, 'p');
    DWORD exitCode = 0;
    ASSERT_TRUE(runToEnd("Mallowbrook.exe",
                         "-LOGGING -WAIT=1 -CMD=\"HKLM\\" + storedKey + "\" -VALUE=\"Long\" " + arguments, &exitCode));
    EXPECT_EQ(exitCode, 0xFFFFFFFFu);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, "Mallowbrook Warning");
    EXPECT_TRUE(textHas(boxes[0].text, " characters long; Windows accepts at most 32767.")) << boxes[0].text;
    EXPECT_TRUE(access.receivedArguments().empty());
    expectAllPutBack("a command line over the limit");
    EXPECT_TRUE(listJournalFiles().empty());
}

// Any program of the user can write a journal, count and checksum included. Only values a launch
// records, with the types it records them with, are ever written back from one: a journal that
// names anything else is refused whole. The genuine journal of a killed launch beside it goes back.
TEST_F(JournalTest, ForgedJournalsAreRefusedWhole) {
    ASSERT_TRUE(install(2002).installed());
    const JournalEntry autorun =
        forgedEntry(Hive::CurrentUser, kRunKey, "MallowbrookPlanted", REG_EXPAND_SZ, "%SystemRoot%\\planted.exe");
    const JournalEntry machineWide = forgedEntry(Hive::LocalMachine, kPlantedKey, "Planted", REG_SZ, "planted");
    // A row of the table, written first so that a journal applied in part would show.
    const JournalEntry curVer = forgedEntry(Hive::ClassesRoot, kCurVerKey, "", REG_SZ, "Access.Application.99");
    const JournalEntry link = forgedEntry(Hive::ClassesRoot, ".mdb", "", REG_LINK, "\\Registry\\Machine\\Planted");
    const struct {
        const char* name;
        std::vector<JournalEntry> entries;
        const char* follower;
        std::string refusal;
    } kCases[] = {
        {"autorun and a machine-wide key, then a launch", {autorun, machineWide}, "-LOGGING -WAIT=1 C:\\Apps\\Demo.mdb",
         ": value line 1 (HKEY_CURRENT_USER\\" + std::string(kRunKey) + " [MallowbrookPlanted]) is not a value"},
        {"autorun and a machine-wide key, then -RESTORE", {machineWide, autorun}, "-LOGGING -RESTORE",
         ": value line 1 (HKEY_LOCAL_MACHINE\\SOFTWARE\\Planted [Planted]) is not a value"},
        {"a row of the table with a type never recorded", {curVer, link}, "-LOGGING -RESTORE",
         ": value line 2 (HKEY_CLASSES_ROOT\\.mdb []) has the type 6, which Mallowbrook never records"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        RegistrySeed planted;
        planted.deleteValue(HKEY_CURRENT_USER, kRunKey, "MallowbrookPlanted");
        RemovedRegistryTree plantedKey(HKEY_LOCAL_MACHINE, kPlantedKey);
        killWhileWaiting(2002);
        Journal forged;
        forged.processId = 1;
        forged.started = 1;
        forged.recordedAt = 1;  // before the genuine one: it would go back last, over it
        forged.entries = c.entries;
        const std::string path = journalFolder() + "journal-1-1.txt";
        writeWholeFile(path, formatJournal(forged));
        removeFile(logFilePath());
        ASSERT_TRUE(runToEnd(launcherFor(2002), c.follower));
        EXPECT_TRUE(textHas(log(), "\r\nRefusing the journal " + path + c.refusal)) << log();
        EXPECT_FALSE(registryValueExists(HKEY_CURRENT_USER, kRunKey, "MallowbrookPlanted"));
        EXPECT_FALSE(registryKeyExists(HKEY_LOCAL_MACHINE, kPlantedKey));
        expectAllPutBack(c.name);
        EXPECT_TRUE(listJournalFiles().empty());
        EXPECT_TRUE(fileExistsAt(path + ".damaged"));
        removeFile(path + ".damaged");
        endStandinAccess();
    }
}

// The journal's folder cannot be used: a file in its place, or a link another program made that
// leads elsewhere. The journal goes to the temporary folder and a kill is still put back; with
// neither place usable, Access starts and the exit code says the launch ran unprotected.
TEST_F(JournalTest, AnUnusableJournalFolderFallsBackOrIsReported) {
    AccessInstall& access = install(2010);
    ASSERT_TRUE(access.installed());
    const std::vector<JournalPlace> places = journalPlaces();
    ASSERT_EQ(places.size(), 2u);
    const size_t name = std::string("Mallowbrook\\").size();
    const std::string local = places[0].folder.substr(0, places[0].folder.size() - name),
                      temporary = places[1].folder.substr(0, places[1].folder.size() - name);
    const struct {
        const char* name;
        Place local, temporary;
        const char* problem;
    } kCases[] = {
        {"a file in place of the folder", Place::File, Place::Folder, "it is a file, not a folder"},
        {"a link to another folder", Place::Link, Place::Folder, "it is a link or junction"},
        {"neither place usable", Place::File, Place::File, "it is a file, not a folder"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        removeJournals();
        ASSERT_TRUE(shapePlace(local, c.local) && shapePlace(temporary, c.temporary));
        removeFile(logFilePath());
        const std::string refused = "\r\nThe journal folder " + local + "Mallowbrook\\ cannot be used: " + c.problem;
        if (c.temporary == Place::Folder) {
            killWhileWaiting(2010);
            EXPECT_TRUE(textHas(log(), refused)) << log();
            const auto journals = listJournalFiles();
            EXPECT_TRUE(journals.size() == 1 && journals[0].rfind(temporary, 0) == 0) << "not in the temporary folder";
            ASSERT_TRUE(runToEnd(launcherFor(2010), std::string("-WAIT=1 ") + kDemo));
            expectAllPutBack(c.name);
            EXPECT_TRUE(listJournalFiles().empty());
            WIN32_FIND_DATAA found = {};
            EXPECT_FALSE(UniqueFind(FindFirstFileA((local + "Mallowbrook-elsewhere\\journal-*").c_str(), &found)))
                << "a journal was written through the link";
        } else {
            DWORD exitCode = 0;
            const size_t started = access.receivedArguments().size();
            ASSERT_TRUE(runToEnd(launcherFor(2010), std::string("-LOGGING -WAIT=1 ") + kDemo, &exitCode));
            EXPECT_EQ(exitCode, kExitUnprotected);
            EXPECT_TRUE(boxes.empty());
            EXPECT_EQ(access.receivedArguments().size(), started + 1) << "Access was not started";
            EXPECT_TRUE(textHas(log(), refused)) << log();
            EXPECT_TRUE(textHas(log(), "\r\nNo journal could be written: the launch runs unprotected")) << log();
            expectAllPutBack(c.name);
        }
        endStandinAccess();
        EXPECT_TRUE(shapePlace(local, Place::Folder) && shapePlace(temporary, Place::Folder));
    }
}

// The 2003 launch lowers the macro security level to Low: a kill must not leave it there. A
// level never set comes back as Medium, what Access assumes without one.
TEST_F(JournalTest, TheMacroSecurityLevelComesBackAfterAKill) {
    ASSERT_TRUE(install(2003).installed());
    const struct {
        long long level;  // -1: never set
        const char* follower;
        long long after;
    } kCases[] = {
        {3, "-WAIT=1 C:\\Apps\\Demo.mdb", 3},
        {3, "-RESTORE", 3},
        {-1, "-WAIT=1 C:\\Apps\\Demo.mdb", 2},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::to_string(c.level) + ", then " + c.follower);
        RegistrySeed level;
        if (c.level < 0)
            level.deleteValue(HKEY_CURRENT_USER, kSecurity2003, "Level");
        else
            level.setDword(HKEY_CURRENT_USER, kSecurity2003, "Level", static_cast<DWORD>(c.level));
        killWhileWaiting(2003);
        EXPECT_EQ(registryDword(HKEY_CURRENT_USER, kSecurity2003, "Level"), 1);
        ASSERT_TRUE(runToEnd(launcherFor(2003), c.follower));
        EXPECT_EQ(registryDword(HKEY_CURRENT_USER, kSecurity2003, "Level"), c.after);
        expectAllPutBack(c.follower);
        endStandinAccess();
    }
}

// A scanner or backup tool holds the journal of a killed launch open: it can be read but not
// removed. The next launch puts it back once, not at every point of its run.
TEST_F(JournalTest, AJournalThatCannotBeRemovedGoesBackOncePerRun) {
    ASSERT_TRUE(install(2010).installed());
    killWhileWaiting(2010);
    const auto journals = listJournalFiles();
    ASSERT_EQ(journals.size(), 1u);
    {
        UniqueFile held(CreateFileA(journals[0].c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(held);
        removeFile(logFilePath());
        ASSERT_TRUE(runToEnd(launcherFor(2010), std::string("-LOGGING -WAIT=1 ") + kDemo));
        EXPECT_EQ(textCount(log(), kInterrupted), 1u) << log();
        EXPECT_EQ(listJournalFiles().size(), 1u) << "the journal was removed: nothing held it";
        expectAllPutBack("a journal held open by another program");
    }
}
