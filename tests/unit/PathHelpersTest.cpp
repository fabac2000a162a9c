#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>

#include <cstring>
#include <string>

#include "discovery/PathHelpers.h"
#include "registry/RegistryPrimitives.h"
#include "support/LauncherProcess.h"

namespace {

std::string registryCommonFiles() {
    std::string folder;
    readStringValue(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", "CommonFilesDir", folder);
    return folder;
}

}  // namespace

TEST(PathHelpers, FileExistsOnlyForFiles) {
    const std::string folder = binFolder();
    EXPECT_TRUE(fileExists(folder + "unit_tests.exe"));
    EXPECT_FALSE(fileExists(folder));
    EXPECT_FALSE(fileExists(folderPart(folder.substr(0, folder.size() - 1))));
    EXPECT_FALSE(fileExists(folder + "no such file.txt"));
    EXPECT_FALSE(fileExists(""));
}

TEST(PathHelpers, SpecialFolderPathAsksTheShell) {
    char expected[MAX_PATH] = {};
    ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, expected), S_OK);
    char buffer[kFolderBufferSize + 1] = {};
    specialFolderPath(CSIDL_LOCAL_APPDATA, buffer);
    EXPECT_STREQ(buffer, expected);

    char common[MAX_PATH] = {};
    ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILES_COMMON, nullptr, 0, common), S_OK);
    EXPECT_EQ(commonFilesFolder(), common);
    EXPECT_FALSE(commonFilesFolder().empty());
}

TEST(PathHelpers, WithoutTheShellFunctionFallsBackToCommonFilesDir) {
    const std::string fromRegistry = registryCommonFiles();
    ASSERT_FALSE(fromRegistry.empty());
    const struct {
        const char* name;
        const char* library;
        const char* function;
    } cases[] = {
        {"function missing", "shell32.dll", "NoSuchFolderFunctionA"},
        {"library missing", "mallowbrook-no-such-shell.dll", "SHGetFolderPathA"},
    };
    for (const auto& c : cases) {
        // The fallback answers the common files folder whatever folder was asked for.
        char buffer[kFolderBufferSize + 1] = {};
        specialFolderPathFrom(c.library, c.function, CSIDL_LOCAL_APPDATA, buffer);
        EXPECT_EQ(std::string(buffer), fromRegistry) << c.name;
    }
}

TEST(PathHelpers, FolderTextThatDoesNotFitIsNotCut) {
    const struct {
        std::size_t length;
        bool copied;
    } cases[] = {{0, true}, {1, true}, {259, true}, {260, false}, {1000, false}};
    for (const auto& c : cases) {
        char buffer[kFolderBufferSize + 1] = {};
        const std::string folder(c.length, 'f');
        copyFolderText(folder, buffer);
        EXPECT_EQ(std::string(buffer), c.copied ? folder : std::string()) << c.length << " characters";
    }
}
