#pragma once
#include <windows.h>

#include <string>

// The DACL of a registry key as SDDL text, read and written with the Windows functions, so that
// tests can set up and check key permissions. Texts are compared after normalize(), which lets
// the system render them, so that spelling differences ("KA" or "0xf003f") do not matter.
class KeySecurity {
public:
    // The key's DACL ("D:..."); "(unreadable)" when the key cannot be read.
    static std::string dacl(HKEY root, const std::string& path);
    static bool setDacl(HKEY root, const std::string& path, const std::string& sddl);
    // sddl names the owner alone: "O:SY".
    static bool setOwner(HKEY root, const std::string& path, const std::string& sddl);
    static std::string normalize(const std::string& sddl);
    // An access mask as SDDL writes a number of its own: "0x3001f".
    static std::string rightsText(DWORD mask);
};
