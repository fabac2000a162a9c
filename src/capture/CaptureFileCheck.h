#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "capture/CaptureCipher.h"
#include "capture/CaptureFileFormat.h"

// A capture file of this version is sealed: a first line naming the format, the value lines,
// and a last line with the number of values and a CRC-32 of the bytes between the two. Both
// extra lines have the shape of a value line under a name no value has, so earlier readers
// pass over them. The key is built into the program: the check finds damage, not forgery.

constexpr std::uint32_t kCaptureFormatVersion = 2;

// The plain content of a sealed file around `body`: `count` value lines, each ended by a line feed.
std::string sealCaptureContent(const std::string& body, std::size_t count);

// True when `line`, read back alone, gives exactly `value` (text up to its first NUL). A text
// holding a line feed followed by what reads as a line of its own would not come back whole.
bool captureLineReadsBack(const std::string& line, const CaptureLine& value);

// What a capture file holds, or why it cannot be used.
struct CaptureFileContent {
    bool usable = false;
    std::string refusal;  // completes "the capture file cannot be used because ..."
    bool sealed = false;  // written by this version: first and last line present and matching
    std::vector<CaptureLine> values;
    std::vector<std::size_t> droppedLines;  // damaged lines left out of a file of an earlier version
};

// Files of earlier versions (no first line) give their complete, well-formed lines; a sealed
// file gives all of its values or is refused whole. Bytes that are not whole cipher blocks are
// never read as text.
CaptureFileContent decodeCaptureFile(const std::string& bytes, const CaptureKey& key = kCaptureKey);
