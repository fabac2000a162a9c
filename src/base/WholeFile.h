#pragma once
#include <string>

// Replaces a file whole or not at all: the bytes go to a fresh "<path>.new" beside it (a name left
// there, or planted as a link, is removed first; the new file is made, never opened through a
// link), every write is checked and flushed, and only then is it moved over the old file. A
// crash or a full disk leaves the old file or the new one, never part of one. False, with the
// system's reason, when the file could not be written whole; the old one is then as it was.
bool replaceFileWhole(const std::string& path, const std::string& bytes, std::string* problem = nullptr);
