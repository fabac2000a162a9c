#include <windows.h>

#include "launch/MallowbrookPost2007.h"
#include "launch/Mallowbrook.h"

namespace {

std::string languageResourcesKey(const std::string& officeVersion) {
    return "Software\\Microsoft\\Office\\" + officeVersion + "\\Common\\LanguageResources";
}

// For 2007 the -LANG choice lasts only for the launch, so its three values are recorded too.
const char* const kLanguageValues2007[] = {"UILanguage", "HelpLanguage", "FollowSystemUI"};

}  // namespace

void Mallowbrook::saveDefaultSettings() {
    log->WriteLine("Saving default registry settings");
    restoreSet.addFixedValues();
    if (version() == 2007)
        for (const char* value : kLanguageValues2007)
            restoreSet.add(HKEY_CURRENT_USER, languageResourcesKey(accessEdition().officeVersion), value);
    restoreSet.capture();
}

void MallowbrookPost2007::applyLanguage() {
    const int id = settings->languageId;
    if (id == 0)
        return;
    if (log->IsEnabled())
        log->WriteLine(std::to_string(version()) + " - LangCode set to: " + std::to_string(id));
    const std::string key = languageResourcesKey(officeVersion());
    registry.setDword(HKEY_CURRENT_USER, key, "UILanguage", static_cast<DWORD>(id));
    registry.setDword(HKEY_CURRENT_USER, key, "HelpLanguage", static_cast<DWORD>(id));
    registry.setString(HKEY_CURRENT_USER, key, "FollowSystemUI", "Off", true);
}
