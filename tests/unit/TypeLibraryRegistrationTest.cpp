#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "log/StringLog.h"
#include "registry/RegistryAccessor.h"
#include "support/LauncherProcess.h"
#include "support/ScratchKey.h"

namespace {

// The identity given in tests/support/typelib/Sample.idl.
const char kLibraryKey[] = "TypeLib\\{7D3B2C41-58E6-4A0F-9B2D-1C6E4F8A3B75}";

std::string stringAt(const ScratchKey& key, const std::string& relative, const std::string& name) {
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!key.getRaw(relative, name, type, data) || type != REG_SZ)
        return "(missing)";
    return std::string(reinterpret_cast<const char*>(data.data()));
}

}  // namespace

TEST(TypeLibraryRegistration, RegistersTheLibraryUnderItsPath) {
    const std::string path = binFolder() + "testdata\\Sample.tlb";
    ASSERT_TRUE(fileExistsAt(path)) << path;
    ScratchKey library(HKEY_CLASSES_ROOT, kLibraryKey);
    ASSERT_FALSE(library.exists(""));

    StringLog log;
    EXPECT_TRUE(RegistryAccessor(&log).registerTypeLibrary(path));
    EXPECT_EQ(log.lines(), std::vector<std::string>({"Registering dll:" + path}));
    EXPECT_EQ(stringAt(library, "1.2", ""), "Mallowbrook sample type library");
    EXPECT_EQ(stringAt(library, "1.2\\0\\win32", ""), path);
}

TEST(TypeLibraryRegistration, FailsForFilesThatAreNoTypeLibrary) {
    StringLog log;
    RegistryAccessor accessor(&log);
    const struct {
        const char* name;
        std::string path;
    } cases[] = {
        {"missing file", binFolder() + "testdata\\NoSuch.tlb"},
        {"not a type library", binFolder() + "testdata"},
        {"empty path", ""},
        // Converted into the 2048-unit buffer it would be cut and left without its terminating NUL.
        {"too long for the buffer", binFolder() + "testdata\\Sample.tlb" + std::string(2048, '\\')},
    };
    for (const auto& c : cases)
        EXPECT_FALSE(accessor.registerTypeLibrary(c.path)) << c.name;
    EXPECT_EQ(log.lines().size(), 4u);
}
