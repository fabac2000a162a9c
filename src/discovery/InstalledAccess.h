#pragma once
#include <string>
#include <vector>

#include "discovery/ExecutableBitness.h"

// One Access found on the machine by the launch's own locators. Plain data, for the report's text.
struct InstalledAccess {
    int year = 0;
    bool runtime = false;     // the runtime, else the full product
    std::string installedBy;  // "Windows Installer x86" or "x64", "Click-to-Run x64", "shell command"
    std::string language;     // the runtime's language code ("0409") or Click-to-Run's culture ("en-us"); may be empty
    std::string path;         // MSACCESS.EXE as registered
    bool exists = false;      // the file is there
    ExecutableBitness bitness = ExecutableBitness::Unknown;
    std::string fileVersion;  // of its version resource; empty when it has none
};

// Every Access of the six editions, and why some could not be looked for.
struct AccessInventory {
    std::vector<InstalledAccess> found;  // in edition order; per edition runtimes, full product, Click-to-Run
    std::vector<std::string> problems;   // "Access 2010 runtime: Couldn't load msi.dll"
};
