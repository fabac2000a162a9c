#pragma once
#include <string>

#include "environment/TrustVerdict.h"

// What the system says about a folder a launch would make a trusted location of an edition
// (2007 and later): whether it is on the network and whether Office policy voids it. Reads only,
// so a launch and a report of what a launch would do judge alike.

// A UNC path is a network share; otherwise the type of the folder's drive decides.
FolderKind folderKindOf(const std::string& folder);
// The policy values of the edition's Office version, each from HKEY_CURRENT_USER or else
// HKEY_LOCAL_MACHINE, and whether a trusted location set by policy covers the folder.
TrustPolicy readTrustPolicy(int edition, const std::string& folder);
// Both, judged. Throws std::runtime_error for an edition without trusted locations.
TrustVerdict assessTrust(int edition, const std::string& folder);
