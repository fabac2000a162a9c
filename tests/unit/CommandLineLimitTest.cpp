#include <gtest/gtest.h>

#include <string>

#include "launch/CommandLineLimit.h"

// The line Windows gets is "program" arguments and a NUL: at most 32,767 characters in all.
TEST(CommandLineLimit, LinesUpToTheLimitPassAndLongerOnesAreNamed) {
    const std::string program = "C:\\Program Files\\Microsoft Office\\Office10\\MSACCESS.EXE";
    const size_t room = 32767 - (program.size() + 4);  // quotes, blank and NUL
    const struct {
        size_t arguments;
        const char* message;
    } kCases[] = {
        {0, ""},
        {room - 1, ""},
        {room, ""},
        {room + 1,
         "The Access command line is 32768 characters long; Windows accepts at most 32767.\n"
         "Access was not started. Shorten the database path or the command line options."},
        {54054 - program.size() - 4,
         "The Access command line is 54054 characters long; Windows accepts at most 32767.\n"
         "Access was not started. Shorten the database path or the command line options."},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(commandLineLimitMessage(program, std::string(c.arguments, 'a')), c.message) << c.arguments;
}
