#pragma once
#include <string>

#include "registry/Hive.h"

// Which keys a 64-bit Windows keeps apart for 32-bit and 64-bit programs (WOW64 "redirected"
// keys), as Microsoft's list of registry keys affected by WOW64 has them since Windows 7:
// HKEY_LOCAL_MACHINE\SOFTWARE save its shared subkeys, and the CLSID, Interface, DirectShow,
// Media Type and MediaFoundation keys of the classes. Everything else (file types, ProgIDs,
// TypeLib, HKEY_CURRENT_USER\Software) is one key seen by both. Pure text.

// True when the key (or a key above it) is redirected. Key names compare without regard to
// ASCII letter case, as the registry compares them; leading backslashes are ignored.
bool isRedirectedByWow64(Hive hive, const std::string& key);
