#include "AccessInstall.h"

#include <memory>

#include "discovery/AccessEditions.h"
#include "discovery/ClickToRunAccess.h"
#include "discovery/AccessRuntimeFactory.h"
#include "discovery/BasicAccessRuntime.h"
#include "discovery/MsiComponentAccessRuntime.h"
#include "log/NullLog.h"
#include "support/LauncherProcess.h"

namespace {

const char kInstallerKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer";
const char kSystemUser[] = "S-1-5-18";

std::string installerUserComponentKey(const std::string& packedComponent) {
    return std::string(kInstallerKey) + "\\UserData\\" + kSystemUser + "\\Components\\" + packedComponent;
}

// "10.0" -> "10"
std::string officeNumber(const AccessEdition& edition) {
    std::string version = edition.officeVersion;
    return version.substr(0, version.find('.'));
}

std::string defaultFolder(const AccessEdition& edition, AccessKind kind, const std::string& language) {
    std::string office = "OFFICE" + officeNumber(edition);
    if (kind == AccessKind::Full)
        return "C:\\Program Files\\Microsoft Office\\" + office;
    if (edition.year <= 2003)
        return "C:\\Program Files\\Microsoft Office Runtime\\" + office;
    return "C:\\Program Files\\Microsoft Office Runtime\\" + language + "\\" + office;
}

std::string folderOf(const std::string& path) {
    std::string::size_type slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

std::vector<std::string> createFolders(const std::string& folder) {
    std::vector<std::string> created;
    std::string path;
    std::string::size_type start = 0;
    while (start <= folder.size()) {
        std::string::size_type end = folder.find('\\', start);
        if (end == std::string::npos)
            end = folder.size();
        path = folder.substr(0, end);
        // "C:" itself is no folder to make.
        if (path.size() > 2 && GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
            if (!CreateDirectoryA(path.c_str(), nullptr))
                break;
            created.push_back(path);
        }
        start = end + 1;
    }
    return created;
}

void removeFolders(const std::vector<std::string>& folders) {
    for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder)
        RemoveDirectoryA(folder->c_str());
}

bool ensureInstallerUserData() {
    // Left in place: every Windows has it, and a later test may rely on it as the machine's.
    UniqueKey key;
    std::string path = std::string(kInstallerKey) + "\\UserData\\" + kSystemUser;
    return RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr,
                           key.put(), nullptr) == ERROR_SUCCESS;
}

std::string standinAccessPath() {
    return binFolder() + "standins\\MSACCESS.EXE";
}

std::string standinLaunch32Path() {
    return binFolder() + "standins\\launch32.exe";
}

std::string standinAccess64Path() {
    return binFolder() + "standins64\\MSACCESS.EXE";
}

std::string objectLibrary64Path() {
    return binFolder() + "standins64\\MSACC.OLB";
}

std::string runtime64Folder(int edition) {
    const AccessEdition* info = findAccessEdition(edition);
    return info ? "C:\\Program Files\\Microsoft Office Runtime x64\\OFFICE" + officeNumber(*info) : std::string();
}

long runCommand(const std::string& commandLine, DWORD timeoutMs) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    std::string line = commandLine;
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return -1;
    UniqueKernelHandle process(info.hProcess);
    UniqueKernelHandle thread(info.hThread);
    if (WaitForSingleObject(process.get(), timeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(process.get(), 1);
        return -1;
    }
    DWORD code = 0;
    GetExitCodeProcess(process.get(), &code);
    return static_cast<long>(code);
}

AccessInstall::AccessInstall(int edition, AccessKind kind, const std::string& folder, const std::string& language)
    : edition_(edition), kind_(kind), language_(language) {
    const AccessEdition* info = findAccessEdition(edition);
    if (!info || !ensureInstallerUserData())
        return;
    if (kind == AccessKind::Runtime64) {
        installPackage();
        return;
    }
    folder_ = folder.empty() ? defaultFolder(*info, kind, language) : folder;
    executable_ = folder_ + "\\MSACCESS.EXE";
    createdFolders_ = createFolders(folder_);
    if (!CopyFileA(standinAccessPath().c_str(), executable_.c_str(), FALSE))
        return;
    DeleteFileA(recordPath().c_str());
    if (kind == AccessKind::Full)
        registerFull();
    else if (edition <= 2003)
        registerBasicRuntime();
    else
        registerMsiRuntime();
}

