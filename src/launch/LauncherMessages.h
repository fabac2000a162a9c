#pragma once
#include <windows.h>

// Posted by the worker to the launcher's window.
// The run ended in an error the user was shown: the exit code is -1.
constexpr UINT kLaunchFailedMessage = WM_APP + 1;
// The recorded values are about to be switched: the window asks Windows to show why it is busy.
constexpr UINT kValuesSwitchedMessage = WM_APP + 2;
// The values are back: the reason goes.
constexpr UINT kValuesBackMessage = WM_APP + 3;
// Some recorded value did not come back: the process ends with kExitPutBackIncomplete.
constexpr UINT kPutBackIncompleteMessage = WM_APP + 4;
constexpr int kExitPutBackIncomplete = 2;
