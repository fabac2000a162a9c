#include "environment/ComServerRegistration.h"

#include "base/PathText.h"
#include "environment/ComponentPathTable.h"

void writeAceCorePath(const RegistryAccessor& registry, const std::string& sharedFolder) {
    registry.setString(HKEY_LOCAL_MACHINE, kAceCoreComponentKey, kAceCoreComponentValue,
                       joinPath(sharedFolder, kAceCoreFileName), true);
}

void writeComponentPaths(const RegistryAccessor& registry, const std::string& accessFolder,
                         const std::string& sharedFolder) {
    for (const ComponentPathRow& row : kComponentPathRows)
        registry.setString(HKEY_LOCAL_MACHINE, componentPathKey(row), "",
                           componentPathValue(row, accessFolder, sharedFolder), false);
}
