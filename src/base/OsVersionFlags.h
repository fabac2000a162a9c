#pragma once

// What the program needs to know of the Windows version, read once with GetVersionExA.
// All flags stay false when the version cannot be read.
struct OsVersionFlags {
    int isNT4 = 0;           // major version 4
    int isVistaOrLater = 0;  // major version above 5
    int isWin9x = 0;         // VER_PLATFORM_WIN32_WINDOWS

    static OsVersionFlags current();
    // The flags of a given version; pure, for the rule itself.
    static OsVersionFlags fromVersion(unsigned long majorVersion, unsigned long platformId);
};
