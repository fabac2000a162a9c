#include "environment/LanguageSettings.h"

#include <windows.h>

namespace {

// Recorded where the -LANG choice lasts only for the launch.
const char* const kLanguageValues[] = {"UILanguage", "HelpLanguage", "FollowSystemUI"};

}  // namespace

std::string languageResourcesKey(const std::string& officeVersion) {
    return "Software\\Microsoft\\Office\\" + officeVersion + "\\Common\\LanguageResources";
}

void addLanguageValues(RestoreSet& restoreSet, const std::string& officeVersion) {
    for (const char* value : kLanguageValues)
        restoreSet.add(HKEY_CURRENT_USER, languageResourcesKey(officeVersion), value);
}

void applyLanguage(const RegistryAccessor& registry, const std::string& officeVersion, int languageId) {
    const std::string key = languageResourcesKey(officeVersion);
    registry.setDword(HKEY_CURRENT_USER, key, "UILanguage", static_cast<DWORD>(languageId));
    registry.setDword(HKEY_CURRENT_USER, key, "HelpLanguage", static_cast<DWORD>(languageId));
    registry.setString(HKEY_CURRENT_USER, key, "FollowSystemUI", "Off", true);
}
