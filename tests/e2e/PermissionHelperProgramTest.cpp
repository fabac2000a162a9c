// MallowbrookPermissions.exe as a program: its resources, its windows for each command line, and
// what it does to the registry. The tests start it directly with CreateProcess, which Wine
// allows for a program whose manifest requires administrator rights; on Windows the test
// program itself would have to run elevated.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <sddl.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "permission-helper/AclEngine.h"
#include "base/Wow64System.h"
#include "permission-helper/HelperKeyLists.h"
#include "permission-helper/HelperResources.h"
#include "registry/FixedValueTable.h"
#include "support/HelperProbeListener.h"
#include "support/KeySecurity.h"
#include "support/LauncherProcess.h"
#include "support/ScreenCapture.h"

namespace {

const char kHelper[] = "MallowbrookPermissions.exe";
// The same program with the test probe, for the tests that follow its work.
const char kProbedHelper[] = "MallowbrookPermissionsProbed.exe";
const char kCaption[] = "Updating System Configuration, Please Wait...";

std::string helperPath() {
    return binFolder() + kHelper;
}

struct Resource {
    const BYTE* data = nullptr;
    DWORD size = 0;
};

Resource findResource(HMODULE module, LPCSTR name, LPCSTR type) {
    HRSRC found = FindResourceA(module, name, type);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    if (!loaded)
        return {};
    return {static_cast<const BYTE*>(LockResource(loaded)), SizeofResource(module, found)};
}

std::string narrow(const WCHAR* text) {
    std::string result;
    for (; *text; ++text)
        result += static_cast<char>(*text);
    return result;
}

// Reads the dialog template of a DIALOGEX resource: just the fields that are specified.
struct DialogTemplate {
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::string caption;
    WORD pointSize = 0;
    std::string font;
    WORD items = 0;
    DWORD itemStyle = 0;
    short itemX = 0, itemY = 0, itemCx = 0, itemCy = 0;
    DWORD itemId = 0;
    std::string itemClass;
};

const WORD* skipText(const WORD* p) {
    if (*p == 0xFFFF)
        return p + 2;  // an ordinal
    while (*p)
        ++p;
    return p + 1;
}

const WORD* alignToDword(const WORD* p, const BYTE* base) {
    size_t offset = reinterpret_cast<const BYTE*>(p) - base;
    return reinterpret_cast<const WORD*>(base + ((offset + 3) & ~size_t{3}));
}

DialogTemplate readDialogTemplate(const Resource& resource) {
    DialogTemplate t;
    const BYTE* base = resource.data;
    const WORD* p = reinterpret_cast<const WORD*>(base);
    if (p[0] != 1 || p[1] != 0xFFFF)
        return t;  // not a DIALOGEX
    t.style = *reinterpret_cast<const DWORD*>(base + 12);
    t.items = *reinterpret_cast<const WORD*>(base + 16);
    const short* position = reinterpret_cast<const short*>(base + 18);
    t.x = position[0], t.y = position[1], t.cx = position[2], t.cy = position[3];
    p = reinterpret_cast<const WORD*>(base + 26);
    p = skipText(p);  // menu
    p = skipText(p);  // class
    t.caption = narrow(reinterpret_cast<const WCHAR*>(p));
    p = skipText(p);
    t.pointSize = p[0];
    p += 3;  // point size, weight, italic and charset
    t.font = narrow(reinterpret_cast<const WCHAR*>(p));
    p = alignToDword(skipText(p), base);
    // The first item: help id, extended style, style, position, id, class.
    const BYTE* item = reinterpret_cast<const BYTE*>(p);
    t.itemStyle = *reinterpret_cast<const DWORD*>(item + 8);
    const short* itemPosition = reinterpret_cast<const short*>(item + 12);
    t.itemX = itemPosition[0], t.itemY = itemPosition[1], t.itemCx = itemPosition[2], t.itemCy = itemPosition[3];
    t.itemId = *reinterpret_cast<const DWORD*>(item + 20);
    t.itemClass = narrow(reinterpret_cast<const WCHAR*>(item + 24));
    return t;
}

// A value of the version resource's string table, found by its key.
std::string versionValue(const Resource& version, const char* key) {
    std::wstring wideKey(key, key + strlen(key));
    const WCHAR* begin = reinterpret_cast<const WCHAR*>(version.data);
    const WCHAR* end = begin + version.size / sizeof(WCHAR);
    for (const WCHAR* p = begin; p + wideKey.size() < end; ++p) {
        if (std::wstring(p, wideKey.size()) != wideKey || p[wideKey.size()] != 0)
            continue;
        const WORD* after = reinterpret_cast<const WORD*>(p + wideKey.size() + 1);
        return narrow(reinterpret_cast<const WCHAR*>(alignToDword(after, version.data)));
    }
    return "(missing)";
}

std::string fileBytes(const std::string& path) {
    return readFile(path);
}

struct ProcessWindows {
    DWORD processId;
    std::vector<HWND> windows;
};

BOOL CALLBACK collectWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<ProcessWindows*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId)
        search->windows.push_back(window);
    return TRUE;
}

