#include "app/Application.h"

#include <stdexcept>

#include "app/OptionParser.h"
#include "app/Worker.h"
#include "base/UniqueHandle.h"
#include "launch/LauncherMessages.h"
#include "launch/Mallowbrook.h"
#include "log/NullLog.h"
#include "log/StringLog.h"
#include "log/TextLog.h"

Application::Application(HINSTANCE instance, std::string commandLine, int edition)
    : edition_(edition), instance_(instance), commandLine_(std::move(commandLine)) {}

int Application::run() {
    if (!initialise()) {
        MessageBoxA(nullptr, "Invalid Command line", "Mallowbrook", MB_OK | MB_ICONWARNING);
        return -1;
    }
    registerWindowClass();
    createWindow();
    UpdateWindow(window_);

    MSG msg = {};
    while (GetMessageA(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (runFailed_)
        return -1;
    return warningExit_ != 0 ? warningExit_ : static_cast<int>(msg.wParam);
}

bool Application::initialise() {
    if (commandLine_.empty())
        return false;

    // Whether to log is known only after parsing, so the parser's lines wait in memory.
    StringLog startupLines;
    OptionParser parser(&startupLines);
    parser.parse(commandLine_, settings_);

    if (!factory_.hasLog()) {
        // -REPORT writes its report and no other file.
        if (settings_.logging && !settings_.report)
            factory_.adopt(std::make_unique<TextLog>());
        else
            factory_.adopt(std::make_unique<NullLog>());
    }
    log_ = factory_.log();

    if (log_->IsEnabled()) {
        for (const std::string& line : startupLines.lines())
            log_->WriteLine(line);
        log_->WriteLine("Mallowbrook_" + std::to_string(edition_) + " version: " + kVersion);
        log_->WriteLine("Command line: " + commandLine_);
    }
    return true;
}

void Application::registerWindowClass() {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(WNDCLASSEXA);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = instance_;
    windowClass.hIcon = nullptr;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszMenuName = "Mallowbrook";
    windowClass.lpszClassName = className_.c_str();
    windowClass.hIconSm = nullptr;
    if (RegisterClassExA(&windowClass) == 0)
        throw std::runtime_error("Couldn't register main window class.");
}

void Application::createWindow() {
    // Never shown: the window only gives the process a message loop.
    window_ = CreateWindowExA(0, className_.c_str(), windowTitle_.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0,
                              CW_USEDEFAULT, 0, nullptr, nullptr, instance_, this);
    if (window_ == nullptr)
        throw std::runtime_error("Couldn't create main window!");
}

LRESULT CALLBACK Application::windowProcedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_CREATE) {
        auto* application = static_cast<Application*>(reinterpret_cast<CREATESTRUCTA*>(l)->lpCreateParams);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(application));
        return application->onCreate(window);
    }
    auto* application = reinterpret_cast<Application*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (application == nullptr)
        return DefWindowProcA(window, message, w, l);

    switch (message) {
    case WM_TIMER:
        return application->onTimer(window);
    case WM_PAINT:
        return onPaint(window);
    case WM_QUERYENDSESSION:
        return 1;  // the session may end at any moment, also while Access is awaited
    case WM_ENDSESSION:
        return application->onEndSession(window, w != FALSE);
    case kValuesSwitchedMessage:
    case kValuesBackMessage:
        application->showBusyReason(window, message == kValuesSwitchedMessage);
        return 0;
    case kRunWarningMessage:
        application->noteWarning(static_cast<int>(w));
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case kLaunchFailedMessage:
        application->runFailed_ = true;
        return 0;
    default:
        return DefWindowProcA(window, message, w, l);
    }
}

LRESULT Application::onCreate(HWND window) {
    SetTimer(window, timerId_, 250, nullptr);
    return 0;
}

LRESULT Application::onTimer(HWND window) {
    KillTimer(window, timerId_);
    // The main thread never joins the worker; only its handle is released here.
    UniqueKernelHandle worker(CreateThread(nullptr, 0, workerProcedure, this, 0, &threadId_));
    if (!worker)
        PostMessageA(window, WM_CLOSE, 0, 0);
    return 0;
}

LRESULT Application::onPaint(HWND window) {
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    EndPaint(window, &paint);
    return 0;
}

void Application::setLauncher(std::shared_ptr<Mallowbrook> launcher) {
    std::lock_guard<std::mutex> guard(launcherLock_);
    launcher_ = std::move(launcher);
}

// The process ends right after this returns, so the values go back now, on this thread.
LRESULT Application::onEndSession(HWND window, bool ending) {
    if (!ending)
        return 0;
    std::shared_ptr<Mallowbrook> launcher;
    {
        std::lock_guard<std::mutex> guard(launcherLock_);
        launcher = launcher_;
    }
    if (launcher && launcher->putBackAtSessionEnd())
        showBusyReason(window, false);
    return 0;
}

// Looked up at run time: systems before Vista have no shutdown block reasons.
void Application::showBusyReason(HWND window, bool busy) {
    using CreateReason = BOOL(WINAPI*)(HWND, LPCWSTR);
    using DestroyReason = BOOL(WINAPI*)(HWND);
    HMODULE user = GetModuleHandleA("user32.dll");
    if (user == nullptr)
        return;
    if (busy) {
        if (auto create = reinterpret_cast<CreateReason>(GetProcAddress(user, "ShutdownBlockReasonCreate")))
            create(window, L"Access is running. Mallowbrook puts back its registry settings when Access closes.");
    } else if (auto destroy = reinterpret_cast<DestroyReason>(GetProcAddress(user, "ShutdownBlockReasonDestroy"))) {
        destroy(window);
    }
}
