#pragma once
#include <string>
#include <vector>

#include "registry/RegistryAccessor.h"

// Access 2007 and later run code only from trusted locations: subkeys of the edition's
// trusted-locations key under HKEY_CURRENT_USER, each naming a folder in its "Path" value.

// Makes sure folder is a trusted location of the edition, adding one only when no existing
// location names it. Always true; failures to read the key are exceptions.
bool SetTrustedFolderLocation(const RegistryAccessor& registry, const std::string& folder, bool includeSubfolders,
                              int edition);

// True when one of the named subkeys of key has a "Path" naming folder; subkeys without a
// readable "Path" are passed over.
bool findTrustedLocation(const RegistryAccessor& registry, const std::string& folder, const std::string& key,
                         const std::vector<std::string>& subkeyNames);

// A new location under a fresh GUID: "Path" with a trailing "\", and "AllowSubfolders" 1
// only when subfolders are included.
void addTrustedLocation(const RegistryAccessor& registry, const std::string& folder, bool includeSubfolders,
                        const std::string& key);

// Access ignores trusted locations on the network until the user allows them: sets the edition's
// "AllowNetworkLocations" to 1 unless it is 1 already. Like the locations, the setting stays.
// Returns whether it was written, and the write's result in *error.
bool allowNetworkLocations(const RegistryAccessor& registry, int edition, LONG* error);

// A new GUID in registry text form, "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
std::string newGuidString();
