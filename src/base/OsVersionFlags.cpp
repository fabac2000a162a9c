#include "base/OsVersionFlags.h"

#include <windows.h>

OsVersionFlags OsVersionFlags::fromVersion(unsigned long majorVersion, unsigned long platformId) {
    OsVersionFlags flags;
    flags.isNT4 = majorVersion == 4;
    flags.isVistaOrLater = majorVersion > 5;
    flags.isWin9x = platformId == VER_PLATFORM_WIN32_WINDOWS;
    return flags;
}

OsVersionFlags OsVersionFlags::current() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    if (!GetVersionExA(&version))
        return OsVersionFlags();
    return fromVersion(version.dwMajorVersion, version.dwPlatformId);
}
