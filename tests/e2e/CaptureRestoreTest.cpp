#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "base/UniqueHandle.h"
#include "capture/CaptureFile.h"
#include "capture/RestoreSet.h"
#include "support/AccessInstall.h"
#include "support/LauncherProcess.h"
#include "support/MessageBoxDriver.h"
#include "support/ScratchKey.h"

namespace {

const char kCurVer[] = "Access.Application\\CurVer";
const char kOpenCommand[] = "Access.MDBFile\\shell\\Open\\command";
const char kContentTypes[] = "MIME\\Database\\Content Type\\application/msaccess";
const char kOfficeCommon[] = "SOFTWARE\\Microsoft\\Office\\Common";

struct Raw {
    DWORD type = 0;
    std::string data = "(missing)";
    bool operator==(const Raw& o) const { return type == o.type && data == o.data; }
};

std::ostream& operator<<(std::ostream& out, const Raw& raw) {
    return out << "type " << raw.type << " data '" << raw.data << "'";
}

Raw text(const std::string& value) {
    return {REG_SZ, value + '\0'};
}

Raw number(DWORD value) {
    return {REG_DWORD, std::string(reinterpret_cast<const char*>(&value), sizeof(value))};
}

// Values of the fixed table, under keys the tests own for their length.
class CaptureRestore : public ::testing::Test {
protected:
    void SetUp() override {
        removeFile(logFilePath());
        DeleteFileA(captureFilePath().c_str());
        for (const char* key :
             {"Access.Application", ".accda", "Access.MDBFile", kContentTypes, "Access.ADEFile", "Access.Project"})
            keys_.push_back(std::make_unique<ScratchKey>(HKEY_CLASSES_ROOT, key));
        keys_.push_back(std::make_unique<ScratchKey>(HKEY_LOCAL_MACHINE, kOfficeCommon));
    }
    void TearDown() override {
        removeFile(logFilePath());
        DeleteFileA(captureFilePath().c_str());
        keys_.clear();
    }

    static void put(HKEY root, const std::string& key, const std::string& name, const Raw& value, REGSAM view = 0) {
        ASSERT_TRUE(
            writeRawValue(root, key, name, value.type, value.data.data(), static_cast<DWORD>(value.data.size()), view))
            << key << " / '" << name << "'";
    }
    static Raw get(HKEY root, const std::string& key, const std::string& name, REGSAM view = 0) {
        UniqueKey opened;
        Raw raw;
        if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ | view, opened.put()) != ERROR_SUCCESS)
            return raw;
        char data[8192];
        DWORD size = sizeof(data);
        if (RegQueryValueExA(opened.get(), name.c_str(), nullptr, &raw.type, reinterpret_cast<BYTE*>(data), &size) ==
            ERROR_SUCCESS)
            raw.data.assign(data, size);
        return raw;
    }
    static void remove(HKEY root, const std::string& key, const std::string& name) {
        UniqueKey opened;
        if (RegOpenKeyExA(root, key.c_str(), 0, KEY_SET_VALUE, opened.put()) == ERROR_SUCCESS)
            RegDeleteValueA(opened.get(), name.c_str());
    }

    static void run(const std::string& arguments) {
        LauncherProcess launcher("Mallowbrook.exe", arguments);
        ASSERT_TRUE(launcher.started()) << arguments;
        ASSERT_TRUE(launcher.waitForExit()) << arguments;
        EXPECT_EQ(launcher.exitCode(), 0u) << arguments;
    }

    static DWORD captureFileAttributes() { return GetFileAttributesA(captureFilePath().c_str()); }
    static std::string captureFileBytes() { return readFile(captureFilePath()); }

    std::vector<std::unique_ptr<ScratchKey>> keys_;
};

struct Seeded {
    HKEY root;
    const char* key;
    const char* name;
    Raw captured;
};

std::vector<Seeded> seededValues() {
    return {
        {HKEY_CLASSES_ROOT, kCurVer, "", text("Access.Application.10")},
        {HKEY_CLASSES_ROOT, ".accda", "Content Type", text("application/msaccess   ")},
        {HKEY_CLASSES_ROOT, ".accda", "", text("first line\nHKEY is only text here\n\n")},
        {HKEY_CLASSES_ROOT, kOpenCommand, "", text("\t\"C:\\Office\\MSACCESS.EXE\" /NOSTARTUP \"%1\" /x=y=")},
        {HKEY_CLASSES_ROOT, kOpenCommand, "command", text("")},
        {HKEY_CLASSES_ROOT, kContentTypes, "Extension", text(".mdb")},
        {HKEY_CLASSES_ROOT, "Access.ADEFile\\CurVer", "", text("Access.ADEFile.10")},
        {HKEY_LOCAL_MACHINE, kOfficeCommon, "LastAccessInstall", number(3000000000u)},
    };
}

}  // namespace

