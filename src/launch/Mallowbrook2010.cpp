#include "launch/Mallowbrook2010.h"

std::string Mallowbrook2010::switchCurVer(const std::string& accessFolder) {
    const std::string progId = accessEdition().progId;
    applyLanguage();
    setLastAccessInstall(accessEdition().lastAccessInstall);
    registerAceCore();
    ensureObjectLibrary(accessFolder);
    writeCurVer(progId);
    trustDatabaseFolder();
    suppressFirstRunOptIn();
    repairComponentPaths(accessFolder);
    return progId;
}
