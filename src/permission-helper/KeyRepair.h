#pragma once
#include <functional>
#include <string>
#include <vector>

#include "permission-helper/AclEngine.h"
#include "permission-helper/HelperKeyLists.h"

// Applies the helper's command to every key, in order, each named as prefix + "\" + key. A key
// that is missing or cannot be changed is passed over and the next one is tried; afterEach runs
// after every key whatever its outcome. Returns how many distinct keys were there but could not
// be changed (missing keys do not count): the helper's exit code.
int repairHelperKeys(const std::vector<HelperKey>& keys, const std::function<void()>& afterEach = nullptr);
