#include "registry/Hive.h"

#include "base/AsciiCase.h"

namespace {

struct HiveNames {
    Hive hive;
    const char* longName;   // as the registry functions and the capture file name it
    const char* shortName;  // as the security functions name it
};

const HiveNames kHiveNames[] = {
    {Hive::ClassesRoot, "HKEY_CLASSES_ROOT", "CLASSES_ROOT"},
    {Hive::CurrentUser, "HKEY_CURRENT_USER", "CURRENT_USER"},
    {Hive::LocalMachine, "HKEY_LOCAL_MACHINE", "MACHINE"},
    {Hive::Users, "HKEY_USERS", "USERS"},
};

}  // namespace

const char* hiveText(Hive hive) {
    for (const auto& row : kHiveNames)
        if (row.hive == hive)
            return row.longName;
    return "";
}

bool hiveFromName(const std::string& name, Hive& hive) {
    for (const auto& row : kHiveNames) {
        if (equalsIgnoringAsciiCase(name, row.longName) || equalsIgnoringAsciiCase(name, row.shortName)) {
            hive = row.hive;
            return true;
        }
    }
    return false;
}
