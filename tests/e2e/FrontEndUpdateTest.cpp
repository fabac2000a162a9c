// -UPDATE as users meet it: a master front-end and the user's profile copy set up, the real
// launcher run, then its log line, exit code and what the copy holds afterwards: always the old
// copy's bytes or the master's, never anything between.
#include <gtest/gtest.h>

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <iostream>
#include <thread>

#include "base/AsciiCase.h"
#include "base/UniqueHandle.h"
#include "support/LaunchFixture.h"

namespace {

const std::uint64_t kHour = 36000000000ull;
enum class Copy { None, Older, SameTime, Newer };
enum class Set { Plain, Share, MasterMissing, ReadDenied, Shrinking, LockHeld, StaleLock, FullDisk };
enum class After { Old, Master, None };

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

    const struct {
        const char* situation;
        Copy copy;
        Set set;
        std::string logLine;  // "*" stands for the system's text
        DWORD exitCode;
        After state;
    } rows[] = {
        {"missing copy, master on a share", Copy::None, Set::Share, "Front-end updated from <master>", 0,
         After::Master},
        {"older copy", Copy::Older, Set::Plain, "Front-end updated from <master>", 0, After::Master},
        {"same time within tolerance", Copy::SameTime, Set::Plain, "Front-end is current", 0, After::Old},
        {"newer local copy", Copy::Newer, Set::Plain, "Front-end kept: the profile copy <copy> is newer than <master>",
         0, After::Old},
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
         After::Old},
        {"full disk", Copy::Older, Set::FullDisk,
         "Front-end not updated: <copy> could not be written (*error 112))" + kept, 5, After::Old},
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
        const std::string master = row.set == Set::Share ? "\\\\server\\apps\\Sales.accdb" : "C:\\Masters\\Sales.accdb";
        const std::string copy = folder + "\\Sales.accdb", lock = folder + "\\Sales.laccdb";
        std::string masterBytes(row.set == Set::Shrinking ? 24 << 20 : row.set == Set::FullDisk ? 1 << 20 : 300000, 0);
        for (size_t i = 0; i < masterBytes.size(); ++i)
            masterBytes[i] = char(i * 7 + i / 4099);
        const std::string oldBytes = "the copy of last month's release";
        std::ofstream(master, std::ios::binary) << masterBytes;
        const std::uint64_t masterTime = 132223104000000000ull;  // 2020-01-01
        setWriteTime(master, masterTime);
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
        {
            std::unique_ptr<Shrinker> shrinker(row.set == Set::Shrinking ? new Shrinker(master) : nullptr);
            ASSERT_TRUE(runToEnd("Mallowbrook2007.exe",
                                 "-LOGGING -WAIT=1 -WINDOWSPROFILE -UPDATE \"" + master + "\" /excl", &exitCode));
        }

        std::string expected = row.logLine;
        const std::pair<std::string, std::string> names[] = {{"<master>", master}, {"<copy>", copy}, {"<lock>", lock}};
        for (const auto& name : names)
            for (size_t at; (at = expected.find(name.first)) != std::string::npos;)
                expected.replace(at, name.first.size(), name.second);
        const size_t star = std::min(expected.find('*'), expected.size());
        EXPECT_TRUE(textHas(log(), "\r\n" + expected.substr(0, star)) &&
                    textHas(log(), expected.substr(std::min(star + 1, expected.size())) + "\r\n"))
            << expected << "\n"
            << log();
        EXPECT_EQ(exitCode, row.exitCode);
        EXPECT_EQ(registryString(HKEY_CLASSES_ROOT, "Access.Application\\CurVer", ""), "Access.Application.15");
        WIN32_FIND_DATAA found;
        EXPECT_FALSE(UniqueFind(FindFirstFileA((folder + "\\~Sales.accdb.*.tmp").c_str(), &found)))
            << "a partial copy was left: " << found.cFileName;
        if (row.state == After::None) {
            EXPECT_FALSE(fileExistsAt(copy));
            EXPECT_TRUE(boxes.size() == 1 && boxes[0].title == "Mallowbrook Warning" &&
                        textHas(boxes[0].text, "From: " + master + "\nTo: " + copy + "\n"));
            EXPECT_TRUE(access.receivedArguments().empty()) << "Access was started";
            EXPECT_FALSE(textHas(log(), "Saving default registry settings")) << log();
        } else {
            EXPECT_TRUE(readFile(copy) == (row.state == After::Master ? masterBytes : oldBytes))
                << readFile(copy).size() << " bytes, not " << (row.state == After::Master ? "the master's" : "the old");
            EXPECT_EQ(access.receivedArguments(), std::vector<std::string>{"\"" + copy + "\" /excl"});
            EXPECT_TRUE(textHas(log(), "2007 - Making sure that: " + lowerCaseAscii(folder) + " is a trusted folder"));
            EXPECT_EQ(fileExistsAt(copy + ".previous"), row.state == After::Master && row.copy != Copy::None);
        }

        endStandinAccess();
        // Wine cannot delete a link whose target it may not open.
        if (row.set == Set::ReadDenied)
            runUnix("rm -f '" + unixPath(master) + "'", [&] { return !fileExistsAt(master); });
        if (row.set == Set::FullDisk)
            runUnix("rm -f '" + env("MALLOWBROOK_BENCH") + "/small-disk/Mallowbrook'",
                    [&] { return !isLink(folder + "\\Mallowbrook"); });
        for (const std::string& path : {master, copy, lock, copy + ".previous"})
            removeFile(path);
    }
    removeFolders(shares);
    removeFolders(masters);
}
