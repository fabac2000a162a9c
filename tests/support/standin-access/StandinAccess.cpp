// A stand-in for MSACCESS.EXE (and, built under that name, for launch32.exe). It records the
// command line it was given and shows the kind of main window the test asks for. Everything it
// is told comes through environment variables, so its command line stays exactly what the
// launcher composed:
//
//   STANDIN_RECORD        file to append the raw command line to, one line per start
//                         (default: next to the program, "<program file name>.commandline.txt";
//                         set but empty: record nothing)
//   STANDIN_SHOW_RECORD   if set, file to append the show command (wShowWindow, or -1) to
//   STANDIN_WINDOW        "OMain" (default): a parentless top-level window of class "OMain"
//                         "omain":  the same with the class name in lower case
//                         "owned":  an "OMain" popup owned by another window of this process
//                         "none":   no window at all
//                         "other-process": no window here; a second copy of this program
//                                   shows the "OMain" window and ends when this one ends
//   STANDIN_WINDOW_DELAY  milliseconds before the window appears (default 0)
//   STANDIN_LIFETIME      milliseconds from start until it exits by itself (default 120000);
//                         "0" exits at once after recording, "infinite" only on WM_CLOSE
//   STANDIN_EXIT_CODE     exit code (default 0)
//   STANDIN_HOLD_FILE     if set, a file it opens (creating it) and keeps open while it runs, as
//                         Access keeps the lock file of the database it has open
//   STANDIN_CRASH_AFTER   milliseconds from start until it crashes with an access violation
//                         (default: never); "0" crashes at once after recording. The process
//                         ends with the exception code and no error report or debugger waits
//                         for a user.
//   STANDIN_SIZE_RECORD   if set, file to append the size of the database it opens to
//
// Like Access, it writes to the database it opens (its first argument that is not a switch),
// when that file exists: it rewrites the first byte with the byte that is there, so the bytes
// stay as they were and only the file's time moves.
//
// Posting WM_CLOSE to any of its windows ends it.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "base/UniqueHandle.h"

