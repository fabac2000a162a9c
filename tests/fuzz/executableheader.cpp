// Any bytes give an answer without reading outside them, and the answer depends only on the
// headers: bytes appended after the optional header's magic never change it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "discovery/ExecutableBitness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string header(reinterpret_cast<const char*>(data), size);
    const ExecutableBitness bitness = executableBitnessOf(header);
    if (bitness != ExecutableBitness::Unknown && executableBitnessOf(header + std::string(16, '\xEE')) != bitness)
        std::abort();
    return 0;
}
