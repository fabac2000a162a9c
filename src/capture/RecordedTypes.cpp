#include "capture/RecordedTypes.h"

#include <algorithm>
#include <iterator>

namespace {

// The registry's type numbers (winnt.h), kept here so that this file needs no windows.h.
const std::uint32_t kRecordedTypes[] = {
    0,   // REG_NONE
    1,   // REG_SZ
    2,   // REG_EXPAND_SZ
    3,   // REG_BINARY
    4,   // REG_DWORD
    7,   // REG_MULTI_SZ
    11,  // REG_QWORD
};

}  // namespace

bool isRecordedType(std::uint32_t type) {
    return std::find(std::begin(kRecordedTypes), std::end(kRecordedTypes), type) != std::end(kRecordedTypes);
}
