#pragma once
#include <windows.h>

#include <memory>

#include "launch/Mallowbrook.h"
#include "launch/Settings.h"
#include "log/ILog.h"

// The launcher of an edition year (2002, 2003, 2007, 2010, 2013, 2016); empty for any other
// year. The log, window, instance and settings stay owned by the caller.
std::shared_ptr<Mallowbrook> createLauncher(int edition, ILog* log, HWND window, HINSTANCE instance,
                                            Settings* settings);
