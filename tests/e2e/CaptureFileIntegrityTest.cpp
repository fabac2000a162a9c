// -CAPTURE and -RESTORE when the capture file cannot be trusted or the machine gets in the way:
// a damaged or forged file is refused whole and kept, a capture that cannot be written leaves
// the previous file as it was, a value that cannot be put back keeps the file for another try.
// Every failure ends in the launcher's warning box and exit code -1.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "base/UniqueHandle.h"
#include "capture/CaptureCipher.h"
#include "capture/CaptureFile.h"
#include "registry/FixedValueTable.h"
#include "registry/RegistryPrimitives.h"
#include "support/KeySecurity.h"
#include "support/LaunchScene.h"

namespace {

const DWORD kExitMinusOne = 0xFFFFFFFF;
const char kCurVer[] = "Access.Application\\CurVer";

std::string textOf(HKEY root, const std::string& key, const std::string& name) {
    std::string text;
    return readStringValue(root, key, name, text) == ERROR_SUCCESS ? text : "(unreadable)";
}

std::string storedOf(std::size_t row) {
    const FixedValue& value = kFixedValues[row];
    const HKEY root = value.hive == Hive::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CLASSES_ROOT;
    DWORD type = 0;
    std::string bytes;
    if (readRawValue(root, value.key, value.valueName, type, bytes) != ERROR_SUCCESS)
        return "(unreadable)";
    return std::to_string(type) + ":" + bytes;
}

std::string storedText(const std::string& text) {
    return std::to_string(REG_SZ) + ":" + text + '\0';
}

std::string storedNumber(DWORD number) {
    return std::to_string(REG_DWORD) + ":" + std::string(reinterpret_cast<const char*>(&number), sizeof(number));
}

bool putCaptureFile(const std::string& bytes) {
    UniqueFile file(CreateFileA(captureFilePath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_HIDDEN, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

std::string captureFileNow() {
    std::string bytes;
    return readCaptureFile(bytes) == 0 ? bytes : "(no file)";
}

// A key that refuses new values and subkeys to everyone until the object goes.
class DeniedKey {
public:
    explicit DeniedKey(const std::string& key)
        : key_(key),
          original_(KeySecurity::dacl(HKEY_CLASSES_ROOT, key)),
          denied_(original_ != "(unreadable)" &&
                  KeySecurity::setDacl(HKEY_CLASSES_ROOT, key, "D:(D;;0x6;;;WD)(A;;KA;;;WD)")) {}
    ~DeniedKey() {
        if (denied_)
            KeySecurity::setDacl(HKEY_CLASSES_ROOT, key_, original_);
    }
    bool denied() const { return denied_; }

private:
    std::string key_;
    std::string original_;
    bool denied_;
};

class CaptureFileIntegrity : public LaunchScene {
protected:
    void SetUp() override {
        LaunchScene::SetUp();
        deleteCaptureFile();
    }
    void TearDown() override {
        deleteCaptureFile();
        LaunchScene::TearDown();
    }

    DWORD run(const std::string& option) {
        removeFile(logFilePath());
        boxes.clear();
        DWORD exitCode = 1;
        EXPECT_TRUE(runToEnd("Mallowbrook.exe", "-LOGGING " + option, &exitCode)) << option;
        return exitCode;
    }
    // The launcher's one warning box, holding `part`; the log holds the same sentence.
    void expectWarning(const std::string& part) {
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].title, "Mallowbrook");
        EXPECT_TRUE(boxes[0].hasWarningIcon);
        EXPECT_TRUE(textHas(boxes[0].text, part)) << boxes[0].text;
        EXPECT_TRUE(textHas(log(), "\r\n" + boxes[0].text + "\r\n")) << log();
    }
};

}  // namespace

TEST_F(CaptureFileIntegrity, FilesThatCannotBeTrustedAreRefusedWholeAndKept) {
    // Seeded as REG_EXPAND_SZ, as Windows registers it: the good file puts it back with its type.
    const int printRow = fixedRow(HKEY_CLASSES_ROOT, "htmlfile\\shell\\Print\\command", "");
    ASSERT_GE(printRow, 0);
    const std::string printCaptured = storedOf(static_cast<std::size_t>(printRow));
    ASSERT_EQ(printCaptured.substr(0, 2), std::to_string(REG_EXPAND_SZ) + ":");
    ASSERT_EQ(run("-CAPTURE"), 0u);
    const std::string good = captureFileNow();
    ASSERT_EQ(good.size() % 8, 0u) << good;
    ASSERT_TRUE(seed.setString(HKEY_CLASSES_ROOT, "htmlfile\\shell\\Print\\command", "", "changed"));
    const std::string curVerCaptured = textOf(HKEY_CLASSES_ROOT, kCurVer, "");
    // Whatever a refused file says must differ from what the registry holds now.
    ASSERT_TRUE(seed.setString(HKEY_CLASSES_ROOT, kCurVer, "", "Access.Application.16"));
    retakeBefore();

    // The last line says "<count> <check value>": one value more than the file holds.
    std::string plain = decipherCaptureContent(good);
    plain.resize(plain.rfind('\n') + 1);
    const std::size_t countAt = plain.rfind('\t') + 1;
    const std::size_t countEnd = plain.find(' ', countAt);
    const std::string miscounted = encipherCaptureContent(
        plain.substr(0, countAt) + std::to_string(std::stoul(plain.substr(countAt, countEnd - countAt)) + 1) +
        plain.substr(countEnd));
    std::string flipped = good;
    flipped[good.size() / 2] = static_cast<char>(flipped[good.size() / 2] ^ 0x20);
    std::string forged =
        "HKEY_CLASSES_ROOT\\Access.MDBFile\\shell\\Open\\command\t=REG_SZ\tC:\\Other\\other.exe \"%1\"\n"
        "HKEY_CLASSES_ROOT\\Access.Application\\CurVer\t=REG_SZ\tAccess.Application.8\n";
    if (forged.size() % 8 == 0)
        forged += "\n";

    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"forged plain text", forged},
        {"cut after one block", good.substr(0, 8)},
        {"cut in the middle", good.substr(0, good.size() / 16 * 8)},
        {"last block missing", good.substr(0, good.size() - 8)},
        {"one byte flipped", flipped},
        {"count one too many", miscounted},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(putCaptureFile(c.bytes));
        EXPECT_EQ(run("-RESTORE"), kExitMinusOne);
        expectWarning("cannot be used because");
        EXPECT_TRUE(captureFileNow() == c.bytes) << "the file is kept as it was";
        EXPECT_EQ(textOf(HKEY_CLASSES_ROOT, kCurVer, ""), "Access.Application.16");
        expectAllPutBack(std::string("-RESTORE of a file ") + c.name);
    }

    ASSERT_TRUE(putCaptureFile(good));
    EXPECT_EQ(run("-RESTORE"), 0u);
    EXPECT_TRUE(boxes.empty()) << boxes.front().text;
    EXPECT_EQ(textOf(HKEY_CLASSES_ROOT, kCurVer, ""), curVerCaptured);
    EXPECT_EQ(storedOf(static_cast<std::size_t>(printRow)), printCaptured);
    EXPECT_EQ(captureFileNow(), "(no file)");
}

