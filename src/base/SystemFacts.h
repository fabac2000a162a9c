#pragma once
#include <string>

// What a report says of the system and the process it runs in. Each reads one fact; none changes
// anything.

// "10.0 (build 19045)"; "unknown" when the version cannot be read.
std::string windowsVersionText();
// The user this program runs as; empty when it cannot be read.
std::string userName();
// The token's elevation: "elevated", "not elevated", or "unknown" where the system cannot say.
std::string elevationText();
// The full path of this program's file.
std::string programPath();
