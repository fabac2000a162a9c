#include "environment/ObjectLibrary.h"

#include "base/AsciiCase.h"
#include "base/PathText.h"
#include "environment/ObjectLibraryText.h"
#include "registry/TypeLibrary64.h"

std::string ObjectLibraryRegistration::registeredPath() const {
    LONG error = ERROR_SUCCESS;
    std::string path =
        access64_ ? registry_.getString(HKEY_CLASSES_ROOT, kObjectLibraryPathKey64, "", &error, KEY_WOW64_64KEY)
                  : registry_.getString(HKEY_CLASSES_ROOT, kObjectLibraryPathKey, "", &error);
    return error == ERROR_SUCCESS ? path : std::string();
}

bool ObjectLibraryRegistration::registerLibrary(const std::string& olbPath) const {
    std::string current = registeredPath();
    writeLine(" - Current MsAcc.olb Path is: ", current);
    if (equalsIgnoringAsciiCase(current, olbPath)) {
        writeLine(" - MsAcc.olb path is correct.");
        return true;
    }
    writeLine(" - Need to set MsAcc.olb Path to: ", olbPath);
    // Whether it worked is judged by reading the registration back, not by this result.
    if (access64_)
        registerTypeLibrary64(registry_, olbPath);
    else
        registry_.registerTypeLibrary(olbPath);
    current = registeredPath();
    if (equalsIgnoringAsciiCase(current, olbPath)) {
        writeLine(" - MsAcc.olb was successfully registered.");
        return true;
    }
    writeLine(" - Failed to register MsAcc.olb");
    return false;
}

bool ObjectLibraryRegistration::ensure(const std::string& accessFolder, bool isWin9x,
                                       const std::function<bool()>& askToRepair) const {
    const std::string olbPath = joinPath(accessFolder, kObjectLibraryFileName);
    if (registerLibrary(olbPath))
        return true;
    if (isWin9x || !askToRepair())
        return false;
    if (registerLibrary(olbPath))
        return true;
    writeLine(" - Even after repairing permissions, MsAcc.olb could not be registered.");
    return false;
}

void ObjectLibraryRegistration::writeLine(const char* text) const {
    if (registry_.log()->IsEnabled())
        registry_.log()->WriteLine(std::to_string(edition_) + text);
}

void ObjectLibraryRegistration::writeLine(const char* text, const std::string& path) const {
    if (registry_.log()->IsEnabled())
        registry_.log()->WriteLine(std::to_string(edition_) + text + path);
}

void keepObjectLibraryEntries(ILog* log, RestoreSet& restoreSet, const std::string& curVerBefore,
                              const std::string& curVerAfter) {
    if (!keepsObjectLibrarySwitched(curVerBefore, curVerAfter))
        return;
    log->WriteLine("Not setting back object library");
    for (const char* key : kKeptObjectLibraryKeys)
        restoreSet.remove(key);
}