TEST_F(CaptureFileIntegrity, FileOfThePreviousBuildStillRestores) {
    // Written by the capture writer of the previous build (tests/data/make-capture-previous-build.cpp).
    const std::string previous = readFile(std::string(MALLOWBROOK_TEST_DATA) + "/capture-previous-build.dat");
    ASSERT_EQ(previous.size(), 27768u);
    const int curVerRow = fixedRow(HKEY_CLASSES_ROOT, kCurVer, "");
    ASSERT_GE(curVerRow, 0);
    const std::size_t curVer = static_cast<std::size_t>(curVerRow);
    const std::size_t lastRow = kFixedValueCount - 1;
    const struct {
        std::size_t row;
        std::string stored;
    } odd[] = {
        {0, storedText("=a=b=")},
        {1, storedText("\ttab\tinside\t")},
        {2, storedText("trailing blanks   ")},
        {3, storedText("")},
        {4, storedText("first\nsecond\n")},
        {5, storedText("\"C:\\Program Files\\MSACCESS.EXE\" /x=\"y\" %1")},
        {6, storedText("x=REG_DWORD\t5")},
        {7, storedNumber(2147483648u)},
        {8, storedNumber(0)},
        {curVer, storedText("Access.Application.10")},
        {lastRow - 1, storedNumber(3000000000u)},
        {lastRow, storedNumber(4294967295u)},
    };

    // Cut short inside the CurVer line: the lines before it come back, its part is not applied.
    std::string plain = decipherCaptureContent(previous);
    const std::size_t curVerLine = plain.find("HKEY_CLASSES_ROOT\\Access.Application\\CurVer\t=REG_SZ\t");
    ASSERT_NE(curVerLine, std::string::npos);
    const std::size_t cut = (curVerLine + 60) / 8 * 8;  // within "Access.Application.10"
    const std::string lastBefore = storedOf(lastRow);
    ASSERT_TRUE(seed.setString(HKEY_CLASSES_ROOT, kCurVer, "", "Access.Application.16"));
    ASSERT_TRUE(putCaptureFile(previous.substr(0, cut)));
    EXPECT_EQ(run("-RESTORE"), 0u);
    EXPECT_TRUE(boxes.empty()) << boxes.front().text;
    EXPECT_EQ(textOf(HKEY_CLASSES_ROOT, kCurVer, ""), "Access.Application.16") << "nothing glued, nothing cut";
    for (std::size_t row = 0; row <= 8; ++row)
        EXPECT_EQ(storedOf(row), odd[row].stored) << describeRow(row);
    EXPECT_EQ(storedOf(lastRow), lastBefore) << "after the cut";
    EXPECT_TRUE(textHas(log(), "is damaged and was left out")) << log();

    ASSERT_TRUE(putCaptureFile(previous));
    EXPECT_EQ(run("-RESTORE"), 0u);
    EXPECT_TRUE(boxes.empty()) << boxes.front().text;
    for (const auto& o : odd)
        EXPECT_EQ(storedOf(o.row), o.stored) << describeRow(o.row);
    EXPECT_EQ(captureFileNow(), "(no file)");
}

