#pragma once
// Resource and control identifiers of MallowbrookPermissions.exe, shared by its resource script,
// its code and the tests that look at its window. The progress window's own are shared with the
// launcher, which shows the same window.
#include "progress/ProgressDialog.h"

#define IDS_HELPER_TITLE 103   // "MallowbrookPermissions"
#define IDS_HELPER_CLASS 109   // "MALLOWBROOKPERMISSIONS", the hidden main window's class
#define IDA_HELPER 109         // accelerator table
#define IDI_HELPER 129         // window class and progress window icon
#define IDM_HELPER_ABOUT 104   // the accelerator table's only command; no window acts on it

#define HELPER_WORK_TIMER 2048  // starts the work once the message loop runs
#define HELPER_WORK_DELAY_MS 200
