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

std::string MsiComponentAccessRuntime::productCode(const LanguageCode& language) const {
    return productCodePrefix() + language.code + productCodeSuffix();
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

std::string MsiComponentAccessRuntime::executablePath(int languageId) {
    auto languages = languageTable();
    std::string path;
    if (auto preferred = preferredLanguage(languageId)) {
        if (componentPath(productCode(*preferred), componentCode(), path) == kInstallStateLocal)
            return path;
    }
    for (const auto& language : *languages) {
        if (componentPath(productCode(language), componentCode(), path) == kInstallStateLocal)
            return path;
    }
    return std::string();
}
