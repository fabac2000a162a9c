#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "capture/Blowfish.h"
#include "capture/CaptureCipher.h"
#include "capture/CaptureFileFormat.h"
#include "capture/CaptureFileCheck.h"

namespace {

std::string bytesOf(const std::string& hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<char>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

std::string hexOf(const std::string& bytes) {
    std::string hex;
    char digits[3];
    for (unsigned char byte : bytes) {
        std::snprintf(digits, sizeof(digits), "%02X", byte);
        hex += digits;
    }
    return hex;
}

struct Value {
    const char* name;  // names the case
    std::string hive;
    std::string key;
    std::string valueName;
    std::uint32_t type;
    std::uint32_t number;
    std::string text;
};

std::string fileTextOf(const std::vector<Value>& values) {
    std::string text;
    for (const auto& v : values)
        text += formatCaptureLine(v.hive, v.key, v.valueName, v.type, v.number, v.text) + "\n";
    return text;
}

}  // namespace

TEST(CaptureCipher, PublishedCbcVector) {
    const std::string key = bytesOf("0123456789ABCDEFF0E1D2C3B4A59687");
    Blowfish cipher(reinterpret_cast<const std::uint8_t*>(key.data()), key.size());
    std::string data = std::string("7654321 Now is the time for ") + std::string(4, '\0');
    const std::string plain = data;
    cbcEncipher(cipher, 0xFEDCBA98, 0x76543210, data);
    EXPECT_EQ(hexOf(data), "6B77B4D63006DEE605B156E27403979358DEB9E7154616D959F1652BD5FF92CC");
    cbcDecipher(cipher, 0xFEDCBA98, 0x76543210, data);
    EXPECT_EQ(data, plain);
}

TEST(CaptureCipher, PadsWithFFToWholeBlocks) {
    const struct {
        std::size_t length;
        std::size_t padded;
    } cases[] = {{0, 0}, {1, 8}, {7, 8}, {8, 8}, {9, 16}, {15, 16}, {16, 16}, {1001, 1008}};
    for (const auto& c : cases) {
        const std::string plain(c.length, 'a');
        const std::string enciphered = encipherCaptureContent(plain);
        ASSERT_EQ(enciphered.size(), c.padded) << "length " << c.length;
        const std::string deciphered = decipherCaptureContent(enciphered);
        EXPECT_EQ(deciphered, plain + std::string(c.padded - c.length, '\xFF')) << "length " << c.length;
    }
}

TEST(CaptureCipher, StartsFromTheEncipheredConstantEveryTime) {
    const std::string plain = "HKEY_CLASSES_ROOT\\.mdb\t=REG_SZ\tAccess.MDBFile\n";
    const std::string first = encipherCaptureContent(plain);
    EXPECT_EQ(encipherCaptureContent(plain), first);  // no state carried from one file to the next

    Blowfish cipher(kCaptureKey.bytes, sizeof(kCaptureKey.bytes));
    std::uint32_t chainLeft = kCaptureKey.chainLeft, chainRight = kCaptureKey.chainRight;
    cipher.encipher(chainLeft, chainRight);
    std::string expected = plain + std::string((8 - plain.size() % 8) % 8, '\xFF');
    cbcEncipher(cipher, chainLeft, chainRight, expected);
    EXPECT_EQ(hexOf(first), hexOf(expected));
}

TEST(CaptureCipher, LeavesBytesThatAreNotWholeBlocksAlone) {
    for (const std::string& bytes : {std::string(), std::string("abc"), std::string(9, 'x'), std::string(15, '\xFF')})
        EXPECT_EQ(decipherCaptureContent(bytes), bytes) << bytes.size() << " bytes";
}

TEST(CaptureCipher, AnotherKeyGivesNothingReadable) {
    CaptureKey other = kCaptureKey;
    other.bytes[0] ^= 0x01;
    const std::string plain = fileTextOf({
        {"text", "HKEY_CLASSES_ROOT", ".mdb", "", kCapturedTextType, 0, "Access.MDBFile"},
        {"number", "HKEY_CURRENT_USER", "Software\\X", "n", kCapturedNumberType, 5, ""},
    });
    const std::string foreign = encipherCaptureContent(plain, other);
    EXPECT_NE(decipherCaptureContent(foreign), decipherCaptureContent(encipherCaptureContent(plain)));
    EXPECT_TRUE(parseCaptureText(captureTextOf(decipherCaptureContent(foreign))).empty());
}

TEST(CaptureFileFormat, LineLayout) {
    const struct {
        const char* name;
        std::string line;
        std::string expected;
    } cases[] = {
        {"text", formatCaptureLine("HKEY_CLASSES_ROOT", ".mdb", "Content Type", 1, 0, "application/msaccess"),
         "HKEY_CLASSES_ROOT\\.mdb\tContent Type=REG_SZ\tapplication/msaccess"},
        {"default value", formatCaptureLine("HKEY_CLASSES_ROOT", "Access.Application\\CurVer", "", 1, 0, "x"),
         "HKEY_CLASSES_ROOT\\Access.Application\\CurVer\t=REG_SZ\tx"},
        {"number", formatCaptureLine("HKEY_LOCAL_MACHINE", "SOFTWARE\\A", "n", 4, 3000000000u, "ignored"),
         "HKEY_LOCAL_MACHINE\\SOFTWARE\\A\tn=REG_DWORD\t3000000000"},
        {"all bits", formatCaptureLine("HKEY_USERS", "k", "n", 4, 0xFFFFFFFFu, ""),
         "HKEY_USERS\\k\tn=REG_DWORD\t4294967295"},
        {"zero", formatCaptureLine("HKEY_CURRENT_USER", "k", "n", 4, 0, ""), "HKEY_CURRENT_USER\\k\tn=REG_DWORD\t0"},
        {"expandable text",
         formatCaptureLine("HKEY_CLASSES_ROOT", "htmlfile\\DefaultIcon", "", 2, 0, "%SystemRoot%\\a"),
         "HKEY_CLASSES_ROOT\\htmlfile\\DefaultIcon\t=REG_EXPAND_SZ\t%SystemRoot%\\a"},
        {"other type", formatCaptureLine("HKEY_CURRENT_USER", "k", "n", 3, 9, "t"),
         "HKEY_CURRENT_USER\\k\tn=REG_DWORD\t9"},
        {"other root", formatCaptureLine("", "k", "n", 1, 0, "t"), "\\k\tn=REG_SZ\tt"},
        {"text up to NUL", formatCaptureLine("HKEY_USERS", "k", "", 1, 0, std::string("ab\0cd", 5)),
         "HKEY_USERS\\k\t=REG_SZ\tab"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.line, c.expected) << c.name;
}

TEST(CaptureFileFormat, EveryKindOfValueComesBackExactly) {
    const std::vector<Value> values = {
        {"plain text", "HKEY_CLASSES_ROOT", ".mdb", "", 1, 0, "Access.MDBFile"},
        {"empty text", "HKEY_CLASSES_ROOT", "empty", "named", 1, 0, ""},
        {"empty default", "HKEY_CLASSES_ROOT", "emptyDefault", "", 1, 0, ""},
        {"equals inside", "HKEY_CURRENT_USER", "k1", "v", 1, 0, "a=b==c"},
        {"equals at ends", "HKEY_CURRENT_USER", "k2", "v", 1, 0, "=middle="},
        {"tab inside", "HKEY_CURRENT_USER", "k3", "v", 1, 0, "a\tb"},
        {"tabs at ends", "HKEY_CURRENT_USER", "k4", "", 1, 0, "\tmiddle\t"},
        {"trailing blanks", "HKEY_CURRENT_USER", "k5", "v", 1, 0, "text   "},
        {"only blanks", "HKEY_CURRENT_USER", "k6", "v", 1, 0, "   "},
        {"leading blanks", "HKEY_CURRENT_USER", "k7", "v", 1, 0, "  text"},
        {"type text inside", "HKEY_CURRENT_USER", "k8", "v", 1, 0, "x=REG_DWORD\t5"},
        {"line feed inside", "HKEY_CURRENT_USER", "k9", "v", 1, 0, "one\ntwo"},
        {"line feeds at ends", "HKEY_CURRENT_USER", "k10", "v", 1, 0, "\n\nmiddle\n"},
        {"carriage return", "HKEY_CURRENT_USER", "k11", "v", 1, 0, "one\r\ntwo\r"},
        {"byte FF at end", "HKEY_CURRENT_USER", "k12", "v", 1, 0, "caf\xFF"},
        {"equals in value name", "HKEY_CURRENT_USER", "k13", "a=b", 1, 0, "c"},
        {"blank in key", "HKEY_LOCAL_MACHINE", "SOFTWARE\\With Blank\\x", "name with blank", 1, 0, "d"},
        {"dword zero", "HKEY_LOCAL_MACHINE", "n", "zero", 4, 0, ""},
        {"dword max signed", "HKEY_LOCAL_MACHINE", "n", "maxSigned", 4, 2147483647u, ""},
        {"dword above signed", "HKEY_LOCAL_MACHINE", "n", "above", 4, 2147483648u, ""},
        {"dword 3000000000", "HKEY_LOCAL_MACHINE", "n", "three", 4, 3000000000u, ""},
        {"dword all bits", "HKEY_USERS", "n", "all", 4, 0xFFFFFFFFu, ""},
        {"other root", "", "k", "v", 1, 0, "t"},
        {"expandable text", "HKEY_CLASSES_ROOT", "htmlfile\\shell\\Print\\command", "", 2, 0,
         "\"%SystemRoot%\\system32\\rundll32.exe\" \"%1\""},
        {"expandable, line feed inside", "HKEY_CURRENT_USER", "k14", "v", 2, 0, "one\ntwo"},
    };
    const std::string file = encipherCaptureContent(sealCaptureContent(fileTextOf(values), values.size()));
    EXPECT_EQ(file.size() % 8, 0u);
    const CaptureFileContent content = decodeCaptureFile(file);
    ASSERT_TRUE(content.usable) << content.refusal;
    const std::vector<CaptureLine>& lines = content.values;
    ASSERT_EQ(lines.size(), values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        const Value& v = values[i];
        const CaptureLine& line = lines[i];
        EXPECT_EQ(line.hive, v.hive) << v.name;
        EXPECT_EQ(line.key, v.key) << v.name;
        EXPECT_EQ(line.valueName, v.valueName) << v.name;
        EXPECT_EQ(line.type, v.type) << v.name;
        if (isCapturedText(v.type)) {
            EXPECT_EQ(line.text, v.text) << v.name;
        } else {
            EXPECT_EQ(line.number, v.number) << v.name;
        }
    }
}

TEST(CaptureFileFormat, ReadsFilesOfEarlierVersions) {
    // Text as the earlier writer produced it (same layout), including a signed number, lines that
    // never had the layout and a last line without its line feed (cut short: left out).
    const std::string text =
        "HKEY_CLASSES_ROOT\\.mdb\t=REG_SZ\tAccess.MDBFile\n"
        "HKEY_CLASSES_ROOT\\.mdb\tContent Type=REG_SZ\tapplication/msaccess\n"
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Office\\Common\tLastAccessInstall=REG_DWORD\t-1\n"
        "not a line of the file\n"
        "HKEY_CLASSES_ROOT\\x\tv=REG_BINARY\t00\n"
        "HKEY_CURRENT_USER\\Software\\A\tn=REG_DWORD\t2147483647";
    const auto lines = parseCaptureText(text);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].key, ".mdb");
    EXPECT_EQ(lines[0].valueName, "");
    EXPECT_EQ(lines[0].text, "Access.MDBFile");
    EXPECT_EQ(lines[1].valueName, "Content Type");
    EXPECT_EQ(lines[1].text, "application/msaccess");
    EXPECT_EQ(lines[2].type, kCapturedNumberType);
    EXPECT_EQ(lines[2].number, 0xFFFFFFFFu);
}

