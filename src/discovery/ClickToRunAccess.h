#pragma once
#include <optional>
#include <string>

#include "discovery/AccessEditions.h"
#include "log/ILog.h"

// Access installed by Click-to-Run (Office 2019 and later, Microsoft 365 and its Access
// Runtime, all version 16.0), found through the configuration Click-to-Run keeps in
// HKEY_LOCAL_MACHINE, read in the 64-bit view first and then in the 32-bit one.
struct ClickToRunAccess {
    std::string executable;         // InstallationPath\root\<folder>\MSACCESS.EXE, an existing file
    std::string platform;           // "Platform" as configured: "x86" or "x64"
    std::string productReleaseIds;  // "ProductReleaseIds", as configured
    bool runtime = false;           // the release ids name the runtime and no full Access
    std::string culture;            // "ClientCulture" as configured ("en-us"); empty when not set
};

constexpr char kClickToRunConfigurationKey[] = "SOFTWARE\\Microsoft\\Office\\ClickToRun\\Configuration";

// The first view whose configuration names an existing MSACCESS.EXE wins; none for an edition
// without a Click-to-Run folder, or when no view has one. Logs what it found.
std::optional<ClickToRunAccess> findClickToRunAccess(ILog* log, const AccessEdition& edition);
