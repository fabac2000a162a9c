#include "launch/MallowbrookPost2007.h"

#include "base/AsciiCase.h"

std::string MallowbrookPost2007::switchCurVerFrom2013(const std::string& accessFolder) {
    const std::string progId = accessEdition().progId;
    applyLanguage();
    setLastAccessInstall(accessEdition().lastAccessInstall);
    ensureObjectLibrary(accessFolder);
    writeCurVer(progId);
    trustDatabaseFolder();
    suppressFirstRunOptIn();
    repairComponentPaths(accessFolder);
    return progId;
}

void MallowbrookPost2007::writeCurVer(const std::string& value) {
    Mallowbrook::writeCurVer(value);
    if (equalsIgnoringAsciiCase(readCurVer(), value))
        return;
    if (askToRepairPermissions())
        Mallowbrook::writeCurVer(value);
}
