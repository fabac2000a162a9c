#include "base/AsciiCase.h"
#include "base/SystemErrorText.h"
#include "frontend/FrontEndCopy.h"
#include "launch/EnvironmentPlaceholders.h"
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

    FrontEndUpdateOptions options;
    options.instance = instance;
    options.showProgress = !settings->noProgress;
    FrontEndResult result = updateProfileCopy(master, copy, options);
    if (result.error != 0)
        result.errorText = systemErrorLine(result.error);
    if (log->IsEnabled()) {
        if (result.waited)
            log->WriteLine("Front-end was being copied by another launch; waited for it");
        if (result.staleLockRemoved)
            log->WriteLine("Front-end lock file left over from an earlier run, removed: " + lockFilePath(copy));
        log->WriteLine(frontEndLogLine(result, master, copy));
        if (result.recordError != 0)
            log->WriteLine("Front-end record not written: " + recordPath(copy) + " (" +
                           systemErrorLine(result.recordError) + ")");
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
