#include "HelperWork.h"

#include <memory>

#include "HelperProbe.h"
#include "ProgressWindow.h"
#include "permission-helper/HelperKeyLists.h"
#include "permission-helper/KeyRepair.h"
#include "base/Wow64System.h"

int runRepairWork(HINSTANCE instance, HWND owner, bool showProgress, const HelperProbe& probe) {
    const std::vector<HelperKey> keys = repairedKeys(isWow64System());
    std::unique_ptr<ProgressWindow> progress;
    if (showProgress)
        progress = std::make_unique<ProgressWindow>(instance, owner, static_cast<int>(keys.size()));
    probe.workStarting();
    const int unchanged = repairHelperKeys(keys, [&progress] {
        if (progress)
            progress->step();
    });
    probe.workFinished();
    return unchanged;
}
