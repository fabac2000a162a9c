#include "base/AsciiCase.h"
#include "base/SystemErrorText.h"
#include "launch/EnvironmentPlaceholders.h"
#include "launch/FrontEndCopy.h"
#include "launch/LauncherMessages.h"
#include "launch/Mallowbrook.h"

bool Mallowbrook::updateFrontEnd() {
    // The paths as Access will see them once the placeholders are replaced.
    replaceEnvironment(frontEndMaster);
    replaceEnvironment(frontEndCopy);
    const std::string& master = frontEndMaster;
    const std::string& copy = frontEndCopy;
    if (equalsIgnoringAsciiCase(master, copy)) {
        log->WriteLine("Front-end not updated: the command line names the profile copy itself");
        return true;
    }

    FrontEndResult result = updateProfileCopy(master, copy);
    if (result.error != 0)
        result.errorText = systemErrorLine(result.error);
    if (log->IsEnabled()) {
        if (result.staleLockRemoved)
            log->WriteLine("Front-end lock file left over from an earlier run, removed: " + lockFilePath(copy));
        log->WriteLine(frontEndLogLine(result, master, copy));
    }
    if (!frontEndFailed(result.outcome))
        return true;
    if (result.copyExists) {
        // Access opens the copy as it was; a deployment tool learns that it is not the master's.
        warnWindow(kExitFrontEndNotUpdated);
        return true;
    }
    const std::string text = frontEndBoxText(result, master, copy);
    MessageBoxA(nullptr, text.c_str(), "Mallowbrook Warning", MB_OK | MB_ICONWARNING);
    return false;
}
