#include "environment/TrustedLocations.h"

#include <objbase.h>

#include <cstdlib>
#include <stdexcept>

#include "base/PathText.h"
#include "environment/TrustedLocationText.h"

namespace {

constexpr char kPathValue[] = "Path";
constexpr char kAllowSubfoldersValue[] = "AllowSubfolders";
constexpr char kAllowNetworkLocationsValue[] = "AllowNetworkLocations";

}  // namespace

bool SetTrustedFolderLocation(const RegistryAccessor& registry, const std::string& folder, bool includeSubfolders,
                              int edition) {
    const std::string key = trustedLocationsKey(edition);
    ILog* log = registry.log();
    if (log->IsEnabled())
        log->WriteLine("SetTrustedFolderLocation: " + key);
    // A missing key is created here; whether that worked shows in the enumeration below.
    registry.ensureUserKey(key);
    const auto subkeyNames = registry.getSubkeys(HKEY_CURRENT_USER, key);
    if (!findTrustedLocation(registry, folder, key, *subkeyNames))
        addTrustedLocation(registry, folder, includeSubfolders, key);
    return true;
}

bool findTrustedLocation(const RegistryAccessor& registry, const std::string& folder, const std::string& key,
                         const std::vector<std::string>& subkeyNames) {
    for (const std::string& name : subkeyNames) {
        LONG error = ERROR_SUCCESS;
        const std::string path = registry.getString(HKEY_CURRENT_USER, joinPath(key, name), kPathValue, &error);
        if (error != ERROR_SUCCESS)
            continue;
        if (sameTrustedFolder(folder, path))
            return true;
    }
    return false;
}

void addTrustedLocation(const RegistryAccessor& registry, const std::string& folder, bool includeSubfolders,
                        const std::string& key) {
    const std::string guid = newGuidString();
    if (guid.empty())
        throw std::runtime_error("Couldn't make a GUID for new trusted folder.");
    const std::string subkey = joinPath(key, guid);
    registry.setString(HKEY_CURRENT_USER, subkey, kPathValue, ensureTrailingBackslash(folder), true);
    if (includeSubfolders)
        registry.setDword(HKEY_CURRENT_USER, subkey, kAllowSubfoldersValue, 1);
}

bool allowNetworkLocations(const RegistryAccessor& registry, int edition, LONG* error) {
    const std::string key = trustedLocationsKey(edition);
    LONG readError = ERROR_SUCCESS;
    if (registry.getDword(key, kAllowNetworkLocationsValue, &readError) == 1 && readError == ERROR_SUCCESS) {
        *error = ERROR_SUCCESS;
        return false;
    }
    *error = registry.setDword(HKEY_CURRENT_USER, key, kAllowNetworkLocationsValue, 1);
    return true;
}

std::string newGuidString() {
    GUID guid;
    if (FAILED(CoCreateGuid(&guid)))
        throw std::runtime_error("Failed to create a GUID.");
    wchar_t wide[256] = {};
    if (StringFromGUID2(guid, wide, 256) == 0)
        throw std::runtime_error("Buffer wasn't large enough to hold GUID.");
    char narrow[256] = {};
    size_t converted = 0;
    wcstombs_s(&converted, narrow, sizeof narrow, wide, _TRUNCATE);
    return std::string(narrow);
}