TEST_F(CaptureRestore, CaptureWritesAHiddenFileOfWholeBlocks) {
    for (const auto& v : seededValues())
        put(v.root, v.key, v.name, v.captured);
    run("-LOGGING -CAPTURE");
    const DWORD attributes = captureFileAttributes();
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << captureFilePath();
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN);
    const std::string bytes = captureFileBytes();
    EXPECT_GT(bytes.size(), 0u);
    EXPECT_EQ(bytes.size() % 8, 0u) << bytes.size();
    EXPECT_EQ(bytes.find("Access.Application.10"), std::string::npos) << "the file is enciphered";
    EXPECT_NE(readFile(logFilePath()).find("\r\n-capture\r\n"), std::string::npos);
}

TEST_F(CaptureRestore, RestorePutsBackWhatWasCapturedAndDeletesTheFile) {
    const auto values = seededValues();
    for (const auto& v : values)
        put(v.root, v.key, v.name, v.captured);
    run("-CAPTURE");
    ASSERT_NE(captureFileAttributes(), INVALID_FILE_ATTRIBUTES);

    for (const auto& v : values)
        put(v.root, v.key, v.name, text("changed by the user"));
    remove(HKEY_CLASSES_ROOT, kContentTypes, "Extension");
    put(HKEY_CLASSES_ROOT, "Access.Project", "", text("created after the capture"));

    run("-LOGGING -RESTORE");
    for (const auto& v : values)
        EXPECT_EQ(get(v.root, v.key, v.name), v.captured) << v.key << " / '" << v.name << "'";
    EXPECT_EQ(get(HKEY_CLASSES_ROOT, "Access.Project", ""), text("created after the capture"));
    EXPECT_EQ(captureFileAttributes(), INVALID_FILE_ATTRIBUTES) << "-RESTORE deletes the file";
    EXPECT_NE(readFile(logFilePath()).find("\r\n-restore\r\n"), std::string::npos);

    // A second restore has no file: nothing changes.
    put(HKEY_CLASSES_ROOT, kCurVer, "", text("Access.Application.16"));
    run("-RESTORE");
    EXPECT_EQ(get(HKEY_CLASSES_ROOT, kCurVer, ""), text("Access.Application.16"));
}

TEST_F(CaptureRestore, CaptureWithRestoreCapturesOnly) {
    put(HKEY_CLASSES_ROOT, kCurVer, "", text("Access.Application.10"));
    run("-CAPTURE");
    put(HKEY_CLASSES_ROOT, kCurVer, "", text("Access.Application.11"));
    run("-CAPTURE -RESTORE");
    EXPECT_EQ(get(HKEY_CLASSES_ROOT, kCurVer, ""), text("Access.Application.11")) << "nothing was restored";
    ASSERT_NE(captureFileAttributes(), INVALID_FILE_ATTRIBUTES) << "the file is kept";

    put(HKEY_CLASSES_ROOT, kCurVer, "", text("Access.Application.12"));
    run("-RESTORE");
    EXPECT_EQ(get(HKEY_CLASSES_ROOT, kCurVer, ""), text("Access.Application.11")) << "the second capture counts";
}

