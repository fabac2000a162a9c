// Any bytes may be found where the record of a front-end's master should be: reading them must
// never fail, a record accepted must be exactly what the writer would write for it, and any path
// written reads back.
#include <cstddef>
#include <cstdint>
#include <string>

#include "frontend/FrontEndRules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    FrontEndRecord record;
    if (parseFrontEndRecord(bytes, record) && formatFrontEndRecord(record) != bytes)
        __builtin_trap();

    // The bytes as a path: a record of them reads back whole unless a line end would split it.
    const FrontEndRecord written{bytes, size, size * 7};
    FrontEndRecord read;
    const bool splits = bytes.empty() || bytes.find("\r\n") != std::string::npos;
    if (parseFrontEndRecord(formatFrontEndRecord(written), read) == splits)
        __builtin_trap();
    if (!splits && (read.master != bytes || read.size != size || read.lastWrite != size * 7))
        __builtin_trap();
    return 0;
}
