#include "discovery/BasicAccessRuntime.h"

#include "base/PathText.h"
#include "discovery/InstallerPath.h"

namespace {

const char kInstallerKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer";

}  // namespace

BasicAccessRuntime::BasicAccessRuntime(ILog* log, const AccessEdition& edition) : registry(log), edition_(edition) {}

std::string BasicAccessRuntime::executablePath(int) {
    return repairInstallerPath(searchInstallerComponents(packedComponentCode(), packedProductCode()));
}

std::string BasicAccessRuntime::searchInstallerComponents(const std::string& component,
                                                          const std::string& product) const {
    const std::string installer = kInstallerKey;
    // Enumerated before anything is read: an error here ends the search.
    const std::string userData = joinPath(installer, "UserData");
    auto users = registry.getSubkeys(HKEY_LOCAL_MACHINE, userData);
    std::string value = readComponentValue(joinPath(installer, "Components\\" + component), product);
    if (!value.empty())
        return value;
    for (const auto& user : *users) {
        value = readComponentValue(joinPath(joinPath(userData, user), "Components\\" + component), product);
        if (!value.empty())
            return value;
    }
    return std::string();
}

std::string BasicAccessRuntime::readComponentValue(const std::string& key, const std::string& product) const {
    LONG error = 0;
    std::string value = registry.getString(HKEY_LOCAL_MACHINE, key, product, &error);
    if (error == 0 && !value.empty())
        return value;
    // Another product that shares the component registered its path here.
    std::string name;
    if (registry.getFirstStringValue(HKEY_LOCAL_MACHINE, key, name, value))
        return value;
    return std::string();
}
