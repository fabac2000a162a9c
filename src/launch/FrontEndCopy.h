#pragma once
#include <string>

#include "launch/FrontEndRules.h"

// Brings the profile copy of a front-end up to date from its master, as FrontEndRules decide.
// A new copy is written to a hidden file beside the old one, checked against the master and
// flushed, and only then put in place; the old copy becomes the ".previous" one. Whatever goes
// wrong, the old copy stays as it was and no partial file is left. The result's errorText is
// left for the caller to fill in.
FrontEndResult updateProfileCopy(const std::string& master, const std::string& copy);
