#include "launch/Mallowbrook2003.h"

namespace {

const char kSecurityKey[] = "Software\\Microsoft\\Office\\11.0\\Access\\Security";
// What Access 2003 assumes when the level was never set.
const DWORD kDefaultSecurityLevel = 2;
// Low: the database's macros run without the security prompt.
const DWORD kLaunchSecurityLevel = 1;

}  // namespace

std::string Mallowbrook2003::switchCurVer(const std::string& accessFolder) {
    const std::string progId = accessEdition().progId;
    setLastAccessInstall(11);
    ensureObjectLibrary(accessFolder);
    writeCurVer(progId);
    registerOfficeTypeLibrary(kOfficeTypeLibrary11);
    setHtmlEditor(accessFolder);

    LONG status = 0;
    savedSecurityLevel = registry.getDword(kSecurityKey, "Level", &status);
    if (status != 0)
        savedSecurityLevel = kDefaultSecurityLevel;
    securityLevelSaved = true;
    registry.setDword(HKEY_CURRENT_USER, kSecurityKey, "Level", kLaunchSecurityLevel);

    setIgnoreDdeRequests();
    return progId;
}

void Mallowbrook2003::finishRun() {
    if (securityLevelSaved)
        registry.setDword(HKEY_CURRENT_USER, kSecurityKey, "Level", savedSecurityLevel);
}
