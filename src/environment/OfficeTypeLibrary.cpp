#include "environment/OfficeTypeLibrary.h"

#include <windows.h>

#include "base/AsciiCase.h"
#include "discovery/PathHelpers.h"

namespace {

const char kOfficeTypeLibraryKey[] = "TypeLib\\{2DF8D04C-5BFA-101B-BDE5-00AA0044DE52}\\";

}  // namespace

void registerOfficeTypeLibrary(const RegistryAccessor& registry, const AccessEdition& edition) {
    if (edition.officeTypeLibraryVersion == nullptr)
        return;
    const std::string key = std::string(kOfficeTypeLibraryKey) + edition.officeTypeLibraryVersion;
    if (!registry.getString(HKEY_CLASSES_ROOT, key + "\\0\\win32", "").empty())
        return;  // already registered
    const std::string path =
        joinPath(commonFilesFolder(), std::string("Microsoft Shared\\") + edition.sharedFolder + "\\mso.dll");
    if (!fileExists(path))
        return;
    registry.setString(HKEY_CLASSES_ROOT, key, "", edition.officeTypeLibraryDescription, true);
    registry.setString(HKEY_CLASSES_ROOT, key + "\\0\\win32", "", path, true);
    registry.setString(HKEY_CLASSES_ROOT, key + "\\Flags", "", "0", true);
}

void setIgnoreDdeRequests(const RegistryAccessor& registry, const AccessEdition& edition) {
    // Access answers DDE itself only when double-clicked databases open with this edition.
    const std::string association = registry.getString(HKEY_CLASSES_ROOT, ".mdb", "");
    registry.setDword(HKEY_CURRENT_USER,
                      std::string("Software\\Microsoft\\Office\\") + edition.officeVersion + "\\Access\\Settings",
                      "Ignore DDE Requests", equalsIgnoringAsciiCase(association, edition.progId) ? 0 : 1);
}
