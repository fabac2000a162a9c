#pragma once
#include <windows.h>

// The single worker thread: runs the launch for the Application passed as its argument
// and ends by posting WM_CLOSE to the hidden window.
DWORD WINAPI workerProcedure(LPVOID application);
