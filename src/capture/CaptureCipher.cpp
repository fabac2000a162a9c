#include "capture/CaptureCipher.h"

#include <stdexcept>

const CaptureKey kCaptureKey = {
    {0x4D, 0x62, 0x72, 0x6B, 0x9E, 0x31, 0xC7, 0x05, 0xA8, 0x5B, 0xF2, 0x16, 0x3D, 0xE4, 0x70, 0x8C},
    0x51566567,
    0x2E646174,
};

namespace {

std::uint32_t wordAt(const std::string& data, std::size_t at) {
    return (static_cast<std::uint32_t>(static_cast<unsigned char>(data[at])) << 24) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(data[at + 1])) << 16) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(data[at + 2])) << 8) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(data[at + 3]));
}

void putWord(std::string& data, std::size_t at, std::uint32_t word) {
    data[at] = static_cast<char>(word >> 24);
    data[at + 1] = static_cast<char>(word >> 16);
    data[at + 2] = static_cast<char>(word >> 8);
    data[at + 3] = static_cast<char>(word);
}

void requireWholeBlocks(const std::string& data) {
    if (data.size() % 8 != 0)
        throw std::invalid_argument("CBC data must be whole 8-byte blocks");
}

// The cipher is set up afresh for every file, together with its initial chaining value.
struct FileCipher {
    explicit FileCipher(const CaptureKey& key) : cipher(key.bytes, sizeof(key.bytes)) {
        chainLeft = key.chainLeft;
        chainRight = key.chainRight;
        cipher.encipher(chainLeft, chainRight);
    }
    Blowfish cipher;
    std::uint32_t chainLeft;
    std::uint32_t chainRight;
};

}  // namespace

void cbcEncipher(const Blowfish& cipher, std::uint32_t chainLeft, std::uint32_t chainRight, std::string& data) {
    requireWholeBlocks(data);
    for (std::size_t at = 0; at < data.size(); at += 8) {
        std::uint32_t left = wordAt(data, at) ^ chainLeft;
        std::uint32_t right = wordAt(data, at + 4) ^ chainRight;
        cipher.encipher(left, right);
        putWord(data, at, left);
        putWord(data, at + 4, right);
        chainLeft = left;
        chainRight = right;
    }
}

void cbcDecipher(const Blowfish& cipher, std::uint32_t chainLeft, std::uint32_t chainRight, std::string& data) {
    requireWholeBlocks(data);
    for (std::size_t at = 0; at < data.size(); at += 8) {
        const std::uint32_t cipherLeft = wordAt(data, at);
        const std::uint32_t cipherRight = wordAt(data, at + 4);
        std::uint32_t left = cipherLeft, right = cipherRight;
        cipher.decipher(left, right);
        putWord(data, at, left ^ chainLeft);
        putWord(data, at + 4, right ^ chainRight);
        chainLeft = cipherLeft;
        chainRight = cipherRight;
    }
}

std::string encipherCaptureContent(const std::string& plain, const CaptureKey& key) {
    std::string data = plain;
    data.append((8 - data.size() % 8) % 8, '\xFF');
    FileCipher file(key);
    cbcEncipher(file.cipher, file.chainLeft, file.chainRight, data);
    return data;
}

std::string decipherCaptureContent(const std::string& bytes, const CaptureKey& key) {
    if (bytes.empty() || bytes.size() % 8 != 0)
        return bytes;
    std::string data = bytes;
    FileCipher file(key);
    cbcDecipher(file.cipher, file.chainLeft, file.chainRight, data);
    return data;
}
