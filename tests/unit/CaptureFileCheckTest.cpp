#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "capture/CaptureCipher.h"
#include "capture/CaptureFileCheck.h"
#include "capture/CaptureFileFormat.h"
#include "base/Crc32.h"
#include "registry/FixedValueTable.h"

namespace {

std::string readTestData(const std::string& name) {
    std::ifstream in(std::string(MALLOWBROOK_TEST_DATA) + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The values tests/data/make-capture-previous-build.cpp wrote for each row of the fixed table.
CaptureLine previousBuildValue(std::size_t row) {
    CaptureLine value;
    value.hive = hiveText(kFixedValues[row].hive);
    value.key = kFixedValues[row].key;
    value.valueName = kFixedValues[row].valueName;
    value.type = kCapturedTextType;
    value.text = "value " + std::to_string(row);
    const std::vector<std::string> texts = {"=a=b=",
                                            "\ttab\tinside\t",
                                            "trailing blanks   ",
                                            "",
                                            "first\nsecond\n",
                                            "\"C:\\Program Files\\MSACCESS.EXE\" /x=\"y\" %1",
                                            "x=REG_DWORD\t5"};
    if (row < texts.size())
        value.text = texts[row];
    const struct {
        std::size_t row;
        std::uint32_t number;
    } numbers[] = {{7, 2147483648u}, {8, 0}, {kFixedValueCount - 2, 3000000000u}, {kFixedValueCount - 1, 4294967295u}};
    for (const auto& n : numbers)
        if (row == n.row) {
            value.type = kCapturedNumberType;
            value.number = n.number;
            value.text.clear();
        }
    if (value.key == "Access.Application\\CurVer")
        value.text = "Access.Application.10";
    return value;
}

bool sameValue(const CaptureLine& a, const CaptureLine& b) {
    return a.hive == b.hive && a.key == b.key && a.valueName == b.valueName && a.type == b.type &&
           (isCapturedText(a.type) ? a.text == b.text : a.number == b.number);
}

std::string sealedFileOf(const std::vector<CaptureLine>& values) {
    std::string body;
    for (const CaptureLine& v : values)
        body += formatCaptureLine(v.hive, v.key, v.valueName, v.type, v.number, v.text) + "\n";
    return encipherCaptureContent(sealCaptureContent(body, values.size()));
}

std::vector<CaptureLine> someValues() {
    std::vector<CaptureLine> values;
    for (std::size_t row = 0; row < 40; ++row)
        values.push_back(previousBuildValue(row));
    values.push_back(previousBuildValue(kFixedValueCount - 2));
    return values;
}

}  // namespace

TEST(Crc32, PublishedCheckValues) {
    EXPECT_EQ(crc32(""), 0u);
    EXPECT_EQ(crc32("123456789"), 0xCBF43926u);
    EXPECT_EQ(crc32("The quick brown fox jumps over the lazy dog"), 0x414FA339u);
}

TEST(CaptureFileCheck, SealedFileComesBackWhole) {
    const auto values = someValues();
    const CaptureFileContent read = decodeCaptureFile(sealedFileOf(values));
    ASSERT_TRUE(read.usable) << read.refusal;
    EXPECT_TRUE(read.sealed);
    ASSERT_EQ(read.values.size(), values.size());
    for (std::size_t i = 0; i < values.size(); ++i)
        EXPECT_TRUE(sameValue(read.values[i], values[i])) << "value " << i << " '" << read.values[i].text << "'";

    // Nothing recorded is still a sealed file, and an earlier reader finds no value in it.
    const std::string empty = sealCaptureContent("", 0);
    EXPECT_TRUE(decodeCaptureFile(encipherCaptureContent(empty)).usable);
    for (const CaptureLine& line : parseCaptureText(empty))
        EXPECT_EQ(line.hive, "") << "the extra lines are values of no named root: " << line.key;
}

TEST(CaptureFileCheck, DamagedFilesAreRefusedWhole) {
    const auto values = someValues();
    const std::string good = sealedFileOf(values);
    std::string body;
    for (const CaptureLine& v : values)
        body += formatCaptureLine(v.hive, v.key, v.valueName, v.type, v.number, v.text) + "\n";
    const std::string sealed = sealCaptureContent(body, values.size());
    CaptureKey other = kCaptureKey;
    other.bytes[3] ^= 0x10;
    const std::string forged = "HKEY_CLASSES_ROOT\\Access.MDBFile\\shell\\Open\\command\t=REG_SZ\tevil.exe \"%1\"\n";

    struct Damaged {
        std::string name;
        std::string bytes;
    };
    std::vector<Damaged> cases = {
        {"forged plain text", forged},
        {"forged plain text of whole blocks", forged + std::string((8 - forged.size() % 8) % 8, '\n')},
        {"empty", ""},
        {"one byte more", good + "x"},
        {"count one too many", encipherCaptureContent(sealCaptureContent(body, values.size() + 1))},
        {"count one too few", encipherCaptureContent(sealCaptureContent(body, values.size() - 1))},
        {"a value line more than sealed",
         encipherCaptureContent(sealed.substr(0, sealed.find('\n') + 1) +
                                formatCaptureLine("HKEY_CLASSES_ROOT", ".mdb", "", 1, 0, "x") + "\n" +
                                sealed.substr(sealed.find('\n') + 1))},
        {"first line missing", encipherCaptureContent(sealed.substr(sealed.find('\n') + 1))},
        {"another format",
         encipherCaptureContent("\\Mallowbrook capture file\tformat=REG_DWORD\t3" + sealed.substr(sealed.find('\n')))},
        {"another key", encipherCaptureContent(sealed, other)},
    };
    for (std::size_t cut = 8; cut < good.size(); cut += 8)
        cases.push_back({"cut at " + std::to_string(cut), good.substr(0, cut)});
    for (std::size_t at = 0; at < good.size(); ++at) {
        std::string flipped = good;
        flipped[at] = static_cast<char>(flipped[at] ^ (1 << (at % 8)));
        cases.push_back({"byte " + std::to_string(at) + " flipped", flipped});
    }
    for (const Damaged& c : cases) {
        const CaptureFileContent read = decodeCaptureFile(c.bytes);
        EXPECT_FALSE(read.usable) << c.name << ": " << read.values.size() << " values";
        EXPECT_FALSE(read.refusal.empty()) << c.name;
    }
}

TEST(CaptureFileCheck, FileOfThePreviousBuildRestoresExactly) {
    const std::string file = readTestData("capture-previous-build.dat");
    ASSERT_EQ(file.size(), 27768u) << "tests/data/capture-previous-build.dat";
    const CaptureFileContent read = decodeCaptureFile(file);
    ASSERT_TRUE(read.usable) << read.refusal;
    EXPECT_FALSE(read.sealed);
    EXPECT_TRUE(read.droppedLines.empty());
    ASSERT_EQ(read.values.size(), kFixedValueCount);
    for (std::size_t row = 0; row < kFixedValueCount; ++row)
        EXPECT_TRUE(sameValue(read.values[row], previousBuildValue(row))) << "row " << row;

    // Cut short anywhere, it gives complete values only, in order; none takes text from another.
    // Every block boundary through the first rows (the odd texts), then a spread to the last one.
    std::vector<std::size_t> cuts;
    for (std::size_t cut = 8; cut <= 1024; cut += 8)
        cuts.push_back(cut);
    for (std::size_t cut = 1024 + 37 * 8; cut < file.size(); cut += 37 * 8)
        cuts.push_back(cut);
    cuts.push_back(file.size() - 8);
    std::size_t before = 0;
    for (std::size_t cut : cuts) {
        const CaptureFileContent part = decodeCaptureFile(file.substr(0, cut));
        if (!part.usable)
            continue;  // nothing complete yet
        ASSERT_GE(part.values.size(), before) << "cut at " << cut;
        before = part.values.size();
        for (std::size_t row = 0; row < part.values.size(); ++row) {
            const CaptureLine expected = previousBuildValue(row);
            const CaptureLine& got = part.values[row];
            // A text holding line feeds may end at one of them: that much of it is all the file says.
            const bool cutAtLineFeed = row + 1 == part.values.size() && expected.text.find('\n') != std::string::npos &&
                                       expected.text.compare(0, got.text.size(), got.text) == 0;
            EXPECT_TRUE(sameValue(got, expected) || cutAtLineFeed)
                << "cut at " << cut << ", row " << row << ": '" << got.text << "'";
        }
    }
    EXPECT_EQ(before, kFixedValueCount - 1) << "the last cut loses the last line only";
}

TEST(CaptureFileCheck, EarlierFilesGiveWellFormedLinesOnly) {
    const struct {
        const char* name;
        std::string text;
        std::vector<std::string> texts;  // the texts of the values read, in order
        std::vector<std::size_t> dropped;
    } cases[] = {
        {"line feed in text continues it",
         "HKEY_CLASSES_ROOT\\a\t=REG_SZ\tone\ntwo\n\nHKEY_CLASSES_ROOT\\b\t=REG_SZ\tB\n",
         {"one\ntwo\n", "B"},
         {}},
        {"damaged value line is not glued",
         "HKEY_CLASSES_ROOT\\a\t=REG_SZ\tA\nHKEY_CLASSES_ROOT\\b=REG_SZ B\n",
         {"A"},
         {2}},
        {"unknown type is not glued",
         "HKEY_CLASSES_ROOT\\a\t=REG_SZ\tA\nHKEY_CURRENT_USER\\b\tv=REG_QWORD\t1\n",
         {"A"},
         {2}},
        {"nothing continues after a dropped line",
         "HKEY_CLASSES_ROOT\\a\t=REG_SZ\tA\nHKEY_USERS\\b\nstray\nHKEY_LOCAL_MACHINE\\c\t=REG_SZ\tC\n",
         {"A", "C"},
         {2, 3}},
        {"partial last line dropped",
         "HKEY_CLASSES_ROOT\\a\t=REG_SZ\tA\nHKEY_CLASSES_ROOT\\b\t=REG_SZ\tpart",
         {"A"},
         {2}},
        {"partial hive name dropped", "HKEY_CLASSES_ROOT\\a\t=REG_SZ\tA\nHKEY_CLA", {"A"}, {2}},
        {"partial continuation takes its value along",
         "HKEY_CLASSES_ROOT\\a\t=REG_SZ\tA\nHKEY_CLASSES_ROOT\\b\t=REG_SZ\tone\ntw",
         {"A"},
         {3}},
        {"stray line after a number", "HKEY_CURRENT_USER\\k\tn=REG_DWORD\t1\nstray\n", {""}, {2}},
    };
    for (const auto& c : cases) {
        std::vector<std::size_t> dropped;
        const auto lines = parseCaptureText(c.text, &dropped);
        std::vector<std::string> texts;
        for (const auto& line : lines)
            texts.push_back(line.text);
        EXPECT_EQ(texts, c.texts) << c.name;
        EXPECT_EQ(dropped, c.dropped) << c.name;
    }
}

TEST(CaptureFileCheck, ValuesThatWouldNotReadBackAreKnown) {
    const struct {
        const char* name;
        std::string key;
        std::string text;
        bool readsBack;
    } cases[] = {
        {"plain", "k", "text", true},
        {"line feeds", "k", "\none\n\ntwo\n", true},
        {"NUL ends the text", "k", std::string("ab\0cd", 5), true},
        {"line feed then a value line", "k", "a\nHKEY_CLASSES_ROOT\\x\tv=REG_SZ\ty", false},
        {"line feed then a hive name", "k", "a\nHKEY_USERS\\x", false},
        {"line feed then a line of no named root", "k", "a\n\\x\tv=REG_SZ\ty", false},
        {"tab in the key", "k\tx", "text", false},
    };
    for (const auto& c : cases) {
        CaptureLine value;
        value.hive = "HKEY_CLASSES_ROOT";
        value.key = c.key;
        value.type = kCapturedTextType;
        value.text = c.text;
        const std::string line = formatCaptureLine(value.hive, value.key, "", value.type, 0, value.text);
        EXPECT_EQ(captureLineReadsBack(line, value), c.readsBack) << c.name;
    }
}
