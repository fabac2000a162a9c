#pragma once
#include <windows.h>

#include <string>

#include "frontend/FrontEndRules.h"

struct FrontEndUpdateOptions {
    HINSTANCE instance = nullptr;  // the program whose resources hold the progress window
    bool showProgress = true;
};

// Brings the profile copy of a front-end up to date from its master, as decideFrontEnd decides.
// Launches of one copy take turns: one that finds another copying waits, showing the progress
// window, for as long as that copy grows. A new copy is written to a hidden file beside the old
// one, checked against the master and flushed, and only then put in place; the old copy becomes
// the ".previous" one, and the record of the new copy's master is written last. Whatever goes
// wrong, the old copy stays as it was and no partial file is left. The result's errorText is left
// for the caller to fill in.
FrontEndResult updateProfileCopy(const std::string& master, const std::string& copy,
                                 const FrontEndUpdateOptions& options);
