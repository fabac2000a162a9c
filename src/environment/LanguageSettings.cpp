#include "environment/LanguageSettings.h"

#include <windows.h>

void applyLanguage(const RegistryAccessor& registry, const std::string& officeVersion, int languageId) {
    const std::string key = languageResourcesKey(officeVersion);
    registry.setDword(HKEY_CURRENT_USER, key, "UILanguage", static_cast<DWORD>(languageId));
    registry.setDword(HKEY_CURRENT_USER, key, "HelpLanguage", static_cast<DWORD>(languageId));
    registry.setString(HKEY_CURRENT_USER, key, "FollowSystemUI", "Off", true);
}