namespace {

const char kOwnerClass[] = "StandinOwner";

std::string environmentText(const char* name, bool* present = nullptr) {
    char buffer[4096] = {};
    DWORD length = GetEnvironmentVariableA(name, buffer, sizeof(buffer));
    bool found = length > 0 || GetLastError() != ERROR_ENVVAR_NOT_FOUND;
    if (present)
        *present = found;
    return length < sizeof(buffer) ? std::string(buffer, length) : std::string();
}

long environmentNumber(const char* name, long fallback) {
    std::string text = environmentText(name);
    if (text.empty())
        return fallback;
    if (text == "infinite")
        return -1;
    return std::strtol(text.c_str(), nullptr, 10);
}

std::string ownPath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

void appendLine(const std::string& path, const std::string& line) {
    if (path.empty())
        return;
    // Several stand-ins may append to one file; each line goes in one write.
    UniqueFile file(CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return;
    std::string text = line + "\r\n";
    DWORD written = 0;
    WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

void recordStart() {
    bool present = false;
    std::string record = environmentText("STANDIN_RECORD", &present);
    if (!present) {
        std::string path = ownPath();
        record = path + ".commandline.txt";
    }
    appendLine(record, GetCommandLineA());

    std::string showRecord = environmentText("STANDIN_SHOW_RECORD");
    if (!showRecord.empty()) {
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        GetStartupInfoA(&startup);
        int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
        appendLine(showRecord, std::to_string(show));
    }
}

void openDatabase() {
    std::string database;
    for (int i = 1; i < __argc && database.empty(); ++i)
        if (__argv[i][0] != '/')
            database = __argv[i];
    UniqueFile file(database.empty() ? INVALID_HANDLE_VALUE
                                     : CreateFileA(database.c_str(), GENERIC_READ | GENERIC_WRITE,
                                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return;
    LARGE_INTEGER size = {};
    if (GetFileSizeEx(file.get(), &size))
        appendLine(environmentText("STANDIN_SIZE_RECORD"), std::to_string(size.QuadPart));
    char first = 0;
    DWORD done = 0;
    if (ReadFile(file.get(), &first, 1, &done, nullptr) && done == 1 &&
        SetFilePointer(file.get(), 0, nullptr, FILE_BEGIN) == 0)
        WriteFile(file.get(), &first, 1, &done, nullptr);
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    switch (message) {
    case WM_CLOSE:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, w, l);
    }
}

bool registerClass(HINSTANCE instance, const char* name) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = name;
    return RegisterClassA(&windowClass) != 0;
}

// A second copy of this program, told to show "OMain" and to end with this process.
void startWindowInOtherProcess() {
    SetEnvironmentVariableA("STANDIN_WINDOW", "OMain");
    SetEnvironmentVariableA("STANDIN_RECORD", "");
    SetEnvironmentVariableA("STANDIN_SHOW_RECORD", nullptr);
    SetEnvironmentVariableA("STANDIN_WATCH_PID", std::to_string(GetCurrentProcessId()).c_str());
    std::string commandLine = "\"" + ownPath() + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        UniqueKernelHandle process(info.hProcess), thread(info.hThread);
    }
}

void showWindow(HINSTANCE instance, int show) {
    std::string mode = environmentText("STANDIN_WINDOW");
    if (mode.empty())
        mode = "OMain";
    if (mode == "none")
        return;
    if (mode == "other-process") {
        startWindowInOtherProcess();
        return;
    }
    if (mode == "owned") {
        registerClass(instance, kOwnerClass);
        registerClass(instance, "OMain");
        HWND owner = CreateWindowExA(0, kOwnerClass, "Stand-in owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200,
                                     nullptr, nullptr, instance, nullptr);
        // A popup's owner is what GetParent reports for it.
        CreateWindowExA(0, "OMain", "Stand-in Access", WS_POPUP | WS_CAPTION | WS_VISIBLE, 40, 40, 300, 200, owner,
                        nullptr, instance, nullptr);
        return;
    }
    const char* className = mode == "omain" ? "omain" : "OMain";
    registerClass(instance, className);
    HWND window = CreateWindowExA(0, className, "Stand-in Access", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                  400, 300, nullptr, nullptr, instance, nullptr);
    ShowWindow(window, show);
}

// The last-chance filter ends the process at once: Wine would otherwise start its debugger,
// which waits for a user just as an error report box does.
LONG WINAPI endWithTheException(EXCEPTION_POINTERS*) {
    return EXCEPTION_EXECUTE_HANDLER;
}

// An access violation nobody handles, as a faulty Access would have it.
void crash() {
    SetErrorMode(SEM_NOGPFAULTERRORBOX | SEM_FAILCRITICALERRORS);
    SetUnhandledExceptionFilter(endWithTheException);
    *static_cast<volatile int*>(nullptr) = 0;
}

HINSTANCE gInstance;
int gShow;
// Thread timers get their ids from SetTimer, not from the caller.
UINT_PTR gShowWindowTimer;
UINT_PTR gCrashTimer;
// DispatchMessage swallows exceptions of timer callbacks, so the crash happens in the loop.
bool gCrashNow = false;

void CALLBACK onTimer(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (id == gShowWindowTimer)
        showWindow(gInstance, gShow);
    else if (id == gCrashTimer)
        gCrashNow = true;
    else
        PostQuitMessage(static_cast<int>(environmentNumber("STANDIN_EXIT_CODE", 0)));
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    gInstance = instance;
    gShow = show;
    recordStart();
    openDatabase();
    // Shared for reading and writing, not for deleting, as Access holds it.
    const std::string held = environmentText("STANDIN_HOLD_FILE");
    UniqueFile heldFile(held.empty() ? INVALID_HANDLE_VALUE
                                     : CreateFileA(held.c_str(), GENERIC_READ | GENERIC_WRITE,
                                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    int exitCode = static_cast<int>(environmentNumber("STANDIN_EXIT_CODE", 0));
    long lifetime = environmentNumber("STANDIN_LIFETIME", 120000);
    long crashAfter = environmentNumber("STANDIN_CRASH_AFTER", -1);
    if (crashAfter == 0)
        crash();
    if (lifetime == 0)
        return exitCode;

    // The copy that shows the window for "other-process" ends with the process it stands beside.
    UniqueKernelHandle watched;
    long watchedId = environmentNumber("STANDIN_WATCH_PID", 0);
    if (watchedId > 0)
        watched.reset(OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(watchedId)));

    long delay = environmentNumber("STANDIN_WINDOW_DELAY", 0);
    if (watchedId > 0 || delay <= 0)
        showWindow(instance, show);
    else
        gShowWindowTimer = SetTimer(nullptr, 0, static_cast<UINT>(delay), onTimer);
    if (lifetime > 0)
        SetTimer(nullptr, 0, static_cast<UINT>(lifetime), onTimer);
    if (crashAfter > 0)
        gCrashTimer = SetTimer(nullptr, 0, static_cast<UINT>(crashAfter), onTimer);

    HANDLE handles[1] = {watched.get()};
    DWORD count = watched ? 1 : 0;
    for (;;) {
        DWORD wait = MsgWaitForMultipleObjects(count, handles, FALSE, INFINITE, QS_ALLINPUT);
        if (count == 1 && wait == WAIT_OBJECT_0)
            return exitCode;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                return static_cast<int>(message.wParam);
            TranslateMessage(&message);
            DispatchMessageA(&message);
            if (gCrashNow)
                crash();
        }
    }
}