TEST(CaptureFileFormat, SkipsLinesWithoutTheLayout) {
    const struct {
        const char* name;
        const char* text;
    } cases[] = {
        {"no tab", "HKEY_CLASSES_ROOT\\k=REG_SZ x\n"},
        {"no backslash before the tab", "HKEY_CLASSES_ROOT\tv=REG_SZ\tx\n"},
        {"unknown hive", "HKEY_SOMEWHERE\\k\tv=REG_SZ\tx\n"},
        {"unknown type", "HKEY_CLASSES_ROOT\\k\tv=REG_QWORD\t1\n"},
        {"no tab after the type", "HKEY_CLASSES_ROOT\\k\tv=REG_SZ\n"},
        {"two fields", "HKEY_CLASSES_ROOT\\k\t=\n"},
        {"empty lines", "\n\n\n"},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(parseCaptureText(c.text).empty()) << c.name;
    // Only a text line can be continued; lines after a number are skipped.
    const auto lines = parseCaptureText("HKEY_CURRENT_USER\\k\tn=REG_DWORD\t1\nstray\n");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].number, 1u);
}

TEST(CaptureFileFormat, TextOfDecipheredBytes) {
    const struct {
        const char* name;
        std::string bytes;
        std::string text;
    } cases[] = {
        {"padding dropped", std::string("ab\n\xFF\xFF\xFF", 6), "ab\n"},
        {"only padding", std::string(8, '\xFF'), ""},
        {"cut at NUL", std::string("ab\0cd\xFF", 6), "ab"},
        {"FF inside kept",
         std::string("a\xFF"
                     "b\n",
                     4),
         "a\xFF"
         "b\n"},
        {"empty", std::string(), ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(captureTextOf(c.bytes), c.text) << c.name;
}

TEST(CaptureFileFormat, NumbersReadAsUnsigned) {
    const struct {
        const char* data;
        std::uint32_t expected;
    } cases[] = {
        {"0", 0u},
        {"123", 123u},
        {"2147483647", 2147483647u},
        {"2147483648", 2147483648u},
        {"3000000000", 3000000000u},
        {"4294967295", 4294967295u},
        {"4294967296", 4294967295u},
        {"99999999999999999999999", 4294967295u},
        {"  \t42", 42u},
        {"+7", 7u},
        {"-1", 4294967295u},
        {"-2147483648", 2147483648u},
        {"12abc", 12u},
        {"", 0u},
        {"abc", 0u},
        {"-", 0u},
        {"007", 7u},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseCapturedNumber(c.data), c.expected) << "'" << c.data << "'";
}

TEST(CaptureFileFormat, ValuesOfThe64BitViewAreNamedByAMarkedHive) {
    const std::string hive64 = capturedHiveText("HKEY_CLASSES_ROOT", true);
    EXPECT_EQ(hive64, "HKEY_CLASSES_ROOT(64-bit)");
    EXPECT_EQ(capturedHiveText("HKEY_CLASSES_ROOT", false), "HKEY_CLASSES_ROOT");
    // A text line may continue onto one that starts like a marked value only if it is one.
    const std::string text =
        formatCaptureLine(hive64, "CLSID\\{A}\\LocalServer32", "", 1, 0, "C:\\Office\\MSACCESS.EXE") + "\n" +
        formatCaptureLine("HKEY_CLASSES_ROOT", "CLSID\\{A}\\LocalServer32", "", 1, 0, "first\nsecond") + "\n" +
        formatCaptureLine(capturedHiveText("HKEY_LOCAL_MACHINE", true), "SOFTWARE\\Microsoft\\Office\\Common",
                          "LastAccessInstall", 4, 16, "") +
        "\n";
    const std::vector<CaptureLine> lines = parseCaptureText(text);
    ASSERT_EQ(lines.size(), 3u) << text;
    EXPECT_EQ(lines[0].hive, hive64);
    EXPECT_EQ(lines[0].text, "C:\\Office\\MSACCESS.EXE");
    EXPECT_EQ(lines[1].hive, "HKEY_CLASSES_ROOT");
    EXPECT_EQ(lines[1].text, "first\nsecond");
    EXPECT_EQ(lines[2].hive, "HKEY_LOCAL_MACHINE(64-bit)");
    EXPECT_EQ(lines[2].number, 16u);
}
