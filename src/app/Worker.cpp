#include "app/Worker.h"

#include "app/Application.h"

DWORD WINAPI workerProcedure(LPVOID parameter) {
    auto* application = static_cast<Application*>(parameter);
    PostMessageA(application->window(), WM_CLOSE, 0, 0);
    return 0;
}
