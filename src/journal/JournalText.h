#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "registry/Hive.h"
#include "registry/RegistryView.h"
#include "registry/StoredValue.h"

// A launch's journal: the values it recorded and, once its switch is done, what it switched
// them to. Text with a closing count and checksum, so a cut or altered journal is refused
// rather than applied. Pure text: no windows.h.

// One value as stored: absent, or its registry type and all its bytes.
using JournalState = StoredValue;

struct JournalEntry {
    Hive hive = Hive::ClassesRoot;
    std::string key;
    std::string valueName;
    JournalState recorded;
    JournalState switchedTo;  // meaningful only once the journal's switch is done
    // A value of the 64-bit view carries "64" in a field of its own after the states; lines of
    // the program's own view have none, as journals of earlier builds.
    RegistryView view = RegistryView::Own;
};

struct Journal {
    std::uint32_t processId = 0;
    std::uint64_t started = 0;     // the launcher's process creation time, as a FILETIME number
    std::uint64_t recordedAt = 0;  // orders launchers by when they recorded
    bool switchDone = false;
    std::vector<JournalEntry> entries;
};

std::string formatJournal(const Journal& journal);
// False, with the reason, for anything formatJournal could not have written.
bool parseJournal(const std::string& text, Journal& journal, std::string& reason);

