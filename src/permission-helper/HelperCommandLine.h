#pragma once

// The one argument that hides the progress window; the launcher passes it for -NOPROGRESS.
constexpr char kNoProgressArgument[] = "noprogress";

// The helper's whole command line is either "noprogress" (any letter case), which hides the
// progress window, or anything else, which shows it. A null command line shows it.
bool showsProgressWindow(const char* commandLine);
