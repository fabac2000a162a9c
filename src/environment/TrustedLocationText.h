#pragma once
#include <string>

// "Software\Microsoft\Office\<n>.0\Access\Security\Trusted Locations" of an edition, under
// HKEY_CURRENT_USER. Throws std::runtime_error for an edition that has no trusted locations.
std::string trustedLocationsKey(int edition);

// True when two folder texts name the same trusted location: each with a trailing "\",
// letters A to Z compared without regard to case, nothing else normalised.
bool sameTrustedFolder(const std::string& first, const std::string& second);

// The folder a launch of this database trusts: the text before the last "\", or empty when
// the path names no folder (a bare file name must not become a trusted location).
std::string databaseFolderToTrust(const std::string& databasePath);
