#include "launch/Mallowbrook2003.h"

namespace {

// Low: the database's macros run without the security prompt.
const DWORD kLaunchSecurityLevel = 1;

}  // namespace

std::string Mallowbrook2003::switchCurVer(const std::string& accessFolder) {
    const std::string progId = accessEdition().progId;
    setLastAccessInstall(accessEdition().lastAccessInstall);
    ensureObjectLibrary(accessFolder);
    writeCurVer(progId);
    registerOfficeTypeLibrary();
    setHtmlEditor(accessFolder);
    // The level was recorded with the other values, so every put-back, the journal's too, restores it.
    registry.setDword(HKEY_CURRENT_USER, accessEdition().macroSecurityKey, "Level", kLaunchSecurityLevel);
    setIgnoreDdeRequests();
    return progId;
}

void Mallowbrook2003::finishRun() {}
