#pragma once
#include <windows.h>

#include "registry/Hive.h"

// Maps the plain hive names of tables and text codecs to the predefined root keys and back.
HKEY rootKey(Hive hive);
// False for a handle that is not one of the four predefined roots.
bool hiveOf(HKEY root, Hive& hive);
