#pragma once
#include <windows.h>

class HelperProbe;

// The helper's one job: give the Users group the rights the launcher uses on every class key and
// machine key of the fixed value table, showing the progress window meanwhile when showProgress is set.
// Returns how many existing keys could not be changed.
int runRepairWork(HINSTANCE instance, HWND owner, bool showProgress, const HelperProbe& probe);
