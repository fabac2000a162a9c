#pragma once
#include <cstdint>

// The registry types the recording keeps: every one but REG_LINK, a link to another key that
// only the system makes; it is never recorded, so never written back either. Pure: no windows.h.
bool isRecordedType(std::uint32_t type);
