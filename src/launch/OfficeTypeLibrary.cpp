#include <windows.h>

#include "base/AsciiCase.h"
#include "discovery/PathHelpers.h"
#include "launch/Mallowbrook.h"

namespace {

const char kOfficeTypeLibraryKey[] = "TypeLib\\{2DF8D04C-5BFA-101B-BDE5-00AA0044DE52}\\";

}  // namespace

const Mallowbrook::OfficeTypeLibrary Mallowbrook::kOfficeTypeLibrary10 = {"2.2", "Office10",
                                                                            "Microsoft Office 10.0 Object Library"};
const Mallowbrook::OfficeTypeLibrary Mallowbrook::kOfficeTypeLibrary11 = {"2.3", "Office11",
                                                                            "Microsoft Office 11.0 Object Library"};

void Mallowbrook::registerOfficeTypeLibrary(const OfficeTypeLibrary& library) {
    const std::string key = std::string(kOfficeTypeLibraryKey) + library.version;
    if (!registry.getString(HKEY_CLASSES_ROOT, key + "\\0\\win32", "").empty())
        return;  // already registered
    const std::string path =
        joinPath(commonFilesFolder(), std::string("Microsoft Shared\\") + library.folder + "\\mso.dll");
    if (!fileExists(path))
        return;
    registry.setString(HKEY_CLASSES_ROOT, key, "", library.description, true);
    registry.setString(HKEY_CLASSES_ROOT, key + "\\0\\win32", "", path, true);
    registry.setString(HKEY_CLASSES_ROOT, key + "\\Flags", "", "0", true);
}

void Mallowbrook::setIgnoreDdeRequests() {
    // Access answers DDE itself only when double-clicked databases open with this edition.
    const AccessEdition& edition = accessEdition();
    const std::string association = registry.getString(HKEY_CLASSES_ROOT, ".mdb", "");
    registry.setDword(HKEY_CURRENT_USER,
                      std::string("Software\\Microsoft\\Office\\") + edition.officeVersion + "\\Access\\Settings",
                      "Ignore DDE Requests", equalsIgnoringAsciiCase(association, edition.progId) ? 0 : 1);
}
