#pragma once

// The predefined registry roots, as plain data so that tables and text codecs need no windows.h.
// The Windows layer maps them to HKEY values (rootKey in RegistryRoot.h).
enum class Hive { ClassesRoot, CurrentUser, LocalMachine, Users };

// "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE" or "HKEY_USERS".
const char* hiveText(Hive hive);
