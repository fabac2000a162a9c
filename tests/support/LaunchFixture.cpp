#include "support/LaunchFixture.h"

#include <tlhelp32.h>

#include <cstring>

#include "base/UniqueHandle.h"
#include "capture/CaptureFile.h"
#include "journal/JournalFile.h"
#include "support/TestWait.h"

namespace {

// Ends every stand-in still showing a window.
void closeAccessWindows() {
    for (int i = 0; i < 100; ++i) {
        HWND window = FindWindowA("OMain", nullptr);
        if (!window)
            return;
        DWORD id = 0;
        GetWindowThreadProcessId(window, &id);
        UniqueKernelHandle process(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, id));
        PostMessageA(window, WM_CLOSE, 0, 0);
        if (process && WaitForSingleObject(process.get(), 3000) != WAIT_OBJECT_0)
            TerminateProcess(process.get(), 0);
    }
}

// Waits for the end of a run, answering its boxes as runToEnd says; like waitForExit, ends the
// run that does not end in time.
bool waitAnsweringBoxes(LauncherProcess& run, std::vector<MessageBoxInfo>& boxes, int answer, DWORD timeoutMs) {
    MessageBoxDriver driver(run.id());
    for (DWORD start = GetTickCount(); WaitForSingleObject(run.handle(), 0) == WAIT_TIMEOUT;) {
        if (GetTickCount() - start > testWait(timeoutMs)) {
            run.waitForExit(0);
            return false;
        }
        MessageBoxInfo box;
        if (driver.waitForBox(box, 100)) {
            boxes.push_back(box);
            bool question = false;
            for (const std::string& button : box.buttons)
                question = question || button == "Yes";
            MessageBoxDriver::press(box, question ? answer : IDOK);
        }
    }
    return true;
}

}  // namespace

std::string launcherFor(int edition) {
    return edition == 2002 ? "Mallowbrook.exe" : "Mallowbrook" + std::to_string(edition) + ".exe";
}

bool textHas(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

size_t textCount(const std::string& text, const std::string& part) {
    size_t found = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++found;
    return found;
}

bool waitForLog(const std::string& text, DWORD timeoutMs) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < testWait(timeoutMs); Sleep(10))
        if (textHas(readFile(logFilePath()), text))
            return true;
    return false;
}

HWND waitForAccessWindow(DWORD timeoutMs) {
    for (DWORD waited = 0; waited < testWait(timeoutMs); waited += 50) {
        if (HWND window = FindWindowA("OMain", nullptr))
            return window;
        Sleep(50);
    }
    return nullptr;
}

void endStandinAccess() {
    closeAccessWindows();
    UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot.get(), &entry); more; more = Process32Next(snapshot.get(), &entry)) {
        if (_stricmp(entry.szExeFile, "MSACCESS.EXE") != 0)
            continue;
        UniqueKernelHandle process(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, entry.th32ProcessID));
        if (process && TerminateProcess(process.get(), 0))
            WaitForSingleObject(process.get(), 3000);
    }
}

// A journal left by a launcher that a test killed would be put back in the next test.
void removeJournals() {
    for (const JournalPlace& place : journalPlaces()) {
        if (place.folder.empty() || !place.problem.empty())
            continue;
        WIN32_FIND_DATAA found = {};
        UniqueFind find(FindFirstFileA((place.folder + "journal-*").c_str(), &found));
        for (bool more = static_cast<bool>(find); more; more = FindNextFileA(find.get(), &found) != 0)
            removeFile(place.folder + found.cFileName);
    }
}

void LaunchFixture::SetUp() {
    endStandinAccess();
    removeFile(logFilePath());
    removeJournals();
    // A capture file another test kept would be restored by this test's -RESTORE.
    removeFile(captureFilePath());
    ensureInstallerUserData();
    standin.set("STANDIN_LIFETIME", "20000");
    standin.set("STANDIN_WINDOW_DELAY", "0");
    standin.set("STANDIN_WINDOW", "OMain");
}

void LaunchFixture::TearDown() {
    endStandinAccess();
    removeFile(logFilePath());
    removeJournals();
    removeFile(captureFilePath());
}

AccessInstall& LaunchFixture::install(int edition, AccessKind kind, const std::string& folder) {
    installs.push_back(std::make_unique<AccessInstall>(edition, kind, folder));
    AccessInstall& access = *installs.back();
    if (kind != AccessKind::Runtime64)
        libraries.push_back(
            std::make_unique<InstalledFile>(binFolder() + "MSACC.OLB", access.folder() + "\\MSACC.OLB"));
    return access;
}

AccessInstall& LaunchFixture::installClickToRun(const ClickToRunLayout& layout) {
    installs.push_back(std::make_unique<AccessInstall>(layout));
    return *installs.back();
}

bool LaunchFixture::installedWithLibrary(const AccessInstall& access) const {
    if (access.is64() || access.kind() == AccessKind::ClickToRun)
        return access.installed() && fileExistsAt(access.folder() + "\\MSACC.OLB");
    for (const auto& library : libraries)
        if (library->path() == access.folder() + "\\MSACC.OLB")
            return access.installed() && library->installed();
    return false;
}

void LaunchFixture::uninstall() {
    libraries.clear();
    installs.clear();
}

bool LaunchFixture::runToEnd(const std::string& program, const std::string& arguments, DWORD* exitCode, int answer,
                             DWORD timeoutMs) {
    LauncherProcess run(program, arguments);
    if (!run.started())
        return false;
    const bool ended = answerBoxes ? waitAnsweringBoxes(run, boxes, answer, timeoutMs) : run.waitForExit(timeoutMs);
    if (!ended)
        return false;
    if (exitCode)
        *exitCode = run.exitCode();
    return true;
}
