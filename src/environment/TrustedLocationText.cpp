#include "environment/TrustedLocationText.h"

#include <stdexcept>

#include "base/AsciiCase.h"
#include "base/PathText.h"
#include "discovery/AccessEditions.h"

std::string trustedLocationsKey(int edition) {
    const AccessEdition* row = findAccessEdition(edition);
    if (row != nullptr && row->trustedLocationsKey != nullptr)
        return row->trustedLocationsKey;
    throw std::runtime_error("Unexpected Access version. Can't set trusted folder location.");
}

bool sameTrustedFolder(const std::string& first, const std::string& second) {
    return equalsIgnoringAsciiCase(ensureTrailingBackslash(first), ensureTrailingBackslash(second));
}

std::string databaseFolderToTrust(const std::string& databasePath) {
    if (databasePath.find('\\') == std::string::npos)
        return std::string();
    return folderPart(databasePath);
}
