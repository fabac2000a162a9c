// Starting the stand-in Access for real and watching for its main window.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <mutex>

#include "base/SystemErrorText.h"
#include "launch/ProcessStarter.h"
#include "launch/ProcessWatcher.h"
#include "log/NullLog.h"
#include "support/AccessInstall.h"
#include "support/LauncherProcess.h"
#include "support/TestWait.h"

namespace {

const char kAccessFolder[] = "C:\\Mallowbrook Watcher\\Office Folder";
const char kChecking[] = "Checking for process...";
const char kFound[] = "Found main window.";
const char kWaiting[] = "Waiting just a little longer.";
const char kDone[] = "Done waiting for process launch / main window.";
const char kExited[] = "Wait timed out. Assuming process exited.";

// The watcher writes from its own thread while the test reads.
class LockedLog : public ILog {
public:
    bool IsEnabled() override { return true; }
    bool WriteLine(const std::string& line) override {
        std::lock_guard<std::mutex> lock(mutex_);
        lines_.push_back(line);
        return true;
    }
    std::vector<std::string> lines() {
        std::lock_guard<std::mutex> lock(mutex_);
        return lines_;
    }
    bool waitForLine(const std::string& line, DWORD timeoutMs) {
        for (DWORD waited = 0; waited <= timeoutMs; waited += 20) {
            for (const auto& written : lines())
                if (written == line)
                    return true;
            Sleep(20);
        }
        return false;
    }

private:
    std::mutex mutex_;
    std::vector<std::string> lines_;
};

std::string tempFolder() {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    return folder;
}

std::string windowClassOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, 255);
    return name;
}

struct AnyWindowSearch {
    DWORD processId;  // 0: any process but `notProcessId`
    DWORD notProcessId;
    HWND found = nullptr;
};

