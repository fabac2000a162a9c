#pragma once
#include <string>

#include "discovery/AccessEditions.h"
#include "discovery/IAccessRuntime.h"
#include "log/ILog.h"
#include "registry/RegistryAccessor.h"

// Access 2002 and 2003 runtimes: read straight from the Installer's component data in
// HKEY_LOCAL_MACHINE, where the path sits under the packed product code.
class BasicAccessRuntime : public IAccessRuntime {
public:
    // The edition row must outlive the locator (the rows of kAccessEditions do).
    BasicAccessRuntime(ILog* log, const AccessEdition& edition);

    // The language is fixed inside the product code, so languageId is not used; these runtimes are
    // x86 programs, and there is one at most. None when the Installer "UserData" key cannot be enumerated.
    std::vector<RuntimeInstall> find(int languageId, bool firstOnly) override;

    // Installer identifiers in their packed registry form (32 hexadecimal digits).
    std::string packedComponentCode() const { return edition_.runtimeComponent; }
    std::string packedProductCode() const { return edition_.runtimeProduct; }

protected:
    // The legacy Components key first, then each user's under UserData, in enumeration order.
    std::string searchInstallerComponents(const std::string& component, const std::string& product) const;
    // The product's value; failing that, the first string value of whatever product.
    std::string readComponentValue(const std::string& key, const std::string& product) const;

    RegistryAccessor registry;
    const AccessEdition& edition_;
};