AccessInstall::AccessInstall(const ClickToRunLayout& layout) : edition_(2016), kind_(AccessKind::ClickToRun) {
    if (ensureInstallerUserData())
        layOutClickToRun(layout);
}

AccessInstall::~AccessInstall() {
    registry_.undo();
    if (kind_ == AccessKind::Runtime64) {
        // The Installer takes its own files and folders away; what the stand-in wrote goes first.
        if (!executable_.empty())
            DeleteFileA(recordPath().c_str());
        if (!productCode_.empty())
            runCommand("msiexec /x " + productCode_ + " /qn");
        return;
    }
    if (!library_.empty())
        DeleteFileA(library_.c_str());
    if (!executable_.empty()) {
        DeleteFileA(executable_.c_str());
        DeleteFileA(recordPath().c_str());
    }
    removeFolders(createdFolders_);
}

void AccessInstall::installPackage() {
    is64_ = true;
    const std::string package = binFolder() + "packages\\AccessRuntime" + std::to_string(edition_) + "-x64.msi";
    if (!fileExistsAt(package))
        return;
    std::shared_ptr<MsiComponentAccessRuntime> runtime;
    try {
        NullLog log;
        runtime =
            std::dynamic_pointer_cast<MsiComponentAccessRuntime>(AccessRuntimeFactory(&log).createRuntime(edition_));
    } catch (const std::exception&) {
        return;
    }
    if (!runtime || runtime->componentCode(MsiComponentAccessRuntime::Platform::X64).empty())
        return;
    folder_ = runtime64Folder(edition_);
    executable_ = folder_ + "\\MSACCESS.EXE";
    if (runCommand("msiexec /i \"" + package + "\" /qn") != 0)
        return;
    productCode_ = runtime->productCode(LanguageCode{"", "0409"}, MsiComponentAccessRuntime::Platform::X64);
    DeleteFileA(recordPath().c_str());
    installed_ = fileExistsAt(executable_);
}

void AccessInstall::layOutClickToRun(const ClickToRunLayout& layout) {
    is64_ = layout.platform == "x64";
    folder_ = layout.installationPath + "\\root\\Office16";
    executable_ = folder_ + "\\MSACCESS.EXE";
    createdFolders_ = createFolders(folder_);
    if (!CopyFileA((is64_ ? standinAccess64Path() : standinAccessPath()).c_str(), executable_.c_str(), FALSE))
        return;
    library_ = folder_ + "\\MSACC.OLB";
    if (!CopyFileA((is64_ ? objectLibrary64Path() : binFolder() + "MSACC.OLB").c_str(), library_.c_str(), FALSE))
        return;
    DeleteFileA(recordPath().c_str());
    const char* key = kClickToRunConfigurationKey;
    installed_ =
        registry_.setString(HKEY_LOCAL_MACHINE, key, "InstallationPath", layout.installationPath, layout.view) &&
        registry_.setString(HKEY_LOCAL_MACHINE, key, "Platform", layout.platform, layout.view) &&
        registry_.setString(HKEY_LOCAL_MACHINE, key, "ProductReleaseIds", layout.releaseIds, layout.view);
}

void AccessInstall::registerFull() {
    const AccessEdition* info = findAccessEdition(edition_);
    installed_ =
        registry_.setString(HKEY_CLASSES_ROOT, info->openCommandKey, "", "\"" + executable_ + "\" /NOSTARTUP \"%1\"");
}

void AccessInstall::registerBasicRuntime() {
    NullLog log;
    auto runtime = std::dynamic_pointer_cast<BasicAccessRuntime>(AccessRuntimeFactory(&log).createRuntime(edition_));
    if (!runtime)
        return;
    std::string key = installerUserComponentKey(runtime->packedComponentCode());
    installed_ =
        registry_.setString(HKEY_LOCAL_MACHINE, key, runtime->packedProductCode(), executable_, KEY_WOW64_64KEY) &&
        registry_.setString(HKEY_LOCAL_MACHINE, key, runtime->packedProductCode(), executable_, KEY_WOW64_32KEY);
}