std::string className(HWND window) {
    char text[128] = {};
    GetClassNameA(window, text, sizeof(text));
    return text;
}

std::string windowText(HWND window) {
    char text[256] = {};
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

// The visible dialog of the process, or null.
HWND progressWindow(DWORD processId) {
    ProcessWindows search{processId, {}};
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&search));
    for (HWND window : search.windows)
        if (IsWindowVisible(window) && className(window) == "#32770")
            return window;
    return nullptr;
}

HWND mainWindow(DWORD processId) {
    ProcessWindows search{processId, {}};
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&search));
    for (HWND window : search.windows)
        if (className(window) == "MALLOWBROOKPERMISSIONS")
            return window;
    return nullptr;
}

struct BarState {
    LRESULT low, high, position;
};

BarState barState(HWND dialog) {
    HWND bar = GetDlgItem(dialog, IDC_PROGRESS_BAR);
    return {SendMessageA(bar, PBM_GETRANGE, TRUE, 0), SendMessageA(bar, PBM_GETRANGE, FALSE, 0),
            SendMessageA(bar, PBM_GETPOS, 0, 0)};
}

// The bar steps once for every key the helper repairs (on a 64-bit system, its 64-bit view keys too).
int helperKeyCount() {
    return static_cast<int>(repairedKeys(isWow64System()).size());
}

}  // namespace

