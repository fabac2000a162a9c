#include "environment/TrustedLocationText.h"

#include <stdexcept>

#include "base/AsciiCase.h"
#include "base/PathText.h"

namespace {

struct EditionTrustedLocations {
    int edition;
    const char* key;
};

constexpr EditionTrustedLocations kTrustedLocationsKeys[] = {
    {2007, "Software\\Microsoft\\Office\\12.0\\Access\\Security\\Trusted Locations"},
    {2010, "Software\\Microsoft\\Office\\14.0\\Access\\Security\\Trusted Locations"},
    {2013, "Software\\Microsoft\\Office\\15.0\\Access\\Security\\Trusted Locations"},
    {2016, "Software\\Microsoft\\Office\\16.0\\Access\\Security\\Trusted Locations"},
};

}  // namespace

std::string trustedLocationsKey(int edition) {
    for (const auto& row : kTrustedLocationsKeys)
        if (row.edition == edition)
            return row.key;
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
