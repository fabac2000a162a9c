#pragma once
#include <string>

// Installer data may hold a drive path as "C?\..." where the path reads "C:\...";
// every "?\" becomes ":\". Pure text.
std::string repairInstallerPath(std::string path);
