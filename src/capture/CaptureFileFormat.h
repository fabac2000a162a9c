#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The plain text of the capture file: one line per recorded value, each ended by a line feed,
//   hive text + "\" + key + TAB + value name + "=" + type text + TAB + data
// with type text "REG_SZ" or "REG_EXPAND_SZ" (data: the text, unexpanded) or "REG_DWORD"
// (data: the number, "%u").

constexpr std::uint32_t kCapturedTextType = 1;            // REG_SZ
constexpr std::uint32_t kCapturedExpandableTextType = 2;  // REG_EXPAND_SZ
constexpr std::uint32_t kCapturedNumberType = 4;          // REG_DWORD

inline bool isCapturedText(std::uint32_t type) {
    return type == kCapturedTextType || type == kCapturedExpandableTextType;
}
// The capture file's type for a recorded registry type: text keeps its own, anything else is a number.
inline std::uint32_t capturedTypeOf(std::uint32_t registryType) {
    return isCapturedText(registryType) ? registryType : kCapturedNumberType;
}

// A value of the 64-bit registry view is named by its hive text with this mark after it, as in
// "HKEY_CLASSES_ROOT(64-bit)\CLSID\{...}\InprocServer32"; files of earlier builds have none.
constexpr char kView64HiveMark[] = "(64-bit)";
// "HKEY_CLASSES_ROOT" or, for the 64-bit view, "HKEY_CLASSES_ROOT(64-bit)".
std::string capturedHiveText(const std::string& hive, bool view64);

struct CaptureLine {
    std::string hive;  // "HKEY_CLASSES_ROOT", ... or "" for another root; marked for the 64-bit view
    std::string key;
    std::string valueName;
    std::uint32_t type = 0;  // kCapturedTextType, kCapturedExpandableTextType or kCapturedNumberType
    std::uint32_t number = 0;
    std::string text;
};

// One line without its line feed. Any type other than the two text types is written as a number.
std::string formatCaptureLine(const std::string& hive, const std::string& key, const std::string& valueName,
                              std::uint32_t type, std::uint32_t number, const std::string& text);

// The text of deciphered file bytes: trailing 0xFF padding dropped, then cut at the first NUL.
std::string captureTextOf(const std::string& deciphered);

// Reads the lines back by their structure, so text comes back verbatim: the hive and key run up
// to the first tab, the value name up to the "=" before the type text, the data is the rest of
// the line. A line that cannot start a value (it does not begin with a hive name, marked or
// not, and a backslash) continues the text of the line before it (the text held a line feed). Any other
// line is left out and its number (from 1) added to `dropped`: a damaged line never becomes
// part of another value. So is a last line without its line feed, and the value it continues.
std::vector<CaptureLine> parseCaptureText(const std::string& text, std::vector<std::size_t>* dropped = nullptr);

// A captured number as an unsigned 32-bit value: leading white space, an optional sign, then
// decimal digits up to the first other character. No digits give 0, more than 32 bits give
// 4294967295, and a minus sign gives the two's complement (as files of older versions expect).
std::uint32_t parseCapturedNumber(const std::string& data);
