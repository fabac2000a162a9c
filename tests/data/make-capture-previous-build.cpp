// Writes capture-previous-build.dat exactly as the capture writer of commit 1e52f50 did: one
// line per recorded value of the fixed table, each ended by a line feed, no first or last
// line, enciphered. Built natively against that commit's pure sources:
//   clang++ -std=c++17 -I src tests/data/make-capture-previous-build.cpp src/registry/FixedValueTable.cpp \
//     src/registry/Hive.cpp src/registry/Blowfish.cpp src/registry/CaptureCipher.cpp \
//     src/registry/CaptureFileFormat.cpp -o /tmp/make-capture && /tmp/make-capture > tests/data/capture-previous-build.dat
// The values are those of previousBuildValue() in tests/unit/CaptureFileCheckTest.cpp.
#include <cstdint>
#include <cstdio>
#include <string>

#include "capture/CaptureCipher.h"
#include "capture/CaptureFileFormat.h"
#include "registry/FixedValueTable.h"

int main() {
    std::string content;
    for (std::size_t row = 0; row < kFixedValueCount; ++row) {
        const FixedValue& value = kFixedValues[row];
        std::uint32_t type = kCapturedTextType, number = 0;
        std::string text = "value " + std::to_string(row);
        switch (row) {
        case 0:
            text = "=a=b=";
            break;
        case 1:
            text = "\ttab\tinside\t";
            break;
        case 2:
            text = "trailing blanks   ";
            break;
        case 3:
            text = "";
            break;
        case 4:
            text = "first\nsecond\n";
            break;
        case 5:
            text = "\"C:\\Program Files\\MSACCESS.EXE\" /x=\"y\" %1";
            break;
        case 6:
            text = "x=REG_DWORD\t5";
            break;
        case 7:
            type = kCapturedNumberType;
            number = 2147483648u;
            break;
        case 8:
            type = kCapturedNumberType;
            number = 0;
            break;
        case kFixedValueCount - 2:
            type = kCapturedNumberType;
            number = 3000000000u;
            break;
        case kFixedValueCount - 1:
            type = kCapturedNumberType;
            number = 4294967295u;
            break;
        }
        if (std::string(value.key) == "Access.Application\\CurVer")
            text = "Access.Application.10";
        content += formatCaptureLine(hiveText(value.hive), value.key, value.valueName, type, number, text) + "\n";
    }
    const std::string file = encipherCaptureContent(content);
    std::fwrite(file.data(), 1, file.size(), stdout);
    return 0;
}
