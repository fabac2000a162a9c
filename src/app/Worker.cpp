#include "app/Worker.h"

#include <exception>
#include <memory>
#include <stdexcept>
#include <string>

#include "app/Application.h"
#include "launch/LauncherFactory.h"
#include "launch/LauncherMessages.h"

namespace {

// An exception that escaped the run: nothing may stay switched and the user must hear of it.
void reportEscapedError(Application* application, Mallowbrook* launcher, const std::string& message) {
    ILog* log = application->log();
    const std::string text = "The application encountered an unexpected error: " + message;
    if (log->IsEnabled())
        log->WriteLine(text);
    // Put back first, so the registry is whole even if the box is never answered.
    if (launcher != nullptr) {
        try {
            launcher->putBackAfterFailure();
        } catch (const std::exception& error) {
            if (log->IsEnabled())
                log->WriteLine(std::string("Putting back the registry values failed: ") + error.what());
        }
    }
    MessageBoxA(nullptr, text.c_str(), "Mallowbrook", MB_OK | MB_ICONWARNING);
    PostMessageA(application->window(), kLaunchFailedMessage, 0, 0);
    PostMessageA(application->window(), WM_CLOSE, 0, 0);
}

}  // namespace

DWORD WINAPI workerProcedure(LPVOID parameter) {
    auto* application = static_cast<Application*>(parameter);
    std::shared_ptr<Mallowbrook> launcher;
    try {
        launcher = createLauncher(application->edition(), application->log(), application->window(),
                                  application->instance(), application->settings());
        if (!launcher)
            throw std::runtime_error("No launcher exists for Access " + std::to_string(application->edition()) + ".");
        application->setLauncher(launcher);
        launcher->run();
    } catch (const std::exception& error) {
        reportEscapedError(application, launcher.get(), error.what());
    } catch (...) {
        // Nothing of ours throws anything else, but a thread must not end the process unreported.
        reportEscapedError(application, launcher.get(), "unknown error");
    }
    return 0;
}
