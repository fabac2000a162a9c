#pragma once
#include <cstdint>

// The registry types the recording keeps: text, expandable text, numbers, and the shapes it keeps
// whole. Links and hardware resource lists are never recorded, so never written back either.
// Pure: no windows.h.
bool isRecordedType(std::uint32_t type);
