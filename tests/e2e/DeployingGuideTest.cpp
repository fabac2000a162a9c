// The shortcut lines of docs/deploying.md, each run once as an administrator would set it up, with
// a stand-in Access. The guide and this table must hold the same lines, and every option of
// README's option table must appear in one of them, so an example cannot rot or go missing.
#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "base/UniqueHandle.h"
#include "support/LaunchFixture.h"

namespace {

const char kInstallFolder[] = "\"C:\\Program Files\\Mallowbrook\\";
const char kCurVerKey[] = "Access.Application\\CurVer";
const char kTrustedLocations[] = "Software\\Microsoft\\Office\\16.0\\Access\\Security\\Trusted Locations";
// The stored command line of the guide's .reg example, as the registry holds it.
const char kStoredCommandLine[] =
    "\"%LOCALAPPDATA%\\Northfield\\Sales.accdb\" /user \"%USERNAME%\" /wrkgrp \"%APPDATA%\\Northfield\\Sales.mdw\"";
const char kStoredTraining[] = "\"C:\\Apps\\Training.accdb\" /runtime";

std::string sourceFile(const std::string& relative) {
    std::string path = std::string("Z:") + MALLOWBROOK_SOURCE_DIR + "/" + relative;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return readFile(path);
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return lines;
}

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    return first == std::string::npos ? "" : text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A value as a .reg file writes it: backslashes and quotes escaped.
std::string regText(const std::string& value) {
    std::string text;
    for (char c : value) {
        if (c == '\\' || c == '"')
            text += '\\';
        text += c;
    }
    return "\"" + text + "\"";
}

// The rows of the text's "## Exit codes" table; links into docs/ read as the guide, which lives
// there, writes them.
std::vector<std::string> exitCodeRows(const std::string& text) {
    std::vector<std::string> rows;
    bool inSection = false;
    for (std::string line : linesOf(text)) {
        if (line.rfind("## ", 0) == 0)
            inSection = line == "## Exit codes";
        else if (inSection && line.rfind("| ", 0) == 0) {
            for (size_t at = line.find("](docs/"); at != std::string::npos; at = line.find("](docs/", at))
                line.erase(at + 2, 5);
            rows.push_back(line);
        }
    }
    return rows;
}

std::string environmentValue(const char* name) {
    char value[MAX_PATH] = {};
    GetEnvironmentVariableA(name, value, sizeof(value));
    return value;
}

std::string localAppData() {
    char folder[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, folder);
    return folder;
}

std::string lastOf(const std::vector<std::string>& lines) {
    return lines.empty() ? "(nothing)" : lines.back();
}

// The "Path" of every trusted location of Access 2016, with its "AllowSubfolders" (-1 without).
std::vector<std::pair<std::string, long long>> trustedLocations() {
    std::vector<std::pair<std::string, long long>> found;
    UniqueKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kTrustedLocations, 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return found;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof(name);
        if (RegEnumKeyExA(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        const std::string location = std::string(kTrustedLocations) + "\\" + name;
        found.emplace_back(registryString(HKEY_CURRENT_USER, location, "Path"),
                           registryDword(HKEY_CURRENT_USER, location, "AllowSubfolders"));
    }
    return found;
}

class DeployingGuide : public LaunchFixture {
protected:
    void SetUp() override {
        LaunchFixture::SetUp();
        // Access ends by itself soon after its window shows, so the default wait is cut short.
        standin.set("STANDIN_LIFETIME", "1500");
        standin.set("STANDIN_SHOW_RECORD", showRecord());
        removeFile(showRecord());
    }
    void TearDown() override {
        LaunchFixture::TearDown();
        removeFile(showRecord());
    }
    static std::string showRecord() { return desktopFolder() + "standin-show.txt"; }
};

struct Example {
    const char* line;  // a shortcut's whole target, as the guide shows it
    std::function<void()> before;
    std::function<void()> after;
};

}  // namespace

TEST_F(DeployingGuide, EveryShortcutLineRunsAsTheGuideSays) {
    AccessInstall& access2002 = install(2002);
    AccessInstall& access2003 = install(2003);
    AccessInstall& access2007 = install(2007);
    AccessInstall& access2010 = install(2010);
    AccessInstall& runtime2016 = install(2016, AccessKind::Runtime);
    AccessInstall french2016(2016, AccessKind::Runtime, "", "040C");
    InstalledFile frenchLibrary(binFolder() + "MSACC.OLB", french2016.folder() + "\\MSACC.OLB");
    InstalledFile launch32(standinLaunch32Path(), "C:\\Apps\\Secure\\launch32.exe");
    for (const AccessInstall* access : {&access2002, &access2003, &access2007, &access2010, &runtime2016})
        ASSERT_TRUE(installedWithLibrary(*access));
    ASSERT_TRUE(french2016.installed() && frenchLibrary.installed() && launch32.installed());
    ASSERT_TRUE(seed.setString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Northfield\\Sales", "CmdLine", kStoredCommandLine));
    ASSERT_TRUE(seed.setString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Northfield\\Sales\\Run-Time Options", "TitleBar",
                               "Northfield Sales"));
    ASSERT_TRUE(seed.setString(HKEY_CURRENT_USER, "Software\\Northfield\\Sales", "Training", kStoredTraining));
    const std::string showNormal = std::to_string(SW_SHOWNORMAL);
    auto shown = [] { return lastOf(readRecordLines(showRecord())); };
    // Wine maps \\server\apps to this folder of its prefix; on Windows it is a share.
    std::string share = "Z:" + environmentValue("WINEPREFIX") + "/dosdevices/unc/server/apps";
    std::replace(share.begin(), share.end(), '/', '\\');

    const std::vector<Example> examples = {
        {"\"C:\\Program Files\\Mallowbrook\\Mallowbrook.exe\" \"C:\\Apps\\Sales.mdb\"", nullptr,
         [&] { EXPECT_EQ(lastOf(access2002.receivedArguments()), "\"C:\\Apps\\Sales.mdb\""); }},
        {"\"C:\\Program Files\\Mallowbrook\\Mallowbrook2016.exe\" -LOGGING -WAIT=5000 \"C:\\Apps\\Sales.accdb\" /runtime",
         nullptr,
         [&] {
             EXPECT_EQ(lastOf(runtime2016.receivedArguments()), "\"C:\\Apps\\Sales.accdb\" /runtime");
             EXPECT_TRUE(textHas(log(), "\r\nFound main Access window - shutting down\r\n")) << log();
         }},
        {"\"C:\\Program Files\\Mallowbrook\\Mallowbrook2016.exe\" -REPORT \"C:\\Apps\\Sales.accdb\" /runtime", nullptr,
         [&] {
             const std::string report = desktopFolder() + "\\MallowbrookReport.txt";
             EXPECT_TRUE(textHas(readFile(report), "\r\nA launch would start " + runtime2016.executablePath() + "\r\n"));
             EXPECT_EQ(runtime2016.receivedArguments().size(), 1u) << "Access was started";
             removeFile(report);
         }},
        // Access outlives the 15 seconds the launcher would otherwise watch it.
        {"\"C:\\Program Files\\Mallowbrook\\Mallowbrook2003.exe\" -NORMAL -WAITFORACCESSTOCLOSE \"C:\\Apps\\Sales.mdb\"",
         [&] { standin.set("STANDIN_LIFETIME", "18000"); },
         [&] {
             EXPECT_EQ(lastOf(access2003.receivedArguments()), "\"C:\\Apps\\Sales.mdb\"");
             EXPECT_EQ(shown(), showNormal);
             EXPECT_FALSE(FindWindowA("OMain", nullptr)) << "the launcher left before Access ended";
             standin.set("STANDIN_LIFETIME", "1500");
         }},
        {"\"C:\\Program Files\\Mallowbrook\\Mallowbrook.exe\" -MIN -VER=10 \"C:\\Apps\\Sales.mdb\"", nullptr,
         [&] {
             EXPECT_EQ(lastOf(access2002.receivedArguments()), "\"C:\\Apps\\Sales.mdb\"");
             EXPECT_TRUE(shown() == std::to_string(SW_SHOWMINIMIZED) || shown() == std::to_string(SW_SHOWMINNOACTIVE))
                 << shown();
         }},
        {"\"C:\\Program Files\\Mallowbrook\\Mallowbrook2010.exe\" -CMD=\"HKLM\\SOFTWARE\\Northfield\\Sales\"", nullptr,
         [&] {
             // The placeholders are the user's own; the stored line gets one blank after it.
             EXPECT_EQ(lastOf(access2010.receivedArguments()),
                       "\"" + localAppData() + "\\Northfield\\Sales.accdb\" /user \"" + environmentValue("USERNAME") +
                           "\" /wrkgrp \"" + environmentValue("APPDATA") + "\\Northfield\\Sales.mdw\" ");
         }},
        {"\"C:\\Program Files\\Mallowbrook\\Mallowbrook2010.exe\" -CMD=\"HKCU\\Software\\Northfield\\Sales\" "
         "-VALUE=\"Training\" /excl",
         nullptr, [&] { EXPECT_EQ(lastOf(access2010.receivedArguments()), std::string(kStoredTraining) + " /excl"); }},
        {"\"C:\\Program Files\\Mallowbrook\\Mallowbrook2003.exe\" -SECFILE=\"C:\\Apps\\Secure\\Sales.sec\"", nullptr,
         [&] {
             EXPECT_EQ(commandLineArguments(lastOf(readRecordLines(launch32.path() + ".commandline.txt"))),
                       "C:\\Apps\\Secure\\Sales.sec");
         }},
        {"\"C:\\Program Files\\Mallowbrook\\Mallowbrook2007.exe\" -WINDOWSPROFILE \"C:\\Apps\\Sales.accdb\"", nullptr,
         [&] {
             EXPECT_EQ(lastOf(access2007.receivedArguments()),
                       "\"" + localAppData() + "\\sales.accdb\" \"C:\\Apps\\Sales.accdb\"");
         }},
        {"\"C:\\Program Files\\Mallowbrook\\Mallowbrook2007.exe\" -WINDOWSPROFILE -UPDATE \"\\\\server\\apps\\Sales.accdb\"",
         [&] {
             createFolders(share);
             CopyFileA((binFolder() + "MSACC.OLB").c_str(), (share + "\\Sales.accdb").c_str(), FALSE);
         },
         [&] {
             const std::string copy = localAppData() + "\\Sales.accdb";
             EXPECT_EQ(lastOf(access2007.receivedArguments()), "\"" + copy + "\"");
             EXPECT_EQ(readFile(copy), readFile(binFolder() + "MSACC.OLB"));
             removeFile(copy);
             removeFile(copy + ".master");
             removeFile(share + "\\Sales.accdb");
         }},
        {"\"C:\\Program Files\\Mallowbrook\\Mallowbrook2016.exe\" -LANG=1036 \"C:\\Apps\\Sales.accdb\"", nullptr,
         [&] { EXPECT_EQ(lastOf(french2016.receivedArguments()), "\"C:\\Apps\\Sales.accdb\""); }},
        {"\"C:\\Program Files\\Mallowbrook\\Mallowbrook2016.exe\" -TRUSTEDFOLDER=\"C:\\Apps\\Sales\" -SUBFOLDERS",
         nullptr,
         [&] {
             // Besides the database folders that the 2016 launches above have trusted.
             const auto locations = trustedLocations();
             const std::pair<std::string, long long> wanted = {"C:\\Apps\\Sales\\", 1};
             EXPECT_NE(std::find(locations.begin(), locations.end(), wanted), locations.end());
             EXPECT_TRUE(runtime2016.receivedArguments().size() == 1 && french2016.receivedArguments().size() == 1)
                 << "Access was started";
         }},
        {"\"C:\\Program Files\\Mallowbrook\\Mallowbrook.exe\" -CAPTURE",
         [&] { seed.setString(HKEY_CLASSES_ROOT, kCurVerKey, "", "Access.Application.11"); }, nullptr},
        {"\"C:\\Program Files\\Mallowbrook\\Mallowbrook.exe\" -RESTORE",
         [&] { seed.setString(HKEY_CLASSES_ROOT, kCurVerKey, "", "Access.Application.99"); },
         [&] { EXPECT_EQ(registryString(HKEY_CLASSES_ROOT, kCurVerKey, ""), "Access.Application.11"); }},
        {"\"C:\\Program Files\\Mallowbrook\\Mallowbrook.exe\" -LOGGING -OPENKEYS -NOPROGRESS", nullptr,
         [&] {
             EXPECT_TRUE(
                 textHas(log(), "\r\n-openkeys\r\nExiting Mallowbrook because we did one of the following:\r\n"))
                 << log();
         }},
    };

    for (const Example& example : examples) {
        SCOPED_TRACE(example.line);
        const std::string line = example.line;
        ASSERT_EQ(line.rfind(kInstallFolder, 0), 0u);
        const size_t programEnd = line.find('"', 1);
        const std::string program = line.substr(sizeof(kInstallFolder) - 1, programEnd - (sizeof(kInstallFolder) - 1));
        const std::string arguments = line.substr(programEnd + 2);
        removeFile(logFilePath());
        if (example.before)
            example.before();
        // Access runs for a while and every maintenance run for the user: none is expected to ask.
        DWORD exitCode = 1;
        ASSERT_TRUE(runToEnd(program, arguments, &exitCode, IDNO, 60000));
        EXPECT_EQ(exitCode, 0u);
        if (example.after)
            example.after();
        endStandinAccess();
    }

    removeFile(launch32.path() + ".commandline.txt");

    // The guide shows exactly these lines, and the stored values of its .reg example.
    std::set<std::string> tested, shownInGuide;
    for (const Example& example : examples)
        tested.insert(example.line);
    const std::string guide = sourceFile("docs/deploying.md");
    for (const std::string& line : linesOf(guide))
        if (trimmed(line).rfind(kInstallFolder, 0) == 0)
            shownInGuide.insert(trimmed(line));
    EXPECT_EQ(shownInGuide, tested);
    EXPECT_TRUE(textHas(guide, "\"CmdLine\"=" + regText(kStoredCommandLine)));
    EXPECT_TRUE(textHas(guide, "\"Training\"=" + regText(kStoredTraining)));

    // Every option of README's table is in one of the lines.
    for (const std::string& row : linesOf(sourceFile("README.md"))) {
        if (row.rfind("| `-", 0) != 0)
            continue;
        const std::string names = row.substr(0, row.find(" |", 2));
        for (size_t at = names.find('-'); at != std::string::npos; at = names.find('-', at + 1)) {
            const std::string option = names.substr(at, names.find_first_of("=`", at) - at);
            bool used = false;
            for (const std::string& line : tested)
                used = used || textHas(line, " " + option);
            EXPECT_TRUE(used) << option << " has no example in docs/deploying.md";
        }
    }
}

// Administrators read the exit codes in the guide; README's table is the one kept true.
TEST(DeployingGuideText, ExitCodesAreREADMEs) {
    const std::vector<std::string> readme = exitCodeRows(sourceFile("README.md"));
    ASSERT_GT(readme.size(), 2u) << "README has no exit code table";
    EXPECT_EQ(exitCodeRows(sourceFile("docs/deploying.md")), readme);
}
