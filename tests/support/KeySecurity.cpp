#include "KeySecurity.h"

#include <sddl.h>

#include <cstdio>

#include "base/UniqueHandle.h"

namespace {

std::string daclText(PSECURITY_DESCRIPTOR descriptor) {
    char* text = nullptr;
    if (!ConvertSecurityDescriptorToStringSecurityDescriptorA(descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION,
                                                              &text, nullptr))
        return "(unreadable)";
    UniqueLocalMemory owner(text);
    return text;
}

}  // namespace

std::string KeySecurity::dacl(HKEY root, const std::string& path) {
    UniqueKey key;
    if (RegOpenKeyExA(root, path.c_str(), 0, READ_CONTROL, key.put()) != ERROR_SUCCESS)
        return "(unreadable)";
    DWORD size = 0;
    RegGetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, nullptr, &size);
    std::string buffer(size, '\0');
    if (size == 0 || RegGetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, &buffer[0], &size) != ERROR_SUCCESS)
        return "(unreadable)";
    return daclText(&buffer[0]);
}

namespace {

bool setSecurity(HKEY root, const std::string& path, const std::string& sddl, REGSAM access,
                 SECURITY_INFORMATION part) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr))
        return false;
    UniqueLocalMemory owner(descriptor);
    UniqueKey key;
    if (RegOpenKeyExA(root, path.c_str(), 0, access, key.put()) != ERROR_SUCCESS)
        return false;
    return RegSetKeySecurity(key.get(), part, descriptor) == ERROR_SUCCESS;
}

}  // namespace

bool KeySecurity::setDacl(HKEY root, const std::string& path, const std::string& sddl) {
    return setSecurity(root, path, sddl, WRITE_DAC, DACL_SECURITY_INFORMATION);
}

bool KeySecurity::setOwner(HKEY root, const std::string& path, const std::string& sddl) {
    return setSecurity(root, path, sddl, WRITE_OWNER, OWNER_SECURITY_INFORMATION);
}

std::string KeySecurity::normalize(const std::string& sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr))
        return "(bad SDDL: " + sddl + ")";
    UniqueLocalMemory owner(descriptor);
    return daclText(descriptor);
}

std::string KeySecurity::rightsText(DWORD mask) {
    char text[16];
    std::snprintf(text, sizeof(text), "0x%lx", static_cast<unsigned long>(mask));
    return text;
}
