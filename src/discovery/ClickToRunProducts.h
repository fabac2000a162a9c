#pragma once
#include <string>
#include <vector>

// What a Click-to-Run install's "ProductReleaseIds" say about its Access. Pure text.

// The comma-separated ids, each without the blanks around it; empty ids are left out.
std::vector<std::string> clickToRunReleaseIds(const std::string& productReleaseIds);

// True for a product that contains full Access (Microsoft 365 Apps and the Office suites
// with Access, Access on its own); the runtime and suites without Access are not.
bool containsFullAccess(const std::string& releaseId);

// The install counts as the Access runtime when its ids name "AccessRuntimeRetail" and no
// product that contains full Access; otherwise as the full product.
bool isClickToRunRuntime(const std::string& productReleaseIds);
