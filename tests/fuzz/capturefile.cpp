// Any bytes may be found where the capture file should be: reading them must never fail, and
// what the writer produces must read back exactly, or be refused whole once damaged.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "capture/CaptureCipher.h"
#include "capture/CaptureFileFormat.h"
#include "capture/CaptureFileCheck.h"

namespace {

bool sameValue(const CaptureLine& a, const CaptureLine& b) {
    return a.hive == b.hive && a.key == b.key && a.valueName == b.valueName && a.type == b.type &&
           (isCapturedText(a.type) ? a.text == b.text.substr(0, b.text.find('\0')) : a.number == b.number);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    // Whatever the file holds, reading it ends normally, and a refusal says why.
    const CaptureFileContent found = decodeCaptureFile(bytes);
    if (found.usable != found.refusal.empty() || (!found.usable && !found.values.empty()))
        __builtin_trap();
    for (const CaptureLine& line : found.values)
        if (!isCapturedText(line.type) && line.type != kCapturedNumberType)
            __builtin_trap();
    parseCaptureText(bytes);

    // Enciphering loses nothing but gains the 0xFF padding.
    const std::string enciphered = encipherCaptureContent(bytes);
    if (enciphered.size() % 8 != 0 || enciphered.size() < size || enciphered.size() >= size + 8)
        __builtin_trap();
    const std::string deciphered = decipherCaptureContent(enciphered);
    if (deciphered.compare(0, size, bytes) != 0 || deciphered.find_first_not_of('\xFF', size) != std::string::npos)
        __builtin_trap();

    // The input as the text of one value and its first bytes as a number: a value the writer
    // accepts reads back exactly from a sealed file, which a cut anywhere makes unusable.
    CaptureLine text;
    text.hive = "HKEY_CLASSES_ROOT";
    text.key = "Access.Application\\CurVer";
    text.type = size % 2 == 0 ? kCapturedTextType : kCapturedExpandableTextType;
    text.text = bytes;
    CaptureLine number;
    number.hive = "HKEY_LOCAL_MACHINE";
    number.key = "SOFTWARE\\A";
    number.valueName = "n=v";
    number.type = kCapturedNumberType;
    number.number = size >= 4 ? (static_cast<std::uint32_t>(data[0]) << 24 | data[1] << 16 | data[2] << 8 | data[3])
                              : static_cast<std::uint32_t>(size);
    std::string body;
    std::size_t count = 0;
    const CaptureLine* written[2] = {nullptr, nullptr};
    for (const CaptureLine* value : {&text, &number}) {
        const std::string line =
            formatCaptureLine(value->hive, value->key, value->valueName, value->type, value->number, value->text);
        if (!captureLineReadsBack(line, *value))
            continue;
        body += line + "\n";
        written[count++] = value;
    }
    if (count == 0 || written[count - 1] != &number)
        __builtin_trap();  // a number always fits
    const std::string file = encipherCaptureContent(sealCaptureContent(body, count));
    const CaptureFileContent back = decodeCaptureFile(file);
    if (!back.usable || !back.sealed || back.values.size() != count)
        __builtin_trap();
    for (std::size_t i = 0; i < count; ++i)
        if (!sameValue(back.values[i], *written[i]))
            __builtin_trap();
    const std::size_t cut = file.size() - 8 - (size >= 5 ? data[4] % (file.size() / 8) * 8 : 0);
    if (decodeCaptureFile(file.substr(0, cut)).usable)
        __builtin_trap();
    return 0;
}
