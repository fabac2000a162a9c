// The launcher's side of the permission helper, in process. The test program carries no helper
// resource, which shows the error for a launcher built without one; writing and starting the
// real helper is shown end to end (e2e/PermissionRepairTest.cpp).
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <stdexcept>
#include <string>

#include "environment/PermissionHelper.h"
#include "environment/TemporaryFolder.h"
#include "support/LauncherProcess.h"

namespace {

std::string errorOf(void (*action)()) {
    try {
        action();
    } catch (const std::exception& error) {
        return error.what();
    }
    return "(no error)";
}

// An environment variable changed for one test and put back afterwards.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::string& value) : name_(name) {
        char old[32768] = {};
        existed_ = GetEnvironmentVariableA(name, old, sizeof(old)) > 0;
        old_ = old;
        SetEnvironmentVariableA(name, value.c_str());
    }
    ~ScopedVariable() { SetEnvironmentVariableA(name_, existed_ ? old_.c_str() : nullptr); }

private:
    const char* name_;
    bool existed_ = false;
    std::string old_;
};

std::string scratchPath(const char* name) {
    return temporaryFolder() + name;
}

}  // namespace

TEST(TemporaryFolder, IsTheSystemsFolderEndingInABackslash) {
    char expected[MAX_PATH + 1] = {};
    GetTempPathA(sizeof(expected), expected);
    const std::string folder = temporaryFolder();
    EXPECT_EQ(folder, expected);
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '\\');
}

bool runsUnderWine() {
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

TEST(TemporaryFolder, APathLongerThanTheBufferIsAnError) {
    ScopedVariable tmp("TMP", "C:\\" + std::string(300, 'x'));
    const std::string error = errorOf([] { temporaryFolder(); });
    if (runsUnderWine()) {
        // Wine's GetTempPathA gives no length for a folder longer than MAX_PATH but fails, which
        // shows the other error: the system's text for the failure.
        EXPECT_EQ(error, "File name is too long.\r\n");
    } else {
        EXPECT_EQ(
            error,
            "GetTempPath returned a path larger than MAX_PATH + 1, which the documentation says it shouldn't do.");
    }
}

TEST(PermissionHelper, ExistsOnlyForAFile) {
    const std::string file = scratchPath("MallowbrookHelperExists.bin");
    const std::string folder = scratchPath("MallowbrookHelperExistsFolder");
    std::ofstream(file) << "x";
    CreateDirectoryA(folder.c_str(), nullptr);
    EXPECT_TRUE(PermissionHelper(file).exists());
    EXPECT_FALSE(PermissionHelper(folder).exists());
    EXPECT_FALSE(PermissionHelper(scratchPath("MallowbrookHelperMissing.bin")).exists());
    EXPECT_FALSE(PermissionHelper("").exists());
    removeFile(file);
    RemoveDirectoryA(folder.c_str());
}

TEST(PermissionHelper, DestroyingItDeletesTheFileButNeverAFolder) {
    const std::string file = scratchPath("MallowbrookHelperDelete.bin");
    const std::string folder = scratchPath("MallowbrookHelperDeleteFolder");
    std::ofstream(file) << "x";
    CreateDirectoryA(folder.c_str(), nullptr);
    { PermissionHelper helper(file); }
    { PermissionHelper helper(folder); }
    EXPECT_FALSE(fileExistsAt(file));
    EXPECT_TRUE(fileExistsAt(folder));
    RemoveDirectoryA(folder.c_str());
}

TEST(PermissionHelper, WithoutTheResourceNothingIsWrittenOrStarted) {
    const std::string path = scratchPath("MallowbrookHelperNoResource.exe");
    removeFile(path);
    static std::string target;
    target = path;
    EXPECT_EQ(errorOf([] { PermissionHelper(target).extract(); }),
              "Couldn't read resource data for MallowbrookPermissions.");
    EXPECT_EQ(errorOf([] { PermissionHelper(target).run(false); }),
              "Couldn't read resource data for MallowbrookPermissions.");
    EXPECT_FALSE(fileExistsAt(path));
}
