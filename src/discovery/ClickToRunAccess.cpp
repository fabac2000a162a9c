#include "discovery/ClickToRunAccess.h"

#include "base/PathText.h"
#include "discovery/ClickToRunProducts.h"
#include "discovery/PathHelpers.h"
#include "registry/RegistryAccessor.h"

std::optional<ClickToRunAccess> findClickToRunAccess(ILog* log, const AccessEdition& edition) {
    if (!edition.clickToRunFolder)
        return std::nullopt;
    RegistryAccessor registry(log);
    // Click-to-Run's service is a 64-bit program on a 64-bit system; a 32-bit system has one view.
    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        LONG error = 0;
        const std::string folder =
            registry.getString(HKEY_LOCAL_MACHINE, kClickToRunConfigurationKey, "InstallationPath", &error, view);
        if (error != 0 || folder.empty())
            continue;
        ClickToRunAccess access;
        access.executable = joinPath(joinPath(joinPath(folder, "root"), edition.clickToRunFolder), "MSACCESS.EXE");
        if (!fileExists(access.executable)) {
            if (log->IsEnabled())
                log->WriteLine("Click-to-Run Office has no Access: " + access.executable + " does not exist.");
            continue;
        }
        access.platform =
            registry.getString(HKEY_LOCAL_MACHINE, kClickToRunConfigurationKey, "Platform", nullptr, view);
        access.productReleaseIds =
            registry.getString(HKEY_LOCAL_MACHINE, kClickToRunConfigurationKey, "ProductReleaseIds", nullptr, view);
        access.runtime = isClickToRunRuntime(access.productReleaseIds);
        access.culture =
            registry.getString(HKEY_LOCAL_MACHINE, kClickToRunConfigurationKey, "ClientCulture", nullptr, view);
        if (log->IsEnabled())
            log->WriteLine(std::string("Click-to-Run ") + edition.displayName +
                           (access.runtime ? " runtime" : " full product") + " found: " + access.executable +
                           " (Platform " + access.platform + ", ProductReleaseIds " + access.productReleaseIds + ")");
        return access;
    }
    return std::nullopt;
}
