#pragma once

// The helper's whole command line is either "noprogress" (any letter case), which hides the
// progress window, or anything else, which shows it. A null command line shows it.
bool showsProgressWindow(const char* commandLine);
