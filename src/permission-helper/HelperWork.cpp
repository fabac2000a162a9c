#include "HelperWork.h"

#include <memory>

#include "HelperProbe.h"
#include "HelperResources.h"
#include "permission-helper/HelperKeyLists.h"
#include "permission-helper/KeyRepair.h"
#include "base/Wow64System.h"
#include "progress/ProgressWindow.h"

int runRepairWork(HINSTANCE instance, HWND owner, bool showProgress, const HelperProbe& probe) {
    const std::vector<HelperKey> keys = repairedKeys(isWow64System());
    std::unique_ptr<ProgressWindow> progress;
    if (showProgress) {
        ProgressLook look;
        look.steps = static_cast<int>(keys.size());
        look.iconId = IDI_HELPER;
        progress = std::make_unique<ProgressWindow>(instance, owner, look);
    }
    probe.workStarting();
    const int unchanged = repairHelperKeys(keys, [&progress] {
        if (progress)
            progress->step();
    });
    probe.workFinished();
    return unchanged;
}
