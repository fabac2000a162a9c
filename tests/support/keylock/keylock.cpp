// keylock <root\key> <SDDL>: sets the key's DACL, e.g. "D:(D;;0x2;;;WD)(A;;KA;;;WD)" lets everyone
// read the key but not set its values. Root is HKCR, HKCU or HKLM. Exits 0 on success.
#include <windows.h>

#include <sddl.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "base/UniqueHandle.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: keylock <HKCR|HKCU|HKLM>\\key <SDDL>\n");
        return 2;
    }
    const std::string path = argv[1];
    const size_t slash = path.find('\\');
    const std::string rootName = path.substr(0, slash);
    HKEY root = rootName == "HKCR"   ? HKEY_CLASSES_ROOT
                : rootName == "HKCU" ? HKEY_CURRENT_USER
                : rootName == "HKLM" ? HKEY_LOCAL_MACHINE
                                     : nullptr;
    if (root == nullptr || slash == std::string::npos) {
        std::fprintf(stderr, "keylock: unknown root in %s\n", argv[1]);
        return 2;
    }
    UniqueKey key;
    if (RegOpenKeyExA(root, path.c_str() + slash + 1, 0, WRITE_DAC, key.put()) != ERROR_SUCCESS) {
        std::fprintf(stderr, "keylock: cannot open %s\n", argv[1]);
        return 1;
    }
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(argv[2], SDDL_REVISION_1, &descriptor, nullptr)) {
        std::fprintf(stderr, "keylock: bad SDDL %s\n", argv[2]);
        return 2;
    }
    UniqueLocalMemory owner(descriptor);
    if (RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, descriptor) != ERROR_SUCCESS) {
        std::fprintf(stderr, "keylock: cannot set the permissions of %s\n", argv[1]);
        return 1;
    }
    return 0;
}
