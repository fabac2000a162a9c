#pragma once
#include <string>

#include "environment/RecordedValues.h"
#include "registry/RegistryAccessor.h"

// Office user-interface and help language, under HKEY_CURRENT_USER (languageResourcesKey); a
// launch records the values it sets (recordedRows).
// Sets the user-interface and help language to a language id and stops Office following the system's.
void applyLanguage(const RegistryAccessor& registry, const std::string& officeVersion, int languageId);
