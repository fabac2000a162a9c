#include "environment/RegistryDefaults.h"

namespace {

// Import filters whose progress dialog would show up in front of Access.
const char* const kGraphicsFilters[] = {"GIF", "JPEG", "PICT", "TIFF"};

// Old DDE open commands that would send a double-clicked database to the wrong Access.
const char* const kDdeCommandKeys[] = {
    "Access.Application.8\\shell\\open\\ddeexec",
    "Access.Application.9\\shell\\open\\ddeexec",
    "Access.Application.10\\shell\\open\\ddeexec",
    "Access.Application.11\\shell\\open\\ddeexec",
};

}  // namespace

void setGraphicsFilterDefaults(const RegistryAccessor& registry) {
    for (const char* filter : kGraphicsFilters)
        registry.setString(
            HKEY_CURRENT_USER,
            std::string("Software\\Microsoft\\Shared Tools\\Graphics Filters\\Import\\") + filter + "\\Options",
            "ShowProgressDialog", "No", true);
}

void removeDdeCommands(const RegistryAccessor& registry) {
    for (const char* key : kDdeCommandKeys)
        registry.deleteKey(key);
}

void setLastAccessInstall(const RegistryAccessor& registry, DWORD number) {
    registry.setDword(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Office\\Common", "LastAccessInstall", number);
}

std::string readCurVer(const RegistryAccessor& registry) {
    return registry.getString(HKEY_CLASSES_ROOT, kCurVerKey, "");
}

void writeCurVer(const RegistryAccessor& registry, const std::string& value) {
    registry.setString(HKEY_CLASSES_ROOT, kCurVerKey, "", value, true);
}

void setHtmlEditor(const RegistryAccessor& registry, const std::string& accessFolder) {
    const std::string program = "\"" + accessFolder + "\\msohtmed.exe\"";
    // Only where HTML files already have these verbs: the keys are not created.
    registry.setString(HKEY_CLASSES_ROOT, "htmlfile\\shell\\print\\command", "", program + " /p %1", false);
    registry.setString(HKEY_CLASSES_ROOT, "htmlfile\\shell\\edit\\command", "", program + " %1", false);
}

void suppressFirstRunOptIn(const RegistryAccessor& registry, const std::string& officeVersion) {
    registry.setDword(HKEY_CURRENT_USER, "Software\\Microsoft\\Office\\" + officeVersion + "\\Common\\General",
                      "ShownFirstRunOptIn", 1);
}