// A value whose key denies writing: the others come back, the file stays, and once the deny
// entry is gone a second -RESTORE puts back the rest.
TEST_F(CaptureFileIntegrity, ValueThatCannotBePutBackKeepsTheFile) {
    ASSERT_EQ(run("-CAPTURE"), 0u);
    const std::string good = captureFileNow();
    const std::string curVerCaptured = textOf(HKEY_CLASSES_ROOT, kCurVer, "");
    const std::string firstCaptured = storedOf(0);
    ASSERT_TRUE(seed.setString(HKEY_CLASSES_ROOT, kCurVer, "", "Access.Application.16"));
    ASSERT_TRUE(seed.setString(HKEY_CLASSES_ROOT, kFixedValues[0].key, kFixedValues[0].valueName, "changed"));
    {
        DeniedKey denied(kCurVer);
        ASSERT_TRUE(denied.denied());
        EXPECT_EQ(run("-RESTORE"), kExitMinusOne);
        expectWarning("1 of the recorded registry values could not be put back");
        EXPECT_TRUE(
            textHas(log(), "\r\nCould not put back HKEY_CLASSES_ROOT\\Access.Application\\CurVer, default value\r\n"))
            << log();
        EXPECT_EQ(textOf(HKEY_CLASSES_ROOT, kCurVer, ""), "Access.Application.16");
        EXPECT_EQ(storedOf(0), firstCaptured) << "the other values are back";
        EXPECT_TRUE(captureFileNow() == good) << "the file is kept";
    }
    EXPECT_EQ(run("-RESTORE"), 0u);
    EXPECT_TRUE(boxes.empty()) << boxes.front().text;
    EXPECT_EQ(textOf(HKEY_CLASSES_ROOT, kCurVer, ""), curVerCaptured);
    EXPECT_EQ(captureFileNow(), "(no file)");
}

