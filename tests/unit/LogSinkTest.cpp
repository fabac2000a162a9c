#include <gtest/gtest.h>

#include <windows.h>

#include "base/SystemErrorText.h"
#include "log/NullLog.h"
#include "log/StringLog.h"
#include "log/TextLog.h"
#include "support/LauncherProcess.h"

TEST(LogSinks, NullAndStringSinks) {
    NullLog null;
    EXPECT_FALSE(null.IsEnabled());
    EXPECT_TRUE(null.WriteLine("dropped"));

    StringLog held;
    EXPECT_TRUE(held.IsEnabled());
    held.WriteLine("first");
    held.WriteLine("");
    held.WriteLine("third");
    ASSERT_EQ(held.lines().size(), 3u);
    EXPECT_EQ(held.lines()[0], "first");
    EXPECT_EQ(held.lines()[2], "third");
}

TEST(LogSinks, TextLogAppendsBlocksWithCrLf) {
    removeFile(logFilePath());
    {
        TextLog log;
        EXPECT_EQ(log.fileName(), logFilePath());
        EXPECT_TRUE(log.WriteLine("one"));
        EXPECT_TRUE(log.WriteLine(""));
        EXPECT_TRUE(log.WriteLine("two\nlines"));
    }
    {
        TextLog log;
        log.WriteLine("again");
    }
    const std::string sep = "===================================================";
    EXPECT_EQ(sep.size(), 51u);
    std::string block1 = sep + "\r\none\r\n\r\ntwo\nlines\r\n" + sep + "\r\n\r\n\r\n";
    std::string block2 = sep + "\r\nagain\r\n" + sep + "\r\n\r\n\r\n";
    EXPECT_EQ(readFile(logFilePath()), block1 + block2);
    removeFile(logFilePath());
}

TEST(LogSinks, TextLogWithoutItsFileStaysEnabledAndWritesNothing) {
    removeFile(logFilePath());
    // Another writer holds the file: the sink cannot open it and drops every line.
    UniqueFile holder(CreateFileA(logFilePath().c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder);
    {
        TextLog log;
        EXPECT_TRUE(log.IsEnabled());
        EXPECT_FALSE(log.WriteLine("lost"));
    }
    holder.reset();
    EXPECT_EQ(readFile(logFilePath()), "");
    removeFile(logFilePath());
}

TEST(SystemErrorText, GivesTheSystemTextOrThrows) {
    std::string text = systemErrorText(ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n');
    SetLastError(ERROR_ACCESS_DENIED);
    EXPECT_EQ(lastErrorText(), systemErrorText(ERROR_ACCESS_DENIED));
    EXPECT_THROW(systemErrorText(0x2FFFFFFF), std::runtime_error);
}
