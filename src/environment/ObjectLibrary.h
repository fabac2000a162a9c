#pragma once
#include <functional>
#include <string>

#include "capture/RestoreSet.h"
#include "log/ILog.h"
#include "registry/RegistryAccessor.h"

// The registration of the Access object library (type library {4AFFC9A0-...}, version key
// "9.0"), pointed at the MSACC.OLB of the edition being started. Log lines begin with the
// edition year. For a 64-bit Access the registration checked and written is the "win64" one.
class ObjectLibraryRegistration {
public:
    ObjectLibraryRegistration(const RegistryAccessor& registry, int edition, bool access64 = false)
        : registry_(registry), edition_(edition), access64_(access64) {}

    // The registered library path; empty when it cannot be read.
    std::string registeredPath() const;
    // One compare-and-register pass: true when the registration names olbPath at its end.
    bool registerLibrary(const std::string& olbPath) const;
    // Registers accessFolder's MSACC.OLB when the registration names another file. When that
    // fails, asks once whether to repair the registry permissions (never on Windows 9x) and
    // tries once more after a repair.
    bool ensure(const std::string& accessFolder, bool isWin9x, const std::function<bool()>& askToRepair) const;

private:
    void writeLine(const char* text) const;
    void writeLine(const char* text, const std::string& path) const;

    const RegistryAccessor& registry_;
    int edition_;
    bool access64_;
};

// End of the run: when the launch moved CurVer to the same or a newer edition below 14, the
// switched CurVer and object library registration stay, so their entries leave the restore set.
void keepObjectLibraryEntries(ILog* log, RestoreSet& restoreSet, const std::string& curVerBefore,
                              const std::string& curVerAfter);
