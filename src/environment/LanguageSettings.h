#pragma once
#include <string>

#include "capture/RestoreSet.h"
#include "registry/RegistryAccessor.h"

// Office user-interface and help language, under HKEY_CURRENT_USER.

// "Software\Microsoft\Office\<officeVersion>\Common\LanguageResources".
std::string languageResourcesKey(const std::string& officeVersion);
// Adds the three language values of officeVersion to the values a launch records.
void addLanguageValues(RestoreSet& restoreSet, const std::string& officeVersion);
// Sets the user-interface and help language to a language id and stops Office following the system's.
void applyLanguage(const RegistryAccessor& registry, const std::string& officeVersion, int languageId);
