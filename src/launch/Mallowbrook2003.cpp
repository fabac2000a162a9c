#include "launch/Mallowbrook2003.h"

namespace {

// What Access 2003 assumes when the level was never set.
const DWORD kDefaultSecurityLevel = 2;
// Low: the database's macros run without the security prompt.
const DWORD kLaunchSecurityLevel = 1;

}  // namespace

std::string Mallowbrook2003::securityKey() const {
    return std::string("Software\\Microsoft\\Office\\") + accessEdition().officeVersion + "\\Access\\Security";
}

std::string Mallowbrook2003::switchCurVer(const std::string& accessFolder) {
    const std::string progId = accessEdition().progId;
    setLastAccessInstall(accessEdition().lastAccessInstall);
    ensureObjectLibrary(accessFolder);
    writeCurVer(progId);
    registerOfficeTypeLibrary();
    setHtmlEditor(accessFolder);

    LONG status = 0;
    savedSecurityLevel = registry.getDword(securityKey(), "Level", &status);
    if (status != 0)
        savedSecurityLevel = kDefaultSecurityLevel;
    securityLevelSaved = true;
    registry.setDword(HKEY_CURRENT_USER, securityKey(), "Level", kLaunchSecurityLevel);

    setIgnoreDdeRequests();
    return progId;
}

void Mallowbrook2003::finishRun() {
    if (securityLevelSaved)
        registry.setDword(HKEY_CURRENT_USER, securityKey(), "Level", savedSecurityLevel);
}
