#include "launch/Mallowbrook2007.h"

#include "discovery/PathHelpers.h"

std::string Mallowbrook2007::switchCurVer(const std::string& accessFolder) {
    const std::string progId = accessEdition().progId;
    applyLanguage();
    setLastAccessInstall(accessEdition().lastAccessInstall);
    registerAceCore();
    ensureObjectLibrary(accessFolder);
    writeCurVer(progId);
    trustDatabaseFolder();
    // Access 2007 ships its wizards as Utility.accda beside MSACCESS.EXE; they must be trusted too.
    if (fileExists(joinPath(accessFolder, "Utility.accda")))
        trustAccessFolder(accessFolder);
    setHtmlEditor(accessFolder);
    repairComponentPaths(accessFolder);
    return progId;
}
