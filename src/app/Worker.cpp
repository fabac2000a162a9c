#include "app/Worker.h"

#include "app/Application.h"
#include "registry/RestoreSet.h"

DWORD WINAPI workerProcedure(LPVOID parameter) {
    auto* application = static_cast<Application*>(parameter);
    const Settings* settings = application->settings();
    // The maintenance modes; -CAPTURE wins when both are given.
    if (settings->captureValues)
        captureToFile(application->log(), application->window());
    else if (settings->restoreValues)
        restoreFromFile(application->log(), application->window());
    PostMessageA(application->window(), WM_CLOSE, 0, 0);
    return 0;
}
