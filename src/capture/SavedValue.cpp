#include "capture/SavedValue.h"

#include "registry/RegistryPrimitives.h"
#include "registry/RegistryRoot.h"

void storedForm(const SavedValue& value, DWORD& type, std::string& bytes) {
    if (value.whole) {
        type = value.type;
        bytes = value.bytes;
    } else if (value.type == REG_SZ || value.type == REG_EXPAND_SZ) {
        type = value.type;
        bytes = value.text.c_str();  // up to its first NUL, with the NUL
        bytes.push_back('\0');
    } else {
        type = REG_DWORD;
        bytes.assign(reinterpret_cast<const char*>(&value.number), sizeof(value.number));
    }
}

LONG writeBack(const SavedValue& value) {
    DWORD type = 0;
    std::string bytes;
    storedForm(value, type, bytes);
    return writeRawValue(value.root, value.key, value.valueName, type, bytes, viewFlag(value.view));
}
