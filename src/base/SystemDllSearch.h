#pragma once

// Makes the process load DLLs by name from the system folder only, never from its own folder,
// the current folder or PATH, where any program of the user can put a DLL of the right name.
// Called first thing, before anything can load a DLL. SetDefaultDllDirectories is looked up at
// run time (Windows 8, or 7 and Vista with their update); without it SetDllDirectoryA("") at
// least takes the current folder out of the search.
void restrictDllSearchToSystemFolder();
