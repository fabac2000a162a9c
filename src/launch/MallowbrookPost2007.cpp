#include "launch/MallowbrookPost2007.h"

std::string MallowbrookPost2007::switchCurVerFrom2013(const std::string& accessFolder, DWORD lastAccessInstall) {
    const std::string progId = accessEdition().progId;
    applyLanguage();
    setLastAccessInstall(lastAccessInstall);
    ensureObjectLibrary(accessFolder);
    writeCurVer(progId);
    trustDatabaseFolder();
    suppressFirstRunOptIn();
    repairComponentPaths(accessFolder);
    return progId;
}
