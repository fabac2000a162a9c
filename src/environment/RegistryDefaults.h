#pragma once
#include <windows.h>

#include <string>

#include "registry/RegistryAccessor.h"

// Registry defaults and file associations a launch sets before Access starts.

// Under HKEY_CLASSES_ROOT: the registered Access version, which every launch switches.
constexpr char kCurVerKey[] = "Access.Application\\CurVer";

// Import filters keep their progress dialog from showing up in front of Access.
void setGraphicsFilterDefaults(const RegistryAccessor& registry);
// Removes old DDE open commands that would send a double-clicked database to the wrong Access.
void removeDdeCommands(const RegistryAccessor& registry);
// "LastAccessInstall" under Office\Common: the edition Office treats as installed last.
void setLastAccessInstall(const RegistryAccessor& registry, DWORD number);
// "Access.Application\CurVer"; empty when it cannot be read.
std::string readCurVer(const RegistryAccessor& registry);
void writeCurVer(const RegistryAccessor& registry, const std::string& value);
// Points the print and edit verbs of HTML files at the edition's msohtmed.exe.
void setHtmlEditor(const RegistryAccessor& registry, const std::string& accessFolder);
// Keeps the first-run opt-in dialog of Office officeVersion from showing.
void suppressFirstRunOptIn(const RegistryAccessor& registry, const std::string& officeVersion);
