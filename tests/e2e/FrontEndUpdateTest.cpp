// -UPDATE as users meet it: a master front-end and the user's profile copy set up (by hand, or by
// earlier launches of other releases, whose Access wrote to the copy as Access does), the real
// launcher run, then its log line, exit code, progress windows and what the copy holds
// afterwards: always the old copy's bytes or the master's, never anything between.
#include <gtest/gtest.h>

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <iostream>
#include <thread>

#include "base/AsciiCase.h"
#include "base/UniqueHandle.h"
#include "frontend/FrontEndRules.h"
#include "progress/ProgressDialog.h"
#include "support/LaunchFixture.h"
#include "support/TestWait.h"

namespace {

const std::uint64_t kHour = 36000000000ull;
const std::uint64_t k2020 = 132223104000000000ull;  // 2020-01-01, long before any launch of the test
enum class Copy { None, Older, SameTime, Newer };
enum class Set { Plain, MasterMissing, ReadDenied, Shrinking, LockHeld, StaleLock, FullDisk, ReadOnly, Together };
// The copy afterwards: as it was before, the master's (made or replaced), the master's as it
// already was, or none.
enum class After { Old, Master, Current, None };

// A release of the front-end put where the master is: its folder, its bytes (a pattern in its
// first MiB, zeros after it: a sparse file, so that gigabytes cost no disk) and its time.
struct Release {
    bool onShare = false;
    int variant = 0;
    int hours = 0;  // its last-write time, in hours after 2020-01-01
    std::uint64_t size = 300000;
    const char* options = "";  // for the launch that copies it
};

std::string masterPath(const Release& release) {
    return release.onShare ? "\\\\server\\apps\\Sales.accdb" : "C:\\Masters\\Sales.accdb";
}

std::string releaseHead(const Release& release) {
    std::string head(std::min<std::uint64_t>(release.size, 1 << 20), 0);
    for (size_t i = 0; i < head.size(); ++i)
        head[i] = char(i * 7 + (i >> 12) + release.variant * 31);
    return head;
}

std::string env(const char* name) {
    char value[MAX_PATH] = {};
    GetEnvironmentVariableA(name, value, sizeof(value));
    return value;
}

// A Unix path as Wine reaches it, and the Unix path of a file on the prefix's C: drive.
std::string windowsPath(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return "Z:" + path;
}
std::string unixPath(const std::string& path) {
    std::string unix = env("WINEPREFIX") + "/drive_c" + path.substr(2);
    std::replace(unix.begin(), unix.end(), '\\', '/');
    return unix;
}

// Runs a shell command of the Unix system underneath Wine, which gives no handle to wait on for
// it: `done` says when it has acted.
template <typename Done>
void runUnix(const std::string& command, Done done) {
    std::string commandLine = "/bin/sh -c \"" + command + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (CreateProcessA("Z:\\bin\\sh", &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        UniqueKernelHandle process(info.hProcess), thread(info.hThread);
    for (int i = 0; i < 100 && !done(); ++i)
        Sleep(50);
}

bool isLink(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

void setWriteTime(const std::string& path, std::uint64_t time) {
    UniqueFile file(
        CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    const FILETIME at = {DWORD(time), DWORD(time >> 32)};
    SetFileTime(file.get(), nullptr, nullptr, &at);
}

std::uint64_t writeTime(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA info = {};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &info);
    return (std::uint64_t(info.ftLastWriteTime.dwHighDateTime) << 32) | info.ftLastWriteTime.dwLowDateTime;
}

bool readOnly(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

void writeRelease(const std::string& path, const Release& release) {
    const std::string head = releaseHead(release);
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    WriteFile(file.get(), head.data(), DWORD(head.size()), &written, nullptr);
    LARGE_INTEGER end = {};
    end.QuadPart = LONGLONG(release.size);
    SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN);
    SetEndOfFile(file.get());
    file.reset();
    setWriteTime(path, k2020 + release.hours * kHour);
}

// Its size and its first MiB, which is all a sparse release of gigabytes can be read for here.
bool holdsRelease(const std::string& path, const Release& release) {
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    const std::string head = releaseHead(release);
    std::string found(head.size(), 0);
    LARGE_INTEGER size = {};
    DWORD read = 0;
    return file && GetFileSizeEx(file.get(), &size) && std::uint64_t(size.QuadPart) == release.size &&
           ReadFile(file.get(), &found[0], DWORD(found.size()), &read, nullptr) && found == head;
}

// Holds every thread of a process still, as a copy over a slow network stands still, until reset.
class ProcessPause {
public:
    explicit ProcessPause(DWORD processId) {
        UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
        THREADENTRY32 entry = {};
        entry.dwSize = sizeof(entry);
        for (bool more = Thread32First(snapshot.get(), &entry); more; more = Thread32Next(snapshot.get(), &entry))
            if (entry.th32OwnerProcessID == processId) {
                threads_.emplace_back(OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID));
                SuspendThread(threads_.back().get());
            }
    }
    ~ProcessPause() { reset(); }
    void reset() {
        for (const UniqueKernelHandle& thread : threads_)
            ResumeThread(thread.get());
        threads_.clear();
    }

private:
    std::vector<UniqueKernelHandle> threads_;
};

// The progress windows of copies shown until stop(): how many, the lines of the last one, and
// whether one was still there once an Access window had appeared. Read the last two once stopped.
class ProgressWindows {
public:
    ProgressWindows()
        : thread_([this] {
              for (; !stop_; Sleep(20))
                  EnumWindows(look, reinterpret_cast<LPARAM>(this));
          }) {}
    ~ProgressWindows() { stop(); }
    void stop() {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
    }

    std::atomic<size_t> shown{0};
    std::string lines;  // "<above the bar> | <below it>"
    bool besideAccess = false;

private:
    static BOOL CALLBACK look(HWND window, LPARAM self) {
        auto* windows = reinterpret_cast<ProgressWindows*>(self);
        char above[256] = {}, below[256] = {};
        GetWindowTextA(window, above, sizeof(above));
        if (!IsWindowVisible(window) || std::string(above) != kCopyProgressCaption)
            return TRUE;
        if (window != windows->last_)
            ++windows->shown;
        windows->last_ = window;
        // Not GetDlgItemText: it would wait for the launcher's busy thread to answer.
        GetWindowTextA(GetDlgItem(window, IDC_PROGRESS_ABOVE), above, sizeof(above));
        GetWindowTextA(GetDlgItem(window, IDC_PROGRESS_BELOW), below, sizeof(below));
        windows->lines = std::string(above) + " | " + below;
        windows->besideAccess = windows->besideAccess || FindWindowA("OMain", nullptr);
        return TRUE;
    }

    HWND last_ = nullptr;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// Windows: a DACL that denies reading. Wine keeps no file DACL and its user is root, whom no file
// mode stops, so there the master becomes a link to a write-only kernel file, which the kernel
// refuses to open for reading even to root: the launcher gets "access denied" just the same.
void denyReading(const std::string& path) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(D;;FR;;;WD)(A;;FA;;;WD)", SDDL_REVISION_1, &descriptor,
                                                         nullptr);
    UniqueLocalMemory owner(descriptor);
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted);
    SetNamedSecurityInfoA(const_cast<char*>(path.c_str()), SE_FILE_OBJECT,
                          DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr, nullptr, dacl,
                          nullptr);
    auto readable = [&] {
        return static_cast<bool>(
            UniqueFile(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)));
    };
    if (readable())
        runUnix("ln -sf /sys/bus/cpu/uevent '" + unixPath(path) + "'", [&] { return !readable(); });
}

