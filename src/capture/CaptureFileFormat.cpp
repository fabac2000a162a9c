#include "capture/CaptureFileFormat.h"

#include <algorithm>
#include <cstdio>

#include "registry/Hive.h"

namespace {

const char kTextTypeText[] = "REG_SZ";
const char kExpandableTextTypeText[] = "REG_EXPAND_SZ";
const char kNumberTypeText[] = "REG_DWORD";

bool isHiveText(const std::string& text) {
    if (text.empty())
        return true;  // a root without a name is written with an empty hive text
    for (Hive hive : kHives)
        for (bool view64 : {false, true})
            if (text == capturedHiveText(hiveText(hive), view64))
                return true;
    return false;
}

// Whether `line` begins with a hive name (marked or not) and a backslash, as the value lines of
// named roots do; with `cutShort`, also when the line ends inside that beginning.
bool beginsLikeValue(const std::string& line, bool cutShort = false) {
    for (Hive hive : kHives) {
        for (bool view64 : {false, true}) {
            const std::string prefix = capturedHiveText(hiveText(hive), view64) + "\\";
            const std::size_t compared = cutShort ? std::min(prefix.size(), line.size()) : prefix.size();
            if (line.compare(0, compared, prefix, 0, compared) == 0)
                return true;
        }
    }
    return false;
}

bool matchesAt(const std::string& line, std::size_t at, const std::string& piece) {
    return line.compare(at, piece.size(), piece) == 0;
}

// Splits a line that has the writer's structure; false for any other line.
bool parseLine(const std::string& line, CaptureLine& out) {
    const std::size_t firstTab = line.find('\t');
    if (firstTab == std::string::npos)
        return false;
    const std::size_t backslash = line.find('\\');
    if (backslash == std::string::npos || backslash > firstTab)
        return false;
    const std::string hive = line.substr(0, backslash);
    if (!isHiveText(hive))
        return false;

    // Each type text with the "=" before it and the tab after it, and the type it stands for.
    static const struct {
        std::string mark;
        std::uint32_t type;
    } kMarks[] = {{std::string("=") + kTextTypeText + "\t", kCapturedTextType},
                  {std::string("=") + kExpandableTextTypeText + "\t", kCapturedExpandableTextType},
                  {std::string("=") + kNumberTypeText + "\t", kCapturedNumberType}};
    for (std::size_t equals = line.find('=', firstTab + 1); equals != std::string::npos;
         equals = line.find('=', equals + 1)) {
        for (const auto& mark : kMarks) {
            if (!matchesAt(line, equals, mark.mark))
                continue;
            out = CaptureLine();
            out.hive = hive;
            out.key = line.substr(backslash + 1, firstTab - backslash - 1);
            out.valueName = line.substr(firstTab + 1, equals - firstTab - 1);
            out.type = mark.type;
            const std::string data = line.substr(equals + mark.mark.size());
            if (isCapturedText(mark.type))
                out.text = data;
            else
                out.number = parseCapturedNumber(data);
            return true;
        }
    }
    return false;
}

}  // namespace

std::string capturedHiveText(const std::string& hive, bool view64) {
    return view64 ? hive + kView64HiveMark : hive;
}

std::string formatCaptureLine(const std::string& hive, const std::string& key, const std::string& valueName,
                              std::uint32_t type, std::uint32_t number, const std::string& text) {
    std::string line = hive + "\\" + key + "\t" + valueName + "=";
    if (isCapturedText(type)) {
        line += type == kCapturedTextType ? kTextTypeText : kExpandableTextTypeText;
        line += "\t";
        line += text.substr(0, text.find('\0'));
    } else {
        char digits[16];
        std::snprintf(digits, sizeof(digits), "%lu", static_cast<unsigned long>(number));
        line += kNumberTypeText;
        line += "\t";
        line += digits;
    }
    return line;
}

std::string captureTextOf(const std::string& deciphered) {
    std::size_t end = deciphered.size();
    while (end > 0 && static_cast<unsigned char>(deciphered[end - 1]) == 0xFF)
        --end;
    std::string text = deciphered.substr(0, end);
    return text.substr(0, text.find('\0'));
}

std::vector<CaptureLine> parseCaptureText(const std::string& text, std::vector<std::size_t>* dropped) {
    std::vector<CaptureLine> lines;
    bool continuesText = false;  // the last line read was a text line that a line feed may continue
    std::size_t start = 0;
    for (std::size_t number = 1; start < text.size(); ++number) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            // The file was cut short here: neither this line nor a text it continues is whole.
            if (continuesText && !beginsLikeValue(text.substr(start), true))
                lines.pop_back();
            if (dropped != nullptr)
                dropped->push_back(number);
            break;
        }
        const std::string line = text.substr(start, end - start);
        start = end + 1;

        CaptureLine parsed;
        if (parseLine(line, parsed)) {
            continuesText = isCapturedText(parsed.type);
            lines.push_back(std::move(parsed));
        } else if (continuesText && !beginsLikeValue(line)) {
            lines.back().text += "\n" + line;
        } else {
            continuesText = false;
            if (dropped != nullptr)
                dropped->push_back(number);
        }
    }
    return lines;
}

std::uint32_t parseCapturedNumber(const std::string& data) {
    std::size_t at = 0;
    while (at < data.size() && (data[at] == ' ' || (data[at] >= '\t' && data[at] <= '\r')))
        ++at;
    bool negative = false;
    if (at < data.size() && (data[at] == '+' || data[at] == '-')) {
        negative = data[at] == '-';
        ++at;
    }
    std::uint64_t magnitude = 0;
    for (; at < data.size() && data[at] >= '0' && data[at] <= '9'; ++at) {
        magnitude = magnitude * 10 + static_cast<std::uint64_t>(data[at] - '0');
        if (magnitude > 0xFFFFFFFFull)
            return 0xFFFFFFFFu;
    }
    const std::uint32_t value = static_cast<std::uint32_t>(magnitude);
    return negative ? static_cast<std::uint32_t>(0u - value) : value;
}
