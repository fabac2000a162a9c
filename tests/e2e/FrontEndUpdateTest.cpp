// -UPDATE as users meet it: a master front-end and the user's profile copy set up, the real
// launcher run, then its log line, exit code and what the profile copy holds afterwards, which is
// always either the old copy's bytes or the master's, never anything between.
#include <gtest/gtest.h>

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>
#include <shlobj.h>

#include <atomic>
#include <fstream>
#include <iostream>
#include <thread>

#include "base/AsciiCase.h"
#include "base/UniqueHandle.h"
#include "support/LaunchFixture.h"

namespace {

const char kMaster[] = "C:\\Masters\\Sales.accdb";
const char kShareMaster[] = "\\\\server\\apps\\Sales.accdb";
const std::uint64_t kHour = 36000000000ull;

enum class Copy { None, Older, SameTime, Newer };
enum class Situation { Plain, Share, MasterMissing, ReadDenied, Shrinking, LockHeld, StaleLock, FullDisk };
enum class Afterwards { Old, Master, None };

std::string environment(const char* name) {
    char value[MAX_PATH] = {};
    GetEnvironmentVariableA(name, value, sizeof(value));
    return value;
}

std::string unixToWindows(std::string path) {
    for (char& c : path)
        c = c == '/' ? '\\' : c;
    return "Z:" + path;
}

// The path of a file on the prefix's C: drive in the Unix system underneath.
std::string unixPathOf(const std::string& path) {
    std::string unixPath = environment("WINEPREFIX") + "/drive_c" + path.substr(2);
    for (char& c : unixPath)
        c = c == '\\' ? '/' : c;
    return unixPath;
}

bool isLink(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::uint64_t writeTime(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return (std::uint64_t(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
}

void setWriteTime(const std::string& path, std::uint64_t time) {
    UniqueFile file(CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    const FILETIME at = {DWORD(time), DWORD(time >> 32)};
    SetFileTime(file.get(), nullptr, nullptr, &at);
}

// Runs a program of the Unix system underneath Wine and waits until `done` says it has acted:
// Wine gives no handle to wait on for such a program.
template <typename Done>
void runUnix(const std::string& program, std::string arguments, Done done) {
    std::string commandLine = program + " " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (CreateProcessA(("Z:" + program).c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &info))
        UniqueKernelHandle process(info.hProcess), thread(info.hThread);
    for (int i = 0; i < 100 && !done(); ++i)
        Sleep(50);
}

// Windows: a DACL that denies reading. Wine keeps no file DACL and its user is root, whom no file
// mode stops, so there the master becomes a link to a write-only kernel file: the kernel refuses
// to open it for reading even to root, and the launcher gets "access denied" just the same.
void denyReading(const std::string& path, const std::string& unixPath) {
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
    if (!UniqueFile(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)))
        return;
    removeFile(path);
    runUnix("/bin/ln", "-s /sys/bus/cpu/uevent \"" + unixPath + "\"", [&] { return fileExistsAt(path); });
}

// Shrinks the master from another thread until told to stop: slowly enough to last until the
// launcher copies it, often enough that it shrinks during the copy.
class Shrinker {
public:
    explicit Shrinker(const std::string& path)
        : file_(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, 0, nullptr)),
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

// A line of the log that starts and ends as the pattern does around its "*".
bool hasLine(const std::string& log, const std::string& pattern) {
    const std::string head = pattern.substr(0, pattern.find('*'));
    const std::string tail = pattern.find('*') == std::string::npos ? "" : pattern.substr(pattern.find('*') + 1);
    for (size_t at = log.find("\r\n" + head); at != std::string::npos; at = log.find("\r\n" + head, at + 1)) {
        const std::string line = log.substr(at + 2, log.find("\r\n", at + 2) - at - 2);
        if (line.size() >= head.size() + tail.size() && line.compare(line.size() - tail.size(), tail.size(), tail) == 0)
            return true;
    }
    return false;
}

class FrontEndUpdate : public LaunchFixture {};

}  // namespace

TEST_F(FrontEndUpdate, EachSituationLeavesTheOldCopyOrTheMasters) {
    char local[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, local);
    const std::string smallDisk = unixToWindows(environment("MALLOWBROOK_BENCH") + "/small-disk");
    const std::string smallDiskJournals = environment("MALLOWBROOK_BENCH") + "/small-disk/Mallowbrook";
    // \\server\apps is a folder of the prefix to Wine; on Windows it would be a share.
    const std::string share = unixToWindows(environment("WINEPREFIX") + "/dosdevices/unc/server/apps");
    AccessInstall& access = install(2007);
    ASSERT_TRUE(installedWithLibrary(access));
    const std::vector<std::string> masters = createFolders("C:\\Masters"), shares = createFolders(share);

    const struct {
        const char* situation;
        Copy copy;
        Situation set;
        const char* logLine;  // "*" stands for the system's text
        DWORD exitCode;
        Afterwards state;
    } rows[] = {
        {"missing copy, master on a share", Copy::None, Situation::Share, "Front-end updated from <master>", 0,
         Afterwards::Master},
        {"older copy", Copy::Older, Situation::Plain, "Front-end updated from <master>", 0, Afterwards::Master},
        {"same time within tolerance", Copy::SameTime, Situation::Plain, "Front-end is current", 0, Afterwards::Old},
        {"newer local copy", Copy::Newer, Situation::Plain,
         "Front-end kept: the profile copy <copy> is newer than <master>", 0, Afterwards::Old},
        {"copy in use", Copy::Older, Situation::LockHeld,
         "Front-end not updated: <copy> is in use (its lock file <lock> cannot be deleted); opening the profile copy "
         "as it is",
         0, Afterwards::Old},
        {"stale lock file", Copy::Older, Situation::StaleLock,
         "Front-end lock file left over from an earlier run, removed: <lock>", 0, Afterwards::Master},
        {"master missing", Copy::Older, Situation::MasterMissing,
         "Front-end not updated: <master> cannot be reached (*error 2)); opening the profile copy as it is", 5,
         Afterwards::Old},
        {"master missing, no copy", Copy::None, Situation::MasterMissing,
         "Front-end not updated: <master> cannot be reached (*error 2)); there is no profile copy to open", 0xFFFFFFFF,
         Afterwards::None},
        {"master read-denied", Copy::Older, Situation::ReadDenied,
         "Front-end not updated: <master> cannot be reached (*error 5)); opening the profile copy as it is", 5,
         Afterwards::Old},
        {"master truncated while copied", Copy::Older, Situation::Shrinking,
         "Front-end not updated: <master> changed while it was being copied; the partial copy was removed; opening "
         "the profile copy as it is",
         5, Afterwards::Old},
        {"full disk", Copy::Older, Situation::FullDisk,
         "Front-end not updated: <copy> could not be written (*error 112)); opening the profile copy as it is", 5,
         Afterwards::Old},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.situation);
        RegistrySeed redirect;
        std::string folder = local;
        if (row.set == Situation::FullDisk) {
            ULARGE_INTEGER total = {};
            if (!GetDiskFreeSpaceExA(smallDisk.c_str(), nullptr, &total, nullptr) || total.QuadPart > 65536) {
                std::cout << "[ SKIPPED  ] " << row.situation << ": " << smallDisk << " is no small disk\n";
                continue;
            }
            // The user's local application data folder redirected, as Windows allows, to the full disk.
            // Its journal folder links back to the ordinary one: only the front-end meets the full disk.
            folder = smallDisk;
            redirect.setString(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                               "Local AppData", smallDisk);
            createFolders(std::string(local) + "\\Mallowbrook");
            runUnix("/bin/sh",
                    "-c \"rm -rf '" + smallDiskJournals + "' && ln -s '" + unixPathOf(local) + "/Mallowbrook' '" +
                        smallDiskJournals + "'\"",
                    [&] { return isLink(folder + "\\Mallowbrook"); });
        }
        const std::string master = row.set == Situation::Share ? kShareMaster : kMaster;
        const std::string copy = folder + "\\Sales.accdb", lock = folder + "\\Sales.laccdb";
        const size_t masterSize = row.set == Situation::Shrinking ? 24 << 20 : row.set == Situation::FullDisk ? 1 << 20 : 300000;
        std::string masterBytes(masterSize, '\0'), oldBytes = "the copy of last month's release";
        for (size_t i = 0; i < masterBytes.size(); ++i)
            masterBytes[i] = char(i * 7 + i / 4099);
        writeBytes(master, masterBytes);
        const std::uint64_t masterTime = writeTime(master);
        if (row.copy != Copy::None) {
            writeBytes(copy, oldBytes);
            setWriteTime(copy, row.copy == Copy::Older ? masterTime - kHour
                                                        : row.copy == Copy::Newer ? masterTime + kHour
                                                                                  : masterTime + 10000000);
        }
        if (row.set == Situation::MasterMissing)
            removeFile(master);
        if (row.set == Situation::ReadDenied)
            denyReading(master, unixPathOf(master));
        if (row.set == Situation::StaleLock)
            writeBytes(lock, "left over");
        std::unique_ptr<LauncherProcess> holder;
        if (row.set == Situation::LockHeld) {
            standin.set("STANDIN_HOLD_FILE", lock);
            standin.set("STANDIN_RECORD", "");
            standin.set("STANDIN_LIFETIME", "infinite");
            standin.set("STANDIN_WINDOW", "none");
            holder = std::make_unique<LauncherProcess>("standins\\MSACCESS.EXE", "");
            for (int i = 0; i < 100 && !fileExistsAt(lock); ++i)
                Sleep(50);
            standin.set("STANDIN_HOLD_FILE", "");
            standin.set("STANDIN_RECORD", access.recordPath());
            standin.set("STANDIN_LIFETIME", "20000");
            standin.set("STANDIN_WINDOW", "OMain");
        }
        ASSERT_TRUE(seed.setString(HKEY_CLASSES_ROOT, "Access.Application\\CurVer", "", "Access.Application.15"));
        removeFile(logFilePath());
        removeFile(access.recordPath());

        answerBoxes = true;
        boxes.clear();
        DWORD exitCode = 1;
        {
            std::unique_ptr<Shrinker> shrinker(row.set == Situation::Shrinking ? new Shrinker(master) : nullptr);
            ASSERT_TRUE(runToEnd("Mallowbrook2007.exe", "-LOGGING -WAIT=1 -WINDOWSPROFILE -UPDATE \"" + master + "\" /excl",
                                 &exitCode));
        }

        std::string expected = row.logLine;
        const std::pair<std::string, std::string> names[] = {{"<master>", master}, {"<copy>", copy}, {"<lock>", lock}};
        for (const auto& name : names)
            for (size_t at; (at = expected.find(name.first)) != std::string::npos;)
                expected.replace(at, name.first.size(), name.second);
        EXPECT_TRUE(hasLine(log(), expected)) << expected << "\n" << log();
        EXPECT_EQ(exitCode, row.exitCode);
        const std::string after = readFile(copy);
        if (row.state == Afterwards::None) {
            EXPECT_FALSE(fileExistsAt(copy));
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].title, "Mallowbrook Warning");
            EXPECT_TRUE(textHas(boxes[0].text, "From: " + master + "\nTo: " + copy + "\n")) << boxes[0].text;
            EXPECT_TRUE(access.receivedArguments().empty()) << "Access was started";
            EXPECT_FALSE(textHas(log(), "Saving default registry settings")) << log();
        } else {
            EXPECT_TRUE(after == (row.state == Afterwards::Master ? masterBytes : oldBytes))
                << after.size() << " bytes, not " << (row.state == Afterwards::Master ? "the master's" : "the old copy");
            EXPECT_EQ(access.receivedArguments(), std::vector<std::string>{"\"" + copy + "\" /excl"});
            EXPECT_TRUE(textHas(log(), "2007 - Making sure that: " + lowerCaseAscii(folder) + " is a trusted folder"));
            EXPECT_EQ(fileExistsAt(copy + ".previous"), row.state == Afterwards::Master && row.copy != Copy::None);
        }
        EXPECT_EQ(registryString(HKEY_CLASSES_ROOT, "Access.Application\\CurVer", ""), "Access.Application.15");
        WIN32_FIND_DATAA found;
        EXPECT_FALSE(UniqueFind(FindFirstFileA((folder + "\\~Sales.accdb.*.tmp").c_str(), &found)))
            << "a partial copy was left: " << found.cFileName;

        holder.reset();
        endStandinAccess();
        // Wine cannot delete a link whose target it may not open.
        if (row.set == Situation::ReadDenied)
            runUnix("/bin/rm", "-f \"" + unixPathOf(master) + "\"", [&] { return !fileExistsAt(master); });
        if (row.set == Situation::FullDisk)
            runUnix("/bin/rm", "-f \"" + smallDiskJournals + "\"", [&] { return !isLink(folder + "\\Mallowbrook"); });
        for (const std::string& path : {master, copy, lock, copy + ".previous"})
            removeFile(path);
    }
    removeFolders(shares);
    removeFolders(masters);
}
