#include "environment/PermissionRepair.h"

#include <windows.h>

#include "base/PathText.h"
#include "environment/PermissionHelper.h"
#include "environment/TemporaryFolder.h"

namespace {

std::string registryErrorQuestion(const std::string& applicationTitle) {
    return applicationTitle + " has encountered an error writing to the registry.\n\n" + applicationTitle +
           " will not run properly until the registry permissions are reset.\n\n"
           "Do you want to repair the registry permissions now?";
}

std::string helperPath() {
    return joinPath(temporaryFolder(), PermissionHelper::kFileName);
}

}  // namespace

void repairPermissions(ILog* log, bool showProgress) {
    // Windows 9x and NT 4 have no registry security of this kind; nothing to do there.
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    if (!GetVersionExA(&version) || version.dwMajorVersion <= 4)
        return;
    log->WriteLine("-openkeys");
    PermissionHelper helper(helperPath());
    helper.run(showProgress);
}

bool askToRepairPermissions(ILog* log, const std::string& applicationTitle, int editionYear) {
    const std::string edition = std::to_string(editionYear);
    const std::string question = registryErrorQuestion(applicationTitle);
    if (MessageBoxA(nullptr, question.c_str(), "Registry Error", MB_YESNO | MB_ICONWARNING) == IDNO) {
        if (log->IsEnabled())
            log->WriteLine(edition + " - User declined repairing permissions.");
        return false;
    }
    {
        // The progress window is shown whatever -NOPROGRESS says: the user asked for this.
        PermissionHelper helper(helperPath());
        helper.run(true);
        // Whether the helper really ran is judged by the caller's second attempt.
        if (log->IsEnabled())
            log->WriteLine(edition + " - Permissions have been repaired.");
    }
    return true;
}
