#pragma once
#include "discovery/InstalledAccess.h"
#include "log/ILog.h"

// Every Access on the machine, for all six editions, asked of the same locators and in the same
// order as a launch asks them: each runtime the Installer has (languageId preferred, as -LANG
// makes a launch prefer it), the full product of the shell open command, the Click-to-Run Access.
// Only reads.
AccessInventory findEveryAccess(ILog* log, int languageId);
