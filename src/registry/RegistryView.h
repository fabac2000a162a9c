#pragma once

// The registry view a value lives in. This program is a 32-bit one: its own view is the 32-bit
// view, and a 64-bit Access reads the keys WOW64 keeps apart (Wow64Redirection.h) in the other.
// Plain data, so that tables, journals and capture files need no windows.h; the Windows layer
// maps it to the KEY_WOW64_ flag (viewFlag in RegistryRoot.h).
enum class RegistryView { Own, View64 };

// "" for the program's own view, " (64-bit view)" for the other: what log lines add to a value's name.
inline const char* registryViewNote(RegistryView view) {
    return view == RegistryView::View64 ? " (64-bit view)" : "";
}
