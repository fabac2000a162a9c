#include "registry/RegistryRoot.h"

namespace {

struct RootRow {
    Hive hive;
    HKEY root;
};

const RootRow kRoots[] = {
    {Hive::ClassesRoot, HKEY_CLASSES_ROOT},
    {Hive::CurrentUser, HKEY_CURRENT_USER},
    {Hive::LocalMachine, HKEY_LOCAL_MACHINE},
    {Hive::Users, HKEY_USERS},
};

}  // namespace

HKEY rootKey(Hive hive) {
    for (const auto& row : kRoots)
        if (row.hive == hive)
            return row.root;
    return nullptr;
}

bool hiveOf(HKEY root, Hive& hive) {
    for (const auto& row : kRoots) {
        if (row.root == root) {
            hive = row.hive;
            return true;
        }
    }
    return false;
}
