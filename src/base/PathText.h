#pragma once
#include <string>

// File and folder names as plain text, with "\" as the only separator.

// The text before the last "\"; the whole text when it holds none.
std::string folderPart(const std::string& path);
// The text after the last "\"; the whole text when it holds none.
std::string fileNamePart(const std::string& path);
// The text with one "\" appended unless it already ends with one ("" gives "\").
std::string ensureTrailingBackslash(const std::string& text);
// Exactly one "\" between the two parts, whatever either side brings.
std::string joinPath(const std::string& first, const std::string& second);
