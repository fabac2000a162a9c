#include "HelperWork.h"

#include <memory>

#include "HelperProbe.h"
#include "ProgressWindow.h"
#include "permission-helper/HelperKeyLists.h"
#include "permission-helper/KeyRepair.h"
#include "base/Wow64System.h"
#include "registry/FixedValueTable.h"

int runRepairWork(HINSTANCE instance, HWND owner, bool showProgress, const HelperProbe& probe) {
    std::vector<HelperKey> keys = helperKeys(kFixedValues, kFixedValueCount);
    if (isWow64System()) {
        const std::vector<HelperKey> keys64 = helperKeys64(kFixedValues, kFixedValueCount);
        keys.insert(keys.end(), keys64.begin(), keys64.end());
    }
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
