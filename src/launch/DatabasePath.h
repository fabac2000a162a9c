#pragma once
#include <string>

// The database path named in a command line, found by its file extension and returned in
// lower case; empty when no known extension occurs. Pure text, no Windows calls.
std::string databasePathFromCommandLine(const std::string& commandLine);
