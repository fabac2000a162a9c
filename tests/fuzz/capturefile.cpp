// Any bytes may be found where the capture file should be: reading them must never fail, and
// what the writer produces must read back exactly.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "capture/CaptureCipher.h"
#include "capture/CaptureFileFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    // Whatever the file holds, reading it ends normally.
    for (const CaptureLine& line : parseCaptureText(captureTextOf(decipherCaptureContent(bytes))))
        if (line.type != kCapturedTextType && line.type != kCapturedNumberType)
            __builtin_trap();
    parseCaptureText(bytes);

    // Enciphering loses nothing but gains the 0xFF padding.
    const std::string enciphered = encipherCaptureContent(bytes);
    if (enciphered.size() % 8 != 0 || enciphered.size() < size || enciphered.size() >= size + 8)
        __builtin_trap();
    const std::string deciphered = decipherCaptureContent(enciphered);
    if (deciphered.compare(0, size, bytes) != 0 || deciphered.find_first_not_of('\xFF', size) != std::string::npos)
        __builtin_trap();

    // A text without NUL or line feed, written as a value, reads back byte for byte; so does a number.
    const std::string text = bytes.substr(0, bytes.find_first_of(std::string("\0\n", 2)));
    const std::string file = encipherCaptureContent(
        formatCaptureLine("HKEY_CLASSES_ROOT", "Access.Application\\CurVer", "", kCapturedTextType, 0, text) + "\n" +
        formatCaptureLine("HKEY_LOCAL_MACHINE", "SOFTWARE\\A", "n=v", kCapturedNumberType,
                          size >= 4 ? (static_cast<std::uint32_t>(data[0]) << 24 | data[1] << 16 | data[2] << 8 | data[3])
                                    : static_cast<std::uint32_t>(size),
                          "") +
        "\n");
    const auto lines = parseCaptureText(captureTextOf(decipherCaptureContent(file)));
    if (lines.size() != 2 || lines[0].text != text || lines[0].key != "Access.Application\\CurVer" ||
        lines[0].valueName != "" || lines[1].valueName != "n=v")
        __builtin_trap();
    if (size >= 4 && lines[1].number != (static_cast<std::uint32_t>(data[0]) << 24 | data[1] << 16 | data[2] << 8 | data[3]))
        __builtin_trap();
    return 0;
}
