#include "discovery/Mallowbrook2013.h"

std::string Mallowbrook2013::switchCurVer(const std::string& accessFolder) {
    const std::string progId = accessEdition().progId;
    applyLanguage();
    setLastAccessInstall(15);
    ensureObjectLibrary(accessFolder);
    writeCurVer(progId);
    trustDatabaseFolder();
    suppressFirstRunOptIn();
    repairComponentPaths(accessFolder);
    return progId;
}
