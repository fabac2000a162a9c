#pragma once
#include <windows.h>

class HelperProbe;

// The helper's one job: grant the Users group full access to every class key and machine key
// of the fixed value table, showing the progress window while the class keys are done when
// showProgress is set.
void runRepairWork(HINSTANCE instance, HWND owner, bool showProgress, const HelperProbe& probe);