TEST_F(CaptureRestore, RestoreWaitsWhileAccessRuns) {
    // A 64-bit Access is told apart by its program's file name: its modules cannot be listed from
    // here. File names ignore case, so an msaccess.exe in lower case is Access too.
    InstalledFile lowerCase(standinAccessPath(), binFolder() + "standins-lower\\msaccess.exe");
    ASSERT_TRUE(lowerCase.installed());
    for (const std::string& standin : {standinAccessPath(), standinAccess64Path(), lowerCase.path()}) {
        SCOPED_TRACE(standin);
        ASSERT_TRUE(fileExistsAt(standin)) << standin;
        put(HKEY_CLASSES_ROOT, kCurVer, "", text("Access.Application.10"));
        run("-CAPTURE");
        put(HKEY_CLASSES_ROOT, kCurVer, "", text("Access.Application.16"));

        // A stand-in named MSACCESS.EXE that shows no window and stays until it is ended.
        SetEnvironmentVariableA("STANDIN_RECORD", "");
        SetEnvironmentVariableA("STANDIN_WINDOW", "none");
        SetEnvironmentVariableA("STANDIN_LIFETIME", "infinite");
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info = {};
        std::string commandLine = "\"" + standin + "\"";
        const BOOL started = CreateProcessA(standin.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                                            nullptr, &startup, &info);
        for (const char* name : {"STANDIN_RECORD", "STANDIN_WINDOW", "STANDIN_LIFETIME"})
            SetEnvironmentVariableA(name, nullptr);
        ASSERT_TRUE(started);
        UniqueKernelHandle access(info.hProcess);
        UniqueKernelHandle accessThread(info.hThread);
        for (int i = 0; i < 100 && !isAccessRunning(); ++i)
            Sleep(50);
        ASSERT_TRUE(isAccessRunning()) << "the stand-in is not seen as MSACCESS.EXE";

        LauncherProcess launcher("Mallowbrook.exe", "-RESTORE");
        ASSERT_TRUE(launcher.started());
        MessageBoxDriver boxes(launcher.id());
        for (int round = 1; round <= 2; ++round) {
            MessageBoxInfo box;
            ASSERT_TRUE(boxes.waitForBox(box)) << "round " << round;
            EXPECT_EQ(box.title, "MSAccess is running") << "round " << round;
            EXPECT_EQ(box.text, "Please close down Access and then click OK to continue.") << "round " << round;
            EXPECT_EQ(box.buttons, std::vector<std::string>({"OK"})) << "round " << round;
            // The box asks for no icon (MB_OK alone); Wine still leaves its icon control visible, so
            // the icon is not checked here.
            // The values are written before the question.
            EXPECT_EQ(get(HKEY_CLASSES_ROOT, kCurVer, ""), text("Access.Application.10")) << "round " << round;
            if (round == 2) {
                TerminateProcess(access.get(), 0);
                ASSERT_EQ(WaitForSingleObject(access.get(), 5000), WAIT_OBJECT_0);
            }
            MessageBoxDriver::press(box, IDOK);
        }
        ASSERT_TRUE(launcher.waitForExit());
        EXPECT_EQ(launcher.exitCode(), 0u);
    }
}

// What a 64-bit Access reads lives in the 64-bit view of the keys WOW64 keeps apart; the file
// brings back both views' values, each exactly, and the "win64" object library path.
TEST_F(CaptureRestore, A64BitInstallsValuesComeBackExactly) {
    AccessInstall access(2016, AccessKind::Runtime64);
    ASSERT_TRUE(access.installed());
    const char kServer[] = "CLSID\\{73A4C9C1-D68D-11D0-98BF-00A0C90DC8D9}\\LocalServer32";
    const char kInterface[] = "Interface\\{C547E760-9658-101B-81EE-00AA004750E2}\\TypeLib";
    const char kWin64[] = "TypeLib\\{4AFFC9A0-5F99-101B-AF4E-00AA003F0F07}\\9.0\\0\\win64";
    std::vector<std::unique_ptr<ScratchKey>> owned;
    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        owned.push_back(std::make_unique<ScratchKey>(HKEY_CLASSES_ROOT, kServer, view));
        owned.push_back(std::make_unique<ScratchKey>(HKEY_CLASSES_ROOT, kInterface, view));
    }
    owned.push_back(std::make_unique<ScratchKey>(HKEY_LOCAL_MACHINE, kOfficeCommon, KEY_WOW64_64KEY));
    owned.push_back(std::make_unique<ScratchKey>(HKEY_CLASSES_ROOT, kWin64));
    const struct {
        HKEY root;
        const char* key;
        const char* name;
        REGSAM view;
        Raw captured;
    } values[] = {
        {HKEY_CLASSES_ROOT, kServer, "", KEY_WOW64_64KEY, text(access.executablePath())},
        {HKEY_CLASSES_ROOT, kServer, "", KEY_WOW64_32KEY, text("C:\\Office 32\\MSACCESS.EXE")},
        {HKEY_CLASSES_ROOT, kInterface, "Version", KEY_WOW64_64KEY, {REG_EXPAND_SZ, std::string("9.0\0", 4)}},
        {HKEY_CLASSES_ROOT, kInterface, "Version", KEY_WOW64_32KEY, text("8.0")},
        {HKEY_LOCAL_MACHINE, kOfficeCommon, "LastAccessInstall", KEY_WOW64_64KEY, number(16)},
        {HKEY_LOCAL_MACHINE, kOfficeCommon, "LastAccessInstall", KEY_WOW64_32KEY, number(11)},
        {HKEY_CLASSES_ROOT, kWin64, "", 0, text(access.folder() + "\\MSACC.OLB")},
    };
    for (const auto& v : values)
        put(v.root, v.key, v.name, v.captured, v.view);
    run("-CAPTURE");
    for (const auto& v : values)
        put(v.root, v.key, v.name, number(7), v.view);

    run("-LOGGING -RESTORE");
    for (const auto& v : values)
        EXPECT_EQ(get(v.root, v.key, v.name, v.view), v.captured)
            << v.key << " / '" << v.name << "'" << (v.view == KEY_WOW64_64KEY ? " (64-bit view)" : "");
    EXPECT_EQ(captureFileAttributes(), INVALID_FILE_ATTRIBUTES) << readFile(logFilePath());
}
