#include "permission-helper/KeyRepair.h"

#include "permission-helper/HelperKeyLists.h"

std::vector<AclResult> repairKeys(const std::vector<std::string>& keys, const std::string& prefix,
                                  const std::function<void()>& afterEach) {
    std::vector<AclResult> results;
    results.reserve(keys.size());
    for (const std::string& key : keys) {
        results.push_back(applyAclCommand(aclCommandText(prefix, key)));
        if (afterEach)
            afterEach();
    }
    return results;
}
