#pragma once
#include <string>

// Small files of our own (journals, the front-end's record) replaced whole: written under
// "<path>.new", flushed and moved over the old one, so that a crash leaves the old file or the
// new one, never part of one. Links are never followed: a name that another program made into a
// link could lead the writes, or the reads, anywhere.

// 0 when the file is in place, else the system's error code; the old file is then unchanged.
unsigned long replaceFileWhole(const std::string& path, const std::string& text);
// The whole file, when it is an ordinary file (no link, no folder) of at most `largest` bytes.
bool readWholeFile(const std::string& path, std::string& text, unsigned long long largest);
