#include "registry/TypeLibrary64.h"

#include <cstdio>
#include <vector>

#include "base/PathText.h"
#include "base/UniqueHandle.h"

namespace {

const int kWidePathBufferSize = 2048;
// The proxy of OLE Automation interfaces, which every registered interface of a library names.
const char kAutomationProxy[] = "{00020424-0000-0000-C000-000000000046}";

std::string narrow(const WCHAR* text) {
    if (!text)
        return std::string();
    const int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return std::string();
    std::string result(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, &result[0], size, nullptr, nullptr);
    result.resize(static_cast<std::size_t>(size - 1));
    return result;
}

std::string guidText(const GUID& guid) {
    WCHAR text[40] = {};
    StringFromGUID2(guid, text, 40);
    return narrow(text);
}

std::string hexText(unsigned long number) {
    char text[16];
    std::snprintf(text, sizeof(text), "%lx", number);
    return text;
}

// RegisterTypeLib's help folder when it is given none: the file's folder, after a resource
// index ("\3") at the end of the path has been taken off.
std::string helpFolderOf(const std::string& path) {
    std::string file = path;
    const std::string name = fileNamePart(file);
    if (!name.empty() && name.size() != file.size() && name.find_first_not_of("0123456789") == std::string::npos)
        file = folderPart(file);
    return file.find('\\') == std::string::npos ? file : folderPart(file);
}

struct Interface64 {
    std::string id;
    std::string name;
};

// The interfaces a registration couples to the library: dispatch interfaces (dual ones among
// them) and interfaces marked for OLE Automation.
std::vector<Interface64> registeredInterfaces(ITypeLib* library) {
    std::vector<Interface64> found;
    const UINT count = library->GetTypeInfoCount();
    for (UINT index = 0; index < count; ++index) {
        TYPEKIND kind;
        if (FAILED(library->GetTypeInfoType(index, &kind)) || (kind != TKIND_DISPATCH && kind != TKIND_INTERFACE))
            continue;
        UniqueCom<ITypeInfo> info;
        if (FAILED(library->GetTypeInfo(index, info.put())))
            continue;
        TYPEATTR* attributes = nullptr;
        if (FAILED(info.get()->GetTypeAttr(&attributes)) || !attributes)
            continue;
        const bool registered = kind == TKIND_DISPATCH || (attributes->wTypeFlags & TYPEFLAG_FOLEAUTOMATION) != 0;
        const std::string id = guidText(attributes->guid);
        info.get()->ReleaseTypeAttr(attributes);
        if (!registered)
            continue;
        UniqueBstr name;
        library->GetDocumentation(static_cast<INT>(index), name.put(), nullptr, nullptr, nullptr);
        found.push_back(Interface64{id, narrow(name.get())});
    }
    return found;
}

// Loads the library without registering it anywhere, and reads its identity.
bool loadTypeLibrary(const std::string& path, UniqueCom<ITypeLib>& library, TLIBATTR& identity) {
    WCHAR widePath[kWidePathBufferSize] = {};
    if (MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath, kWidePathBufferSize) == 0)
        return false;
    // REGKIND_NONE: loading must not register the library itself, in this program's view.
    if (FAILED(LoadTypeLibEx(widePath, REGKIND_NONE, library.put())))
        return false;
    TLIBATTR* attributes = nullptr;
    if (FAILED(library.get()->GetLibAttr(&attributes)) || !attributes)
        return false;
    identity = *attributes;
    library.get()->ReleaseTLibAttr(attributes);
    return true;
}

std::string versionKeyOf(const TLIBATTR& identity) {
    return typeLibraryVersionKey(guidText(identity.guid), identity.wMajorVerNum, identity.wMinorVerNum);
}

std::string pathKeyOf(const TLIBATTR& identity, const char* platform) {
    return versionKeyOf(identity) + "\\" + hexText(identity.lcid) + "\\" + platform;
}

}  // namespace

std::string typeLibraryVersionKey(const std::string& libraryId, unsigned major, unsigned minor) {
    return "TypeLib\\" + libraryId + "\\" + hexText(major) + "." + hexText(minor);
}

bool registerTypeLibrary64(const RegistryAccessor& registry, const std::string& path) {
    registry.log()->WriteLine("Registering dll:" + path);
    UniqueCom<ITypeLib> library;
    TLIBATTR identity = {};
    if (!loadTypeLibrary(path, library, identity))
        return false;

    UniqueBstr name, help;
    library.get()->GetDocumentation(-1, name.put(), help.put(), nullptr, nullptr);
    const std::string description = narrow(help ? help.get() : name.get());
    const std::string libraryId = guidText(identity.guid);
    const std::string version = hexText(identity.wMajorVerNum) + "." + hexText(identity.wMinorVerNum);
    const std::string key = versionKeyOf(identity);

    const REGSAM view = KEY_WOW64_64KEY;
    bool written = true;
    auto set = [&](const std::string& subkey, const char* valueName, const std::string& value) {
        written =
            registry.setString(HKEY_CLASSES_ROOT, subkey, valueName, value, true, view) == ERROR_SUCCESS && written;
    };
    if (!description.empty())
        set(key, "", description);
    set(pathKeyOf(identity, "win64"), "", path);
    set(key + "\\FLAGS", "", std::to_string(identity.wLibFlags));
    // A help folder that is there already is left as it is.
    if (!registry.keyExists(HKEY_CLASSES_ROOT, key + "\\HELPDIR", view))
        set(key + "\\HELPDIR", "", helpFolderOf(path));
    for (const Interface64& found : registeredInterfaces(library.get())) {
        const std::string interfaceKey = "Interface\\" + found.id;
        if (!found.name.empty())
            set(interfaceKey, "", found.name);
        set(interfaceKey + "\\ProxyStubClsid", "", kAutomationProxy);
        set(interfaceKey + "\\ProxyStubClsid32", "", kAutomationProxy);
        set(interfaceKey + "\\TypeLib", "", libraryId);
        set(interfaceKey + "\\TypeLib", "Version", version);
    }
    return written;
}

bool typeLibraryPathKey(const std::string& path, const char* platform, std::string& key) {
    UniqueCom<ITypeLib> library;
    TLIBATTR identity = {};
    if (!loadTypeLibrary(path, library, identity))
        return false;
    key = pathKeyOf(identity, platform);
    return true;
}
