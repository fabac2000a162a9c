#pragma once
#include <string>

// The user's temporary folder as GetTempPathA gives it, ending in "\". Throws std::runtime_error
// when the system gives no folder or one longer than MAX_PATH + 1.
std::string temporaryFolder();
