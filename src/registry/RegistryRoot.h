#pragma once
#include <windows.h>

#include "registry/Hive.h"
#include "registry/RegistryView.h"

// Maps the plain hive names of tables and text codecs to the predefined root keys and back.
HKEY rootKey(Hive hive);
// False for a handle that is not one of the four predefined roots.
bool hiveOf(HKEY root, Hive& hive);
// 0 for the program's own view, KEY_WOW64_64KEY for the 64-bit one.
inline REGSAM viewFlag(RegistryView view) {
    return view == RegistryView::View64 ? KEY_WOW64_64KEY : 0;
}
