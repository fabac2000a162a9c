#pragma once
#include <string>

#include "log/ILog.h"

// Repair of the registry permissions through the embedded helper: on demand with -OPENKEYS, or
// offered to the user when a write the launch needs did not stick.

// How a repair ended; the log says why it fell short.
enum class RepairOutcome {
    Repaired,           // every listed key that exists was changed, or there was nothing to do
    HelperDidNotRun,    // elevation declined, say
    SomeKeysUnchanged,  // the helper ran but could not change every key
};

// Runs the helper, except on Windows 9x and NT 4, which have no registry security of this kind.
RepairOutcome repairPermissions(ILog* log, bool showProgress);
// Asks whether to repair (naming the application by its title) and runs the helper on yes.
// False when the user declined or the helper did not run. Log lines begin with the edition year.
bool askToRepairPermissions(ILog* log, const std::string& applicationTitle, int editionYear);
