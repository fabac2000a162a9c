#pragma once
// The progress window's dialog and control identifiers, shared by the resource script that every
// program showing the window includes (progress/ProgressDialog.rc), its code and the tests.

#define IDD_PROGRESS 131         // the progress window
#define IDC_PROGRESS_BAR 1000    // its "msctls_progress32" bar
#define IDC_PROGRESS_ABOVE 1001  // a line of text above the bar, where one is asked for
#define IDC_PROGRESS_BELOW 1002  // and one below it
