#include "discovery/BasicAccessRuntime.h"

#include <memory>
#include <stdexcept>
#include <vector>

#include "base/PathText.h"
#include "discovery/InstallerPath.h"

namespace {

const char kInstallerKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer";

}  // namespace

BasicAccessRuntime::BasicAccessRuntime(ILog* log, const AccessEdition& edition) : registry(log), edition_(edition) {}

std::vector<RuntimeInstall> BasicAccessRuntime::find(int, bool) {
    const std::string path = repairInstallerPath(searchInstallerComponents(packedComponentCode(), packedProductCode()));
    if (path.empty())
        return {};
    return {RuntimeInstall{path, "x86", ""}};
}

std::string BasicAccessRuntime::searchInstallerComponents(const std::string& component,
                                                          const std::string& product) const {
    const std::string installer = kInstallerKey;
    // Enumerated before anything is read. A system without Installer data has no runtime
    // installed either: the launch goes on with the full install, if there is one.
    const std::string userData = joinPath(installer, "UserData");
    std::shared_ptr<std::vector<std::string>> users;
    try {
        users = registry.getSubkeys(HKEY_LOCAL_MACHINE, userData);
    } catch (const std::runtime_error&) {
        return std::string();
    }
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

// Windows Installer keeps its component data in the 64-bit view of a 64-bit system; the 32-bit
// view is read after it for systems and tools that put it there.
std::string BasicAccessRuntime::readComponentValue(const std::string& key, const std::string& product) const {
    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        LONG error = 0;
        std::string value = registry.getString(HKEY_LOCAL_MACHINE, key, product, &error, view);
        if (error == 0 && !value.empty())
            return value;
        // Another product that shares the component registered its path here.
        std::string name;
        if (registry.getFirstStringValue(HKEY_LOCAL_MACHINE, key, name, value, view))
            return value;
    }
    return std::string();
}
