#pragma once
#include <windows.h>

#include <string>

// Copies what the screen shows of a window into a 24-bit BMP file, so that a window of another
// process can be looked at after a test (scripts/permission-helper-screenshot makes a PNG of it).
// Returns the number of distinct colours seen, 0 when nothing could be captured.
size_t captureWindowToBmp(HWND window, const std::string& path);
