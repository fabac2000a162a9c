#include "environment/TrustAssessment.h"

#include <windows.h>

#include <vector>

#include "base/PathText.h"
#include "discovery/AccessEditions.h"
#include "environment/TrustedLocationText.h"
#include "registry/RegistryAccessor.h"
#include "registry/RegistryPrimitives.h"

namespace {

// Policy keys are read by Office in either hive; the user's policy is asked first.
const HKEY kPolicyHives[] = {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE};

// Policy tools write locations such as "%USERPROFILE%\Apps"; Office expands them.
std::string expanded(const std::string& text) {
    char buffer[MAX_PATH * 4] = {};
    const DWORD length = ExpandEnvironmentStringsA(text.c_str(), buffer, sizeof buffer);
    return length == 0 || length > sizeof buffer ? text : std::string(buffer);
}

bool setByPolicy(const std::string& key, const std::string& folder) {
    for (HKEY hive : kPolicyHives) {
        std::vector<std::string> names;
        readSubkeyNames(hive, key, names);
        for (const std::string& name : names) {
            const std::string location = joinPath(key, name);
            std::string path;
            if (readStringValue(hive, location, "Path", path) != ERROR_SUCCESS)
                continue;
            DWORD subfolders = 0;
            const bool allowSubfolders =
                readDwordValue(hive, location, "AllowSubfolders", subfolders) == ERROR_SUCCESS && subfolders != 0;
            if (locationCoversFolder(expanded(path), allowSubfolders, folder))
                return true;
        }
    }
    return false;
}

}  // namespace

FolderKind folderKindOf(const std::string& folder) {
    const FolderPlace place = placeOfFolder(folder);
    if (place.unc)
        return FolderKind::NetworkShare;
    if (!place.driveRoot.empty() && GetDriveTypeA(place.driveRoot.c_str()) == DRIVE_REMOTE)
        return FolderKind::NetworkDrive;
    return FolderKind::Local;
}

TrustPolicy readTrustPolicy(int edition, const std::string& folder) {
    trustedLocationsKey(edition);  // throws for an edition without trusted locations
    const std::string officeVersion = findAccessEdition(edition)->officeVersion;
    TrustPolicy policy;
    for (int i = 0; i < kTrustPolicyRuleCount; ++i) {
        const TrustPolicyRule& rule = kTrustPolicyRules[i];
        const std::string key = trustPolicyKey(officeVersion, rule.area);
        for (HKEY hive : kPolicyHives) {
            DWORD number = 0;
            if (readDwordValue(hive, key, rule.valueName, number) != ERROR_SUCCESS)
                continue;
            policy.values[i] = {true, number,
                                RegistryAccessor::hiveName(hive) + "\\" + key + " [" + rule.valueName + "]"};
            break;
        }
    }
    policy.folderSetByPolicy = setByPolicy(trustPolicyKey(officeVersion, "Access"), folder);
    return policy;
}

TrustVerdict assessTrust(int edition, const std::string& folder) {
    const TrustPolicy policy = readTrustPolicy(edition, folder);
    return decideTrust(folderKindOf(folder), policy);
}
