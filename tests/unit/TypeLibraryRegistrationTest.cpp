#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "log/StringLog.h"
#include "registry/RegistryAccessor.h"
#include "registry/TypeLibrary64.h"
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

// Wine's RegisterTypeLib couples the interfaces in both views; a 64-bit Windows program's writes
// its own (64-bit) view, and that is all the launcher may touch.
TEST(TypeLibraryRegistration, A64BitLibraryGetsTheEntriesOfA64BitRegistration) {
    const std::string path = binFolder() + "testdata\\Automation64.tlb";
    ASSERT_TRUE(fileExistsAt(path)) << path;
    const char kLibraryId[] = "{7D3B2C51-58E6-4A0F-9B2D-1C6E4F8A3B75}";
    const char* const kCoupled[] = {"{7D3B2C52-58E6-4A0F-9B2D-1C6E4F8A3B75}",   // dispatch interface
                                    "{7D3B2C53-58E6-4A0F-9B2D-1C6E4F8A3B75}"};  // OLE Automation
    const char kPlain[] = "{7D3B2C54-58E6-4A0F-9B2D-1C6E4F8A3B75}";
    ScratchKey library(HKEY_CLASSES_ROOT, std::string("TypeLib\\") + kLibraryId, KEY_WOW64_64KEY);
    std::vector<std::unique_ptr<ScratchKey>> interfaces;
    for (const char* id : {kCoupled[0], kCoupled[1], kPlain})
        for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY})
            interfaces.push_back(
                std::make_unique<ScratchKey>(HKEY_CLASSES_ROOT, std::string("Interface\\") + id, view));

    StringLog log;
    EXPECT_TRUE(registerTypeLibrary64(RegistryAccessor(&log), path));
    ASSERT_FALSE(log.lines().empty());
    EXPECT_EQ(log.lines().front(), "Registering dll:" + path);
    // version(1.10): keys and values name it in hexadecimal.
    EXPECT_EQ(stringAt(library, "1.a", ""), "Mallowbrook automation type library");
    EXPECT_EQ(stringAt(library, "1.a\\0\\win64", ""), path);
    EXPECT_FALSE(library.exists("1.a\\0\\win32"));
    EXPECT_EQ(stringAt(library, "1.a\\FLAGS", ""), "8");  // widl's libraries have LIBFLAG_FHASDISKIMAGE
    EXPECT_EQ(stringAt(library, "1.a\\HELPDIR", ""), binFolder() + "testdata");
    for (std::size_t i = 0; i < 2; ++i) {
        const ScratchKey& view64 = *interfaces[2 * i];
        EXPECT_EQ(stringAt(view64, "ProxyStubClsid", ""), "{00020424-0000-0000-C000-000000000046}") << kCoupled[i];
        EXPECT_EQ(stringAt(view64, "ProxyStubClsid32", ""), "{00020424-0000-0000-C000-000000000046}") << kCoupled[i];
        EXPECT_EQ(stringAt(view64, "TypeLib", ""), kLibraryId) << kCoupled[i];
        EXPECT_EQ(stringAt(view64, "TypeLib", "Version"), "1.a") << kCoupled[i];
        EXPECT_FALSE(interfaces[2 * i + 1]->exists("")) << kCoupled[i] << " in the 32-bit view";
    }
    EXPECT_EQ(stringAt(*interfaces[0], "", ""), "DSampleEvents");
    EXPECT_FALSE(interfaces[4]->exists("")) << "a plain interface is not coupled";

    // A help folder already registered stays as it is.
    ASSERT_TRUE(library.setString("1.a\\HELPDIR", "", "D:\\Help"));
    EXPECT_TRUE(registerTypeLibrary64(RegistryAccessor(&log), path));
    EXPECT_EQ(stringAt(library, "1.a\\HELPDIR", ""), "D:\\Help");
    EXPECT_FALSE(registerTypeLibrary64(RegistryAccessor(&log), binFolder() + "testdata\\NoSuch.tlb"));
}
