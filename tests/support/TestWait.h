#pragma once
#include <windows.h>

// A bounded wait of the tests, stretched by MALLOWBROOK_WAIT_SCALE (a whole number, default 1):
// where Wine's 32-bit programs run under an emulator every start takes seconds, and a wait that
// suits a native machine would fail though nothing is wrong. Waits end early on what they await.
DWORD testWait(DWORD milliseconds);
