#include "HelperWork.h"

#include <memory>

#include "HelperProbe.h"
#include "ProgressWindow.h"
#include "permission-helper/HelperKeyLists.h"
#include "permission-helper/KeyRepair.h"
#include "registry/FixedValueTable.h"

void runRepairWork(HINSTANCE instance, HWND owner, bool showProgress, const HelperProbe& probe) {
    const std::vector<std::string> classKeys = classKeySet(kFixedValues, kFixedValueCount);
    std::unique_ptr<ProgressWindow> progress;
    if (showProgress)
        progress = std::make_unique<ProgressWindow>(instance, owner, static_cast<int>(classKeys.size()));
    probe.reportAndHold(kProbeWorkStarting);
    repairKeys(classKeys, kClassKeyPrefix, [&progress] {
        if (progress)
            progress->step();
    });
    // The bar measures the class keys only; the two machine keys follow once it is full.
    repairKeys(machineKeySet(kFixedValues, kFixedValueCount), kMachineKeyPrefix);
    probe.reportAndHold(kProbeWorkFinished);
}
