#include "capture/CheckedRestore.h"

#include <string>

#include "registry/RegistryPrimitives.h"

namespace {

// The value as the registry stores it once this entry has been written back.
void expectedStored(const SavedValue& entry, DWORD& type, std::string& bytes) {
    if (entry.whole) {
        type = entry.type;
        bytes = entry.bytes;
    } else if (entry.type == REG_SZ) {
        type = REG_SZ;
        bytes = entry.text.c_str();  // written up to its first NUL, with the NUL
        bytes.push_back('\0');
    } else {
        type = REG_DWORD;
        bytes.assign(reinterpret_cast<const char*>(&entry.number), sizeof(entry.number));
    }
}

LONG writeBack(const SavedValue& entry) {
    if (entry.whole)
        return writeRawValue(entry.root, entry.key, entry.valueName, entry.type, entry.bytes);
    if (entry.type == REG_SZ)
        return writeStringValue(entry.root, entry.key, entry.valueName, entry.text, true);
    return writeDwordValue(entry.root, entry.key, entry.valueName, entry.number);
}

}  // namespace

std::vector<const SavedValue*> restoreAndVerify(const std::vector<SavedValue>& entries) {
    std::vector<const SavedValue*> failed;
    for (const SavedValue& entry : entries) {
        if (!entry.recorded || (!entry.whole && entry.type != REG_SZ && entry.type != REG_DWORD))
            continue;
        DWORD type = 0, storedType = 0;
        std::string expected, stored;
        expectedStored(entry, type, expected);
        if (writeBack(entry) != ERROR_SUCCESS ||
            readRawValue(entry.root, entry.key, entry.valueName, storedType, stored) != ERROR_SUCCESS ||
            storedType != type || stored != expected)
            failed.push_back(&entry);
    }
    return failed;
}
