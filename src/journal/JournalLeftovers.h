#pragma once
#include <cstddef>
#include <string>
#include <vector>

// What interrupted launches left behind, looked at without putting anything back or moving any
// journal: the report's view of what the next launch's recovery would find. The header is plain
// data, for the report's text.

struct LeftoverJournal {
    std::string path;
    // Why the next launch would not put it back, and what it would do instead ("damaged (...);
    // the next launch sets it aside"); empty for a journal that would go back.
    std::string problem;
    std::string started;  // the interrupted launcher's start, in local time
    std::size_t values = 0;
    bool switchDone = false;
    bool launcherRunning = false;  // not interrupted after all: that launcher puts its values back itself
    std::vector<std::string> dueValues;  // values still holding the switch: what would go back
};

struct JournalLeftovers {
    std::vector<LeftoverJournal> journals;
    std::vector<std::string> setAside;  // journals set aside earlier ("...journal-....txt.damaged")
};

JournalLeftovers findJournalLeftovers();
