#include <windows.h>

#include <exception>
#include <string>

#include "app/Application.h"
#include "base/SystemDllSearch.h"

#ifndef MALLOWBROOK_EDITION
#define MALLOWBROOK_EDITION 2002
#endif

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    // Shortcuts often start the launcher from a shared folder; no DLL is taken from there.
    restrictDllSearchToSystemFolder();
    std::string text = commandLine ? commandLine : "";
    try {
        Application application(instance, text, MALLOWBROOK_EDITION);
        return application.run();
    } catch (const std::exception& error) {
        std::string message = std::string("The application encountered an unexpected error: ") + error.what();
        MessageBoxA(nullptr, message.c_str(), "Mallowbrook", MB_OK | MB_ICONWARNING);
        return -1;
    }
}
