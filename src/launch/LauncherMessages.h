#pragma once
#include <windows.h>

// Posted by the worker to the launcher's window.
// The run ended in an error the user was shown: the exit code is -1.
constexpr UINT kLaunchFailedMessage = WM_APP + 1;
// The recorded values are about to be switched: the window asks Windows to show why it is busy.
constexpr UINT kValuesSwitchedMessage = WM_APP + 2;
// The values are back: the reason goes.
constexpr UINT kValuesBackMessage = WM_APP + 3;
// The run did its work but something the deployment tool should see went wrong: wParam is
// the exit code. When several come, the lowest code wins: it is the most serious.
constexpr UINT kRunWarningMessage = WM_APP + 4;
// Some recorded value did not come back.
constexpr int kExitPutBackIncomplete = 2;
// The launch ran without a journal: an interruption could not have been put back.
constexpr int kExitUnprotected = 3;
// -OPENKEYS: the permission helper could not change every key.
constexpr int kExitKeysNotAllOpened = 4;
// -UPDATE: the profile copy could not be brought up to date (the master could not be reached or
// read whole, or the new copy not written); the copy was launched as it was.
constexpr int kExitFrontEndNotUpdated = 5;
// Access could not be started (the system's reason is in the log and the box); the values are back.
constexpr int kExitAccessNotStarted = 6;
// Access started but its main window never appeared within the tries; it was ended.
constexpr int kExitNoMainWindow = 7;
// Office policy voids the trusted location the launch registered: Access runs with its code disabled.
constexpr int kExitTrustVoidedByPolicy = 8;
// -REPORT: a launch of this shortcut would not start Access.
constexpr int kExitReportNoLaunch = 9;
