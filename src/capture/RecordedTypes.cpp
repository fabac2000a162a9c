#include "capture/RecordedTypes.h"

bool isRecordedType(std::uint32_t type) {
    // REG_LINK (winnt.h), kept here so that this file needs no windows.h.
    return type != 6;
}
