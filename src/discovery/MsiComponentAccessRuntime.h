#pragma once
#include <windows.h>

#include <optional>
#include <string>

#include "base/UniqueHandle.h"
#include "discovery/AccessEditions.h"
#include "discovery/IAccessRuntime.h"
#include "discovery/LanguageCode.h"

// Access 2007 and later runtimes: asked of Windows Installer (msi.dll, loaded at run time)
// once per candidate language, since the language is part of the product code.
class MsiComponentAccessRuntime : public IAccessRuntime {
public:
    // INSTALLSTATE of msi.h; only "installed locally" counts as found.
    using InstallState = int;
    static constexpr InstallState kInstallStateLocal = 3;
    using ComponentPathFunction = InstallState(WINAPI*)(const char* product, const char* component, char* path,
                                                        DWORD* length);

    // Loads msi.dll; throws std::runtime_error "Couldn't load msi.dll" when the library or its
    // MsiGetComponentPathA is missing (a missing entry point is never called). The edition row
    // must outlive the locator (the rows of kAccessEditions do).
    explicit MsiComponentAccessRuntime(const AccessEdition& edition);
    MsiComponentAccessRuntime(const MsiComponentAccessRuntime&) = delete;
    MsiComponentAccessRuntime& operator=(const MsiComponentAccessRuntime&) = delete;

    // The x86 runtime first, then the x64 one where the edition has it; for each, the preferred
    // language of languageId first, then every language of the table in order.
    std::vector<RuntimeInstall> find(int languageId, bool firstOnly) override;

    // The platform digit that starts the product code's fourth group.
    enum class Platform { X86, X64 };

    std::string productCodePrefix() const { return edition_.runtimeProduct; }  // "{90140000-001C-"
    std::string productCodeSuffix(Platform platform = Platform::X86) const {
        return platform == Platform::X64 ? "-1000-0000000FF1CE}" : "-0000-0000000FF1CE}";
    }
    // The Access executable's component; empty for an x64 runtime the edition does not have.
    std::string componentCode(Platform platform = Platform::X86) const;

    // prefix + the language's four-digit code + suffix.
    std::string productCode(const LanguageCode& language, Platform platform = Platform::X86) const;
    // The component's install state for the product; path gets what Installer returned.
    InstallState componentPath(const std::string& product, const std::string& component, std::string& path) const;

protected:
    // For tests: load another library by name (same failure rule), or use a given entry point.
    MsiComponentAccessRuntime(const AccessEdition& edition, const char* libraryName);
    MsiComponentAccessRuntime(const AccessEdition& edition, ComponentPathFunction function);

private:
    std::optional<RuntimeInstall> platformInstall(int languageId, Platform platform) const;

    const AccessEdition& edition_;
    UniqueModule msi_;
    ComponentPathFunction getComponentPath_ = nullptr;
};