void AccessInstall::registerMsiRuntime() {
    NullLog log;
    std::shared_ptr<MsiComponentAccessRuntime> runtime;
    try {
        runtime =
            std::dynamic_pointer_cast<MsiComponentAccessRuntime>(AccessRuntimeFactory(&log).createRuntime(edition_));
    } catch (const std::exception&) {
        return;
    }
    if (!runtime)
        return;
    std::string product = packedGuid(runtime->productCode(LanguageCode{"", language_}));
    std::string component = packedGuid(runtime->componentCode());
    installed_ = registry_.createKey(HKEY_LOCAL_MACHINE, "Software\\Classes\\Installer\\Products\\" + product,
                                     KEY_WOW64_64KEY) &&
                 registry_.setString(HKEY_LOCAL_MACHINE, installerUserComponentKey(component), product, executable_,
                                     KEY_WOW64_64KEY);
}

std::vector<std::string> AccessInstall::receivedCommandLines() const {
    return readRecordLines(recordPath());
}

std::vector<std::string> AccessInstall::receivedArguments() const {
    std::vector<std::string> arguments;
    for (const auto& line : receivedCommandLines())
        arguments.push_back(commandLineArguments(line));
    return arguments;
}

InstalledFile::InstalledFile(const std::string& source, const std::string& destination) : path_(destination) {
    createdFolders_ = createFolders(folderOf(destination));
    installed_ = CopyFileA(source.c_str(), destination.c_str(), FALSE) != 0;
}

InstalledFile::~InstalledFile() {
    if (installed_)
        DeleteFileA(path_.c_str());
    removeFolders(createdFolders_);
}

StandinEnvironment::~StandinEnvironment() {
    for (auto saved = saved_.rbegin(); saved != saved_.rend(); ++saved)
        SetEnvironmentVariableA(saved->name.c_str(), saved->existed ? saved->value.c_str() : nullptr);
}

void StandinEnvironment::set(const std::string& name, const std::string& value) {
    char buffer[32768] = {};
    SetLastError(0);
    DWORD length = GetEnvironmentVariableA(name.c_str(), buffer, sizeof(buffer));
    bool existed = length > 0 || GetLastError() != ERROR_ENVVAR_NOT_FOUND;
    saved_.push_back(Saved{name, existed, std::string(buffer, length < sizeof(buffer) ? length : 0)});
    SetEnvironmentVariableA(name.c_str(), value.c_str());
}

std::vector<std::string> readRecordLines(const std::string& path) {
    std::vector<std::string> lines;
    std::string text = readFile(path);
    std::string::size_type start = 0;
    while (start < text.size()) {
        std::string::size_type end = text.find("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::string commandLineArguments(const std::string& commandLine) {
    std::string::size_type end;
    if (!commandLine.empty() && commandLine[0] == '"') {
        end = commandLine.find('"', 1);
        end = end == std::string::npos ? commandLine.size() : end + 1;
    } else {
        end = commandLine.find_first_of(" \t");
        if (end == std::string::npos)
            end = commandLine.size();
    }
    // Only the one blank that joins program and arguments; the rest belongs to the arguments.
    if (end < commandLine.size() && (commandLine[end] == ' ' || commandLine[end] == '\t'))
        ++end;
    return commandLine.substr(end);
}

std::string packedGuid(const std::string& guid) {
    std::string digits;
    for (char c : guid)
        if (c != '{' && c != '}' && c != '-')
            digits += c;
    if (digits.size() != 32)
        return std::string();
    std::string packed;
    // The first three groups (8, 4, 4 digits) reversed whole; then each byte's two digits swapped.
    const int groups[] = {8, 4, 4};
    std::string::size_type at = 0;
    for (int length : groups) {
        packed.append(digits.rbegin() + (32 - at - length), digits.rbegin() + (32 - at));
        at += length;
    }
    for (; at < 32; at += 2) {
        packed += digits[at + 1];
        packed += digits[at];
    }
    return packed;
}
