#pragma once
#include <string>

#include "discovery/ExecutableBitness.h"

// The bitness of the program file at `path`, from its header; Unknown when the file cannot be
// read or holds no PE header.
ExecutableBitness executableFileBitness(const std::string& path);
// The file version of its version resource, "16.0.4266.1001"; empty when it has none.
std::string executableFileVersion(const std::string& path);
