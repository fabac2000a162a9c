#pragma once

// The predefined registry roots, as plain data so that tables and text codecs need no windows.h.
// The Windows layer maps them to HKEY values (rootKey in RegistryRoot.h).
#include <string>

enum class Hive { ClassesRoot, CurrentUser, LocalMachine, Users };

// Every hive, in this order.
constexpr Hive kHives[] = {Hive::ClassesRoot, Hive::CurrentUser, Hive::LocalMachine, Hive::Users};

// "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE" or "HKEY_USERS".
const char* hiveText(Hive hive);
// The hive a root is named by: its long name ("HKEY_LOCAL_MACHINE") or the short one of the
// security functions ("MACHINE"), in any ASCII letter case. False for any other text.
bool hiveFromName(const std::string& name, Hive& hive);
