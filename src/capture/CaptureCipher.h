#pragma once
#include <cstdint>
#include <string>

#include "capture/Blowfish.h"

// Enciphers the capture file: Blowfish in CBC mode, blocks as two big-endian 32-bit words,
// content padded with 0xFF to a multiple of 8. The chaining value starts as the encipherment
// of a fixed constant, so every file starts from the same chaining value.
struct CaptureKey {
    std::uint8_t bytes[16];
    std::uint32_t chainLeft;  // the constant whose encipherment is the initial chaining value
    std::uint32_t chainRight;
};

// The key built into the program; files are read back only by the program that wrote them.
extern const CaptureKey kCaptureKey;

// CBC over whole 8-byte blocks, in place; `data.size()` must be a multiple of 8.
void cbcEncipher(const Blowfish& cipher, std::uint32_t chainLeft, std::uint32_t chainRight, std::string& data);
void cbcDecipher(const Blowfish& cipher, std::uint32_t chainLeft, std::uint32_t chainRight, std::string& data);

// Pads with 0xFF up to the next multiple of 8 (nothing when it is one already) and enciphers.
std::string encipherCaptureContent(const std::string& plain, const CaptureKey& key = kCaptureKey);
// Deciphers content whose length is a non-zero multiple of 8; anything else comes back as it is.
// The padding is not removed here.
std::string decipherCaptureContent(const std::string& bytes, const CaptureKey& key = kCaptureKey);
