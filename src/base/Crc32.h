#pragma once
#include <cstdint>
#include <string>

// CRC-32 as zip and PNG use it (reflected polynomial 0xEDB88320, start and final XOR all ones).
std::uint32_t crc32(const std::string& bytes);
