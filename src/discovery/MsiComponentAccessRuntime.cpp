#include "discovery/MsiComponentAccessRuntime.h"

#include <stdexcept>

#include "discovery/LanguageTable.h"

namespace {

const char kLoadError[] = "Couldn't load msi.dll";

}  // namespace

MsiComponentAccessRuntime::MsiComponentAccessRuntime(const AccessEdition& edition)
    : MsiComponentAccessRuntime(edition, "msi.dll") {}

MsiComponentAccessRuntime::MsiComponentAccessRuntime(const AccessEdition& edition, const char* libraryName)
    : edition_(edition), msi_(LoadLibraryA(libraryName)) {
    if (!msi_)
        throw std::runtime_error(kLoadError);
    getComponentPath_ = reinterpret_cast<ComponentPathFunction>(GetProcAddress(msi_.get(), "MsiGetComponentPathA"));
    // A library without the entry point is as good as none.
    if (!getComponentPath_)
        throw std::runtime_error(kLoadError);
}

MsiComponentAccessRuntime::MsiComponentAccessRuntime(const AccessEdition& edition, ComponentPathFunction function)
    : edition_(edition), getComponentPath_(function) {
    if (!getComponentPath_)
        throw std::runtime_error(kLoadError);
}

std::string MsiComponentAccessRuntime::componentCode(Platform platform) const {
    const char* code = platform == Platform::X64 ? edition_.runtimeComponent64 : edition_.runtimeComponent;
    return code ? code : "";
}

std::string MsiComponentAccessRuntime::productCode(const LanguageCode& language, Platform platform) const {
    return productCodePrefix() + language.code + productCodeSuffix(platform);
}

MsiComponentAccessRuntime::InstallState MsiComponentAccessRuntime::componentPath(const std::string& product,
                                                                                 const std::string& component,
                                                                                 std::string& path) const {
    const DWORD capacity = 261;
    char buffer[capacity] = {};
    DWORD length = capacity;
    InstallState state = getComponentPath_(product.c_str(), component.c_str(), buffer, &length);
    // On "more data" the count is the needed size, larger than what the buffer holds.
    if (length > capacity)
        length = capacity;
    path.assign(buffer, length);
    // The count excludes the terminating NUL, but guard against a path that fills the buffer.
    path.resize(path.find('\0') == std::string::npos ? path.size() : path.find('\0'));
    return state;
}

std::vector<RuntimeInstall> MsiComponentAccessRuntime::find(int languageId, bool firstOnly) {
    std::vector<RuntimeInstall> found;
    for (Platform platform : {Platform::X86, Platform::X64}) {
        if (platform == Platform::X64 && (!edition_.runtimeComponent64 || (firstOnly && !found.empty())))
            break;
        if (auto install = platformInstall(languageId, platform))
            found.push_back(*install);
    }
    return found;
}

std::optional<RuntimeInstall> MsiComponentAccessRuntime::platformInstall(int languageId, Platform platform) const {
    const char* platformName = platform == Platform::X64 ? "x64" : "x86";
    const auto languages = languageTable();
    const std::string component = componentCode(platform);
    std::string path;
    if (auto preferred = preferredLanguage(languageId)) {
        if (componentPath(productCode(*preferred, platform), component, path) == kInstallStateLocal)
            return RuntimeInstall{path, platformName, preferred->code};
    }
    for (const auto& language : *languages) {
        if (componentPath(productCode(language, platform), component, path) == kInstallStateLocal)
            return RuntimeInstall{path, platformName, language.code};
    }
    return std::nullopt;
}