TEST(PermissionHelperProgram, ResourcesAreAsTheLauncherAndUsersExpect) {
    UniqueModule module(LoadLibraryExA(helperPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(module);
    char text[128] = {};
    LoadStringA(module.get(), 103, text, sizeof(text));
    EXPECT_STREQ(text, "MallowbrookPermissions");
    LoadStringA(module.get(), 109, text, sizeof(text));
    EXPECT_STREQ(text, "MALLOWBROOKPERMISSIONS");
    EXPECT_TRUE(findResource(module.get(), MAKEINTRESOURCEA(129), RT_GROUP_ICON).data);
    EXPECT_TRUE(findResource(module.get(), MAKEINTRESOURCEA(109), RT_ACCELERATOR).data);

    Resource manifest = findResource(module.get(), MAKEINTRESOURCEA(1), RT_MANIFEST);
    ASSERT_TRUE(manifest.data);
    std::string manifestText(reinterpret_cast<const char*>(manifest.data), manifest.size);
    EXPECT_NE(manifestText.find("<requestedExecutionLevel level=\"requireAdministrator\""), std::string::npos);

    Resource version = findResource(module.get(), MAKEINTRESOURCEA(1), RT_VERSION);
    ASSERT_TRUE(version.data);
    EXPECT_EQ(versionValue(version, "ProductName"), "MallowbrookPermissions");
    EXPECT_EQ(versionValue(version, "InternalName"), "MallowbrookPermissions");

    Resource dialog = findResource(module.get(), MAKEINTRESOURCEA(131), RT_DIALOG);
    ASSERT_TRUE(dialog.data);
    DialogTemplate t = readDialogTemplate(dialog);
    const DWORD style =
        DS_SETFONT | DS_MODALFRAME | DS_SETFOREGROUND | DS_CENTER | WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU;
    EXPECT_EQ(t.style, style);
    EXPECT_EQ(t.caption, kCaption);
    EXPECT_EQ(t.pointSize, 8);
    EXPECT_EQ(t.font, "MS Shell Dlg");
    EXPECT_EQ(t.cx, 236);
    EXPECT_EQ(t.cy, 62);
    EXPECT_EQ(t.items, 1);
    EXPECT_EQ(t.itemId, 1000u);
    // windres stores control class names upper-cased; Windows matches them ignoring case, and the
    // live bar reports "msctls_progress32" (checked with the running program below).
    EXPECT_EQ(_stricmp(t.itemClass.c_str(), "msctls_progress32"), 0) << t.itemClass;
    EXPECT_EQ(t.itemStyle, static_cast<DWORD>(WS_CHILD | WS_VISIBLE | WS_BORDER | PBS_SMOOTH));
    EXPECT_EQ(t.itemX, 16);
    EXPECT_EQ(t.itemY, 21);
    EXPECT_EQ(t.itemCx, 203);
    EXPECT_EQ(t.itemCy, 16);
}

TEST(PermissionHelperProgram, EveryLauncherCarriesTheHelperAsBin133) {
    const std::string helper = fileBytes(helperPath());
    ASSERT_GT(helper.size(), 0u);
    for (const char* launcher : {"Mallowbrook.exe", "Mallowbrook2003.exe", "Mallowbrook2007.exe", "Mallowbrook2010.exe",
                                 "Mallowbrook2013.exe", "Mallowbrook2016.exe"}) {
        UniqueModule module(LoadLibraryExA((binFolder() + launcher).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
        ASSERT_TRUE(module) << launcher;
        Resource embedded = findResource(module.get(), MAKEINTRESOURCEA(133), "BIN");
        ASSERT_TRUE(embedded.data) << launcher;
        EXPECT_TRUE(std::string(reinterpret_cast<const char*>(embedded.data), embedded.size) == helper) << launcher;
    }
}

TEST(PermissionHelperProgram, TheProgressWindowRunsFromOneToFull) {
    HelperProbeListener probe(true);
    ASSERT_TRUE(probe.ready());
    LauncherProcess helper(kProbedHelper, "");
    ASSERT_TRUE(helper.started());
    EXPECT_EQ(probe.next(), reportedCommandLine(""));
    ASSERT_EQ(probe.next(), "work starting");

    HWND dialog = progressWindow(helper.id());
    ASSERT_TRUE(dialog) << "no progress window";
    EXPECT_EQ(windowText(dialog), kCaption);
    // The small icon is not checked here: Wine does not answer WM_GETICON from another process.
    // It shows in the title bar of the captured picture.
    HWND bar = GetDlgItem(dialog, IDC_PROGRESS_BAR);
    EXPECT_EQ(className(bar), "msctls_progress32");
    const int n = helperKeyCount();
    BarState start = barState(dialog);
    EXPECT_EQ(start.low, 0);
    EXPECT_EQ(start.high, n + 1);
    EXPECT_EQ(start.position, 1);
    // Kept in the bin folder for a look (scripts/permission-helper-screenshot, which also asks
    // for the window to stay up a while so that the whole screen can be taken).
    EXPECT_GT(captureWindowToBmp(dialog, binFolder() + "PermissionHelperProgress.bmp"), 3u);
    if (const char* linger = getenv("MALLOWBROOK_TEST_LINGER_MS"))
        Sleep(std::min<DWORD>(static_cast<DWORD>(atoi(linger)), 8000));

    HWND main = mainWindow(helper.id());
    ASSERT_TRUE(main);
    EXPECT_EQ(windowText(main), "MallowbrookPermissions");
    EXPECT_FALSE(IsWindowVisible(main));

    probe.release();
    // Every key of the table, and the bar painted after each: allow a slow machine its time.
    ASSERT_EQ(probe.next(60000), "work finished");
    BarState end = barState(dialog);
    EXPECT_EQ(end.position, n + 1);
    EXPECT_EQ(end.high, n + 1);
    EXPECT_GT(captureWindowToBmp(dialog, binFolder() + "PermissionHelperProgressFull.bmp"), 3u);
    probe.release();
    EXPECT_TRUE(helper.waitForExit());
    EXPECT_FALSE(IsWindow(dialog));
}

TEST(PermissionHelperProgram, OnlyTheWordNoprogressHidesTheWindow) {
    const struct {
        const char* commandLine;
        bool shows;
    } cases[] = {
        {"NOPROGRESS", false},
        {"noprogress", false},
        {"noprogress x", true},
        {"progress", true},
    };
    for (const auto& c : cases) {
        HelperProbeListener probe(true);
        LauncherProcess helper(kProbedHelper, c.commandLine);
        ASSERT_TRUE(helper.started()) << c.commandLine;
        EXPECT_EQ(probe.next(), reportedCommandLine(c.commandLine)) << c.commandLine;
        ASSERT_EQ(probe.next(), "work starting") << c.commandLine;
        EXPECT_TRUE(mainWindow(helper.id())) << c.commandLine;
        EXPECT_EQ(progressWindow(helper.id()) != nullptr, c.shows) << c.commandLine;
        probe.release();
        ASSERT_EQ(probe.next(60000), "work finished") << c.commandLine;
        EXPECT_EQ(progressWindow(helper.id()) != nullptr, c.shows) << c.commandLine;
        probe.release();
        EXPECT_TRUE(helper.waitForExit()) << c.commandLine;
    }
}

namespace {

// A listed key for the test: created when missing (and removed again), or, when it was there,
// given back its old permissions afterwards.
class ListedKey {
public:
    explicit ListedKey(std::string path) : path_(std::move(path)) {
        HKEY key = nullptr;
        DWORD disposition = 0;
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, (path_ + "\\Sub").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        &disposition);
        UniqueKey owner(key);
        created_ = disposition == REG_CREATED_NEW_KEY;
        savedDacl_ = KeySecurity::dacl(HKEY_LOCAL_MACHINE, path_);
    }
    ~ListedKey() {
        if (created_) {
            RegDeleteKeyA(HKEY_LOCAL_MACHINE, (path_ + "\\Sub").c_str());
            RegDeleteKeyA(HKEY_LOCAL_MACHINE, path_.c_str());
        } else {
            KeySecurity::setDacl(HKEY_LOCAL_MACHINE, path_, savedDacl_);
        }
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
    bool created_ = false;
    std::string savedDacl_;
};

}  // namespace

TEST(PermissionHelperProgram, GivesUsersTheLaunchersRightsOnTheListedKeysAndPassesOverMissingOnes) {
    // One class key and one machine key of the fixed table; nearly all the others are missing
    // from the test machine and must simply be passed over.
    ListedKey classKey("SOFTWARE\\Classes\\.pip");
    ListedKey machineKey("SOFTWARE\\Microsoft\\Office\\Common");
    const std::string restricted = "D:(D;;KW;;;BG)(A;;KR;;;WD)(A;;KA;;;BA)";
    const std::string subkey = "D:(A;;KR;;;BG)";
    for (const ListedKey* key : {&classKey, &machineKey}) {
        ASSERT_TRUE(KeySecurity::setDacl(HKEY_LOCAL_MACHINE, key->path(), restricted)) << key->path();
        ASSERT_TRUE(KeySecurity::setDacl(HKEY_LOCAL_MACHINE, key->path() + "\\Sub", subkey)) << key->path();
    }

    LauncherProcess helper(kHelper, "noprogress");
    ASSERT_TRUE(helper.started());
    ASSERT_TRUE(helper.waitForExit(60000));
    // Every key that is there could be changed.
    EXPECT_EQ(helper.exitCode(), 0u);

    for (const ListedKey* key : {&classKey, &machineKey}) {
        EXPECT_EQ(KeySecurity::dacl(HKEY_LOCAL_MACHINE, key->path()),
                  KeySecurity::normalize("D:(A;;" + KeySecurity::rightsText(kKeyChangeRights) +
                                         ";;;BU)(A;;KA;;;BA)(A;;KA;;;SY)"))
            << key->path();
        EXPECT_EQ(KeySecurity::dacl(HKEY_LOCAL_MACHINE, key->path() + "\\Sub"), KeySecurity::normalize(subkey))
            << key->path();
    }
}