namespace {

// A 64 KiB tmpfs that scripts/wine-bench mounts at <bench>/small-disk when it runs as root, seen
// from the prefix through Z:. Empty when there is none.
std::string smallDisk() {
    char bench[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA("MALLOWBROOK_BENCH", bench, sizeof(bench));
    if (length == 0 || length >= sizeof(bench))
        return "";
    std::string folder = std::string("Z:") + bench + "/small-disk/";
    std::replace(folder.begin(), folder.end(), '/', '\\');
    ULARGE_INTEGER total = {};
    if (!GetDiskFreeSpaceExA(folder.c_str(), nullptr, &total, nullptr) || total.QuadPart > 1024 * 1024)
        return "";
    return folder;
}

std::set<std::string> filesIn(const std::string& folder) {
    std::set<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.insert(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

}  // namespace

// The temporary folder on a disk that cannot take the whole new file (a small tmpfs, filled up
// but for a few pages): the capture fails part way, the earlier file is intact and restores.
TEST_F(CaptureFileIntegrity, CaptureOntoAFullDiskKeepsThePreviousFile) {
    const std::string folder = smallDisk();
    if (folder.empty())
        GTEST_SKIP() << "no small disk: scripts/wine-bench mounts a 64 KiB tmpfs at <bench>/small-disk only as root";
    StandinEnvironment temporary;
    temporary.set("TMP", folder);
    temporary.set("TEMP", folder);
    ASSERT_EQ(captureFilePath(), folder + "~QVReg.dat");

    ASSERT_EQ(run("-CAPTURE"), 0u);
    const std::string good = captureFileNow();
    ASSERT_GT(good.size(), 0u);
    const std::string curVerCaptured = textOf(HKEY_CLASSES_ROOT, kCurVer, "");
    const std::string firstCaptured = storedOf(0);
    ASSERT_TRUE(seed.setString(HKEY_CLASSES_ROOT, kCurVer, "", "Access.Application.16"));
    // Long texts make the next file about 24 KiB, more than the room left below.
    for (std::size_t row = 0; row < 6; ++row)
        ASSERT_TRUE(seed.setString(HKEY_CLASSES_ROOT, kFixedValues[row].key, kFixedValues[row].valueName,
                                   std::string(4000, static_cast<char>('a' + row))));

    const std::string fillerPath = folder + "filler";
    {
        UniqueFile filler(CreateFileA(fillerPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(filler);
        const std::string page(4096, 'f');
        DWORD written = 0;
        while (WriteFile(filler.get(), page.data(), static_cast<DWORD>(page.size()), &written, nullptr) &&
               written == page.size()) {
        }
        // Room for two pages: the new file starts and runs out part way.
        SetFilePointer(filler.get(), -8192, nullptr, FILE_END);
        ASSERT_TRUE(SetEndOfFile(filler.get()));
    }

    EXPECT_EQ(run("-CAPTURE"), kExitMinusOne);
    expectWarning("could not be written");
    EXPECT_TRUE(captureFileNow() == good) << "the previous file is intact";
    EXPECT_EQ(filesIn(folder), (std::set<std::string>{"filler", "~QVReg.dat"})) << "the partial file is removed";

    DeleteFileA(fillerPath.c_str());
    EXPECT_EQ(run("-RESTORE"), 0u);
    EXPECT_TRUE(boxes.empty()) << boxes.front().text;
    EXPECT_EQ(textOf(HKEY_CLASSES_ROOT, kCurVer, ""), curVerCaptured);
    EXPECT_EQ(storedOf(0), firstCaptured);
    DeleteFileA((folder + "~QVReg.dat").c_str());
}
