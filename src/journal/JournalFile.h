#pragma once
#include <string>
#include <vector>

// Journal files, one per launch, in a "Mallowbrook\" folder of the user's own: the local
// application data folder, or the temporary folder where that one cannot be used. A journal is
// replaced whole: written under a temporary name, flushed and moved over the old one, so that a
// crash leaves the old or the new journal, never part of one. Links are never followed: a name
// that another program made into a link could lead the writes anywhere.

struct JournalPlace {
    std::string folder;   // "...\Mallowbrook\"; empty when the parent folder is unknown
    std::string problem;  // why it cannot be used; empty when it can
};

// Both places, in order of preference (one, when both name the same folder); with `create`, each
// folder is made when missing, otherwise a missing one counts as not usable.
std::vector<JournalPlace> journalPlaces(bool create = false);
// The first usable folder; empty when neither can be used.
std::string journalFolder();
// "journal-<process id>-<start time>.txt".
std::string journalFileName(unsigned long processId, unsigned long long started);
// Full paths of every journal in both places (links left out).
std::vector<std::string> listJournalFiles();
// Full paths of the journals set aside as damaged or refused, in both places.
std::vector<std::string> listSetAsideJournals();
// False, with the system's reason, when the journal could not be written whole.
bool writeJournalFile(const std::string& path, const std::string& text, std::string* problem = nullptr);
bool readJournalFile(const std::string& path, std::string& text);
bool removeJournalFile(const std::string& path);
// Moves a journal that must never be applied out of the way as "<path>.damaged".
bool setJournalAside(const std::string& path);
