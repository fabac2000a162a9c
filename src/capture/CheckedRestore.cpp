#include "capture/CheckedRestore.h"

#include <string>

#include "registry/RegistryPrimitives.h"
#include "registry/RegistryRoot.h"

std::vector<const SavedValue*> restoreAndVerify(const std::vector<SavedValue>& entries) {
    std::vector<const SavedValue*> failed;
    for (const SavedValue& entry : entries) {
        if (!entry.recorded)
            continue;
        DWORD type = 0, storedType = 0;
        std::string expected, stored;
        storedForm(entry, type, expected);
        if (writeBack(entry) != ERROR_SUCCESS ||
            readRawValue(entry.root, entry.key, entry.valueName, storedType, stored, viewFlag(entry.view)) !=
                ERROR_SUCCESS ||
            storedType != type || stored != expected)
            failed.push_back(&entry);
    }
    return failed;
}
