#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "capture/RestoreSet.h"
#include "support/ScratchKey.h"

// Values a launch may overwrite although they are neither text the launcher can read nor a
// four-byte number: kept whole in memory and written back byte for byte, type and all.
namespace {

const char kArea[] = "Software\\MallowbrookTests\\RestoreSetWhole";

struct Shape {
    const char* name;
    DWORD type;
    std::string data;
};

std::vector<Shape> oddShapes() {
    return {
        {"binary", REG_BINARY, std::string("\x00\xFF\x10", 3)},
        {"empty binary", REG_BINARY, ""},
        {"multi", REG_MULTI_SZ, std::string("one\0two\0\0", 9)},
        {"qword", REG_QWORD, std::string("\x01\x02\x03\x04\x05\x06\x07\x08", 8)},
        {"short dword", REG_DWORD, std::string("\x05\x00", 2)},
        {"long dword", REG_DWORD, std::string("\x05\x00\x00\x00\x09", 5)},
        {"text of 4096 characters", REG_SZ, std::string(4096, 'x') + '\0'},
        {"text of 70000 characters", REG_SZ, std::string(70000, 'y') + '\0'},
        {"none", REG_NONE, "abc"},
        {"text without its NUL", REG_SZ, "Access.Application.9"},
        {"multi without its NULs", REG_MULTI_SZ, std::string("one\0two", 7)},
    };
}

// A NUL right after the data would be stored as well; another byte there keeps it out.
bool store(const ScratchKey& area, const Shape& shape) {
    const std::string buffer = shape.data + 'X';
    return area.setRaw("", shape.name, shape.type, buffer.data(), static_cast<DWORD>(shape.data.size()));
}

}  // namespace

TEST(RestoreSetWholeValues, OddShapesComeBackFromMemoryAsTheyWere) {
    ScratchKey area(HKEY_CURRENT_USER, kArea);
    const auto shapes = oddShapes();
    RestoreSet set(false);
    for (const auto& s : shapes) {
        ASSERT_TRUE(store(area, s)) << s.name;
        set.add(HKEY_CURRENT_USER, kArea, s.name);
    }
    set.add(HKEY_CURRENT_USER, kArea, "absent");
    set.capture();
    for (size_t i = 0; i < shapes.size(); ++i) {
        EXPECT_TRUE(set.entries()[i].recorded) << shapes[i].name;
        EXPECT_TRUE(set.entries()[i].whole) << shapes[i].name;
    }
    EXPECT_FALSE(set.entries().back().recorded) << "a missing value stays unrecorded";

    for (const auto& s : shapes)
        area.setString("", s.name, "Access.Application.10");
    set.restoreAll();
    for (const auto& s : shapes) {
        DWORD type = 0;
        std::vector<BYTE> data;
        ASSERT_TRUE(area.getRaw("", s.name, type, data)) << s.name;
        EXPECT_EQ(type, s.type) << s.name;
        EXPECT_EQ(std::string(data.begin(), data.end()), s.data) << s.name;
    }
    EXPECT_FALSE(area.valueExists("", "absent")) << "nothing is invented for a missing value";
}

// The capture file holds only text and numbers: other shapes stay out of it, as before.
TEST(RestoreSetWholeValues, TheFileRecordsNoOtherShape) {
    ScratchKey area(HKEY_CURRENT_USER, kArea);
    RestoreSet set(true);
    for (const auto& s : oddShapes()) {
        ASSERT_TRUE(store(area, s)) << s.name;
        set.add(HKEY_CURRENT_USER, kArea, s.name);
    }
    set.capture();
    for (const auto& entry : set.entries()) {
        EXPECT_FALSE(entry.recorded) << entry.valueName;
        EXPECT_FALSE(entry.whole) << entry.valueName;
    }
}

// A second capture starts afresh: a value that has become plain text is no longer kept whole.
TEST(RestoreSetWholeValues, ASecondCaptureForgetsTheWholeValue) {
    ScratchKey area(HKEY_CURRENT_USER, kArea);
    area.setRaw("", "v", REG_BINARY, "\x01\x02", 2);
    RestoreSet set(false);
    set.add(HKEY_CURRENT_USER, kArea, "v");
    set.capture();
    ASSERT_TRUE(set.entries()[0].whole);
    area.setString("", "v", "plain");
    set.capture();
    EXPECT_FALSE(set.entries()[0].whole);
    EXPECT_TRUE(set.entries()[0].bytes.empty());
    area.setString("", "v", "changed");
    set.restoreAll();
    DWORD type = 0;
    std::vector<BYTE> data;
    ASSERT_TRUE(area.getRaw("", "v", type, data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::string(data.begin(), data.end()), std::string("plain", 6));
}
