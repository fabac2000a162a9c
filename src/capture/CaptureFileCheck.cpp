#include "capture/CaptureFileCheck.h"

#include <cstdio>

#include "base/Crc32.h"

namespace {

// A key no registry value has, under the empty hive text of "another root".
const std::string kMark = "\\Mallowbrook capture file\t";
const std::string kFormatPrefix = kMark + "format=REG_DWORD\t";
const std::string kCheckPrefix = kMark + "check=REG_SZ\t";

bool startsWith(const std::string& text, const std::string& prefix, std::size_t at = 0) {
    return text.compare(at, prefix.size(), prefix) == 0;
}

std::string hex8(std::uint32_t value) {
    char digits[9];
    std::snprintf(digits, sizeof(digits), "%08X", static_cast<unsigned>(value));
    return digits;
}

// Strict unsigned decimal: at least one digit, nothing else, at most 9 digits.
bool readCount(const std::string& text, std::size_t& value) {
    if (text.empty() || text.size() > 9)
        return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + static_cast<std::size_t>(c - '0');
    }
    return true;
}

// "<count> <8 upper-case hex digits>"
bool readCheck(const std::string& text, std::size_t& count, std::uint32_t& crc) {
    const std::size_t blank = text.find(' ');
    if (blank == std::string::npos || text.size() - blank - 1 != 8 || !readCount(text.substr(0, blank), count))
        return false;
    crc = 0;
    for (std::size_t at = blank + 1; at < text.size(); ++at) {
        const char c = text[at];
        const int digit = (c >= '0' && c <= '9') ? c - '0' : (c >= 'A' && c <= 'F') ? c - 'A' + 10 : -1;
        if (digit < 0)
            return false;
        crc = crc << 4 | static_cast<std::uint32_t>(digit);
    }
    return true;
}

CaptureFileContent refused(const std::string& why) {
    CaptureFileContent content;
    content.refusal = why;
    return content;
}

CaptureFileContent decodeSealed(const std::string& text) {
    const std::size_t firstEnd = text.find('\n');
    if (firstEnd == std::string::npos)
        return refused("it was cut short (its last line is missing)");
    std::size_t version = 0;
    if (!startsWith(text, kFormatPrefix) ||
        !readCount(text.substr(kFormatPrefix.size(), firstEnd - kFormatPrefix.size()), version))
        return refused("its first line is damaged");
    if (version != kCaptureFormatVersion)
        return refused("it was written in format " + std::to_string(version) + ", which this version cannot read");

    const std::size_t lastStart = text.size() >= 2 ? text.rfind('\n', text.size() - 2) + 1 : 0;
    if (text.back() != '\n' || lastStart <= firstEnd || !startsWith(text, kCheckPrefix, lastStart))
        return refused("it was cut short or changed (its last line is missing)");
    std::size_t count = 0;
    std::uint32_t crc = 0;
    if (!readCheck(text.substr(lastStart + kCheckPrefix.size(), text.size() - 1 - lastStart - kCheckPrefix.size()),
                   count, crc))
        return refused("its last line is damaged");

    const std::string body = text.substr(firstEnd + 1, lastStart - firstEnd - 1);
    if (crc32(body) != crc)
        return refused("its check value does not match its content (the file was damaged)");
    CaptureFileContent content;
    content.values = parseCaptureText(body, &content.droppedLines);
    if (!content.droppedLines.empty())
        return refused("line " + std::to_string(content.droppedLines.front() + 1) + " does not read as a value");
    if (content.values.size() != count)
        return refused("its last line counts " + std::to_string(count) + " values but the file holds " +
                       std::to_string(content.values.size()));
    content.usable = true;
    content.sealed = true;
    return content;
}

}  // namespace

std::string sealCaptureContent(const std::string& body, std::size_t count) {
    return kFormatPrefix + std::to_string(kCaptureFormatVersion) + "\n" + body + kCheckPrefix + std::to_string(count) +
           " " + hex8(crc32(body)) + "\n";
}

bool captureLineReadsBack(const std::string& line, const CaptureLine& value) {
    std::vector<std::size_t> dropped;
    const std::vector<CaptureLine> read = parseCaptureText(line + "\n", &dropped);
    if (!dropped.empty() || read.size() != 1)
        return false;
    const CaptureLine& back = read.front();
    if (back.hive != value.hive || back.key != value.key || back.valueName != value.valueName ||
        back.type != value.type)
        return false;
    return isCapturedText(value.type) ? back.text == value.text.substr(0, value.text.find('\0'))
                                      : back.number == value.number;
}

CaptureFileContent decodeCaptureFile(const std::string& bytes, const CaptureKey& key) {
    if (bytes.empty())
        return refused("it is empty");
    if (bytes.size() % 8 != 0)
        return refused("its length is not a whole number of cipher blocks, so Mallowbrook did not write it");
    std::string plain = decipherCaptureContent(bytes, key);
    std::size_t end = plain.size();
    while (end > 0 && static_cast<unsigned char>(plain[end - 1]) == 0xFF)
        --end;
    plain.resize(end);
    if (startsWith(plain, kMark))
        return decodeSealed(plain);
    if (plain.find(kMark) != std::string::npos)
        return refused("its first line is damaged");

    CaptureFileContent content;
    content.values = parseCaptureText(captureTextOf(plain), &content.droppedLines);
    if (content.values.empty())
        return refused("it holds no value that can be read (it was damaged or written with another key)");
    content.usable = true;
    return content;
}
