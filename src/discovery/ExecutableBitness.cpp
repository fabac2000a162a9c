#include "discovery/ExecutableBitness.h"

#include <cstdint>

namespace {

constexpr std::size_t kNewHeaderOffsetAt = 0x3C;   // e_lfanew in the DOS header
constexpr std::size_t kFileHeaderSize = 20;        // IMAGE_FILE_HEADER
constexpr std::size_t kOptionalHeaderSizeAt = 16;  // SizeOfOptionalHeader, within the file header
constexpr std::uint16_t kMagicPe32 = 0x10B;
constexpr std::uint16_t kMagicPe32Plus = 0x20B;

// Little-endian numbers at `at`; the caller has checked that they lie within the text.
std::uint32_t read16(const std::string& bytes, std::size_t at) {
    return static_cast<std::uint8_t>(bytes[at]) | static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at + 1]))
                                                      << 8;
}

std::uint32_t read32(const std::string& bytes, std::size_t at) {
    return read16(bytes, at) | read16(bytes, at + 2) << 16;
}

}  // namespace

ExecutableBitness executableBitnessOf(const std::string& header) {
    if (header.size() < kNewHeaderOffsetAt + 4 || header[0] != 'M' || header[1] != 'Z')
        return ExecutableBitness::Unknown;
    // Compared as sizes, so that an offset near 4 GiB cannot wrap around.
    const std::size_t signature = read32(header, kNewHeaderOffsetAt);
    const std::size_t fileHeader = signature + 4;
    const std::size_t optionalHeader = fileHeader + kFileHeaderSize;
    if (signature > header.size() || header.size() - signature < 4 + kFileHeaderSize + 2)
        return ExecutableBitness::Unknown;
    if (header.compare(signature, 4, std::string("PE\0\0", 4)) != 0)
        return ExecutableBitness::Unknown;
    if (read16(header, fileHeader + kOptionalHeaderSizeAt) < 2)
        return ExecutableBitness::Unknown;
    switch (read16(header, optionalHeader)) {
    case kMagicPe32:
        return ExecutableBitness::Bits32;
    case kMagicPe32Plus:
        return ExecutableBitness::Bits64;
    default:
        return ExecutableBitness::Unknown;
    }
}

const char* executableBitnessText(ExecutableBitness bitness) {
    switch (bitness) {
    case ExecutableBitness::Bits32:
        return "32-bit";
    case ExecutableBitness::Bits64:
        return "64-bit";
    default:
        return "of unknown bitness";
    }
}
