#include "permission-helper/KeyRepair.h"

#include <algorithm>

#include "permission-helper/HelperKeyLists.h"

int repairHelperKeys(const std::vector<HelperKey>& keys, const std::function<void()>& afterEach) {
    // A key listed twice and failing both times is still one key left unchanged.
    std::vector<std::string> unchanged;
    for (const HelperKey& key : keys) {
        const AclResult result = applyAclCommand(aclCommandText(key.prefix, key.key, key.view));
        const std::string name = key.prefix + "\\" + key.key + registryViewNote(key.view);
        if (result.outcome != AclOutcome::Applied && result.outcome != AclOutcome::KeyMissing &&
            std::find(unchanged.begin(), unchanged.end(), name) == unchanged.end())
            unchanged.push_back(name);
        if (afterEach)
            afterEach();
    }
    return static_cast<int>(unchanged.size());
}
