#pragma once
#include <string>
#include <vector>

// Journal files in the user's local application data folder ("Mallowbrook\"), one per launch.
// A journal is replaced whole: written under a temporary name, flushed and moved over the old
// one, so that a crash leaves the old or the new journal, never part of one.

// The folder, created when missing; empty when the profile has no such folder.
std::string journalFolder();
// "journal-<process id>-<start time>.txt" in the folder.
std::string journalPath(unsigned long processId, unsigned long long started);
// Full paths of every journal in the folder.
std::vector<std::string> listJournalFiles();
bool writeJournalFile(const std::string& path, const std::string& text);
bool readJournalFile(const std::string& path, std::string& text);
bool removeJournalFile(const std::string& path);