// Finds a window of class "OMain" in any case, parent or not, by process.
BOOL CALLBACK findAnyOMain(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<AnyWindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    bool processMatches = search->processId ? owner == search->processId : owner != search->notProcessId;
    if (processMatches && _stricmp(windowClassOf(window).c_str(), "OMain") == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND anyOMainWindow(DWORD processId, DWORD notProcessId) {
    AnyWindowSearch search{processId, notProcessId};
    EnumWindows(findAnyOMain, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The stand-in copied to a folder with blanks in its name, options through STANDIN_*.
class Watching : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(access.installed());
        record = tempFolder() + "standin-watcher-record.txt";
        DeleteFileA(record.c_str());
        standin.set("STANDIN_RECORD", record);
        // A stand-in that outlives a failed test ends by itself.
        standin.set("STANDIN_LIFETIME", "30000");
    }
    void TearDown() override { DeleteFileA(record.c_str()); }

    // Runs startAndWait on a thread; the test bounds every wait for it.
    std::future<bool> startWatching(ProcessWatcher& watcher, const std::string& windowClass = "OMain") {
        return std::async(std::launch::async, [&watcher, windowClass] { return watcher.startAndWait(windowClass); });
    }
    static bool ready(std::future<bool>& result, DWORD ms) {
        return result.wait_for(std::chrono::milliseconds(ms)) == std::future_status::ready;
    }
    static void endProcess(const ProcessWatcher& watcher) {
        if (watcher.processHandle() && WaitForSingleObject(watcher.processHandle(), 0) == WAIT_TIMEOUT) {
            TerminateProcess(watcher.processHandle(), 99);
            WaitForSingleObject(watcher.processHandle(), 5000);
        }
    }
    // Whether the watch returned in time; when it did not, Access is ended so that the watch
    // stops waiting for it and the test can fail instead of hanging.
    static bool returnsWithin(std::future<bool>& result, const ProcessWatcher& watcher, DWORD ms) {
        if (ready(result, ms))
            return true;
        endProcess(watcher);
        return false;
    }
    static DWORD exitCodeOf(const ProcessWatcher& watcher) {
        DWORD code = 12345;
        GetExitCodeProcess(watcher.processHandle(), &code);
        return code;
    }

    InstalledFile access{standinAccessPath(), std::string(kAccessFolder) + "\\MSACCESS.EXE"};
    StandinEnvironment standin;
    std::string record;
    LockedLog log;
};

}  // namespace

TEST_F(Watching, FindsTheWindowThatAppearsLaterAndGivesTheGracePeriod) {
    standin.set("STANDIN_WINDOW_DELAY", "500");
    const std::string arguments = "\"C:\\Apps\\Demo.mdb\" /runtime /wrkgrp \"C:\\Apps\\Sys tem.mdw\"";
    ProcessWatcher watcher(access.path(), arguments, &log);
    watcher.setPollInterval(100);
    watcher.setTries(100);
    watcher.setFinalWait(300);
    watcher.setShowCommand(SW_SHOWMAXIMIZED);
    auto found = startWatching(watcher);
    ASSERT_TRUE(ready(found, 20000));
    EXPECT_TRUE(found.get());

    auto lines = log.lines();
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[0], "MSACCESS.EXE launched with ProcessID: " + std::to_string(watcher.processId()));
    // The window comes after half a second: several looks before it.
    size_t looks = lines.size() - 4;
    EXPECT_GE(looks, 2u);
    for (size_t i = 1; i <= looks; ++i)
        EXPECT_EQ(lines[i], kChecking) << i;
    EXPECT_EQ(std::vector<std::string>(lines.end() - 3, lines.end()),
              (std::vector<std::string>{kFound, kWaiting, kDone}));

    ASSERT_TRUE(watcher.mainWindow());
    EXPECT_EQ(windowClassOf(watcher.mainWindow()), "OMain");
    DWORD owner = 0;
    GetWindowThreadProcessId(watcher.mainWindow(), &owner);
    EXPECT_EQ(owner, watcher.processId());
    // Access keeps running after the watch.
    ASSERT_TRUE(watcher.processHandle());
    EXPECT_EQ(WaitForSingleObject(watcher.processHandle(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    PostMessageA(watcher.mainWindow(), WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(watcher.processHandle(), 10000), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_EQ(exitCodeOf(watcher), 0u);

    auto received = readRecordLines(record);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(commandLineArguments(received[0]), arguments);
}

TEST_F(Watching, TheGracePeriodEndsWhenAccessExits) {
    standin.set("STANDIN_LIFETIME", "1500");
    ProcessWatcher watcher(access.path(), "", &log);
    watcher.setPollInterval(100);
    watcher.setFinalWait(120000);
    auto found = startWatching(watcher);
    // Two minutes of grace unless the end of Access cuts it short.
    ASSERT_TRUE(returnsWithin(found, watcher, 20000)) << "the grace period did not end with Access";
    EXPECT_TRUE(found.get());
    EXPECT_EQ(WaitForSingleObject(watcher.processHandle(), 0), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_EQ(log.lines().back(), kDone);
}

TEST_F(Watching, NoWindowWithinTheTriesEndsAccess) {
    standin.set("STANDIN_WINDOW", "none");
    standin.set("STANDIN_EXIT_CODE", "7");
    ProcessWatcher watcher(access.path(), "/x", &log);
    watcher.setPollInterval(100);
    watcher.setTries(3);
    auto found = startWatching(watcher);
    ASSERT_TRUE(ready(found, 20000));
    EXPECT_FALSE(found.get());
    EXPECT_EQ(log.lines(), (std::vector<std::string>{
                               "MSACCESS.EXE launched with ProcessID: " + std::to_string(watcher.processId()),
                               kChecking,
                               kChecking,
                               kChecking,
                               "Couldn't find main window of process after 3 tries. Killing process and exiting.",
                           }));
    // Terminated with exit code 0, not ended by itself (7).
    ASSERT_EQ(WaitForSingleObject(watcher.processHandle(), 5000), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_EQ(exitCodeOf(watcher), 0u);
}

TEST_F(Watching, AccessEndingBeforeItsWindowIsNotFound) {
    standin.set("STANDIN_LIFETIME", "0");
    standin.set("STANDIN_EXIT_CODE", "7");
    ProcessWatcher watcher(access.path(), "", &log);
    watcher.setPollInterval(100);
    watcher.setTries(100);
    auto found = startWatching(watcher);
    ASSERT_TRUE(ready(found, 20000));
    EXPECT_FALSE(found.get());
    // The look that saw the end counts no try.
    auto lines = log.lines();
    ASSERT_GE(lines.size(), 4u);
    size_t checks = lines.size() - 3;
    for (size_t i = 1; i <= checks; ++i)
        EXPECT_EQ(lines[i], kChecking) << i;
    EXPECT_EQ(lines[lines.size() - 2], kExited);
    EXPECT_EQ(lines.back(), "Couldn't find main window of process after " + std::to_string(checks - 1) +
                                " tries. Killing process and exiting.");
    EXPECT_EQ(exitCodeOf(watcher), 7u);
}

TEST_F(Watching, TheClassNameMatchesInAnyLetterCase) {
    standin.set("STANDIN_WINDOW", "omain");
    // Class names share one case-blind atom table and read as first registered on the
    // desktop, so the name reads "omain" only while no "OMain" class exists anywhere.
    bool nameReadsAsRegistered = FindWindowA("OMain", nullptr) == nullptr;
    ProcessWatcher watcher(access.path(), "", &log);
    watcher.setPollInterval(100);
    watcher.setFinalWait(0);
    auto found = startWatching(watcher);
    ASSERT_TRUE(returnsWithin(found, watcher, 20000));
    EXPECT_TRUE(found.get());
    if (nameReadsAsRegistered)
        EXPECT_EQ(windowClassOf(watcher.mainWindow()), "omain");
    endProcess(watcher);
}

TEST_F(Watching, OnlyAParentlessWindowOfTheStartedProcessCounts) {
    // A window of this test process, of the right class, is another program's window.
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "OMain";
    RegisterClassA(&windowClass);
    HWND foreign = CreateWindowExA(0, "OMain", "Running Access", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(foreign);

    const struct { const char* mode; } cases[] = {{"owned"}, {"other-process"}, {"none"}};
    for (const auto& c : cases) {
        standin.set("STANDIN_WINDOW", c.mode);
        LockedLog caseLog;
        ProcessWatcher watcher(access.path(), "", &caseLog);
        watcher.setPollInterval(100);
        watcher.setTries(20);
        watcher.setFinalWait(0);
        auto found = startWatching(watcher);
        ASSERT_TRUE(caseLog.waitForLine(kChecking, 10000)) << c.mode;
        DWORD id = watcher.processId();
        if (std::string(c.mode) == "owned") {
            HWND owned = nullptr;
            for (DWORD start = GetTickCount(); !owned && GetTickCount() - start < testWait(2000); Sleep(20))
                owned = anyOMainWindow(id, 0);
            ASSERT_TRUE(owned) << c.mode;
            EXPECT_TRUE(GetParent(owned)) << c.mode;
        }
        if (std::string(c.mode) == "other-process") {
            // The second copy's window, not the one of this test process.
            HWND other = nullptr;
            for (DWORD start = GetTickCount(); !other && GetTickCount() - start < testWait(2000); Sleep(20)) {
                other = anyOMainWindow(0, id);
                DWORD owner = 0;
                if (other && (GetWindowThreadProcessId(other, &owner), owner == GetCurrentProcessId()))
                    other = nullptr;
            }
            EXPECT_TRUE(other) << c.mode;
        }
        ASSERT_TRUE(returnsWithin(found, watcher, 20000)) << c.mode;
        EXPECT_FALSE(found.get()) << c.mode;
        EXPECT_EQ(caseLog.lines().back(),
                  "Couldn't find main window of process after 20 tries. Killing process and exiting.")
            << c.mode;
        endProcess(watcher);
    }
    DestroyWindow(foreign);
    UnregisterClassA("OMain", GetModuleHandleA(nullptr));
}

TEST_F(Watching, WaitZeroOrNegativeWaitsUntilAccessIsClosed) {
    standin.set("STANDIN_LIFETIME", "60000");
    for (int wait : {0, -2000}) {
        LockedLog caseLog;
        ProcessWatcher watcher(access.path(), "", &caseLog);
        watcher.setPollInterval(100);
        watcher.setFinalWait(ProcessWatcher::finalWaitFor(wait));
        auto found = startWatching(watcher);
        ASSERT_TRUE(caseLog.waitForLine(kWaiting, 20000)) << wait;
        EXPECT_FALSE(ready(found, 1500)) << wait;
        PostMessageA(watcher.mainWindow(), WM_CLOSE, 0, 0);
        ASSERT_TRUE(returnsWithin(found, watcher, 10000)) << wait;
        EXPECT_TRUE(found.get()) << wait;
        EXPECT_EQ(caseLog.lines().back(), kDone) << wait;
    }
}

TEST_F(Watching, AProgramThatCannotStartIsNoProcess) {
    for (int vista : {1, 0}) {
        OsVersionFlags flags;
        flags.isVistaOrLater = vista;
        LockedLog caseLog;
        std::string missing = "C:\\Mallowbrook Watcher\\Nowhere\\MSACCESS.EXE";
        ProcessWatcher watcher(missing, "", &caseLog, ProcessStarter(flags));
        EXPECT_FALSE(watcher.startAndWait("OMain")) << vista;
        // Each start path logs the system's reason (Wine says "file" where Windows says "path").
        const DWORD error = watcher.startError();
        EXPECT_TRUE(error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) << vista << ": " << error;
        EXPECT_EQ(caseLog.lines(),
                  std::vector<std::string>{"Could not start " + missing + ": " + systemErrorLine(error)})
            << vista;
        EXPECT_EQ(watcher.processId(), 0u) << vista;
        EXPECT_EQ(watcher.processHandle(), nullptr) << vista;

        UniqueKernelHandle handle;
        EXPECT_EQ(ProcessStarter(flags).start(nullptr, "", handle, SW_SHOW), 0u) << vista;
        EXPECT_FALSE(handle) << vista;
    }
}

TEST_F(Watching, BothStartPathsHandTheArgumentsOver) {
    standin.set("STANDIN_LIFETIME", "0");
    std::string showRecord = tempFolder() + "standin-watcher-show.txt";
    standin.set("STANDIN_SHOW_RECORD", showRecord);
    const std::string quoted = "\"" + access.path() + "\"";
    const struct {
        int vista;
        const char* arguments;
        int show;
    } cases[] = {
        {1, "\"C:\\Apps\\Demo.mdb\" /runtime", SW_SHOWMAXIMIZED},
        {0, "\"C:\\Apps\\Demo.mdb\" /runtime", SW_SHOWMINNOACTIVE},
        {1, "/cmd \"a  b\" ", SW_SHOWNORMAL},
        {0, "", SW_SHOWNORMAL},
    };
    for (const auto& c : cases) {
        DeleteFileA(record.c_str());
        DeleteFileA(showRecord.c_str());
        OsVersionFlags flags;
        flags.isVistaOrLater = c.vista;
        UniqueKernelHandle process;
        DWORD id = ProcessStarter(flags).start(access.path().c_str(), c.arguments, process, c.show);
        ASSERT_NE(id, 0u) << c.vista << " " << c.arguments;
        ASSERT_TRUE(process) << c.vista << " " << c.arguments;
        ASSERT_EQ(WaitForSingleObject(process.get(), 10000), static_cast<DWORD>(WAIT_OBJECT_0));
        auto received = readRecordLines(record);
        ASSERT_EQ(received.size(), 1u) << c.vista << " " << c.arguments;
        if (c.vista)
            EXPECT_EQ(commandLineArguments(received[0]), c.arguments) << c.arguments;
        else  // one command text: the quoted program, a blank, the arguments as given
            EXPECT_EQ(received[0], quoted + " " + c.arguments);
        EXPECT_EQ(readRecordLines(showRecord), std::vector<std::string>{std::to_string(c.show)})
            << c.vista << " " << c.arguments;
    }
    DeleteFileA(showRecord.c_str());
}