// Shrinks the master from another thread until it goes: slowly enough to last until the launcher
// copies it, often enough that it shrinks during the copy.
class Shrinker {
public:
    explicit Shrinker(const std::string& path)
        : file_(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, 0, nullptr)),
          thread_([this] {
              LARGE_INTEGER size = {};
              GetFileSizeEx(file_.get(), &size);
              for (; !stop_ && size.QuadPart > 1024; Sleep(1)) {
                  size.QuadPart -= 1024;
                  SetFilePointerEx(file_.get(), size, nullptr, FILE_BEGIN);
                  SetEndOfFile(file_.get());
              }
          }) {}
    ~Shrinker() {
        stop_ = true;
        thread_.join();
    }

private:
    UniqueFile file_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

class FrontEndUpdate : public LaunchFixture {};

}  // namespace

TEST_F(FrontEndUpdate, EachSituationLeavesTheOldCopyOrTheMasters) {
    char local[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, local);
    const std::string smallDisk = windowsPath(env("MALLOWBROOK_BENCH") + "/small-disk");
    // \\server\apps is a folder of the prefix to Wine; on Windows it is a share.
    const std::string share = windowsPath(env("WINEPREFIX") + "/dosdevices/unc/server/apps");
    AccessInstall& access = install(2007);
    ASSERT_TRUE(installedWithLibrary(access));
    const std::vector<std::string> masters = createFolders("C:\\Masters"), shares = createFolders(share);
    const std::string kept = "; opening the profile copy as it is";
    const std::string updated = "Front-end updated from <master> (";
    const Release first, second{false, 1, 1};
    const std::uint64_t gb = 1ull << 30;

    const struct {
        const char* situation;
        Copy copy;
        Set set;
        std::string logLine;  // "*" stands for the system's text
        DWORD exitCode;
        After state;
        std::vector<Release> before = {};  // copied first, each by a launch run to its end
        Release release = {};              // the master of the row's own launch
        const char* window = nullptr;      // the lines of the one progress window shown, "*" for the part copied
    } rows[] = {
        {"missing copy, master on a share", Copy::None, Set::Plain,
         updated + "300000 bytes, last written 2020-01-01 00:00:00 UTC)", 0, After::Master, {}, {true}},
        {"older copy", Copy::Older, Set::Plain, updated + "*", 0, After::Master},
        {"same time within tolerance", Copy::SameTime, Set::Plain, "Front-end is current", 0, After::Old},
        {"newer copy, of an earlier build", Copy::Newer, Set::Plain, updated + "*", 0, After::Master},
        {"copy in use", Copy::Older, Set::LockHeld,
         "Front-end not updated: <copy> is in use (its lock file <lock> cannot be deleted)" + kept, 0, After::Old},
        {"stale lock file", Copy::Older, Set::StaleLock,
         "Front-end lock file left over from an earlier run, removed: <lock>", 0, After::Master},
        {"master missing", Copy::Older, Set::MasterMissing,
         "Front-end not updated: <master> cannot be reached (*error 2))" + kept, 5, After::Old},
        {"master missing, no copy", Copy::None, Set::MasterMissing,
         "Front-end not updated: <master> cannot be reached (*error 2)); there is no profile copy to open", 0xFFFFFFFF,
         After::None},
        {"master read-denied", Copy::Older, Set::ReadDenied,
         "Front-end not updated: <master> cannot be reached (*error 5))" + kept, 5, After::Old},
        {"master truncated while copied", Copy::Older, Set::Shrinking,
         "Front-end not updated: <master> changed while it was being copied; the partial copy was removed" + kept, 5,
         After::Old, {}, {false, 0, 0, 24 << 20}},
        {"full disk", Copy::Older, Set::FullDisk,
         "Front-end not updated: <copy> could not be written (*error 112))" + kept, 5, After::Old, {},
         {false, 0, 0, 1 << 20}},
        {"copy written to by Access, master unchanged", Copy::None, Set::Plain, "Front-end is current", 0,
         After::Current, {first}, first},
        {"new master older than the last use", Copy::None, Set::Plain,
         updated + "300000 bytes, last written 2020-01-01 01:00:00 UTC)", 0, After::Master, {first}, second},
        {"rollback onto a read-only copy and .previous", Copy::None, Set::ReadOnly,
         updated + "300000 bytes, last written 2020-01-01 00:00:00 UTC)", 0, After::Master, {first, second}, first},
        {"another master of that name, and back", Copy::None, Set::Plain, updated + "*", 0, After::Master,
         {first, {true, 1}}, first},
        {"started again while 400 MB are copied", Copy::None, Set::Together,
         "Front-end was being copied by another launch; waited for it\r\nFront-end is current", 0, After::Master,
         {first}, {false, 1, 1, 400 << 20}, "Another start is copying <master> | * of 400.0 MB"},
        {"3 GB, the first copy with -NOPROGRESS", Copy::None, Set::Plain,
         updated + "3221225472 bytes, last written 2020-01-01 01:00:00 UTC)", 0, After::Master,
         {{false, 0, 0, 3 * gb, "-NOPROGRESS"}}, {false, 1, 1, 3 * gb}, "Copying <master> | * of 3.0 GB"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.situation);
        RegistrySeed redirect;
        std::string folder = local;
        if (row.set == Set::FullDisk) {
            ULARGE_INTEGER total = {};
            if (!GetDiskFreeSpaceExA(smallDisk.c_str(), nullptr, &total, nullptr) || total.QuadPart > 65536) {
                std::cout << "[ SKIPPED  ] " << row.situation << ": " << smallDisk << " is mounted for root only\n";
                continue;
            }
            // The user's local application data folder redirected to the full disk, as Windows allows; its
            // journal folder links back to the ordinary disk, so that only the front-end meets the full one.
            folder = smallDisk;
            redirect.setString(HKEY_CURRENT_USER,
                               "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                               "Local AppData", smallDisk);
            runUnix("rm -rf '" + env("MALLOWBROOK_BENCH") + "/small-disk/Mallowbrook' && ln -s '" + unixPath(local) +
                        "/Mallowbrook' '" + env("MALLOWBROOK_BENCH") + "/small-disk/Mallowbrook'",
                    [&] { return isLink(folder + "\\Mallowbrook"); });
        }
        const std::string master = masterPath(row.release);
        const std::string copy = folder + "\\Sales.accdb", lock = folder + "\\Sales.laccdb";
        const std::string previous = copy + ".previous", sizes = folder + "\\opened.txt";
        const auto arguments = [](const Release& release) {
            return "-WAIT=1 -WINDOWSPROFILE -UPDATE " + std::string(release.options) + " \"" + masterPath(release) +
                   "\" /excl";
        };
        const auto copying = [&] {
            WIN32_FIND_DATAA found;
            return static_cast<bool>(UniqueFind(FindFirstFileA((folder + "\\~Sales.accdb.*.tmp").c_str(), &found)));
        };
        ProgressWindows windows;
        for (const Release& earlier : row.before) {
            writeRelease(masterPath(earlier), earlier);
            DWORD exitCode = 1;
            ASSERT_TRUE(runToEnd("Mallowbrook2007.exe", arguments(earlier), &exitCode));
            ASSERT_EQ(exitCode, 0u);
            endStandinAccess();
        }
        if (!row.before.empty())
            EXPECT_NE(writeTime(copy), k2020 + row.before.back().hours * kHour) << "Access did not write to the copy";
        const std::string oldBytes = "the copy of last month's release";
        writeRelease(master, row.release);
        const std::uint64_t masterTime = k2020 + row.release.hours * kHour;
        if (row.copy != Copy::None) {
            std::ofstream(copy, std::ios::binary) << oldBytes;
            const std::uint64_t offsets[] = {0, 0 - kHour, 10000000, kHour};
            setWriteTime(copy, masterTime + offsets[int(row.copy)]);
        }
        if (row.set == Set::MasterMissing)
            removeFile(master);
        if (row.set == Set::ReadDenied)
            denyReading(master);
        if (row.set == Set::StaleLock)
            std::ofstream(lock) << "left over";
        if (row.set == Set::ReadOnly)
            for (const std::string& path : {copy, previous})
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
        if (row.set == Set::LockHeld) {
            // A running Access, windowless so the launcher does not take it for the one it starts.
            standin.set("STANDIN_HOLD_FILE", lock);
            standin.set("STANDIN_RECORD", "");
            standin.set("STANDIN_WINDOW", "none");
            standin.set("STANDIN_LIFETIME", "infinite");
            LauncherProcess holder("standins\\MSACCESS.EXE", "");
            for (int i = 0; i < 100 && !fileExistsAt(lock); ++i)
                Sleep(50);
            standin.set("STANDIN_HOLD_FILE", "");
            standin.set("STANDIN_RECORD", access.recordPath());
            standin.set("STANDIN_WINDOW", "OMain");
            standin.set("STANDIN_LIFETIME", "20000");
        }
        ASSERT_TRUE(seed.setString(HKEY_CLASSES_ROOT, "Access.Application\\CurVer", "", "Access.Application.15"));
        removeFile(logFilePath());
        removeFile(access.recordPath());

        answerBoxes = true;
        boxes.clear();
        DWORD exitCode = 1;
        if (row.set == Set::Together) {
            // The user starts it again while the first launch copies, held still as over a slow network.
            standin.set("STANDIN_SIZE_RECORD", sizes);
            LauncherProcess firstLaunch("Mallowbrook2007.exe", "-NOPROGRESS " + arguments(row.release));
            for (DWORD waited = 0; waited < testWait(30000) && !copying(); waited += 10)
                Sleep(10);
            ProcessPause pause(firstLaunch.id());
            LauncherProcess secondLaunch("Mallowbrook2007.exe", "-LOGGING " + arguments(row.release));
            for (DWORD waited = 0; waited < testWait(30000) && windows.shown == 0; waited += 10)
                Sleep(10);
            pause.reset();
            EXPECT_TRUE(secondLaunch.waitForExit(testWait(60000)));
            exitCode = secondLaunch.exitCode();
            EXPECT_TRUE(firstLaunch.waitForExit(testWait(60000)));
            EXPECT_EQ(firstLaunch.exitCode(), 0u);
            standin.set("STANDIN_SIZE_RECORD", "");
        } else {
            std::unique_ptr<Shrinker> shrinker(row.set == Set::Shrinking ? new Shrinker(master) : nullptr);
            ASSERT_TRUE(runToEnd("Mallowbrook2007.exe", "-LOGGING " + arguments(row.release), &exitCode));
        }
        windows.stop();

        const auto placed = [&](std::string text) {
            const std::pair<std::string, std::string> names[] = {
                {"<master>", master}, {"<copy>", copy}, {"<lock>", lock}};
            for (const auto& name : names)
                for (size_t at; (at = text.find(name.first)) != std::string::npos;)
                    text.replace(at, name.first.size(), name.second);
            return text;
        };
        const std::string expected = placed(row.logLine);
        const size_t star = std::min(expected.find('*'), expected.size());
        EXPECT_TRUE(textHas(log(), "\r\n" + expected.substr(0, star)) &&
                    textHas(log(), expected.substr(std::min(star + 1, expected.size())) + "\r\n"))
            << expected << "\n"
            << log();
        EXPECT_EQ(exitCode, row.exitCode);
        EXPECT_EQ(registryString(HKEY_CLASSES_ROOT, "Access.Application\\CurVer", ""), "Access.Application.15");
        EXPECT_FALSE(copying()) << "a partial copy was left";
        EXPECT_EQ(windows.shown, row.window ? 1u : 0u) << windows.lines;
        EXPECT_FALSE(windows.besideAccess) << "the progress window stayed after the copy";
        if (row.window) {
            const std::string window = placed(row.window);
            const size_t part = window.find('*');
            EXPECT_TRUE(textHas(windows.lines, window.substr(0, part))) << windows.lines;
            EXPECT_TRUE(textHas(windows.lines, window.substr(part + 1))) << windows.lines;
        }
        if (row.state == After::None) {
            EXPECT_FALSE(fileExistsAt(copy));
            EXPECT_TRUE(boxes.size() == 1 && boxes[0].title == "Mallowbrook Warning" &&
                        textHas(boxes[0].text, "From: " + master + "\nTo: " + copy + "\n"));
            EXPECT_TRUE(access.receivedArguments().empty()) << "Access was started";
            EXPECT_FALSE(textHas(log(), "Saving default registry settings")) << log();
        } else {
            EXPECT_TRUE(row.state == After::Old ? readFile(copy) == oldBytes : holdsRelease(copy, row.release))
                << "the copy is not " << (row.state == After::Old ? "the old one" : "the master's");
            const size_t launches = row.set == Set::Together ? 2 : 1;
            EXPECT_EQ(access.receivedArguments(), std::vector<std::string>(launches, "\"" + copy + "\" /excl"));
            EXPECT_TRUE(textHas(log(), "2007 - Making sure that: " + lowerCaseAscii(folder) + " is a trusted folder"));
            const bool replaced = row.state == After::Master && (row.copy != Copy::None || !row.before.empty());
            EXPECT_EQ(fileExistsAt(previous), replaced);
            if (replaced && !row.before.empty())
                EXPECT_TRUE(holdsRelease(previous, row.before.back())) << "the copy replaced is not the .previous one";
            EXPECT_FALSE(readOnly(copy));
            EXPECT_FALSE(readOnly(previous));
        }
        const std::string size = std::to_string(row.release.size) + "\r\n";
        if (row.set == Set::Together)
            EXPECT_EQ(readFile(sizes), size + size) << "an Access opened a copy that was not the whole release";

        endStandinAccess();
        // Wine cannot delete a link whose target it may not open.
        if (row.set == Set::ReadDenied)
            runUnix("rm -f '" + unixPath(master) + "'", [&] { return !fileExistsAt(master); });
        if (row.set == Set::FullDisk)
            runUnix("rm -f '" + env("MALLOWBROOK_BENCH") + "/small-disk/Mallowbrook'",
                    [&] { return !isLink(folder + "\\Mallowbrook"); });
        for (const std::string& path : {masterPath(first), masterPath({true}), sizes, copy, lock,
                                        previous, recordPath(copy)})
            removeFile(path);
    }
    removeFolders(shares);
    removeFolders(masters);
}
