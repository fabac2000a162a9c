#pragma once
#include <vector>

#include "capture/SavedValue.h"

// Writes every recorded entry back, as restoreAll does, and reads each one again. Returns the
// entries that did not come back as recorded: their write failed or the value reads differently.
std::vector<const SavedValue*> restoreAndVerify(const std::vector<SavedValue>& entries);
