#include "launch/Mallowbrook2002.h"

std::string Mallowbrook2002::switchCurVer(const std::string& accessFolder) {
    const std::string progId = accessEdition().progId;
    ensureObjectLibrary(accessFolder);
    writeCurVer(progId);
    registerOfficeTypeLibrary();
    setIgnoreDdeRequests();
    return progId;
}
