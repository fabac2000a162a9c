#include "environment/PermissionRepair.h"

#include <windows.h>

#include "base/PathText.h"
#include "base/SystemErrorText.h"
#include "environment/FreshTemporaryFolder.h"
#include "environment/PermissionHelper.h"

namespace {

std::string registryErrorQuestion(const std::string& applicationTitle) {
    return applicationTitle + " has encountered an error writing to the registry.\n\n" + applicationTitle +
           " will not run properly until the registry permissions are reset.\n\n"
           "Do you want to repair the registry permissions now?";
}

// The helper's run from a new folder of its own: nothing put into the temporary folder
// beforehand lies beside it. The folder goes once the helper's file is gone.
HelperOutcome runHelper(bool showProgress) {
    FreshTemporaryFolder folder;
    PermissionHelper helper(joinPath(folder.path(), PermissionHelper::kFileName));
    return helper.run(showProgress);
}

// Logs what went wrong, each line after prefix; true when the helper changed every key it found.
bool logHelperOutcome(ILog* log, const HelperOutcome& outcome, const std::string& prefix) {
    if (!outcome.started) {
        if (log->IsEnabled())
            log->WriteLine(prefix + "The permission helper did not run: " + systemErrorLine(outcome.startError));
        return false;
    }
    if (outcome.exitCode != 0) {
        if (log->IsEnabled())
            log->WriteLine(prefix + "The permission helper could not change " + std::to_string(outcome.exitCode) +
                           (outcome.exitCode == 1 ? " key." : " keys."));
        return false;
    }
    return true;
}

}  // namespace

RepairOutcome repairPermissions(ILog* log, bool showProgress) {
    // Windows 9x and NT 4 have no registry security of this kind; nothing to do there.
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    if (!GetVersionExA(&version) || version.dwMajorVersion <= 4)
        return RepairOutcome::Repaired;
    log->WriteLine("-openkeys");
    const HelperOutcome outcome = runHelper(showProgress);
    if (logHelperOutcome(log, outcome, ""))
        return RepairOutcome::Repaired;
    return outcome.started ? RepairOutcome::SomeKeysUnchanged : RepairOutcome::HelperDidNotRun;
}

bool askToRepairPermissions(ILog* log, const std::string& applicationTitle, int editionYear) {
    const std::string edition = std::to_string(editionYear);
    const std::string question = registryErrorQuestion(applicationTitle);
    if (MessageBoxA(nullptr, question.c_str(), "Registry Error", MB_YESNO | MB_ICONWARNING) == IDNO) {
        if (log->IsEnabled())
            log->WriteLine(edition + " - User declined repairing permissions.");
        return false;
    }
    // The progress window is shown whatever -NOPROGRESS says: the user asked for this.
    const HelperOutcome outcome = runHelper(true);
    if (logHelperOutcome(log, outcome, edition + " - ") && log->IsEnabled())
        log->WriteLine(edition + " - Permissions have been repaired.");
    // With some keys left unchanged the caller's second write still shows whether its own key
    // was among them; without a helper run there is nothing to try again.
    return outcome.started;
}
