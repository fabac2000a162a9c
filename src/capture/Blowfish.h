#pragma once
#include <cstddef>
#include <cstdint>

// The Blowfish block cipher: 16 rounds, the standard initial P-array and S-boxes (digits of pi)
// and the standard key schedule. Keys of 1 to 56 bytes; a block is two 32-bit words.
class Blowfish {
public:
    Blowfish(const std::uint8_t* key, std::size_t keyLength);

    void encipher(std::uint32_t& left, std::uint32_t& right) const;
    void decipher(std::uint32_t& left, std::uint32_t& right) const;

private:
    std::uint32_t f(std::uint32_t x) const;

    std::uint32_t p_[18];
    std::uint32_t s_[4][256];
};
