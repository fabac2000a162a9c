#include "discovery/Mallowbrook2016.h"

std::string Mallowbrook2016::switchCurVer(const std::string& accessFolder) {
    const std::string progId = accessEdition().progId;
    applyLanguage();
    setLastAccessInstall(16);
    ensureObjectLibrary(accessFolder);
    writeCurVer(progId);
    trustDatabaseFolder();
    suppressFirstRunOptIn();
    repairComponentPaths(accessFolder);
    return progId;
}
