// Which keys a 64-bit Windows keeps apart per view; no Windows calls, so it also runs natively.
#include <gtest/gtest.h>

#include "registry/Wow64Redirection.h"

TEST(Wow64Redirection, ClassKeysAndMachineSoftwareAreKeptApart) {
    const struct {
        Hive hive;
        const char* key;
        bool redirected;
    } cases[] = {
        {Hive::ClassesRoot, "CLSID\\{73A4C9C1-D68D-11D0-98BF-00A0C90DC8D9}\\LocalServer32", true},
        {Hive::ClassesRoot, "\\Interface\\{C547E760-9658-101B-81EE-00AA004750E2}\\TypeLib", true},
        {Hive::ClassesRoot, "CLSIDX", false},
        {Hive::ClassesRoot, "TypeLib\\{4AFFC9A0-5F99-101B-AF4E-00AA003F0F07}\\9.0\\0\\win64", false},
        {Hive::ClassesRoot, "Access.Application\\CurVer", false},
        {Hive::LocalMachine, "SOFTWARE\\Classes\\CLSID\\{252BFDA2-4B21-4872-ABA3-043945949BF8}\\InprocServer32", true},
        {Hive::LocalMachine, "SOFTWARE\\Classes\\TypeLib", false},
        {Hive::LocalMachine, "SOFTWARE\\Microsoft\\Office\\Common", true},
        {Hive::LocalMachine, "software\\microsoft\\ole\\x", false},
        {Hive::LocalMachine, "SOFTWARE\\Microsoft\\OLEX", true},
        {Hive::LocalMachine, "SYSTEM\\CurrentControlSet", false},
        {Hive::CurrentUser, "Software\\Classes\\CLSID\\{x}", true},
        {Hive::CurrentUser, "Software\\Microsoft\\Office\\16.0", false},
        {Hive::Users, "S-1-5-21-1\\Software\\Classes\\Interface\\{x}", true},
        {Hive::Users, "S-1-5-21-1_Classes\\CLSID\\{x}", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isRedirectedByWow64(c.hive, c.key), c.redirected) << hiveText(c.hive) << "\\" << c.key;
}
