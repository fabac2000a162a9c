#pragma once
#include <cstddef>
#include <string>

// Whether a Windows program is a 32-bit or a 64-bit one, read from its PE header: the optional
// header's magic says PE32 (32-bit) or PE32+ (64-bit), whatever the processor. Pure text.
enum class ExecutableBitness { Unknown, Bits32, Bits64 };

// How much of the file's start is read: the headers of every real program lie well within it.
constexpr std::size_t kExecutableHeaderReadSize = 65536;

// `header` holds the first bytes of the file (up to kExecutableHeaderReadSize). Unknown for
// anything that is not a complete DOS stub, PE signature and optional header within them.
ExecutableBitness executableBitnessOf(const std::string& header);

// "32-bit", "64-bit", or "of unknown bitness".
const char* executableBitnessText(ExecutableBitness bitness);
