#pragma once
#include <cstddef>
#include <string>

// The database path named in a command line, found by its file extension and returned in
// lower case; empty when no known extension occurs. Pure text, no Windows calls.
std::string databasePathFromCommandLine(const std::string& commandLine);

// Where that same path stands in the command line: false when none is named.
bool findDatabasePath(const std::string& commandLine, std::size_t& start, std::size_t& length);
// The same path as the command line writes it, letter case kept; empty when none is named.
std::string databasePathAsWritten(const std::string& commandLine);
